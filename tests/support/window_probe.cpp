// Prints a fingerprint of what part of an X window shows, so a test of the real program can
// tell that the part changed.   window_probe WINDOW-ID X Y WIDTH HEIGHT
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 6) return 2;
  const QImage image =
      QGuiApplication::primaryScreen()
          ->grabWindow(QString(argv[1]).toULongLong(), QString(argv[2]).toInt(),
                       QString(argv[3]).toInt(), QString(argv[4]).toInt(), QString(argv[5]).toInt())
          .toImage();
  if (image.isNull()) return 1;
  const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
  std::printf("%s\n", QCryptographicHash::hash(bits, QCryptographicHash::Md5).toHex().constData());
  return 0;
}
