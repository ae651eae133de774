// Draws every picture of the program and writes the files under pictures/.
//   generate_pictures DIR            writes DIR/<name>.png, DIR/<name>@2x.png and the icon
//   generate_pictures --sheet FILE [PREFIX [MAGNIFY]]
//                                    writes one contact sheet of them all (or of those whose
//                                    name starts with PREFIX), magnified (4 times), to look at
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <cstdio>

#include "Catalogue.h"
#include "PictureNames.h"

namespace {

bool writeAll(const QString& root) {
  for (const PictureFile& file : pictureFiles()) {
    for (int scale : {1, 2}) {
      if (scale == 2 && !file.hiDpi) continue;
      const QString path = root + "/" + file.name + (scale == 2 ? "@2x.png" : ".png");
      QDir().mkpath(QFileInfo(path).path());
      if (!file.render(scale).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
      }
    }
  }
  QFile icon(root + "/" + PictureNames::iconFile());
  QDir().mkpath(QFileInfo(icon).path());
  if (!icon.open(QIODevice::WriteOnly) || icon.write(iconFile()) != iconFile().size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(icon.fileName()));
    return false;
  }
  return true;
}

// Every picture at 1x magnified 4 times, each beside its 2x version magnified twice (the same
// size on the sheet), on a grey ground so the black pictures show their edges.
QImage contactSheet(const QString& prefix, int magnify) {
  constexpr int kGap = 8, kRowWidth = 1160;
  struct Placed {
    QImage image;
    QPoint at;
  };
  std::vector<Placed> placed;
  int x = kGap, y = kGap, rowHeight = 0;
  auto place = [&](const QImage& image) {
    if (x + image.width() > kRowWidth) {
      x = kGap;
      y += rowHeight + kGap;
      rowHeight = 0;
    }
    placed.push_back({image, QPoint(x, y)});
    x += image.width() + kGap;
    rowHeight = std::max(rowHeight, image.height());
  };
  for (const PictureFile& file : pictureFiles()) {
    if (!file.name.startsWith(prefix)) continue;
    const QImage one = file.render(1);
    place(one.scaled(one.size() * magnify));
    if (file.hiDpi) {
      const QImage two = file.render(2);
      place(two.scaled(two.size() * magnify / 2));
    }
    x += kGap;
  }
  QImage sheet(kRowWidth, y + rowHeight + kGap, QImage::Format_RGB32);
  sheet.fill(QColor(0x60, 0x60, 0x60));
  QPainter painter(&sheet);
  for (const Placed& p : placed) painter.drawImage(p.at, p.image);
  return sheet;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc >= 3 && argc <= 5 && QString(argv[1]) == "--sheet") {
    const int magnify = argc == 5 ? std::max(2, QString(argv[4]).toInt() / 2 * 2) : 4;
    return contactSheet(argc >= 4 ? argv[3] : "", magnify).save(argv[2]) ? 0 : 1;
  }
  if (argc == 2) return writeAll(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
  std::fprintf(stderr, "usage: generate_pictures DIR | --sheet FILE [PREFIX [MAGNIFY]]\n");
  return 2;
}
