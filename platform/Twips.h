#pragma once

#include <QRect>
#include <QtGlobal>

class QFont;

// Window layouts are designed in twips (1/1440 inch) and shown at 12 twips per logical pixel
// with the font they were designed for, so the designed figures fall on whole pixels; Qt's
// high-DPI scaling serves other screens. A larger desktop font would not fit the designed
// rectangles, so with one the whole layout grows by the layout scale, as on a denser screen.

constexpr int kTwipsPerPixel = 12;

/// The design font's height in logical pixels: the toolkit's default 9 pt at 96 dpi.
constexpr int kDesignFontPixels = 12;

/// The layout scale for a desktop font: its height in logical pixels over the design font's,
/// never below 1 (a smaller font leaves the design as it is).
qreal LayoutScaleForFont(const QFont& font);

namespace TwipsDetail {
inline qreal& layoutScale() {
  static qreal scale = 1.0;
  return scale;
}
}  // namespace TwipsDetail

/// The layout scale every window is built with; 1 until the program sets it at start-up.
inline qreal LayoutScale() { return TwipsDetail::layoutScale(); }
/// Set once at start-up, before any window is made (and by tests, around the windows they make).
inline void SetLayoutScale(qreal scale) { TwipsDetail::layoutScale() = qMax(qreal(1), scale); }

/// Twips to logical pixels at the layout scale; a figure between two pixels goes to the nearer
/// (halves away from 0), so at scale 1 every designed figure gives its own whole pixels.
inline int Px(int twips) { return qRound(twips * LayoutScale() / kTwipsPerPixel); }

/// Twips to logical pixels, unrounded, for lines drawn between pixels.
inline qreal PxF(int twips) { return twips * LayoutScale() / kTwipsPerPixel; }

/// A line's width at the layout scale, in whole logical pixels: `pixels` at scale 1.
inline int LineWidth(int pixels) { return qMax(pixels, qRound(pixels * LayoutScale())); }

/// A control's place as designed: left, top, width and height in twips.
struct TwipsBox {
  int left, top, width, height;
  QRect px() const { return QRect(Px(left), Px(top), Px(width), Px(height)); }
};
