// The pictures as the windows get them: the banks' sizes at each screen density, their index
// rules, and what every picture shows, measured on the pixels.
#include <QGuiApplication>
#include <QSet>
#include <QtTest>
#include <algorithm>
#include <climits>
#include <functional>
#include <set>

#include "PictureBanks.h"
#include "RuntimeError.h"

namespace {

const QColor kCyan(0x31, 0xff, 0xff);
const QColor kYellow(0xe7, 0xff, 0x08);
const QColor kBrightGreen(0x52, 0xff, 0x10);
const QColor kDimGreen(0x08, 0x8c, 0x29);
const QColor kPink(0xff, 0x10, 0x84);

QImage pixelsOf(const QPixmap& picture) {
  return picture.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool isInk(QRgb pixel) { return (pixel & 0xffffffu) != 0; }

// The rows and columns that hold any lettering, however faint.
struct Ink {
  int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
};

Ink inkOf(const QImage& image) {
  Ink ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (isInk(image.pixel(x, y))) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

bool columnIsBlank(const QImage& image, int x) {
  for (int y = 0; y < image.height(); ++y)
    if (isInk(image.pixel(x, y))) return false;
  return true;
}

// The widest run of blank columns inside the ink.
int widestInnerGap(const QImage& image) {
  const Ink ink = inkOf(image);
  int widest = 0, run = 0;
  for (int x = ink.left; x <= ink.right; ++x) {
    run = columnIsBlank(image, x) ? run + 1 : 0;
    widest = std::max(widest, run);
  }
  return widest;
}

// The first pixel that is not the lettering colour scaled towards black (within rounding),
// or an empty text. Counts the full colour and the edge shades between it and black.
QString offColour(const QImage& image, QColor colour, int* full = nullptr, int* shades = nullptr) {
  const int peak = std::max({colour.red(), colour.green(), colour.blue()});
  int fullCount = 0, shadeCount = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAlpha(p) != 255) return QStringLiteral("(%1, %2) is not opaque").arg(x).arg(y);
      const int channels[3] = {qRed(p), qGreen(p), qBlue(p)};
      const int wanted[3] = {colour.red(), colour.green(), colour.blue()};
      const int top = *std::max_element(channels, channels + 3);
      const double share = double(top) / peak;
      for (int c = 0; c < 3; ++c)
        if (std::abs(channels[c] - wanted[c] * share) > 1.0 || share > 1.0)
          return QStringLiteral("(%1, %2) is #%3")
              .arg(x)
              .arg(y)
              .arg(p & 0xffffff, 6, 16, QChar('0'));
      fullCount += top == peak;
      shadeCount += top > 0 && top < peak;
    }
  }
  if (full) *full = fullCount;
  if (shades) *shades = shadeCount;
  return {};
}

// The black area around a pixel, filled through its four neighbours; true when it stays
// clear of the picture's border.
bool enclosed(const QImage& image, QPoint start) {
  if (isInk(image.pixel(start))) return false;
  QSet<int> seen;
  QList<QPoint> todo{start};
  while (!todo.isEmpty()) {
    const QPoint p = todo.takeLast();
    if (!image.rect().contains(p) || isInk(image.pixel(p)) || seen.contains(p.y() * 1000 + p.x()))
      continue;
    if (p.x() == 0 || p.y() == 0 || p.x() == image.width() - 1 || p.y() == image.height() - 1)
      return false;
    seen.insert(p.y() * 1000 + p.x());
    todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
  }
  return true;
}

// The columns from..to of an image.
QImage columns(const QImage& image, int from, int to) {
  return image.copy(from, 0, to - from + 1, image.height());
}

}  // namespace

class PictureBanksTest : public QObject {
  Q_OBJECT

  std::unique_ptr<PictureBanks> m_banks;

  QImage number(int n) const { return pixelsOf(m_banks->Image2()[int16_t(n - 1)]); }
  QImage digit(int d) const { return pixelsOf(m_banks->Image1()[int16_t(d)]); }

private slots:
  void initTestCase() { m_banks = std::make_unique<PictureBanks>(); }

  // --- The banks and their index rules ---------------------------------------------------

  void banksHoldEveryPictureAtEachDensity_data() {
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
    QTest::newRow("1.5x, resampled from 2x") << 1.5;
    QTest::newRow("3x, resampled from 2x") << 3.0;
  }

  void banksHoldEveryPictureAtEachDensity() {
    QFETCH(qreal, ratio);
    const PictureBanks banks(ratio);
    auto check = [ratio](const QPixmap& picture, QSize size) {
      QVERIFY(!picture.isNull());
      QCOMPARE(picture.devicePixelRatio(), ratio);
      QCOMPARE(picture.deviceIndependentSize().toSize(), size);
      QCOMPARE(picture.size(), (QSizeF(size) * ratio).toSize());
    };
    const struct {
      const ControlArray<const QPixmap>& bank;
      int count;
      QSize size;
    } banksToCheck[] = {{banks.Image1(), 10, {40, 40}},
                        {banks.Image2(), 43, {40, 40}},
                        {banks.Image4(), 2, {100, 40}}};
    for (const auto& [bank, count, size] : banksToCheck) {
      QCOMPARE(int(bank.count()), count);
      int visited = 0;
      bank.forEach([&, size = size](int16_t index, const QPixmap& picture) {
        QCOMPARE(int(index), visited++);
        check(picture, size);
      });
    }
    check(banks.questionMark(), {40, 40});
    check(banks.areYouReady(), {100, 40});
    check(banks.banner(), {40, 150});
  }

  // At 2x the same shapes stand in the same places, drawn at twice the resolution.
  void denseScreenGetsTheSameLetteringSharper() {
    const PictureBanks dense(2.0);
    const Ink one = inkOf(pixelsOf(dense.Image2()[0]));
    QCOMPARE(one.left, 2 * 16);
    QCOMPARE(one.right, 2 * 22 + 1);
    QCOMPARE(one.top, 2 * 9);
    QCOMPARE(one.bottom, 2 * 30 + 1);
    // Not a magnified 1x picture: some 2 x 2 block mixes shades.
    const QImage zero = pixelsOf(dense.Image1()[0]);
    bool mixed = false;
    for (int y = 0; y < 80 && !mixed; y += 2)
      for (int x = 0; x < 80 && !mixed; x += 2)
        mixed =
            zero.pixel(x, y) != zero.pixel(x + 1, y) || zero.pixel(x, y) != zero.pixel(x, y + 1);
    QVERIFY(mixed);
  }

  void missingIndexRaisesTheMissingElementError_data() {
    QTest::addColumn<QString>("bank");
    QTest::addColumn<int>("index");
    QTest::newRow("number 44") << "Image2" << 43;
    QTest::newRow("number 0") << "Image2" << -1;
    QTest::newRow("digit 10") << "Image1" << 10;
    QTest::newRow("third blink face") << "Image4" << 2;
  }

  void missingIndexRaisesTheMissingElementError() {
    QFETCH(QString, bank);
    QFETCH(int, index);
    const auto& array = bank == "Image2"   ? m_banks->Image2()
                        : bank == "Image1" ? m_banks->Image1()
                                           : m_banks->Image4();
    try {
      array[int16_t(index)];
      QFAIL("a missing entry was returned");
    } catch (const RuntimeError& error) {
      QCOMPARE(error.kind(), ErrorKind::MissingElement);
      QVERIFY(QString::fromStdString(error.what()).contains(bank));
    }
  }

  // A spin frame hands out the bank's own decoded picture: the same object every time, and a
  // copy shares its pixels.
  // Every lookup hands out the one picture decoded at start-up, never a fresh decoding (which
  // would be a new picture with a key of its own); and each entry is a picture of its own.
  void entriesAreDecodedOnceAndShared() {
    std::set<qint64> keys;
    for (const auto* bank : {&m_banks->Image1(), &m_banks->Image2(), &m_banks->Image4()})
      bank->forEach([&](int16_t index, const QPixmap& picture) {
        QCOMPARE((*bank)[index].cacheKey(), picture.cacheKey());
        keys.insert(picture.cacheKey());
      });
    QCOMPARE(keys.size(), std::size_t{10 + 43 + 2});
  }

  void windowIconIsTheBulbAt16And32() {
    const QIcon icon = PictureBanks::windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage large = icon.pixmap(QSize(32, 32)).toImage();
    QCOMPARE(qAlpha(large.pixel(0, 31)), 0);                       // clear around the bulb
    QCOMPARE(QColor(large.pixel(14, 10)), QColor(0xff, 0xff, 0));  // lit glass
  }

  // --- What every picture shows --------------------------------------------------------

  void everyPictureIsFlatLetteringOnBlack_data() {
    QTest::addColumn<QPixmap>("picture");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("smoothed");
    // Only the 1 and the 11 are bars on whole pixels alone, with no edge to smooth.
    for (int n = 1; n <= 43; ++n)
      QTest::addRow("number %d", n)
          << m_banks->Image2()[int16_t(n - 1)] << kCyan << (n != 1 && n != 11);
    for (int d = 0; d <= 9; ++d)
      QTest::addRow("digit %d", d) << m_banks->Image1()[int16_t(d)] << kYellow << (d != 1);
    QTest::newRow("start, bright") << m_banks->Image4()[0] << kBrightGreen << true;
    QTest::newRow("start, dim") << m_banks->Image4()[1] << kDimGreen << true;
    QTest::newRow("question mark") << m_banks->questionMark() << kPink << true;
    // Square corners and straight 2 px strokes on whole pixels: nothing to smooth.
    QTest::newRow("Are You Ready?") << m_banks->areYouReady() << kPink << false;
    QTest::newRow("banner") << m_banks->banner() << QColor(Qt::white) << true;
  }

  void everyPictureIsFlatLetteringOnBlack() {
    QFETCH(QPixmap, picture);
    QFETCH(QColor, colour);
    QFETCH(bool, smoothed);
    const QImage image = pixelsOf(picture);
    for (QPoint corner : {QPoint(0, 0), QPoint(image.width() - 1, 0), QPoint(0, image.height() - 1),
                          QPoint(image.width() - 1, image.height() - 1)})
      QCOMPARE(image.pixel(corner), qRgb(0, 0, 0));
    int full = 0, shades = 0;
    const QString off = offColour(image, colour, &full, &shades);
    QVERIFY2(off.isEmpty(), qPrintable(off));
    QVERIFY(full > 20);
    if (smoothed)
      QVERIFY(shades > 4);
    else
      QCOMPARE(shades, 0);
  }

  void allPicturesOfABankDiffer() {
    QSet<QByteArray> numbers, digits;
    for (int n = 1; n <= 43; ++n) {
      const QImage image = number(n);
      numbers << QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    }
    for (int d = 0; d <= 9; ++d) {
      const QImage image = digit(d);
      digits << QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    }
    QCOMPARE(numbers.size(), 43);
    QCOMPARE(digits.size(), 10);
  }

  // Digits 22 px high on rows 9 to 30; round tops and bottoms pass by one row.
  void numberBankDigitsStandOnTheirLines_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    const int flatTop = 9, roundTop = 8, flatBottom = 30, roundBottom = 31;
    QTest::newRow("1") << 1 << flatTop << flatBottom;
    QTest::newRow("2") << 2 << roundTop << flatBottom;
    QTest::newRow("3") << 3 << flatTop << roundBottom;
    QTest::newRow("4") << 4 << flatTop << flatBottom;
    QTest::newRow("5") << 5 << flatTop << roundBottom;
    QTest::newRow("6") << 6 << flatTop << roundBottom;
    QTest::newRow("7") << 7 << flatTop << flatBottom;
    QTest::newRow("8") << 8 << roundTop << roundBottom;
    QTest::newRow("9") << 9 << roundTop << flatBottom;
    QTest::newRow("10") << 10 << roundTop << roundBottom;
    for (int n = 11; n <= 43; ++n) QTest::addRow("%d", n) << n << -1 << -1;
  }

  void numberBankDigitsStandOnTheirLines() {
    QFETCH(int, n);
    QFETCH(int, top);
    QFETCH(int, bottom);
    const Ink ink = inkOf(number(n));
    QVERIFY(ink.top >= 8 && ink.bottom <= 31);
    if (top >= 0) QCOMPARE(ink.top, top);
    if (bottom >= 0) QCOMPARE(ink.bottom, bottom);
  }

  void oneIsAPlainBarInColumns16To22() {
    const QImage one = number(1);
    const Ink ink = inkOf(one);
    QCOMPARE(ink.left, 16);
    QCOMPARE(ink.right, 22);
    for (int y = 9; y <= 30; ++y)
      for (int x = 17; x <= 21; ++x) QCOMPARE(one.pixel(x, y), kCyan.rgb());
  }

  // One digit, centred: no gap as wide as the space between the digits of a pair, only a
  // stencil cut.
  void singleNumbersAreOneDigitCentred() {
    for (int n = 1; n <= 9; ++n) {
      const QImage image = number(n);
      const Ink ink = inkOf(image);
      QVERIFY2(std::abs(ink.left - (39 - ink.right)) <= 1, qPrintable(QString::number(n)));
      QVERIFY2(widestInnerGap(image) <= 1, qPrintable(QString::number(n)));
    }
  }

  // Every two-digit number is the two single digits' own pictures, one to three blank columns
  // apart and centred as a pair; 20 and 40 fill all 40 columns.
  void twoDigitNumbersAreTheirDigitsSetTightly() {
    QMap<int, QImage> glyphs;  // each digit's ink columns
    auto inkColumns = [](const QImage& image) {
      const Ink ink = inkOf(image);
      return columns(image, ink.left, ink.right);
    };
    for (int d = 1; d <= 9; ++d) glyphs[d] = inkColumns(number(d));
    // The 0 has no picture of its own in this bank: take it from the 10, after the 1.
    const QImage ten = number(10);
    const Ink tenInk = inkOf(ten);
    QCOMPARE(columns(ten, tenInk.left, tenInk.left + glyphs[1].width() - 1), glyphs[1]);
    glyphs[0] = inkColumns(columns(ten, tenInk.left + glyphs[1].width(), tenInk.right));
    QVERIFY(enclosed(glyphs[0], QPoint(glyphs[0].width() / 2, 20)));  // a ring

    for (int n = 10; n <= 43; ++n) {
      const QString name = QString::number(n);
      const QImage image = number(n);
      const Ink ink = inkOf(image);
      const QImage& tens = glyphs[n / 10];
      const QImage& units = glyphs[n % 10];
      QVERIFY2(columns(image, ink.left, ink.left + tens.width() - 1) == tens, qPrintable(name));
      QVERIFY2(columns(image, ink.right - units.width() + 1, ink.right) == units, qPrintable(name));
      const int gap = (ink.right - units.width()) - (ink.left + tens.width()) + 1;
      QVERIFY2(gap >= 1 && gap <= 3, qPrintable(name));
      for (int x = ink.left + tens.width(); x < ink.left + tens.width() + gap; ++x)
        QVERIFY2(columnIsBlank(image, x), qPrintable(name));
      QVERIFY2(std::abs(ink.left - (39 - ink.right)) <= 1, qPrintable(name));
      if (n == 20 || n == 40) {
        QCOMPARE(ink.left, 0);
        QCOMPARE(ink.right, 39);
      }
    }
  }

  // The same face, larger: about 31 px, from row 4 or 5 to row 34 or 35, centred.
  void digitBankDigitsAreLargeAndCentred() {
    for (int d = 0; d <= 9; ++d) {
      const Ink ink = inkOf(digit(d));
      const QString name = QString::number(d);
      QVERIFY2(ink.top == 4 || ink.top == 5, qPrintable(name));
      QVERIFY2(ink.bottom == 34 || ink.bottom == 35, qPrintable(name));
      QVERIFY2(std::abs(ink.left - (39 - ink.right)) <= 1, qPrintable(name));
    }
    QVERIFY(enclosed(digit(0), QPoint(20, 20)));  // the zero is a ring, never blank
    const Ink one = inkOf(digit(1));
    QVERIFY(one.right - one.left + 1 <= 12);  // a plain bar
  }

  void blinkFacesDifferOnlyInColour() {
    const QImage bright = pixelsOf(m_banks->Image4()[0]);
    const QImage dim = pixelsOf(m_banks->Image4()[1]);
    QCOMPARE(bright.size(), dim.size());
    for (int y = 0; y < bright.height(); ++y)
      for (int x = 0; x < bright.width(); ++x) {
        // The bright green's own green is 255, so it tells each pixel's coverage exactly.
        const int coverage = qGreen(bright.pixel(x, y));
        const QRgb expected = qRgb((kDimGreen.red() * coverage + 127) / 255,
                                   (kDimGreen.green() * coverage + 127) / 255,
                                   (kDimGreen.blue() * coverage + 127) / 255);
        QCOMPARE(dim.pixel(x, y), expected);
      }
  }

  void startWordSpansColumns7To94AndRows8To28() {
    const Ink ink = inkOf(pixelsOf(m_banks->Image4()[0]));
    QCOMPARE(ink.left, 7);
    QCOMPARE(ink.right, 94);
    QCOMPARE(ink.top, 8);
    QCOMPARE(ink.bottom, 28);
  }

  void questionMarkStandsInRows3To35AndColumns11To28() {
    const QImage image = pixelsOf(m_banks->questionMark());
    const Ink ink = inkOf(image);
    QCOMPARE(ink.left, 11);
    QCOMPARE(ink.right, 28);
    QCOMPARE(ink.top, 3);
    QCOMPARE(ink.bottom, 35);
    // The dot stands apart below: a blank row above it, about 6 px across and as tall.
    int blankRow = -1;
    for (int y = ink.bottom; y > ink.top && blankRow < 0; --y)
      if (inkOf(image.copy(0, y, 40, 1)).right < 0) blankRow = y;
    QVERIFY(blankRow > 25);
    const Ink dot = inkOf(image.copy(0, blankRow + 1, 40, 40 - blankRow - 1));
    QVERIFY(dot.right - dot.left + 1 >= 6 && dot.right - dot.left + 1 <= 7);
    QVERIFY(dot.bottom - dot.top + 1 >= 6 && dot.bottom - dot.top + 1 <= 7);
    QVERIFY(std::abs((dot.left + dot.right) - 39) <= 1);  // centred under the hook's stem
  }

  void areYouReadySpansColumns9To92() {
    const QImage image = pixelsOf(m_banks->areYouReady());
    const Ink ink = inkOf(image);
    QCOMPARE(ink.left, 9);
    QCOMPARE(ink.right, 92);
    QCOMPARE(ink.top, 13);
    QCOMPARE(ink.bottom, 29);
    // The capital A: rows 13 to 26; the lower case r beside it 12 px high.
    QCOMPARE(inkOf(image.copy(9, 0, 6, 40)).top, 13);
    QCOMPARE(inkOf(image.copy(9, 0, 6, 40)).bottom, 26);
    const Ink r = inkOf(image.copy(16, 0, 4, 40));
    QCOMPARE(r.bottom - r.top + 1, 12);
    // Below the base line only the tail of the y.
    const Ink tail = inkOf(image.copy(0, 27, 100, 3));
    QCOMPARE(tail.bottom, 2);
    QVERIFY(tail.right - tail.left + 1 <= 6);
  }

  // The maker word reads upwards: letters 20 px high in columns 9 to 28, rows 11 to 137.
  void bannerWordRunsUpTheBanner() {
    const QImage image = pixelsOf(m_banks->banner());
    const Ink ink = inkOf(image);
    QCOMPARE(ink.left, 9);
    QCOMPARE(ink.right, 28);
    QCOMPARE(ink.top, 11);
    QCOMPARE(ink.bottom, 137);
    // The first letter, a T, lies at the bottom: its bar down the left edge of the letters.
    for (int y = 125; y <= 137; ++y) QCOMPARE(image.pixel(9, y), qRgb(255, 255, 255));
  }
};

QTEST_MAIN(PictureBanksTest)
#include "picture_banks_test.moc"
