#pragma once

#include <QByteArray>
#include <QImage>
#include <array>
#include <vector>

/// The standard 16-colour palette in its usual order: black, maroon, green, olive, navy,
/// purple, teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white.
const std::array<QRgb, 16>& standardPalette();

/// The bytes of an icon file holding the images, each stored with 4 bits per pixel in the
/// standard palette and an AND mask that makes its transparent pixels show through. Every
/// pixel must be fully transparent or an opaque colour of the palette; sizes up to 255.
QByteArray icoFile(const std::vector<QImage>& images);
