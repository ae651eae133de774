#pragma once

#include <array>

#include "Outline.h"

/// The measures of one size of the reels' digit face: a heavy geometric display sans-serif
/// with circular bowls, flat tops and thin stencil cuts where strokes meet.
struct DigitFace {
  qreal top = 0;                  ///< the flat top line (edge, in pixels from the picture's top)
  qreal bottom = 0;               ///< the flat base line
  qreal overshoot = 0;            ///< how far round tops and bottoms pass those lines
  qreal stroke = 0;               ///< horizontal bars and diagonals
  qreal curve = 0;                ///< round strokes: rings and bowls
  qreal stem = 0;                 ///< vertical stems
  qreal cut = 0;                  ///< the black cut between strokes that meet
  std::array<qreal, 10> width{};  ///< the ink width of each digit
};

/// The number bank's face: 22 px digits on rows 9 to 30.
extern const DigitFace kNumberFace;
/// The digit bank's face: the same design about 31 px high.
extern const DigitFace kDigitFace;

/// One digit with its left edge at x = 0.
Outline digitGlyph(int digit, const DigitFace& face);

/// The lettering of the number bank's picture of n (1 to 99): one or two digits, centred.
Outline numberLettering(int n);
/// The lettering of the digit bank's picture of d (0 to 9), centred.
Outline digitLettering(int d);
