#include "IcoFile.h"

#include <algorithm>
#include <stdexcept>

namespace {

void put16(QByteArray& out, quint16 value) {
  out.append(char(value & 0xff)).append(char(value >> 8));
}

void put32(QByteArray& out, quint32 value) {
  put16(out, quint16(value & 0xffff));
  put16(out, quint16(value >> 16));
}

// Bitmap rows are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

int paletteIndex(QRgb pixel) {
  const auto& palette = standardPalette();
  const auto it = std::find(palette.begin(), palette.end(), pixel | 0xff000000u);
  if (it == palette.end()) throw std::invalid_argument("an icon colour outside the 16 colours");
  return int(it - palette.begin());
}

// One image as the icon format stores it: a bitmap header (twice the height, for the two
// masks), the palette, the colour pixels and the AND mask, both bottom row first.
QByteArray iconImage(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  const int colourRow = rowBytes(w, 4), maskRow = rowBytes(w, 1);
  QByteArray out;
  put32(out, 40);  // header size
  put32(out, quint32(w));
  put32(out, quint32(2 * h));
  put16(out, 1);  // planes
  put16(out, 4);  // bits per pixel
  put32(out, 0);  // no compression
  put32(out, quint32((colourRow + maskRow) * h));
  put32(out, 0);  // horizontal and vertical resolution: unspecified
  put32(out, 0);
  put32(out, 16);  // colours used
  put32(out, 0);   // all of them important
  for (QRgb colour : standardPalette()) {
    out.append(char(qBlue(colour))).append(char(qGreen(colour))).append(char(qRed(colour)));
    out.append(char(0));
  }
  QByteArray colours(colourRow * h, 0), mask(maskRow * h, 0);
  for (int y = 0; y < h; ++y) {
    const int row = h - 1 - y;
    for (int x = 0; x < w; ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) == 0) {
        mask[row * maskRow + x / 8] = char(mask[row * maskRow + x / 8] | (0x80 >> (x % 8)));
        continue;  // colour index 0 under a set mask bit: the screen shows through unchanged
      }
      if (qAlpha(pixel) != 255) throw std::invalid_argument("an icon pixel half transparent");
      const int index = paletteIndex(pixel);
      char& pair = colours[row * colourRow + x / 2];
      pair = char(pair | (x % 2 == 0 ? index << 4 : index));
    }
  }
  return out + colours + mask;
}

}  // namespace

const std::array<QRgb, 16>& standardPalette() {
  static const std::array<QRgb, 16> palette = {
      qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00),
      qRgb(0x80, 0x80, 0x00), qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80),
      qRgb(0x00, 0x80, 0x80), qRgb(0xc0, 0xc0, 0xc0), qRgb(0x80, 0x80, 0x80),
      qRgb(0xff, 0x00, 0x00), qRgb(0x00, 0xff, 0x00), qRgb(0xff, 0xff, 0x00),
      qRgb(0x00, 0x00, 0xff), qRgb(0xff, 0x00, 0xff), qRgb(0x00, 0xff, 0xff),
      qRgb(0xff, 0xff, 0xff)};
  return palette;
}

QByteArray icoFile(const std::vector<QImage>& images) {
  QByteArray header, data;
  put16(header, 0);  // reserved
  put16(header, 1);  // an icon, not a cursor
  put16(header, quint16(images.size()));
  const int firstImage = 6 + 16 * int(images.size());
  for (const QImage& image : images) {
    if (image.width() > 255 || image.height() > 255)
      throw std::invalid_argument("an icon image too large for the 4-bit entries");
    const QByteArray stored = iconImage(image);
    header.append(char(image.width())).append(char(image.height()));
    header.append(char(16)).append(char(0));  // colours, reserved
    put16(header, 1);                         // planes
    put16(header, 4);                         // bits per pixel
    put32(header, quint32(stored.size()));
    put32(header, quint32(firstImage + data.size()));
    data += stored;
  }
  return header + data;
}
