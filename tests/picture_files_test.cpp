// The picture files are data drawn by the generator: every committed file must be exactly what
// the generator draws today, and the icon file must hold what Windows expects of it.
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QtTest>
#include <cstdlib>

#include "Catalogue.h"
#include "IcoFile.h"
#include "PictureNames.h"

namespace {

const QString kDir = QStringLiteral(TH_PICTURES_DIR);
const QString kRedraw = QStringLiteral(" (redraw with the regenerate_pictures target)");

QImage argb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

QString fileName(const PictureFile& file, int scale) {
  return file.name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
}

// How far a channel of a drawn pixel may stray from the committed one. The files are drawn on
// Linux; another build of the toolkit (Windows) may round an edge's shade differently.
#ifndef TH_CHANNEL_TOLERANCE
#define TH_CHANNEL_TOLERANCE 0
#endif

bool nearlyEqual(QRgb a, QRgb b) {
  auto near = [](int x, int y) { return std::abs(x - y) <= TH_CHANNEL_TOLERANCE; };
  return near(qRed(a), qRed(b)) && near(qGreen(a), qGreen(b)) && near(qBlue(a), qBlue(b)) &&
         near(qAlpha(a), qAlpha(b));
}

// Where two images of one size first differ, for the failure message; empty when equal.
QString firstDifference(const QImage& committed, const QImage& drawn) {
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x)
      if (!nearlyEqual(committed.pixel(x, y), drawn.pixel(x, y)))
        return QStringLiteral("pixel (%1, %2) is #%3, drawn #%4")
            .arg(x)
            .arg(y)
            .arg(committed.pixel(x, y), 8, 16, QChar('0'))
            .arg(drawn.pixel(x, y), 8, 16, QChar('0'));
  return {};
}

quint32 readLittleEndian(const QByteArray& bytes, int at, int size) {
  quint32 value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | quint8(bytes[at + i]);
  return value;
}

const QSet<QRgb> kBulbColours = {qRgb(0, 0, 0), qRgb(0xff, 0xff, 0xff), qRgb(0xff, 0xff, 0),
                                 qRgb(0x80, 0x80, 0x80), qRgb(0xc0, 0xc0, 0xc0)};

}  // namespace

class PictureFilesTest : public QObject {
  Q_OBJECT

private slots:
  void committedPictureIsWhatTheGeneratorDraws_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("scale");
    for (int i = 0; i < int(pictureFiles().size()); ++i)
      for (int scale : {1, 2})
        if (scale == 1 || pictureFiles()[i].hiDpi)
          QTest::newRow(qPrintable(fileName(pictureFiles()[i], scale))) << i << scale;
  }

  void committedPictureIsWhatTheGeneratorDraws() {
    QFETCH(int, index);
    QFETCH(int, scale);
    const PictureFile& file = pictureFiles()[index];
    const QString path = kDir + "/" + fileName(file, scale);
    const QImage committed(path);
    QVERIFY2(!committed.isNull(), qPrintable(path + " cannot be read" + kRedraw));
    const QImage drawn = file.render(scale);
    QCOMPARE(committed.size(), drawn.size());
    // PNG bytes may differ with the compressor's version; the pixels may not.
    const QString difference = firstDifference(argb(committed), argb(drawn));
    QVERIFY2(difference.isEmpty(), qPrintable(path + ": " + difference + kRedraw));
  }

  void iconFileIsWhatTheGeneratorWrites() {
    QFile file(kDir + "/" + PictureNames::iconFile());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName() + kRedraw));
    QVERIFY2(file.readAll() == iconFile(), qPrintable(file.fileName() + " differs" + kRedraw));
  }

  void noPictureFileIsLeftOver() {
    QSet<QString> written = {PictureNames::iconFile()};
    for (const PictureFile& file : pictureFiles()) {
      written << fileName(file, 1);
      if (file.hiDpi) written << fileName(file, 2);
    }
    QDirIterator it(kDir, {"*.png", "*.ico"}, QDir::Files, QDirIterator::Subdirectories);
    int found = 0;
    while (it.hasNext()) {
      const QString name = QDir(kDir).relativeFilePath(it.next());
      QVERIFY2(written.contains(name), qPrintable(name + " is drawn by nothing; remove it"));
      ++found;
    }
    QCOMPARE(found, written.size());
  }

  // Both images in 4 bits per pixel with the standard palette, transparent through the AND
  // mask exactly where the bulb pictures are transparent.
  void iconHoldsBothBulbsIn16Colours() {
    QFile file(kDir + "/" + PictureNames::iconFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    auto u16 = [&](int at) { return readLittleEndian(ico, at, 2); };
    auto u32 = [&](int at) { return readLittleEndian(ico, at, 4); };
    QCOMPARE(u16(0), 0u);
    QCOMPARE(u16(2), 1u);  // an icon
    QCOMPARE(u16(4), 2u);
    QList<int> sizes;
    for (int entry = 0; entry < 2; ++entry) {
      const int at = 6 + 16 * entry;
      const int size = quint8(ico[at]);
      sizes << size;
      QCOMPARE(int(quint8(ico[at + 1])), size);
      QCOMPARE(int(quint8(ico[at + 2])), 16);  // colours
      QCOMPARE(u16(at + 4), 1u);               // planes
      QCOMPARE(u16(at + 6), 4u);               // bits per pixel
      const int offset = int(u32(at + 12));
      QCOMPARE(int(u32(at + 8)), 40 + 64 + size * size / 2 + 4 * size);
      QVERIFY(offset + int(u32(at + 8)) <= ico.size());

      QCOMPARE(u32(offset), 40u);
      QCOMPARE(int(u32(offset + 4)), size);
      QCOMPARE(int(u32(offset + 8)), 2 * size);
      QCOMPARE(u16(offset + 14), 4u);
      QCOMPARE(u32(offset + 16), 0u);  // uncompressed
      for (int i = 0; i < 16; ++i) {
        const int quad = offset + 40 + 4 * i;
        QCOMPARE(qRgb(quint8(ico[quad + 2]), quint8(ico[quad + 1]), quint8(ico[quad])),
                 standardPalette()[i]);
      }

      const QImage bulb = argb(QImage(kDir + "/" + PictureNames::bulb(size) + ".png"));
      QCOMPARE(bulb.size(), QSize(size, size));
      const int pixels = offset + 40 + 64, mask = pixels + size * size / 2;
      const int maskRow = 4;  // 16 or 32 bits, padded to one 32-bit word
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const int row = size - 1 - y;  // bottom row first
          const bool clear = quint8(ico[mask + row * maskRow + x / 8]) & (0x80 >> (x % 8));
          const int pair = quint8(ico[pixels + row * size / 2 + x / 2]);
          const int index = x % 2 == 0 ? pair >> 4 : pair & 0x0f;
          const QRgb shown = bulb.pixel(x, y);
          QCOMPARE(clear, qAlpha(shown) == 0);
          if (clear) {
            QCOMPARE(index, 0);  // black under the mask leaves the screen as it is
          } else {
            QCOMPARE(qAlpha(shown), 255);
            QCOMPARE(standardPalette()[index], shown);
            QVERIFY2(kBulbColours.contains(shown), "a colour the bulb does not use");
          }
        }
      }
    }
    QCOMPARE(sizes, (QList<int>{32, 16}));
  }

  // An independent reader agrees: Qt's icon decoder sees the same two bulbs.
  void iconDecodesToTheBulbPictures() {
    QImageReader reader(kDir + "/" + PictureNames::iconFile());
    QCOMPARE(reader.imageCount(), 2);
    for (int size : {32, 16}) {
      const QImage decoded = argb(reader.read());
      QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
      QCOMPARE(decoded, argb(QImage(kDir + "/" + PictureNames::bulb(size) + ".png")));
      reader.jumpToNextImage();
    }
  }

  void bulbsAreLitAndStandClear() {
    for (int size : {16, 32, 128}) {
      const QImage bulb = argb(QImage(kDir + "/" + PictureNames::bulb(size) + ".png"));
      QCOMPARE(bulb.size(), QSize(size, size));
      for (QPoint corner :
           {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
        QCOMPARE(qAlpha(bulb.pixel(corner)), 0);
      // The glass glows yellow left of the filament, above the middle.
      QCOMPARE(bulb.pixel(size * 14 / 32, size * 10 / 32), qRgb(0xff, 0xff, 0));
      int yellow = 0, partial = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          const QRgb pixel = bulb.pixel(x, y);
          yellow += (pixel & 0xffffffu) == 0xffff00u && qAlpha(pixel) == 255;
          partial += qAlpha(pixel) > 0 && qAlpha(pixel) < 255;
        }
      QVERIFY(yellow > size * size / 10);
      // Only the desktop's large bulb is smoothed against its ground; the icon's are not.
      QCOMPARE(partial > 0, size == 128);
    }
  }
};

QTEST_GUILESS_MAIN(PictureFilesTest)
#include "picture_files_test.moc"
