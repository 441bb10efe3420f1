// The colour tables that displays and bitmaps of 1, 4 and 8 bits per pixel start with.
#pragma once

#include "platform/gdi/pixel_format.h"

namespace farvane::gdi {

// Black and white: the colours of every monochrome bitmap.
const ColourTable& BlackWhiteColours();
// The 16 colours of a 4-bit display: black, the 7 dark colours, light grey, dark grey and the
// 7 bright colours.
const ColourTable& SixteenColours();
// A 256-entry palette: the 20 static colours in entries 0-9 and 246-255, a 6x6x6 colour cube
// and a ramp of greys in between.
const ColourTable& Default256Colours();
// The table for a depth (empty above 8 bits per pixel).
ColourTable DefaultColoursForDepth(int bitsPerPixel);

}  // namespace farvane::gdi
