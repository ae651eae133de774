#pragma once

#include <QString>

/// The names of the picture files under pictures/ (without ".png"); the program loads them
/// from ":/pictures/<name>.png" and ":/pictures/<name>@2x.png".
namespace PictureNames {

/// The number bank's picture of n, from 1: numbers/n01, numbers/n02 ...
inline QString number(int n) { return QStringLiteral("numbers/n%1").arg(n, 2, 10, QChar('0')); }
/// The digit bank's picture of d, 0 to 9: digits/d0 .. digits/d9.
inline QString digit(int d) { return QStringLiteral("digits/d%1").arg(d); }
/// The blink pair: buttons/start0 (bright) and buttons/start1 (dim).
inline QString blink(int phase) { return QStringLiteral("buttons/start%1").arg(phase); }
inline QString questionMark() { return QStringLiteral("buttons/question"); }
inline QString areYouReady() { return QStringLiteral("buttons/ready"); }
inline QString banner() { return QStringLiteral("about/banner"); }
/// The word the banner shows (a maker of our own invention): drawn into it, and its name for
/// those who cannot see it.
inline constexpr char kBannerWord[] = "TAMALUX";
/// The light bulb at 16, 32 or 128 px (no 2x files: the sizes serve every screen).
inline QString bulb(int size) { return QStringLiteral("icons/bulb%1").arg(size); }
/// The icon file with the 16 and 32 px bulbs in 16 colours, for the program file.
inline QString iconFile() { return QStringLiteral("icons/TH.ico"); }

}  // namespace PictureNames
