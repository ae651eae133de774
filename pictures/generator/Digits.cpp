#include "Digits.h"

#include <QtMath>
#include <cmath>
#include <stdexcept>

namespace {

// Ellipses are walked by their parameter t, clockwise on the screen from 3 o'clock
// (y grows downwards).
QPointF onEllipse(const QRectF& box, qreal t) {
  return {box.center().x() + box.width() / 2 * std::cos(t),
          box.center().y() + box.height() / 2 * std::sin(t)};
}

QPointF heading(const QRectF& box, qreal t) {
  return {-box.width() / 2 * std::sin(t), box.height() / 2 * std::cos(t)};
}

// The parameter on the upper half of the ellipse where its outline passes x.
qreal upperParameterAt(const QRectF& box, qreal x) {
  return -std::acos((x - box.center().x()) / (box.width() / 2));
}

// Continues path along the ellipse from parameter t0 to t1.
void arcAlong(QPainterPath& path, const QRectF& box, qreal t0, qreal t1) {
  path.arcTo(box, -qRadiansToDegrees(t0), -qRadiansToDegrees(t1 - t0));
}

// The parameter in [lo, hi] where the ellipse's tangent passes through target: where a
// straight stroke leaves a bowl smoothly.
qreal tangentToward(const QRectF& box, QPointF target, qreal lo, qreal hi) {
  auto side = [&](qreal t) {
    const QPointF d = heading(box, t);
    const QPointF r = target - onEllipse(box, t);
    return d.x() * r.y() - d.y() * r.x();
  };
  const bool loSign = side(lo) > 0;
  for (int i = 0; i < 60; ++i) {
    const qreal mid = (lo + hi) / 2;
    ((side(mid) > 0) == loSign ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

QPointF unit(QPointF v) { return v / std::hypot(v.x(), v.y()); }

// The part of a ring between the parameters t0 and t1 (clockwise), cut along its radii.
Outline ringPart(const QRectF& outer, qreal thickness, qreal t0, qreal t1) {
  QPainterPath pie(outer.center());
  pie.lineTo(onEllipse(outer, t0));
  arcAlong(pie, outer, t0, t1);
  pie.closeSubpath();
  return Outline::fromPath(pie) -
         Outline::ellipse(outer.adjusted(thickness, thickness, -thickness, -thickness));
}

// The measures a glyph is drawn from.
struct Glyph {
  const DigitFace& f;
  qreal w;
  qreal T() const { return f.top; }
  qreal B() const { return f.bottom; }
  qreal H() const { return f.bottom - f.top; }
  qreal roundTop() const { return f.top - f.overshoot; }
  qreal roundBottom() const { return f.bottom + f.overshoot; }
  qreal S() const { return f.stroke; }
  qreal C() const { return f.curve; }
  qreal V() const { return f.stem; }
  qreal cut() const { return f.cut; }
  // Between the flat lines: straight strokes are trimmed to it; only round parts pass it.
  Outline box() const { return Outline::rect(0, T(), w, H()); }
};

// The round lower bowl of the 3 and the 5: open on the left, from its upper left, where the
// diagonal or the upright comes down into it, round to a terminal low on the left.
constexpr qreal kBowlEnd = 0.8 * M_PI;

QRectF lowerBowl(const Glyph& g, qreal share) {
  const qreal top = g.T() + g.H() * share;
  return QRectF(0, top, g.w, g.roundBottom() - top);
}

Outline zero(const Glyph& g) {
  const QRectF outer(0, g.roundTop(), g.w, g.roundBottom() - g.roundTop());
  return Outline::ellipse(outer) - Outline::ellipse(outer.adjusted(g.V(), g.C(), -g.V(), -g.C()));
}

Outline one(const Glyph& g) { return g.box(); }

// A round hood, a diagonal leaving it smoothly down to the left, and a flat base that the
// diagonal stops short of.
Outline two(const Glyph& g) {
  const QRectF hood(0, g.roundTop(), g.w, (g.roundBottom() - g.roundTop()) * 0.58);
  const QRectF path = hood.adjusted(g.C() / 2, g.C() / 2, -g.C() / 2, -g.C() / 2);
  const qreal cutLine = g.B() - g.S() - g.cut();
  const QPointF target(g.S() * 0.75, cutLine);
  const qreal leave = tangentToward(path, target, 1.5 * M_PI, 2.5 * M_PI);
  const QPointF from = onEllipse(path, leave);
  const QPointF along = unit(target - from);
  const Outline diagonal = Outline::band(from - along * 0.3, target + along * 3 * g.S(), g.C()) &
                           Outline::rect(0, g.roundTop(), g.w, cutLine - g.roundTop());
  return ringPart(hood, g.C(), M_PI, leave) | diagonal |
         Outline::rect(0, g.B() - g.S(), g.w, g.S());
}

// A flat top bar, and a diagonal from its right end down into the top of a round lower bowl.
Outline three(const Glyph& g) {
  const QRectF bowl = lowerBowl(g, 0.38);
  const qreal start = upperParameterAt(bowl, g.w * 0.28);
  const QPointF vertex = onEllipse(bowl, start);
  const QPointF join = onEllipse(bowl, upperParameterAt(bowl, g.w * 0.62));
  const qreal barBottom = g.T() + g.S();
  const Outline diagonal = Outline::polygon(
      {{g.w * 0.55, g.T()}, {g.w, g.T()}, {g.w, barBottom}, join, vertex, {g.w * 0.55, barBottom}});
  return Outline::rect(1, g.T(), g.w - 1, g.S()) | diagonal |
         ringPart(bowl, g.C(), start, kBowlEnd);
}

// A diagonal with its crossbar, standing apart from the upright stem (a stroke thick).
Outline four(const Glyph& g) {
  const qreal stemLeft = g.w - g.S();
  const qreal right = stemLeft - std::ceil(g.cut() - 0.5);  // the cut, on whole pixels
  const qreal barTop = std::round(g.T() + g.H() * 0.62);
  const qreal barBottom = barTop + g.S();
  // The diagonal is a parallelogram from its flat top down to the crossbar's top left corner,
  // as wide along the top as its slope needs to be (a little under) a stroke thick across;
  // the lighter diagonal keeps the narrow counter open.
  const qreal thickness = g.S() * 0.95;
  qreal across = thickness;
  for (int i = 0; i < 8; ++i)
    across = thickness / std::sin(std::atan2(barTop - g.T(), right - across));
  const Outline diagonalAndBar = Outline::polygon({{right - across, g.T()},
                                                   {0, barTop},
                                                   {0, barBottom},
                                                   {right, barBottom},
                                                   {right, barTop},
                                                   {across, barTop},
                                                   {right, g.T()}});
  return diagonalAndBar | Outline::rect(stemLeft, g.T(), g.S(), g.H());
}

// A flat top bar, an upright down its left, and a round lower bowl.
Outline five(const Glyph& g) {
  const QRectF bowl = lowerBowl(g, 0.36);
  // The bowl begins where its outline meets the upright's outer edge, at the far left.
  const qreal start = upperParameterAt(bowl, 0.01);
  const qreal uprightEnd = onEllipse(bowl, start).y();
  return Outline::rect(0, g.T(), g.w, g.S()) | Outline::rect(0, g.T(), g.V(), uprightEnd - g.T()) |
         ringPart(bowl, g.C(), start, kBowlEnd);
}

// A ring below, and one slanting stroke from the top right that runs down into the ring's
// left side and becomes it. The ring's top stops short of the stroke, leaving a thin cut.
// The 9 is the same shape turned over.
Outline six(const Glyph& g) {
  const QRectF outer(0, g.roundBottom() - g.w, g.w, g.w);
  const Outline ring = Outline::ring(outer, g.C(), g.C());
  const QRectF path = outer.adjusted(g.C() / 2, g.C() / 2, -g.C() / 2, -g.C() / 2);
  const QPointF head(g.w * 0.68, g.T());
  const QPointF foot = onEllipse(path, tangentToward(path, head, M_PI, 1.5 * M_PI));
  const QPointF along = unit(head - foot);
  const Outline slant = Outline::band(foot, head + along * 2 * g.C(), g.C()) & g.box();
  // The cut runs beside the stroke's inner edge, from where the stroke leaves the ring.
  const QPointF towardRing(-along.y(), along.x());
  const QPointF edge = foot + towardRing * (g.C() / 2) + along * g.C() * 0.5;
  const QPointF far = along * 3 * g.w;
  const QPointF wide = towardRing * g.cut();
  const Outline cut = Outline::polygon({edge, edge + far, edge + far + wide, edge + wide});
  return (ring - cut) | slant;
}

// A flat top bar and a straight diagonal below it, a touch heavier than the bar so that it
// looks as heavy.
Outline seven(const Glyph& g) {
  const qreal footLeft = g.w * 0.2;
  qreal across = g.S();
  for (int i = 0; i < 8; ++i)
    across = g.S() * 1.05 / std::sin(std::atan2(g.H(), g.w - footLeft - across));
  const QPointF head(g.w - across / 2, g.T() + g.S());
  const QPointF foot(footLeft + across / 2, g.B());
  const Outline diagonal = Outline::band(head, foot, g.S() * 1.05, 2 * g.S());
  return (diagonal | Outline::rect(0, g.T(), g.w, g.S())) & g.box();
}

// Two stacked rings, the upper one smaller, sharing the stroke where they meet.
Outline eight(const Glyph& g) {
  const qreal height = g.roundBottom() - g.roundTop();
  const qreal across = g.C() * 0.88;  // the rings' tops and bottoms, a little lighter
  const qreal upperHeight = (height + across) * 0.47;
  const qreal inset = g.w * 0.07;
  const QRectF upper(inset, g.roundTop(), g.w - 2 * inset, upperHeight);
  const QRectF lower(0, upper.bottom() - across, g.w, g.roundBottom() - upper.bottom() + across);
  return Outline::ring(upper, g.C() * 0.95, across) | Outline::ring(lower, g.C() * 1.1, across);
}

Outline nine(const Glyph& g) { return six(g).rotated180(QPointF(g.w / 2, (g.T() + g.B()) / 2)); }

}  // namespace

const DigitFace kNumberFace{
    .top = 9,
    .bottom = 31,
    .overshoot = 1,
    .stroke = 5,
    .curve = 4.8,
    .stem = 6,
    .cut = 1.5,
    .width = {21, 7, 17, 16, 17, 16, 16, 16, 18, 16},
};

const DigitFace kDigitFace{
    .top = 5,
    .bottom = 35,
    .overshoot = 1,
    .stroke = 7,
    .curve = 7,
    .stem = 8,
    .cut = 2,
    .width = {28, 10, 23, 22, 23, 22, 22, 22, 24, 22},
};

Outline digitGlyph(int digit, const DigitFace& face) {
  using Draw = Outline (*)(const Glyph&);
  static constexpr Draw kDraw[10] = {zero, one, two, three, four, five, six, seven, eight, nine};
  if (digit < 0 || digit > 9) throw std::out_of_range("no such digit");
  return kDraw[digit](Glyph{face, face.width[digit]});
}

namespace {

constexpr qreal kPictureWidth = 40;
constexpr qreal kPairGap = 2;  // blank columns between the digits of a number

// Centred on whole pixels, so that straight edges stay sharp.
Outline centred(const Outline& glyphs, qreal width) {
  return glyphs.translated(std::floor((kPictureWidth - width) / 2), 0);
}

}  // namespace

Outline numberLettering(int n) {
  if (n < 1 || n > 99) throw std::out_of_range("a number picture holds one or two digits");
  if (n < 10) return centred(digitGlyph(n, kNumberFace), kNumberFace.width[n]);
  const int tens = n / 10, units = n % 10;
  const qreal unitsLeft = kNumberFace.width[tens] + kPairGap;
  const Outline pair =
      digitGlyph(tens, kNumberFace) | digitGlyph(units, kNumberFace).translated(unitsLeft, 0);
  return centred(pair, unitsLeft + kNumberFace.width[units]);
}

Outline digitLettering(int d) { return centred(digitGlyph(d, kDigitFace), kDigitFace.width[d]); }
