#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "DrawEngine.h"
#include "RuntimeError.h"

constexpr int16_t kReelCount = 18;
constexpr int16_t kGameCount = 4;
// The draw engine keeps reel N's number in its result slot N: a reel more needs a slot more.
static_assert(DrawEngine::kSlotCount == kReelCount + 1, "one result slot per reel, and slot 0");

/// One game panel, from the top of the window down.
struct GamePanel {
  const char* caption;
  int16_t kind;        // game kind of its reels
  int16_t frameIndex;  // index in the Frame1 control array
  int16_t startIndex;  // index of its button in CommandStart
  int16_t firstReel;   // reels firstReel .. firstReel + reelCount - 1
  int16_t reelCount;
};

inline constexpr std::array<GamePanel, kGameCount> kPanels{{
    {"ﾛﾄ6", kLoto6, 2, 0, 1, 6},
    {"ﾐﾆﾛﾄ", kMiniLoto, 3, 1, 7, 5},
    {"ﾅﾝﾊﾞｰｽﾞ4", kNumbers4, 0, 2, 12, 4},
    {"ﾅﾝﾊﾞｰｽﾞ3", kNumbers3, 1, 3, 16, 3},
}};

constexpr int kReelInterval = 50;     // ms
constexpr int kBlinkInterval = 1000;  // ms

/// The panel that holds reel 1..18 (the reel table: 1-6 Loto 6, 7-11 Mini Loto, 12-15 Numbers 4,
/// 16-18 Numbers 3).
/// A reel number outside 1..18 raises the subscript error.
inline const GamePanel& PanelOfReel(int16_t reel) {
  for (const GamePanel& panel : kPanels)
    if (reel >= panel.firstReel && reel < panel.firstReel + panel.reelCount) return panel;
  throw RuntimeError(ErrorKind::SubscriptOutOfRange, "reel " + std::to_string(reel));
}

/// Where reel N stands: the number it stopped on, or none while it spins.
using StoppedNumber = std::function<std::optional<int16_t>(int16_t reel)>;

/// A game's numbers in reel order, "?" for a reel that spins, joined by `separator`; empty when
/// none of its reels is stopped. The copy command and the screen reader's set both read it.
inline std::string GameNumbersText(const GamePanel& panel, const StoppedNumber& stopped,
                                   const std::string& separator) {
  std::string text;
  bool anyStopped = false;
  for (int16_t reel = panel.firstReel; reel < panel.firstReel + panel.reelCount; ++reel) {
    const std::optional<int16_t> value = stopped(reel);
    if (reel != panel.firstReel) text += separator;
    text += value ? std::to_string(*value) : std::string("?");
    anyStopped = anyStopped || value.has_value();
  }
  return anyStopped ? text : std::string();
}

/// The chosen numbers as plain text, one line per game with at least one stopped reel, in panel
/// order: the caption, then every reel's number in reel order ("?" while it spins), separated by
/// blanks. Empty when no reel is stopped.
inline std::string ChosenNumbersText(const StoppedNumber& stopped) {
  std::string text;
  for (const GamePanel& panel : kPanels) {
    const std::string numbers = GameNumbersText(panel, stopped, " ");
    if (numbers.empty()) continue;
    if (!text.empty()) text += '\n';
    text += panel.caption + (' ' + numbers);
  }
  return text;
}
