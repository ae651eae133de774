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

/// Lower and upper bound of a game kind's draw; 0 and 0 for a kind that is no game. The one
/// place the games' ranges are written: the tables, the picture banks and the picture files
/// follow them.
constexpr DrawBounds GameBounds(int16_t kind) {
  switch (kind) {
    case kLoto6:
      return {1, 43};
    case kMiniLoto:
      return {1, 31};
    case kNumbers4:
    case kNumbers3:
      return {0, 9};
    default:
      return {0, 0};
  }
}

/// The largest number a number game draws: the number bank holds 1 up to it.
constexpr int16_t kHighestNumber = GameBounds(kLoto6).upper > GameBounds(kMiniLoto).upper
                                       ? GameBounds(kLoto6).upper
                                       : GameBounds(kMiniLoto).upper;

/// The draw engine of the picker window: the used-number tables of the two games whose numbers
/// must all differ, the result slot of every reel, and the two draw routines.
/// Errors (overflow, subscript out of range, floating point) are raised as RuntimeError.
class DrawEngine {
public:
  // Indexed by the number itself, from 0 up to the game's highest.
  static constexpr int16_t kLoto6TableSize = GameBounds(kLoto6).upper + 1;
  static constexpr int16_t kMiniLotoTableSize = GameBounds(kMiniLoto).upper + 1;
  static constexpr int16_t kSlotCount = 19;  // slot N for reel N; slot 0 unused

  /// The source is owned by the caller and must outlive this object.
  explicit DrawEngine(RandomSource& random) : m_random(random) {}

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
