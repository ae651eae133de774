#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include "Outline.h"

/// Paints lettering the way every bank and button picture shows it: opaque, a solid black
/// background, and the shape in one flat colour whose smoothed edges are that colour scaled
/// towards black by the share of the pixel the shape covers.
/// size is the picture's size at 1x; scale renders the same shape that many times larger.
QImage renderLettering(const Outline& shape, QSize size, int scale, QColor colour);

/// The share of each pixel the shape covers, 0 to 255, as an 8-bit grey image.
QImage renderCoverage(const Outline& shape, QSize size, int scale);
