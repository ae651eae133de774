#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "RandomSource.h"

/// The four games; any other kind draws 0.
enum GameKind : int16_t { kLoto6 = 1, kMiniLoto = 2, kNumbers4 = 3, kNumbers3 = 4 };

struct DrawBounds {
  int16_t lower = 0;
  int16_t upper = 0;
};

/// Lower and upper bound of a game kind's draw; 0 and 0 for a kind that is no game.
DrawBounds GameBounds(int16_t kind);

/// The draw engine of the picker window: the used-number tables of the two games whose numbers
/// must all differ, the result slot of every reel, and the two draw routines.
/// Errors (overflow, subscript out of range, floating point) are raised as RuntimeError.
class DrawState {
public:
  static constexpr int16_t kLoto6TableSize = 44;     // indices 0..43, by the number itself
  static constexpr int16_t kMiniLotoTableSize = 32;  // indices 0..31
  static constexpr int16_t kSlotCount = 19;          // slot N for reel N; slot 0 unused

  /// The source is owned by the caller and must outlive this object.
  explicit DrawState(RandomSource& random) : m_random(random) {}

  /// Final value of a reel: never a number already used in its game, which it then marks.
  int16_t PickNumber(int16_t kind);
  /// A spin frame: the same rules, but nothing is marked.
  int16_t SpinNumber(int16_t kind);

  /// Makes every number of the game free again; kinds without a table are left alone.
  void ClearTable(int16_t kind);

  /// The flag of a number in a game's table: 0 (free) or -1 (used). Out of bounds raises.
  int16_t usedFlag(int16_t kind, int16_t number) const;

  /// Result slots 0..18; an index outside them raises the subscript error.
  int16_t slot(int16_t index) const;
  void setSlot(int16_t index, int16_t value);

private:
  int16_t drawOnce(int16_t kind);
  int16_t drawFree(int16_t kind, bool mark);
  std::span<int16_t> table(int16_t kind);
  std::span<const int16_t> table(int16_t kind) const;

  RandomSource& m_random;
  std::array<int16_t, kLoto6TableSize> m_loto6{};
  std::array<int16_t, kMiniLotoTableSize> m_miniLoto{};
  std::array<int16_t, kSlotCount> m_slots{};
};
