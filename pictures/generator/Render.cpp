#include "Render.h"

#include <QPainter>

QImage renderCoverage(const Outline& shape, QSize size, int scale) {
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(scale / Outline::kFine, scale / Outline::kFine);
  painter.fillPath(shape.finePath(), Qt::white);
  painter.end();
  return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage renderLettering(const Outline& shape, QSize size, int scale, QColor colour) {
  const QImage coverage = renderCoverage(shape, size, scale);
  QImage image(coverage.size(), QImage::Format_RGB32);
  // Scaling each channel by the coverage (rounded) keeps every edge shade on the line from
  // the lettering colour to black, with no tint of its own.
  auto scaled = [](int channel, int share) { return (channel * share + 127) / 255; };
  for (int y = 0; y < image.height(); ++y) {
    const uchar* in = coverage.constScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int share = in[x];
      out[x] = qRgb(scaled(colour.red(), share), scaled(colour.green(), share),
                    scaled(colour.blue(), share));
    }
  }
  return image;
}
