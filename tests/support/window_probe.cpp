// Prints a fingerprint of what part of an X window shows, for the tests that drive the real
// program in a private X server: two different fingerprints mean the part has changed.
//   window_probe WINDOW-ID X Y WIDTH HEIGHT     (the part in the window's own pixels)
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 6) {
    std::fprintf(stderr, "usage: window_probe WINDOW-ID X Y WIDTH HEIGHT\n");
    return 2;
  }
  int part[4] = {};
  for (int i = 0; i < 4; ++i) part[i] = QString(argv[i + 2]).toInt();
  const WId window = QString(argv[1]).toULongLong(nullptr, 0);
  const QImage image = QGuiApplication::primaryScreen()
                           ->grabWindow(window, part[0], part[1], part[2], part[3])
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  if (image.isNull() || image.size() != QSize(part[2], part[3])) {
    std::fprintf(stderr, "window_probe: could not read window %s\n", argv[1]);
    return 1;
  }
  const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
  std::printf("%s\n", QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex().constData());
  return 0;
}
