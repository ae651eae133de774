#pragma once

#include <random>

/// Source of uniformly distributed single-precision values r with 0 <= r < 1.
/// Abstract so a test can script the exact values; the real one is ClockRandom.
class RandomSource {
public:
  virtual ~RandomSource() = default;
  /// Seeds the source from the system clock; the owner does this once, when it is created.
  virtual void seedFromClock() = 0;
  virtual float next() = 0;
};

/// A Mersenne Twister seeded from the system clock.
class ClockRandom final : public RandomSource {
public:
  void seedFromClock() override;
  /// Seeds with a fixed value, for repeatable runs.
  void seed(unsigned value) { m_engine.seed(value); }
  float next() override;

private:
  std::mt19937 m_engine;
};
