#pragma once

#include <array>

#include "ReelTable.h"
#include "Twips.h"

// The picker window's layout as designed, in twips.
namespace PickerLayout {

constexpr int kClientWidth = 6852, kClientHeight = 4920;

/// The game panels' group boxes in the client area, in the order of kPanels (from the top).
inline constexpr std::array<TwipsBox, kGameCount> kPanels{{
    {120, 120, 6612, 972},
    {840, 1200, 5892, 972},
    {1560, 2280, 5172, 972},
    {2280, 3360, 4452, 972},
}};

/// Inside a panel: the k-th reel button from the left, then the start button one step further.
constexpr TwipsBox Reel(int k) { return {120 + 720 * k, 240, 612, 612}; }
constexpr TwipsBox Start(int reelCount) { return {120 + 720 * reelCount, 240, 2052, 612}; }

/// The OK button, on the window.
constexpr TwipsBox kOk{2880, 4440, 1092, 372};

}  // namespace PickerLayout
