#include "PictureButton.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

// Bevel colours of a raised button face; fixed so the look is the same in every style.
const QColor kOuterLight(0xff, 0xff, 0xff);
const QColor kOuterDark(0x40, 0x40, 0x40);
const QColor kInnerLight(0xa0, 0xa0, 0xa0);
const QColor kInnerDark(0x80, 0x80, 0x80);
constexpr int kBevel = 2;

}  // namespace

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureButton::setPicture(const QPixmap& picture) {
  m_picture = picture;
  if (isEnabled()) update();
}

void PictureButton::setDisabledPicture(const QPixmap& picture) {
  m_disabledPicture = picture;
  if (!isEnabled()) update();
}

const QPixmap& PictureButton::shownPicture() const {
  return isEnabled() ? m_picture : m_disabledPicture;
}

bool PictureButton::event(QEvent* event) {
  const bool handled = QAbstractButton::event(event);
  // A style may clear the opaque flag when it polishes a button (Fusion does, for its rounded
  // faces). This button paints every pixel itself, so it claims them again: otherwise every
  // picture change would repaint the group box and the window beneath it as well.
  if (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange)
    setAttribute(Qt::WA_OpaquePaintEvent);
  return handled;
}

QSize PictureButton::sizeHint() const {
  const QSize picture = m_picture.deviceIndependentSize().toSize();
  return picture + QSize(4 * kBevel + 2, 4 * kBevel + 2);
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect face = rect();
  painter.fillRect(face, Qt::black);

  // A raised bevel, sunken while pressed or disabled, so a stopped reel reads as pressed in.
  const bool sunken = isDown() || !isEnabled();
  const QRect outer = face.adjusted(0, 0, -1, -1);
  const QRect inner = outer.adjusted(1, 1, -1, -1);
  auto bevel = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
  };
  if (sunken) {
    bevel(outer, kOuterDark, kOuterLight);
    bevel(inner, kInnerDark, kInnerLight);
  } else {
    bevel(outer, kOuterLight, kOuterDark);
    bevel(inner, kInnerLight, kInnerDark);
  }

  const QPixmap& picture = shownPicture();
  if (!picture.isNull()) {
    const QSize size = picture.deviceIndependentSize().toSize();
    QPoint topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
    if (isDown()) topLeft += QPoint(1, 1);
    painter.drawPixmap(topLeft, picture);
  }

  if (hasFocus()) {
    // A dotted frame inside the bevel; light so it shows on the black face.
    QPen pen(QColor(0xc0, 0xc0, 0xc0));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(face.adjusted(kBevel + 1, kBevel + 1, -kBevel - 2, -kBevel - 2));
  }
}
