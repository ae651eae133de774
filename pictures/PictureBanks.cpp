#include "PictureBanks.h"

#include <QImage>

#include "DrawEngine.h"
#include "PictureNames.h"
#include "RuntimeError.h"

namespace {

QString resourcePath(const QString& name, const char* suffix) {
  return QStringLiteral(":/pictures/") + name + QLatin1String(suffix);
}

// A built-in picture that cannot be read is reported like an image control refusing its
// Picture, naming the control and the file.
[[noreturn]] void refused(const std::string& control, const QString& path) {
  throw RuntimeError(ErrorKind::PropertyAccess, control + ".Picture: " + path.toStdString());
}

// Decodes one picture. On a dense screen it takes the 2x drawing; for a ratio other than 2 it
// resamples that once, here, so the picture keeps its size in device-independent pixels and
// is never scaled while painting.
QPixmap loadPicture(const QString& name, qreal ratio, const std::string& control) {
  const bool dense = ratio > 1.0;
  const QString path = resourcePath(name, dense ? "@2x.png" : ".png");
  QImage image(path);
  if (image.isNull()) refused(control, path);
  if (dense) {
    if (ratio != 2.0) {
      const QSizeF logical = QSizeF(image.size()) / 2.0;
      image =
          image.scaled((logical * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(ratio);
  } else {
    image.setDevicePixelRatio(1.0);
  }
  return QPixmap::fromImage(std::move(image));
}

void fillBank(std::vector<QPixmap>& pictures, ControlArray<const QPixmap>& bank, int count,
              qreal ratio, QString (*name)(int index)) {
  pictures.reserve(std::size_t(count));  // the bank points into this storage: it never moves
  for (int16_t i = 0; i < count; ++i) {
    const std::string control = bank.name() + "(" + std::to_string(i) + ")";
    pictures.push_back(loadPicture(name(i), ratio, control));
    bank.insert(i, &pictures.back());
  }
}

}  // namespace

PictureBanks::PictureBanks(qreal devicePixelRatio) {
  // The digit bank holds every digit the digit games draw; the number bank every number from 1
  // up to the largest that a number game draws.
  const DrawBounds digits = GameBounds(kNumbers4);
  fillBank(m_digits, m_image1, digits.upper - digits.lower + 1, devicePixelRatio,
           [](int i) { return PictureNames::digit(i); });
  fillBank(m_numbers, m_image2, kHighestNumber, devicePixelRatio,
           [](int i) { return PictureNames::number(i + 1); });
  fillBank(m_blink, m_image4, 2, devicePixelRatio, [](int i) { return PictureNames::blink(i); });
  m_questionMark = loadPicture(PictureNames::questionMark(), devicePixelRatio, "Command1");
  m_areYouReady = loadPicture(PictureNames::areYouReady(), devicePixelRatio, "CommandStart");
  m_banner = loadPicture(PictureNames::banner(), devicePixelRatio, "picIcon");
}

const ControlArray<const QPixmap>& PictureBanks::Image1() const { return m_image1; }
const ControlArray<const QPixmap>& PictureBanks::Image2() const { return m_image2; }
const ControlArray<const QPixmap>& PictureBanks::Image4() const { return m_image4; }
const QPixmap& PictureBanks::questionMark() const { return m_questionMark; }
const QPixmap& PictureBanks::areYouReady() const { return m_areYouReady; }
const QPixmap& PictureBanks::banner() const { return m_banner; }

QIcon PictureBanks::windowIcon() {
  QIcon icon;
  for (int size : {16, 32}) {
    const QString path = resourcePath(PictureNames::bulb(size), ".png");
    const QPixmap bulb(path);
    if (bulb.isNull()) refused("Icon", path);
    icon.addPixmap(bulb);
  }
  return icon;
}
