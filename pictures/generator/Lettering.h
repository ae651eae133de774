#pragma once

#include "Outline.h"

/// The word "スタート" in bold brush-style katakana, placed in its 100 x 40 picture.
Outline startWord();

/// The text "Are You Ready?" in a condensed, square-cornered face of 2 px strokes, placed in
/// its 100 x 40 picture.
Outline readyText();

/// A serif question mark with thick and thin strokes, a ball terminal and a round dot,
/// placed in its 40 x 40 picture.
Outline questionMark();

/// The maker word of the About banner (TAMALUX, a maker of our own invention), in capitals of a
/// plain geometric sans-serif, turned a quarter anticlockwise and placed in its 40 x 150 picture.
Outline bannerWord();
