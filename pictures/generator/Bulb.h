#pragma once

#include <QImage>

/// The lit light bulb of the window icon, at 16 or 32 pixels: drawn pixel by pixel in the
/// standard 16 colours (black, white, yellow, grey and light grey only), transparent around
/// the bulb.
QImage bulbIcon(int size);

/// The same light bulb drawn smoothly at any size, in full colour on a transparent ground,
/// for the desktop's icon theme.
QImage bulbSmooth(int size);
