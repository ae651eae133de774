#include "PictureBanks.h"

#include <QImage>
#include <algorithm>

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

// How a screen's density and the layout scale ask for a picture.
struct Density {
  qreal ratio;  // the screen's device pixels per logical pixel
  qreal scale;  // the layout's logical pixels per designed pixel
};

// Decodes one picture, from the 2x drawing where more pixels than designed are wanted.
QPixmap loadPicture(const QString& name, Density density, const std::string& control) {
  const bool sharp = WantsSharpPicture(density.ratio, density.scale);
  const QString path = resourcePath(name, sharp ? "@2x.png" : ".png");
  QImage image(path);
  if (image.isNull()) refused(control, path);
  return QPixmap::fromImage(
      PictureForScreen(std::move(image), sharp ? 2.0 : 1.0, density.ratio, density.scale));
}

void fillBank(std::vector<QPixmap>& pictures, ControlArray<const QPixmap>& bank, int count,
              Density density, QString (*name)(int index)) {
  pictures.reserve(std::size_t(count));  // the bank points into this storage: it never moves
  for (int16_t i = 0; i < count; ++i) {
    const std::string control = bank.name() + "(" + std::to_string(i) + ")";
    pictures.push_back(loadPicture(name(i), density, control));
    bank.insert(i, &pictures.back());
  }
}

}  // namespace

bool WantsSharpPicture(qreal devicePixelRatio, qreal layoutScale) {
  return devicePixelRatio * layoutScale > 1.0;
}

QImage PictureForScreen(QImage drawn, qreal drawnScale, qreal devicePixelRatio, qreal layoutScale) {
  // Device pixels per designed pixel; a screen of fewer than one per logical pixel is given the
  // designed pixels.
  const qreal pixels = std::max(qreal(1), devicePixelRatio * layoutScale);
  if (pixels != drawnScale) {
    const QSizeF designed = QSizeF(drawn.size()) / drawnScale;
    drawn =
        drawn.scaled((designed * pixels).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  drawn.setDevicePixelRatio(pixels > 1.0 ? devicePixelRatio : 1.0);
  return drawn;
}

PictureBanks::PictureBanks(qreal devicePixelRatio, qreal layoutScale)
    : m_devicePixelRatio(devicePixelRatio) {
  const Density density{devicePixelRatio, layoutScale};
  // The digit bank holds every digit the digit games draw; the number bank every number from 1
  // up to the largest that a number game draws.
  const DrawBounds digits = GameBounds(kNumbers4);
  fillBank(m_digits, m_image1, digits.upper - digits.lower + 1, density,
           [](int i) { return PictureNames::digit(i); });
  fillBank(m_numbers, m_image2, kHighestNumber, density,
           [](int i) { return PictureNames::number(i + 1); });
  fillBank(m_blink, m_image4, 2, density, [](int i) { return PictureNames::blink(i); });
  m_questionMark = loadPicture(PictureNames::questionMark(), density, "Command1");
  m_areYouReady = loadPicture(PictureNames::areYouReady(), density, "CommandStart");
  m_banner = loadPicture(PictureNames::banner(), density, "picIcon");
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
