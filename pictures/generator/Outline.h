#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <initializer_list>

/// A filled shape in pixel units. It is kept at a fine resolution so that the boolean
/// operations, which flatten curves into polygons, leave no visible facets at picture size.
class Outline {
public:
  /// The fine units in one pixel.
  static constexpr qreal kFine = 64.0;

  Outline() = default;

  static Outline rect(qreal x, qreal y, qreal width, qreal height);
  static Outline ellipse(const QRectF& box);
  static Outline polygon(std::initializer_list<QPointF> corners);
  /// A ring: the ellipse in the box less the ellipse inset by side (left and right) and by
  /// topBottom (above and below), so a geometric face can make its sides a little heavier.
  static Outline ring(const QRectF& outer, qreal side, qreal topBottom);
  /// The area a pen of the given width covers along a centre line, with flat ends.
  static Outline stroke(const QPainterPath& centreLine, qreal width,
                        Qt::PenJoinStyle join = Qt::MiterJoin);
  /// A straight stroke from a to b, flat ended, prolonged by extend at both ends (to be trimmed).
  static Outline band(QPointF a, QPointF b, qreal width, qreal extend = 0.0);
  /// A shape given as a path in pixel units (filled with its own fill rule).
  static Outline fromPath(const QPainterPath& path);

  Outline operator|(const Outline& other) const;
  Outline operator-(const Outline& other) const;
  Outline operator&(const Outline& other) const;
  Outline& operator|=(const Outline& other) { return *this = *this | other; }

  Outline translated(qreal dx, qreal dy) const;
  /// The shape under a transformation given in pixel units.
  Outline transformed(const QTransform& transform) const;
  /// The shape turned half a turn about a point.
  Outline rotated180(QPointF centre) const;

  /// The smallest rectangle holding the shape, in pixels.
  QRectF bounds() const;
  bool isEmpty() const { return m_fine.isEmpty(); }

  /// The path at the fine resolution, for painting with a matching scale.
  const QPainterPath& finePath() const { return m_fine; }

private:
  explicit Outline(QPainterPath fine) : m_fine(std::move(fine)) {}
  QPainterPath m_fine;
};
