#include "WindowFit.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

LayoutScale FitLayoutScale(const QFont& font, const QSize& designed, int menuHeight,
                           const QRect& available) {
  // The frame the window system draws is not known before the window shows (X11 and Wayland
  // tell it only then): reckoned as a title bar two lines of the font high and borders half a
  // line wide. That is more than the common desktops draw; on Windows a larger text size grows
  // the title bar with the font.
  const int line = QFontMetrics(font).height();
  const QSize frame(line, 2 * line + line / 2);
  const QSize room = available.size() - frame - QSize(0, menuHeight);
  const qreal fits =
      std::min(qreal(room.width()) / designed.width(), qreal(room.height()) / designed.height());
  return LayoutScale::ForFont(font).atMost(fits);
}

void FitFontToLayout(QWidget& window, LayoutScale scale) {
  QFont font = window.font();
  if (QFontInfo(font).pixelSize() <= scale.fontPixels()) return;
  font.setPixelSize(scale.fontPixels());
  window.setFont(font);
}

QPoint KeptOnScreen(const QRect& frame, const QRect& available) {
  QPoint topLeft = frame.topLeft();
  topLeft.setX(
      std::max(available.left(), std::min(topLeft.x(), available.right() - frame.width() + 1)));
  topLeft.setY(
      std::max(available.top(), std::min(topLeft.y(), available.bottom() - frame.height() + 1)));
  return topLeft;
}

void KeepFrameOnScreen(QWidget& window, const QScreen& screen) {
  const QRect frame = window.frameGeometry();
  const QPoint kept = KeptOnScreen(frame, screen.availableGeometry());
  if (kept != frame.topLeft()) window.move(window.pos() + (kept - frame.topLeft()));
}
