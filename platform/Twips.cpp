#include "Twips.h"

#include <QFontInfo>

qreal LayoutScaleForFont(const QFont& font) {
  // The size the font is drawn at, in logical pixels, whether the desktop gave it in points or
  // in pixels; on a denser screen the toolkit scales fonts and layout alike, so this stays.
  const int pixels = QFontInfo(font).pixelSize();
  return qMax(qreal(1), qreal(pixels) / kDesignFontPixels);
}
