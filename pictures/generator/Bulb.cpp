#include "Bulb.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cmath>
#include <stdexcept>

namespace {

const QRgb kBlack = qRgb(0x00, 0x00, 0x00);
const QRgb kWhite = qRgb(0xff, 0xff, 0xff);
const QRgb kYellow = qRgb(0xff, 0xff, 0x00);
const QRgb kGrey = qRgb(0x80, 0x80, 0x80);
const QRgb kLightGrey = qRgb(0xc0, 0xc0, 0xc0);

// One bulb in the units of its own pixel grid: the glass is a circle that narrows through a
// neck into the metal base; the rays stand around the glass.
struct BulbDesign {
  int size;
  QPointF glassCentre;
  qreal glassRadius;
  QPolygonF neck;            // joins the circle to the top of the base
  QRectF base;               // the metal base, threaded in bands
  qreal bandHeight;          // rows per thread band, the last row of each in shadow
  QRectF tip;                // the black contact below the base
  QPolygonF filament;        // the glowing wire's left half, from the base up (pixel centres)
  qreal highlightFrom;       // the white highlight: a band inside the glass's left edge,
  qreal highlightTo;         //   between these distances from the centre
  qreal highlightAngle;      //   and this far above and below the left (degrees)
  std::vector<QLineF> rays;  // the left three, between the centres of their end pixels
};

BulbDesign design(int size) {
  if (size == 32) {
    return {
        32,
        QPointF(16, 11.5),
        8.4,
        QPolygonF({{10, 16.5}, {22, 16.5}, {20, 22}, {12, 22}}),
        QRectF(11, 22, 10, 6),
        2,
        QRectF(13, 28, 6, 2),
        QPolygonF({{13.5, 21.5}, {13.5, 12.5}, {14.5, 14.5}, {15.5, 12.5}}),
        4.5,
        6.3,
        58,
        {QLineF(5.5, 2.5, 7.5, 4.5), QLineF(1.5, 11.5, 4.5, 11.5), QLineF(5.5, 20.5, 7.5, 18.5)}};
  }
  if (size == 16) {
    return {16,
            QPointF(8, 5.5),
            4.45,
            QPolygonF({{5, 8}, {11, 8}, {10, 11}, {6, 11}}),
            QRectF(5, 11, 6, 3),
            2,
            QRectF(7, 14, 2, 1),
            QPolygonF({{6.5, 10.5}, {6.5, 7.5}, {7.5, 6.5}}),
            2.0,
            3.2,
            55,
            {QLineF(1.5, 1.5, 2.5, 2.5), QLineF(0.5, 5.5, 1.5, 5.5), QLineF(1.5, 9.5, 2.5, 8.5)}};
  }
  throw std::invalid_argument("the icon comes in 16 and 32 pixels");
}

bool inGlass(const BulbDesign& d, QPointF p) {
  const QPointF r = p - d.glassCentre;
  return QPointF::dotProduct(r, r) <= d.glassRadius * d.glassRadius ||
         d.neck.containsPoint(p, Qt::OddEvenFill);
}

bool inHighlight(const BulbDesign& d, QPointF p) {
  const QPointF r = p - d.glassCentre;
  const qreal distance = std::hypot(r.x(), r.y());
  const qreal fromLeft = qRadiansToDegrees(std::atan2(std::abs(r.y()), -r.x()));
  return r.x() < 0 && distance >= d.highlightFrom && distance <= d.highlightTo &&
         fromLeft <= d.highlightAngle;
}

// The pixels a straight line from a to b passes, one per step along its longer axis.
template <class Plot>
void plotLine(QPointF a, QPointF b, Plot plot) {
  const int steps = int(std::ceil(std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()))));
  for (int i = 0; i <= steps; ++i) {
    const QPointF p = a + (b - a) * (steps == 0 ? 0.0 : qreal(i) / steps);
    plot(int(std::floor(p.x())), int(std::floor(p.y())));
  }
}

}  // namespace

QImage bulbIcon(int size) {
  const BulbDesign d = design(size);
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  auto centreOf = [](int x, int y) { return QPointF(x + 0.5, y + 0.5); };
  auto glass = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < size && y < size && inGlass(d, centreOf(x, y));
  };
  auto base = [&](int x, int y) { return d.base.contains(centreOf(x, y)); };
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const QPointF p = centreOf(x, y);
      if (glass(x, y) && !base(x, y)) {
        const bool edge = !glass(x - 1, y) || !glass(x + 1, y) || !glass(x, y - 1) ||
                          (!glass(x, y + 1) && !base(x, y + 1));
        image.setPixel(x, y, edge ? kBlack : inHighlight(d, p) ? kWhite : kYellow);
      } else if (base(x, y)) {
        // A cylinder lit from the left: white, light grey, grey; each band's last row in
        // shadow. At 32 px the sides are outlined; at 16 the metal needs every pixel.
        const qreal across = (p.x() - d.base.left()) / d.base.width();
        const bool shadowRow = std::fmod(p.y() - d.base.top(), d.bandHeight) > d.bandHeight - 1;
        const bool side = !base(x - 1, y) || !base(x + 1, y);
        QRgb metal = across < 0.34 ? kWhite : across < 0.7 ? kLightGrey : kGrey;
        if (shadowRow) metal = across < 0.34 ? kLightGrey : kGrey;
        image.setPixel(x, y, side && size > 16 ? kBlack : metal);
      } else if (d.tip.contains(p)) {
        image.setPixel(x, y, kBlack);
      }
    }
  }
  // The filament glows grey inside the glass; the rays stand clear of it. Both are drawn on
  // the left and mirrored, so the bulb stays symmetric pixel for pixel.
  auto both = [&](QRgb colour, bool onGlassOnly) {
    return [&image, size, colour, onGlassOnly](int x, int y) {
      for (int column : {x, size - 1 - x}) {
        const QRgb under = image.pixel(column, y);
        if (!onGlassOnly || under == kYellow || under == kWhite) image.setPixel(column, y, colour);
      }
    };
  };
  for (int i = 0; i + 1 < d.filament.size(); ++i)
    plotLine(d.filament[i], d.filament[i + 1], both(kGrey, true));
  for (const QLineF& ray : d.rays) plotLine(ray.p1(), ray.p2(), both(kBlack, false));
  return image;
}

QImage bulbSmooth(int size) {
  const BulbDesign d = design(32);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);

  QPainterPath glass;
  glass.addEllipse(d.glassCentre, d.glassRadius - 0.5, d.glassRadius - 0.5);
  QPainterPath neck;
  neck.addPolygon(d.neck);
  neck.closeSubpath();
  glass = glass.united(neck);

  const QPen outline(QColor(kBlack), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  // The base: thread bands shaded across like a cylinder, outlined.
  const QRectF base = d.base.adjusted(0.5, 0, -0.5, 0);
  for (qreal y = base.top(); y < base.bottom(); y += d.bandHeight) {
    QLinearGradient metal(base.left(), 0, base.right(), 0);
    metal.setColorAt(0.0, QColor(kWhite));
    metal.setColorAt(0.35, QColor(kWhite));
    metal.setColorAt(0.55, QColor(kLightGrey));
    metal.setColorAt(1.0, QColor(kGrey));
    painter.setPen(Qt::NoPen);
    painter.setBrush(metal);
    painter.drawRoundedRect(QRectF(base.left(), y, base.width(), d.bandHeight - 0.5), 0.6, 0.6);
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(outline);
  painter.drawRect(base);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(kBlack));
  painter.drawRoundedRect(d.tip.adjusted(0, -0.5, 0, 0), 1.0, 1.0);

  painter.setPen(outline);
  painter.setBrush(QColor(kYellow));
  painter.drawPath(glass);

  // The highlight down the left of the glass.
  const qreal middle = (d.highlightFrom + d.highlightTo) / 2;
  QPen highlight(QColor(kWhite), d.highlightTo - d.highlightFrom, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(highlight);
  painter.setBrush(Qt::NoBrush);
  const QRectF arc(d.glassCentre - QPointF(middle, middle), QSizeF(2 * middle, 2 * middle));
  painter.drawArc(arc, int((180 - d.highlightAngle) * 16), int(2 * d.highlightAngle * 16));

  painter.setPen(QPen(QColor(kGrey), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPolygonF filament = d.filament;
  for (auto it = d.filament.rbegin(); it != d.filament.rend(); ++it)
    filament << QPointF(32 - it->x(), it->y());
  painter.drawPolyline(filament);

  painter.setPen(QPen(QColor(kBlack), 1.2, Qt::SolidLine, Qt::RoundCap));
  for (const QLineF& ray : d.rays) {
    painter.drawLine(ray);
    painter.drawLine(QLineF(32 - ray.x1(), ray.y1(), 32 - ray.x2(), ray.y2()));
  }
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}
