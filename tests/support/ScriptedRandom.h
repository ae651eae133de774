#pragma once

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "RandomSource.h"

/// Delivers exactly the values a test scripts, in order. Running out is a test failure, unless
/// the test names a source to continue with.
class ScriptedRandom final : public RandomSource {
public:
  ScriptedRandom() = default;
  ScriptedRandom(std::initializer_list<float> values) : m_values(values) {}

  void push(float value) { m_values.push_back(value); }
  void seedFromClock() override { ++m_seedCount; }
  float next() override {
    if (m_next < m_values.size()) return m_values[m_next++];
    if (m_fallback != nullptr) return m_fallback->next();
    throw std::logic_error("ScriptedRandom: no value left");
  }

  /// Once the script is used up, values come from `fallback` (not owned).
  void continueWith(RandomSource* fallback) { m_fallback = fallback; }

  std::size_t consumed() const { return m_next; }
  std::size_t remaining() const { return m_values.size() - m_next; }
  int seedCount() const { return m_seedCount; }

  /// The r that draws exactly `value` in a range of `range` values starting at `lower`.
  static float forValue(int value, int lower, int range) {
    return (static_cast<float>(value - lower) + 0.5f) / static_cast<float>(range);
  }

private:
  std::vector<float> m_values;
  std::size_t m_next = 0;
  int m_seedCount = 0;
  RandomSource* m_fallback = nullptr;
};
