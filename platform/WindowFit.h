#pragma once

// Windows that fit the screen they open on, whatever the desktop's font: the layout grows with
// the font only as far as the screen's free area holds it, and the window opens with its frame
// on that screen.

#include <QPoint>
#include <QRect>
#include <QSize>

#include "Twips.h"

class QFont;
class QScreen;
class QWidget;

/// The layout scale for a window that opens on a screen whose free area (without the desktop's
/// panels and taskbar) is `available`: the desktop `font`'s own, lowered where the window would
/// not fit there, never below the design's. `designed` is the window's client area at the
/// design's size and `menuHeight` what it adds above that at `font` (its menu bar).
LayoutScale FitLayoutScale(const QFont& font, const QSize& designed, int menuHeight,
                           const QRect& available);

/// Where the scale was lowered below the desktop font's, gives the window a font of the size
/// its layout holds, so every caption has its room as at the design's size; else leaves it.
void FitFontToLayout(QWidget& window, LayoutScale scale);

/// Where a window whose frame is `frame` goes: where it stands when it fits in `available`,
/// else moved just far enough to lie wholly inside it (to its top or left edge where the frame
/// is larger than the area).
QPoint KeptOnScreen(const QRect& frame, const QRect& available);

/// Moves a top-level window whose frame lies partly off `screen`'s free area onto it.
void KeepFrameOnScreen(QWidget& window, const QScreen& screen);
