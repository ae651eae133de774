#include "PictureButton.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace {

// Bevel colours of a raised button face; fixed so the look is the same in every style.
const QColor kOuterLight(0xff, 0xff, 0xff);
const QColor kOuterDark(0x40, 0x40, 0x40);
const QColor kInnerLight(0xa0, 0xa0, 0xa0);
const QColor kInnerDark(0x80, 0x80, 0x80);

}  // namespace

PictureButton::PictureButton(QWidget* parent, LayoutScale scale)
    : QAbstractButton(parent), m_line(scale.lineWidth(1)) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureButton::setPicture(const QPixmap& picture) {
  // A spinning reel gets a new picture 20 times a second: repaint only where the old and the new
  // picture sit, and nothing when it is the same picture again. The face and bevel around it are
  // unchanged, and repainting them on every frame is what made the reels cost.
  if (picture.cacheKey() == m_picture.cacheKey()) return;
  const QRect before = isEnabled() ? pictureRect() : QRect();
  m_picture = picture;
  m_pictureAtRest = restingPlace(m_picture);
  if (isEnabled()) update(before | pictureRect());
}

void PictureButton::setDisabledPicture(const QPixmap& picture) {
  if (picture.cacheKey() == m_disabledPicture.cacheKey()) return;
  m_disabledPicture = picture;
  m_disabledPictureAtRest = restingPlace(m_disabledPicture);
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
  if (event->type() == QEvent::Resize) {
    m_pictureAtRest = restingPlace(m_picture);
    m_disabledPictureAtRest = restingPlace(m_disabledPicture);
  }
  return handled;
}

QSize PictureButton::sizeHint() const {
  const QSize picture = m_picture.deviceIndependentSize().toSize();
  const int margin = 4 * bevel() + 2 * m_line;
  return picture + QSize(margin, margin);
}

QRect PictureButton::restingPlace(const QPixmap& picture) const {
  if (picture.isNull()) return {};
  const QSize size = picture.deviceIndependentSize().toSize();
  const QPoint topLeft((width() - size.width()) / 2, (height() - size.height()) / 2);
  // At a fractional ratio the picture's size in logical pixels is fractional too: cover all of it.
  return QRectF(topLeft, picture.deviceIndependentSize()).toAlignedRect();
}

QRect PictureButton::pictureRect() const {
  // Asked for three times on every frame of a spinning reel: worked out when the picture or the
  // size changes, not here.
  const QRect& place = isEnabled() ? m_pictureAtRest : m_disabledPictureAtRest;
  return isDown() ? place.translated(m_line, m_line) : place;
}

QRect PictureButton::focusFrameRect() const {
  const int inset = bevel() + m_line;
  return rect().adjusted(inset, inset, -inset - m_line, -inset - m_line);
}

void PictureButton::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // A new picture repaints only its own rectangle, which the opaque picture covers: draw the
  // picture alone there, unless the focus frame runs through it. At a fractional ratio the
  // region is rounded out to whole device pixels the picture may not cover, so the face is
  // drawn beneath it as always.
  const QPixmap& picture = shownPicture();
  const QRect area = event->rect();
  const QRect place = pictureRect();
  const qreal ratio = devicePixelRatioF();
  if (place.contains(area) && !picture.hasAlphaChannel() && ratio == std::floor(ratio) &&
      (!hasFocus() || focusFrameRect().adjusted(m_line, m_line, -m_line, -m_line).contains(area))) {
    painter.drawPixmap(place.topLeft(), picture);
    return;
  }
  paintFace(painter);
}

void PictureButton::paintFace(QPainter& painter) {
  const QRect face = rect();
  painter.fillRect(face, Qt::black);

  // A raised bevel, sunken while pressed or disabled, so a stopped reel reads as pressed in.
  // Two rings of lines as wide as the layout makes a pixel; the bottom and right edges are
  // drawn last and take the corners they share with the top and left.
  const bool sunken = isDown() || !isEnabled();
  const int w = m_line;
  const QRect outer = face.adjusted(0, 0, -w, -w);
  const QRect inner = outer.adjusted(w, w, -w, -w);
  auto edge = [&painter, w](const QRect& strip, const QColor& colour) {
    // A line of one pixel is drawn as a line, so a denser screen shows it as it always has.
    if (w > 1) {
      painter.fillRect(strip, colour);
      return;
    }
    painter.setPen(colour);
    painter.drawLine(strip.topLeft(), strip.bottomRight());
  };
  auto bevel = [&edge, w](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    edge(QRect(r.left(), r.top(), r.width(), w), topLeft);
    edge(QRect(r.left(), r.top(), w, r.height()), topLeft);
    edge(QRect(r.left(), r.bottom() - w + 1, r.width(), w), bottomRight);
    edge(QRect(r.right() - w + 1, r.top(), w, r.height()), bottomRight);
  };
  if (sunken) {
    bevel(outer, kOuterDark, kOuterLight);
    bevel(inner, kInnerDark, kInnerLight);
  } else {
    bevel(outer, kOuterLight, kOuterDark);
    bevel(inner, kInnerLight, kInnerDark);
  }

  const QPixmap& picture = shownPicture();
  if (!picture.isNull()) painter.drawPixmap(pictureRect().topLeft(), picture);

  if (hasFocus()) {
    // A dotted frame inside the bevel; light so it shows on the black face.
    QPen pen(QColor(0xc0, 0xc0, 0xc0), m_line);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(focusFrameRect());
  }
}
