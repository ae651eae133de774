#pragma once
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <vector>
#include "ControlArray.h"

/// Whether a picture drawn at 1x and 2x is taken from its 2x drawing for a screen of
/// `devicePixelRatio` that shows it at `layoutScale` times its designed size: where the two ask
/// for more than the designed pixels.
bool WantsSharpPicture(qreal devicePixelRatio, qreal layoutScale);

/// A picture drawn at `drawnScale` times its designed pixels (1 or 2), made ready for such a
/// screen: resampled once, here, where other pixels are wanted, so that it is never scaled while
/// painting, and given the screen's ratio.
QImage PictureForScreen(QImage drawn, qreal drawnScale, qreal devicePixelRatio, qreal layoutScale);

/// The pictures of the windows, decoded once from the files built into the program.
class PictureBanks {
public:
  /// Loads every picture for a screen of this device pixel ratio, at layoutScale times its
  /// designed size in device-independent pixels (WantsSharpPicture, PictureForScreen).
  explicit PictureBanks(qreal devicePixelRatio = 1.0, qreal layoutScale = 1.0);
  // The banks point into their own storage: they stay where they are made.
  PictureBanks(const PictureBanks&) = delete;
  PictureBanks& operator=(const PictureBanks&) = delete;

  qreal devicePixelRatio() const { return m_devicePixelRatio; }

  const ControlArray<const QPixmap>& Image1() const;  ///< digit d at entry d, 0..9
  const ControlArray<const QPixmap>& Image2() const;  ///< number n at entry n - 1
  const ControlArray<const QPixmap>& Image4() const;  ///< blink pair: 0 bright, 1 dim
  const QPixmap& questionMark() const;                ///< the reel buttons' initial picture
  const QPixmap& areYouReady() const;                 ///< the start buttons' initial picture
  const QPixmap& banner() const;                      ///< the About box's picIcon picture
  static QIcon windowIcon();                          ///< the light bulb, 16 and 32 px

private:
  qreal m_devicePixelRatio;
  // The banks' pictures; reserved to their final size before the arrays point into them.
  std::vector<QPixmap> m_digits;
  std::vector<QPixmap> m_numbers;
  std::vector<QPixmap> m_blink;
  QPixmap m_questionMark;
  QPixmap m_areYouReady;
  QPixmap m_banner;
  ControlArray<const QPixmap> m_image1{"Image1"};
  ControlArray<const QPixmap> m_image2{"Image2"};
  ControlArray<const QPixmap> m_image4{"Image4"};
};
