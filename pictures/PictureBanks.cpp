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

// How a screen's density and the layout scale ask for a picture.
struct Density {
  qreal ratio;  // the screen's device pixels per logical pixel
  qreal scale;  // the layout's logical pixels per designed pixel
};

// Decodes one picture. Where more pixels than designed are wanted, it takes the 2x drawing; for
// other than twice the pixels it resamples that once, here, so the picture has its size in
// device-independent pixels and is never scaled while painting.
QPixmap loadPicture(const QString& name, Density density, const std::string& control) {
  const qreal pixels = density.ratio * density.scale;  // device pixels per designed pixel
  const bool dense = pixels > 1.0;
  const QString path = resourcePath(name, dense ? "@2x.png" : ".png");
  QImage image(path);
  if (image.isNull()) refused(control, path);
  if (dense) {
    if (pixels != 2.0) {
      const QSizeF designed = QSizeF(image.size()) / 2.0;
      image = image.scaled((designed * pixels).toSize(), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(density.ratio);
  } else {
    image.setDevicePixelRatio(1.0);
  }
  return QPixmap::fromImage(std::move(image));
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

PictureBanks::PictureBanks(qreal devicePixelRatio, qreal layoutScale)
    : m_devicePixelRatio(devicePixelRatio), m_layoutScale(layoutScale) {
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

QHash<qint64, QPixmap> PictureBanks::remake(qreal devicePixelRatio) {
  PictureBanks fresh(devicePixelRatio, m_layoutScale);
  QHash<qint64, QPixmap> counterparts;
  auto pair = [&counterparts](const std::vector<QPixmap>& old, const std::vector<QPixmap>& now) {
    for (std::size_t i = 0; i < old.size(); ++i) counterparts.insert(old[i].cacheKey(), now[i]);
  };
  pair(m_digits, fresh.m_digits);
  pair(m_numbers, fresh.m_numbers);
  pair(m_blink, fresh.m_blink);
  pair({m_questionMark, m_areYouReady, m_banner},
       {fresh.m_questionMark, fresh.m_areYouReady, fresh.m_banner});
  *this = std::move(fresh);
  return counterparts;
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
