#pragma once

#include "Twips.h"

// The About box's layout as designed, in twips.
namespace AboutLayout {

/// Where the client area's top-left stands on the screen, and its size.
constexpr TwipsBox kClient{2340, 1932, 5736, 3564};

constexpr TwipsBox kCmdOK{4260, 2625, 1310, 345};
constexpr TwipsBox kPicIcon{240, 240, 528, 1848};
constexpr TwipsBox kCmdSysInfo{4260, 3075, 1310, 345};
constexpr TwipsBox kLblDescription{1050, 1125, 3885, 1170};
constexpr TwipsBox kLblDisclaimer0{252, 2628, 3876, 228};
constexpr TwipsBox kLblTitle{1050, 240, 3885, 480};
constexpr TwipsBox kLblVersion{1050, 780, 3885, 225};
constexpr TwipsBox kLblDisclaimer1{240, 3000, 3876, 228};

/// The etched separator: a grey line of width 1 over a white one of width 2.
struct Line {
  int x1, y1, x2, y2;
};
constexpr Line kLine1Grey{90, 2451, 5660, 2451};
constexpr Line kLine0White{105, 2466, 5660, 2466};

}  // namespace AboutLayout
