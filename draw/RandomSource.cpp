#include "RandomSource.h"

#include <chrono>

void ClockRandom::seedFromClock() {
  const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  std::seed_seq seq{static_cast<unsigned>(ticks), static_cast<unsigned>(ticks >> 32)};
  m_engine.seed(seq);
}

float ClockRandom::next() {
  // The top 24 bits fill a float's mantissa exactly, so r never rounds up to 1
  // (generate_canonical<float> can return 1.0 on some libraries).
  constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24
  return static_cast<float>(m_engine() >> 8) * kScale;
}
