#include "Twips.h"

#include <QFontInfo>
#include <cmath>

LayoutScale LayoutScale::ForFont(const QFont& font) {
  // The size the font is drawn at, in logical pixels, whether the desktop gave it in points or
  // in pixels; on a denser screen the toolkit scales fonts and layout alike, so this stays.
  const int pixels = QFontInfo(font).pixelSize();
  return LayoutScale(qreal(pixels) / kDesignFontPixels);
}

LayoutScale LayoutScale::atMost(qreal most) const {
  if (m_factor <= most) return *this;
  // Whole pixels of the font, so the window's texts can be drawn at just the lowered size.
  return LayoutScale(std::floor(kDesignFontPixels * most) / kDesignFontPixels);
}
