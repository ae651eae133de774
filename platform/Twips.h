#pragma once

#include <QRect>
#include <QtGlobal>

// Window layouts are designed in twips (1/1440 inch) and shown at 12 twips per logical pixel,
// so the designed figures fall on whole pixels; Qt's high-DPI scaling serves other screens.

constexpr int kTwipsPerPixel = 12;

/// Twips to logical pixels; a figure between two pixels goes to the nearer (halves away from 0).
constexpr int Px(int twips) {
  return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

/// Twips to logical pixels, unrounded, for lines drawn between pixels.
constexpr qreal PxF(int twips) { return qreal(twips) / kTwipsPerPixel; }

/// A control's place as designed: left, top, width and height in twips.
struct TwipsBox {
  int left, top, width, height;
  constexpr QRect px() const { return QRect(Px(left), Px(top), Px(width), Px(height)); }
};
