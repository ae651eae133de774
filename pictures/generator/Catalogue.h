#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

/// One picture file the program is built with, and how to draw it.
struct PictureFile {
  QString name;                             ///< path under pictures/, without ".png"
  std::function<QImage(int scale)> render;  ///< the picture at 1x, or scale times larger
  bool hiDpi = true;                        ///< also written at 2x, as name@2x.png
};

/// Every PNG picture, in a fixed order: the number bank, the digit bank, the blink pair, the
/// buttons' initial pictures, the About banner and the light bulbs.
const std::vector<PictureFile>& pictureFiles();

/// The bytes of the icon file (PictureNames::iconFile()): the 32 and 16 px light bulbs in
/// 16 colours.
QByteArray iconFile();
