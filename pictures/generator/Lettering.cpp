#include "Lettering.h"

#include <QtMath>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "PictureNames.h"

namespace {

QPointF unit(QPointF v) { return v / std::hypot(v.x(), v.y()); }

// Moves and stretches a shape so that its ink fills the target rectangle exactly; the designs
// below are drawn close to their place, so the stretch is slight.
Outline fitted(const Outline& shape, const QRectF& target) {
  const QRectF ink = shape.bounds();
  QTransform fit;
  fit.translate(target.left(), target.top());
  fit.scale(target.width() / ink.width(), target.height() / ink.height());
  fit.translate(-ink.left(), -ink.top());
  return shape.transformed(fit);
}

// --- Brush strokes -----------------------------------------------------------------------

// One stroke of a brush along a centre line: pressed on at full width, lifting gradually to
// endShare of it, with soft round ends.
Outline brush(const QPainterPath& centre, qreal width, qreal endShare = 0.72) {
  constexpr int kSteps = 96;
  std::vector<QPointF> left, right;
  QPointF first, last;
  qreal firstWidth = 0, lastWidth = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const qreal t = qreal(i) / kSteps;
    const QPointF p = centre.pointAtPercent(t);
    const QPointF ahead = centre.pointAtPercent(std::min(1.0, t + 0.01));
    const QPointF behind = centre.pointAtPercent(std::max(0.0, t - 0.01));
    const QPointF along = unit(ahead - behind);
    const QPointF normal(-along.y(), along.x());
    // Full pressure for the first part, then an even lift.
    const qreal w = width * (t < 0.25 ? 1.0 : 1.0 - (1.0 - endShare) * (t - 0.25) / 0.75);
    left.push_back(p + normal * (w / 2));
    right.push_back(p - normal * (w / 2));
    if (i == 0) first = p, firstWidth = w;
    last = p, lastWidth = w;
  }
  // Round a tight turn the inner edge loops back on itself; the winding rule keeps the loop
  // filled instead of punching a hole.
  QPainterPath body;
  body.setFillRule(Qt::WindingFill);
  body.moveTo(left.front());
  for (const QPointF& p : left) body.lineTo(p);
  for (auto it = right.rbegin(); it != right.rend(); ++it) body.lineTo(*it);
  body.closeSubpath();
  auto dot = [](QPointF c, qreal w) {
    return Outline::ellipse(QRectF(c.x() - w / 2, c.y() - w / 2, w, w));
  };
  return Outline::fromPath(body) | dot(first, firstWidth) | dot(last, lastWidth);
}

QPainterPath curve(QPointF a, QPointF c, QPointF b) {
  QPainterPath path(a);
  path.quadTo(c, b);
  return path;
}

constexpr qreal kBrush = 4.3;

// ス: a top stroke that turns into a long sweep down to the left, and a short stroke down to
// the right from the sweep's middle.
Outline su() {
  QPainterPath sweep(QPointF(10, 10.6));
  sweep.lineTo(21.5, 10.2);
  sweep.quadTo(23.6, 10.0, 22.6, 12.2);
  sweep.cubicTo(QPointF(20.5, 18), QPointF(15, 24), QPointF(8.8, 27.2));
  return brush(sweep, kBrush) | brush(curve({17.6, 19.6}, {22, 22.5}, {25.5, 27}), kBrush);
}

// タ: a short left-falling stroke, a top stroke turning into a long sweep down to the left,
// and a short stroke across the inside.
Outline ta() {
  QPainterPath sweep(QPointF(36, 12.4));
  sweep.lineTo(46.3, 12.0);
  sweep.quadTo(48.4, 11.8, 47.5, 14.0);
  sweep.cubicTo(QPointF(45, 20), QPointF(40.5, 24.5), QPointF(33.5, 27.6));
  return brush(curve({37.4, 9.6}, {36, 14.5}, {31.6, 18.4}), kBrush) | brush(sweep, kBrush) |
         brush(curve({36.2, 17.6}, {40.6, 18.6}, {44.2, 21.8}), kBrush * 0.95);
}

// ー: the long-vowel bar, a level stroke at mid-height.
Outline bar() { return brush(curve({55.5, 19}, {64, 18.2}, {72.5, 18.6}), kBrush, 0.8); }

// ト: an upright and a short stroke down to the right from its middle.
Outline to() {
  return brush(curve({80.8, 9.6}, {80.5, 19}, {80.8, 27.8}), kBrush * 1.05, 0.8) |
         brush(curve({83, 15.4}, {88, 17}, {92.2, 20.4}), kBrush * 0.95);
}

// --- Square-cornered text ------------------------------------------------------------------

struct Rect {
  int x, y, w, h;
};
struct SquareGlyph {
  char c;
  int width;
  std::vector<Rect> strokes;  // y from the capital line, 2 px strokes
};

// Capitals 14 px high, lower case 12 px (from y = 2), a descender to y = 16.
const SquareGlyph kSquareGlyphs[] = {
    {'A', 6, {{0, 0, 6, 2}, {0, 0, 2, 14}, {4, 0, 2, 14}, {0, 7, 6, 2}}},
    {'r', 4, {{0, 2, 2, 12}, {0, 2, 4, 2}}},
    {'e', 6, {{0, 2, 2, 12}, {0, 2, 6, 2}, {4, 2, 2, 7}, {0, 7, 6, 2}, {0, 12, 6, 2}}},
    {'Y', 6, {{0, 0, 2, 7}, {4, 0, 2, 7}, {0, 5, 6, 2}, {2, 5, 2, 9}}},
    {'o', 6, {{0, 2, 6, 2}, {0, 12, 6, 2}, {0, 2, 2, 12}, {4, 2, 2, 12}}},
    {'u', 6, {{0, 2, 2, 12}, {4, 2, 2, 12}, {0, 12, 6, 2}}},
    {'R', 6, {{0, 0, 2, 14}, {0, 0, 6, 2}, {4, 0, 2, 6}, {0, 6, 5, 2}, {4, 8, 2, 6}}},
    {'a', 6, {{0, 2, 6, 2}, {4, 2, 2, 12}, {0, 7, 6, 2}, {0, 7, 2, 7}, {0, 12, 6, 2}}},
    {'d', 6, {{4, 0, 2, 14}, {0, 2, 6, 2}, {0, 2, 2, 12}, {0, 12, 6, 2}}},
    {'y', 6, {{0, 2, 2, 10}, {4, 2, 2, 15}, {0, 10, 6, 2}, {0, 15, 6, 2}}},
    {'?', 5, {{0, 0, 5, 2}, {3, 0, 2, 7}, {1, 5, 4, 2}, {1, 5, 2, 4}, {1, 11, 2, 3}}},
};

// --- Geometric capitals ----------------------------------------------------------------------

constexpr qreal kCapTop = 9, kCapBottom = 29, kCapHeight = kCapBottom - kCapTop;
constexpr qreal kCapStroke = 3;

Outline capBox(qreal width) { return Outline::rect(0, kCapTop, width, kCapHeight); }

// A straight stroke between two points of the letter, trimmed to the letter's box.
Outline capLine(QPointF a, QPointF b, qreal width) {
  return Outline::band(a, b, kCapStroke, kCapStroke * 2) & capBox(width);
}

Outline capT(qreal w) {
  return Outline::rect(0, kCapTop, w, kCapStroke) |
         Outline::rect((w - kCapStroke) / 2, kCapTop, kCapStroke, kCapHeight);
}

Outline capA(qreal w) {
  const qreal half = kCapStroke * 0.62;  // the diagonals meet in a narrow flat apex
  const Outline legs =
      capLine({w / 2 - half, kCapTop - 1}, {kCapStroke * 0.45, kCapBottom + 1}, w) |
      capLine({w / 2 + half, kCapTop - 1}, {w - kCapStroke * 0.45, kCapBottom + 1}, w);
  // The crossbar spans the inside of the legs only.
  const qreal barTop = std::round(kCapTop + kCapHeight * 0.64);
  return legs | (Outline::rect(w * 0.2, barTop, w * 0.6, kCapStroke) &
                 (Outline::polygon({{w / 2, kCapTop}, {0, kCapBottom}, {w, kCapBottom}})));
}

Outline capM(qreal w) {
  const qreal s = kCapStroke;
  const QPointF valley(w / 2, kCapTop + kCapHeight * 0.78);
  return Outline::rect(0, kCapTop, s, kCapHeight) | Outline::rect(w - s, kCapTop, s, kCapHeight) |
         capLine({s * 0.5, kCapTop - s * 0.4}, valley, w) |
         capLine({w - s * 0.5, kCapTop - s * 0.4}, valley, w);
}

Outline capL(qreal w) {
  return Outline::rect(0, kCapTop, kCapStroke, kCapHeight) |
         Outline::rect(0, kCapBottom - kCapStroke, w, kCapStroke);
}

Outline capU(qreal w) {
  const qreal s = kCapStroke;
  const QRectF bowl(0, kCapBottom - w, w, w);
  QPainterPath half(QPointF(0, bowl.center().y()));
  half.arcTo(bowl, 180, 180);
  half.closeSubpath();
  const Outline lowerHalf = Outline::fromPath(half) - Outline::ellipse(bowl.adjusted(s, s, -s, -s));
  return lowerHalf | Outline::rect(0, kCapTop, s, bowl.center().y() - kCapTop) |
         Outline::rect(w - s, kCapTop, s, bowl.center().y() - kCapTop);
}

Outline capX(qreal w) {
  return capLine({0, kCapTop}, {w, kCapBottom}, w) | capLine({w, kCapTop}, {0, kCapBottom}, w);
}

struct Capital {
  char c;
  qreal width;
  Outline (*draw)(qreal width);
};

const Capital kCapitals[] = {{'T', 13, capT}, {'A', 16, capA}, {'M', 17, capM},
                             {'L', 11, capL}, {'U', 14, capU}, {'X', 16, capX}};

// The space between two letters: even, but tighter where open shapes meet.
qreal capitalGap(char left, char right) {
  const std::string pair{left, right};
  if (pair == "TA") return 2;
  if (pair == "LU") return 3;
  if (pair == "UX") return 4;
  return 5;
}

constexpr const char* kMakerWord = PictureNames::kBannerWord;

template <class Glyph, std::size_t N>
const Glyph& glyphFor(const Glyph (&glyphs)[N], char c) {
  for (const Glyph& glyph : glyphs)
    if (glyph.c == c) return glyph;
  throw std::logic_error(std::string("no glyph for ") + c);
}

}  // namespace

Outline startWord() { return fitted(su() | ta() | bar() | to(), QRectF(7.3, 8.3, 87.4, 20.4)); }

Outline readyText() {
  constexpr int kLeft = 9, kCapLine = 13, kLetterGap = 1, kWordGap = 3;
  Outline shape;
  int x = kLeft - kLetterGap;
  for (const char* c = "Are You Ready?"; *c; ++c) {
    if (*c == ' ') {
      x += kWordGap - kLetterGap;
      continue;
    }
    x += kLetterGap;
    const SquareGlyph& glyph = glyphFor(kSquareGlyphs, *c);
    for (const Rect& r : glyph.strokes) shape |= Outline::rect(x + r.x, kCapLine + r.y, r.w, r.h);
    x += glyph.width;
  }
  return shape;
}

Outline questionMark() {
  // The hook and its neck as one outline: thin over the top, heavy down the right side,
  // narrowing into a short stem.
  QPainterPath hook(QPointF(13.4, 9.8));
  hook.cubicTo(QPointF(14.0, 5.4), QPointF(17.0, 3.2), QPointF(20.6, 3.2));
  hook.cubicTo(QPointF(25.6, 3.2), QPointF(28.8, 6.6), QPointF(28.8, 11.4));
  hook.cubicTo(QPointF(28.8, 16.4), QPointF(24.6, 18.4), QPointF(23.0, 20.8));
  hook.cubicTo(QPointF(22.2, 22.2), QPointF(22.1, 24.4), QPointF(22.1, 27.2));
  hook.lineTo(18.4, 27.2);
  hook.cubicTo(QPointF(18.4, 23.2), QPointF(19.0, 20.6), QPointF(20.8, 18.6));
  hook.cubicTo(QPointF(23.2, 16.0), QPointF(23.9, 13.4), QPointF(23.9, 11.2));
  hook.cubicTo(QPointF(23.9, 7.8), QPointF(22.4, 6.3), QPointF(20.2, 6.3));
  hook.cubicTo(QPointF(18.0, 6.3), QPointF(16.6, 7.4), QPointF(16.4, 9.0));
  hook.closeSubpath();
  const Outline ball = Outline::ellipse(QRectF(11.2, 7.4, 7.6, 7.6));
  const Outline dot = Outline::ellipse(QRectF(17.25, 29.8, 6, 6));
  return fitted(Outline::fromPath(hook) | ball | dot, QRectF(11.2, 3.2, 17.6, 32.6));
}

Outline bannerWord() {
  Outline word;
  qreal x = 0;
  for (const char* c = kMakerWord; *c; ++c) {
    if (c != kMakerWord) x += capitalGap(c[-1], *c);
    const Capital& letter = glyphFor(kCapitals, *c);
    word |= letter.draw(letter.width).translated(x, 0);
    x += letter.width;
  }
  // Laid out along the picture's length from row 11 to 137, then turned a quarter anticlockwise
  // so it reads upwards: the letters' tops face the left edge.
  const Outline laidOut = word.translated(12, 0);
  return laidOut.transformed(QTransform(0, -1, 1, 0, 0, 150));
}
