#include "DrawEngine.h"

#include <algorithm>
#include <cmath>

#include "RuntimeError.h"

namespace {

constexpr int16_t kUsed = -1;
constexpr int16_t kFree = 0;

template <class T>
T& checkedAt(std::span<T> items, int16_t index) {
  if (index < 0 || static_cast<size_t>(index) >= items.size())
    throw RuntimeError(ErrorKind::SubscriptOutOfRange);
  return items[static_cast<size_t>(index)];
}

}  // namespace

int16_t DrawEngine::drawOnce(int16_t kind) {
  const DrawBounds bounds = GameBounds(kind);
  const float r = m_random.next();
  const int range = bounds.upper - bounds.lower + 1;
  // Single-precision operands, evaluated in double and not rounded back: range * r stays below
  // range even for the largest r below 1, so the upper bound is never exceeded.
  const double x = static_cast<double>(static_cast<float>(range)) * static_cast<double>(r) +
                   static_cast<double>(static_cast<float>(bounds.lower));
  if (!std::isfinite(x)) throw RuntimeError(ErrorKind::FloatingPoint);
  return checkedToInt16(std::floor(x));
}

std::span<int16_t> DrawEngine::table(int16_t kind) {
  switch (kind) {
    case kLoto6:
      return m_loto6;
    case kMiniLoto:
      return m_miniLoto;
    default:
      return {};
  }
}

std::span<const int16_t> DrawEngine::table(int16_t kind) const {
  return const_cast<DrawEngine*>(this)->table(kind);
}

int16_t DrawEngine::drawFree(int16_t kind, bool mark) {
  const std::span<int16_t> flags = table(kind);
  if (flags.empty()) return drawOnce(kind);
  // No cap on redraws: at most one number per reel is marked, so most numbers are always free.
  for (;;) {
    const int16_t value = drawOnce(kind);
    int16_t& flag = checkedAt(flags, value);
    if (flag == kFree) {
      if (mark) flag = kUsed;
      return value;
    }
  }
}

int16_t DrawEngine::PickNumber(int16_t kind) { return drawFree(kind, true); }

int16_t DrawEngine::SpinNumber(int16_t kind) { return drawFree(kind, false); }

void DrawEngine::ClearTable(int16_t kind) { std::ranges::fill(table(kind), kFree); }

int16_t DrawEngine::usedFlag(int16_t kind, int16_t number) const {
  return checkedAt(table(kind), number);
}

int16_t DrawEngine::slot(int16_t index) const {
  return checkedAt(std::span<const int16_t>(m_slots), index);
}

void DrawEngine::setSlot(int16_t index, int16_t value) {
  checkedAt(std::span<int16_t>(m_slots), index) = value;
}
