#pragma once

#include <QColor>
#include <QPalette>
#include <cmath>

// The few colours the designs fix (black text, an etched separator) are readable on the light
// window colour they were drawn for; on a dark one (a dark or high-contrast palette) they would
// vanish, so there the palette's own colours stand in for them.

/// Whether black text on the palette's window colour falls short of a 4.5:1 contrast.
inline bool HasDarkWindow(const QPalette& palette) {
  auto linear = [](qreal c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  const QColor window = palette.color(QPalette::Window);
  const qreal luminance = 0.2126 * linear(window.redF()) + 0.7152 * linear(window.greenF()) +
                          0.0722 * linear(window.blueF());
  return (luminance + 0.05) / 0.05 < 4.5;
}

/// A designed text colour, or the palette's text colour where the window is dark.
inline QColor TextColour(const QColor& designed, const QPalette& palette) {
  return HasDarkWindow(palette) ? palette.color(QPalette::WindowText) : designed;
}
