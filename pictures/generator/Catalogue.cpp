#include "Catalogue.h"

#include "Bulb.h"
#include "Digits.h"
#include "DrawEngine.h"
#include "IcoFile.h"
#include "Lettering.h"
#include "PictureNames.h"
#include "Render.h"

namespace {

const QColor kCyan(0x31, 0xff, 0xff);
const QColor kYellow(0xe7, 0xff, 0x08);
const QColor kBrightGreen(0x52, 0xff, 0x10);
const QColor kDimGreen(0x08, 0x8c, 0x29);
const QColor kPink(0xff, 0x10, 0x84);
const QColor kWhite(0xff, 0xff, 0xff);
const QSize kReelSize(40, 40);
const QSize kStartSize(100, 40);
const QSize kBannerSize(40, 150);

PictureFile lettering(QString name, Outline (*shape)(), QSize size, QColor colour) {
  return {std::move(name),
          [=](int scale) { return renderLettering(shape(), size, scale, colour); }};
}

std::vector<PictureFile> makeCatalogue() {
  std::vector<PictureFile> files;
  // Every number and digit the games draw.
  for (int n = 1; n <= kHighestNumber; ++n)
    files.push_back({PictureNames::number(n), [n](int scale) {
                       return renderLettering(numberLettering(n), kReelSize, scale, kCyan);
                     }});
  for (int d = GameBounds(kNumbers4).lower; d <= GameBounds(kNumbers4).upper; ++d)
    files.push_back({PictureNames::digit(d), [d](int scale) {
                       return renderLettering(digitLettering(d), kReelSize, scale, kYellow);
                     }});
  files.push_back(lettering(PictureNames::blink(0), startWord, kStartSize, kBrightGreen));
  files.push_back(lettering(PictureNames::blink(1), startWord, kStartSize, kDimGreen));
  files.push_back(lettering(PictureNames::questionMark(), questionMark, kReelSize, kPink));
  files.push_back(lettering(PictureNames::areYouReady(), readyText, kStartSize, kPink));
  files.push_back(lettering(PictureNames::banner(), bannerWord, kBannerSize, kWhite));
  for (int size : {16, 32, 128})
    files.push_back({PictureNames::bulb(size),
                     [size](int) { return size == 128 ? bulbSmooth(size) : bulbIcon(size); },
                     false});
  return files;
}

}  // namespace

const std::vector<PictureFile>& pictureFiles() {
  static const std::vector<PictureFile> files = makeCatalogue();
  return files;
}

QByteArray iconFile() { return icoFile({bulbIcon(32), bulbIcon(16)}); }
