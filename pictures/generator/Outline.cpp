#include "Outline.h"

#include <QPainterPathStroker>
#include <QPolygonF>
#include <QtMath>

namespace {

const QTransform kToFine = QTransform::fromScale(Outline::kFine, Outline::kFine);

}  // namespace

Outline Outline::rect(qreal x, qreal y, qreal width, qreal height) {
  QPainterPath path;
  path.addRect(QRectF(x, y, width, height));
  return fromPath(path);
}

Outline Outline::ellipse(const QRectF& box) {
  QPainterPath path;
  path.addEllipse(box);
  return fromPath(path);
}

Outline Outline::polygon(std::initializer_list<QPointF> corners) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(corners)));
  path.closeSubpath();
  return fromPath(path);
}

Outline Outline::ring(const QRectF& outer, qreal side, qreal topBottom) {
  return ellipse(outer) - ellipse(outer.adjusted(side, topBottom, -side, -topBottom));
}

Outline Outline::stroke(const QPainterPath& centreLine, qreal width, Qt::PenJoinStyle join) {
  QPainterPathStroker stroker;
  stroker.setWidth(width * kFine);
  stroker.setCapStyle(Qt::FlatCap);
  stroker.setJoinStyle(join);
  stroker.setMiterLimit(8.0);
  return Outline(stroker.createStroke(kToFine.map(centreLine)).simplified());
}

Outline Outline::band(QPointF a, QPointF b, qreal width, qreal extend) {
  const QPointF along = b - a;
  const qreal length = qSqrt(QPointF::dotProduct(along, along));
  const QPointF unit = along / length;
  QPainterPath line(a - unit * extend);
  line.lineTo(b + unit * extend);
  return stroke(line, width);
}

Outline Outline::fromPath(const QPainterPath& path) {
  return Outline(kToFine.map(path).simplified());
}

Outline Outline::operator|(const Outline& other) const {
  if (isEmpty()) return other;
  if (other.isEmpty()) return *this;
  return Outline(m_fine.united(other.m_fine));
}

Outline Outline::operator-(const Outline& other) const {
  if (isEmpty() || other.isEmpty()) return *this;
  return Outline(m_fine.subtracted(other.m_fine));
}

Outline Outline::operator&(const Outline& other) const {
  if (isEmpty() || other.isEmpty()) return {};
  return Outline(m_fine.intersected(other.m_fine));
}

Outline Outline::translated(qreal dx, qreal dy) const {
  return Outline(m_fine.translated(dx * kFine, dy * kFine));
}

Outline Outline::transformed(const QTransform& transform) const {
  const QTransform fine = kToFine.inverted() * transform * kToFine;
  return Outline(fine.map(m_fine));
}

Outline Outline::rotated180(QPointF centre) const {
  return transformed(QTransform::fromTranslate(centre.x(), centre.y())
                         .rotate(180)
                         .translate(-centre.x(), -centre.y()));
}

QRectF Outline::bounds() const {
  const QRectF fine = m_fine.boundingRect();
  return QRectF(fine.topLeft() / kFine, fine.size() / kFine);
}
