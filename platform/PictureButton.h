#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "Twips.h"

/// A push button in picture style: a black face with a picture centred at its own size.
/// It holds a normal picture, shown while enabled, and a disabled-state picture, shown unaltered
/// (never greyed) while disabled. The normal picture is also the property "Picture", so a loop
/// over generic controls can set it by name.
class PictureButton : public QAbstractButton {
  Q_OBJECT
  Q_PROPERTY(QPixmap Picture READ picture WRITE setPicture)

public:
  /// Its bevel and focus frame are as wide as a pixel of the window's layout at `scale`.
  explicit PictureButton(QWidget* parent = nullptr, LayoutScale scale = LayoutScale());

  QPixmap picture() const { return m_picture; }
  void setPicture(const QPixmap& picture);

  QPixmap disabledPicture() const { return m_disabledPicture; }
  void setDisabledPicture(const QPixmap& picture);

  /// The picture the button shows now: the disabled-state one while disabled.
  const QPixmap& shownPicture() const;

  QSize sizeHint() const override;

protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  /// Leaves the painter as it starts: every colour here is set where it is drawn, and taking
  /// the widget's pen, background and font resolves its palette against the active window on
  /// every frame of every spinning reel: some 6 % of what the spinning costs.
  void initPainter(QPainter*) const override {}

private:
  /// Where the shown picture sits on the face now (moved by a pixel while pressed).
  QRect pictureRect() const;
  /// Where a picture sits on the face while the button is up.
  QRect restingPlace(const QPixmap& picture) const;
  QRect focusFrameRect() const;
  /// The bevel's two rings, as wide as they are drawn.
  int bevel() const { return 2 * m_line; }
  void paintFace(QPainter& painter);

  /// A line of the face (a bevel ring, the focus frame, the press's shift): one pixel at the
  /// design's size, wider as the layout grows.
  const int m_line;

  QPixmap m_picture;
  QPixmap m_disabledPicture;
  QRect m_pictureAtRest;
  QRect m_disabledPictureAtRest;
};
