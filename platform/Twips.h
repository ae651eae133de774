#pragma once

#include <QRect>
#include <QtGlobal>

class QFont;

// Window layouts are designed in twips (1/1440 inch) and shown at 12 twips per logical pixel
// with the font they were designed for, so the designed figures fall on whole pixels; Qt's
// high-DPI scaling serves other screens. A larger desktop font would not fit the designed
// rectangles, so with one a window's whole layout grows by its layout scale, as on a denser
// screen. Each window chooses its scale when it is made (WindowFit.h) and hands it to what it
// makes, as it does the screen's device pixel ratio.

constexpr int kTwipsPerPixel = 12;

/// The design font's height in logical pixels: the toolkit's default 9 pt at 96 dpi.
constexpr int kDesignFontPixels = 12;

/// A control's place as designed: left, top, width and height in twips.
struct TwipsBox {
  int left, top, width, height;
};

/// The scale one window is laid out at: its twips times the scale over 12 are its logical pixels.
class LayoutScale {
public:
  /// The design's own size.
  constexpr LayoutScale() = default;
  /// Never below 1: a smaller font leaves the design as it is.
  explicit constexpr LayoutScale(qreal factor) : m_factor(factor > 1 ? factor : 1) {}

  /// The scale a desktop font asks for: its height in logical pixels over the design font's.
  static LayoutScale ForFont(const QFont& font);

  qreal factor() const { return m_factor; }
  /// The height of the font the layout holds, in logical pixels: the design font's, grown.
  int fontPixels() const { return qRound(kDesignFontPixels * m_factor); }
  /// This scale, or where it is above `most`, the largest below it at a whole font pixel.
  LayoutScale atMost(qreal most) const;

  /// Twips to logical pixels; a figure between two pixels goes to the nearer (halves away from
  /// 0), so at scale 1 every designed figure gives its own whole pixels.
  int px(int twips) const { return qRound(twips * m_factor / kTwipsPerPixel); }
  QRect px(const TwipsBox& box) const {
    return QRect(px(box.left), px(box.top), px(box.width), px(box.height));
  }
  /// Twips to logical pixels, unrounded, for lines drawn between pixels.
  qreal pxF(int twips) const { return twips * m_factor / kTwipsPerPixel; }
  /// A line's width in whole logical pixels: `pixels` at scale 1, wider as the layout grows.
  int lineWidth(int pixels) const { return qMax(pixels, qRound(pixels * m_factor)); }

  friend bool operator==(LayoutScale a, LayoutScale b) {
    return qFuzzyCompare(a.m_factor, b.m_factor);
  }

private:
  qreal m_factor = 1;
};
