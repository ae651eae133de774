// Takes the help's pictures of the program's windows from the windows themselves, so they never
// drift from the program. Run at build time on the offscreen platform, once per pixel density:
//   help_pictures DIR    writes DIR/window.png, about.png, menu-file.png and menu-help.png, named
//                        NAME@2x.png instead when the screen has twice the pixels
//                        (QT_SCALE_FACTOR=2)
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "FileFinder.h"
#include "MessageBoxService.h"
#include "ProgramStarter.h"
#include "RandomSource.h"
#include "Registry.h"
#include "frmAbout.h"
#include "frmMain.h"

namespace {

// Nothing is started and nothing is said while the pictures are taken.
class NoPrograms final : public ProgramStarter {
public:
  void startCommandLine(const std::string&, int) override {}
  void startProgram(const std::string&, int) override {}
};
class NoMessages final : public MessageBoxService {
public:
  void showMessage(const std::string&, int) override {}
};

// The widget as drawn, with a thin grey edge that sets it off from the page.
QImage picture(QWidget& widget) {
  QImage image = widget.grab().toImage();
  // Drawn in the image's own pixels, one line per screen pixel's worth of them.
  const qreal ratio = image.devicePixelRatio();
  image.setDevicePixelRatio(1.0);
  {
    QPainter painter(&image);
    painter.setPen(
        QPen(QColor(0x80, 0x80, 0x80), ratio, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const qreal half = ratio / 2;
    painter.drawRect(QRectF(image.rect()).adjusted(half, half, -half, -half));
  }
  image.setDevicePixelRatio(ratio);
  return image;
}

bool save(const QImage& image, const QString& folder, const char* name) {
  const qreal ratio = image.devicePixelRatio();
  const QString path = folder + "/" + name + (ratio > 1.0 ? "@2x.png" : ".png");
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: help_pictures DIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);

  ClockRandom random;
  NoPrograms programs;
  NoMessages messages;
  SystemRegistry registry;
  SystemFileFinder files;
  frmMain window({random, programs, messages, registry, files});
  // The timers stand still; the handlers are called instead, so every run shows the same
  // numbers: a spin frame on every reel, then all of Loto 6 stopped and two reels of Mini Loto,
  // and the start buttons on their bright face.
  for (QTimer* timer : window.findChildren<QTimer*>()) timer->stop();
  random.seed(20260101);
  for (int16_t reel = 1; reel <= kReelCount; ++reel) window.Timer_Timer(reel);
  for (int16_t reel = 1; reel <= 8; ++reel) window.Command_Click(reel);
  window.TimerStart_Timer();
  window.show();

  frmAbout about({registry, files, programs, messages}, window.banks().banner(),
                 window.layoutScale(), &window);
  about.show();

  bool written = save(picture(window), folder, "window") && save(picture(about), folder, "about");
  for (const char* menuName : {"mnu_file", "mnu_help"}) {
    auto* menu = window.findChild<QMenu*>(menuName);
    menu->popup(window.mapToGlobal(QPoint(0, 0)));
    written = written && save(picture(*menu), folder,
                              menuName == std::string("mnu_file") ? "menu-file" : "menu-help");
    menu->hide();
  }
  return written ? 0 : 1;
}
