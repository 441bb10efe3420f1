// The fixed palettes that hosts above 8 bits per pixel send, the 16 base colours, and the
// classification of palette entries that builds the reduction tables.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi/gdi_types.h"
#include "session/video_wire.h"

namespace videoscan {

using Palette256 = std::array<PALETTEENTRY, 256>;

// Entry i is the colour of the BBBGGRRR byte i, except entry 222, which is light grey
// (0xC0, 0xC0, 0xC0) rather than (0xC0, 0xFF, 0xC0).
const Palette256& GridPalette();
// The colour of the BBBGGRRR byte i, without the exception.
PALETTEENTRY GridColour(unsigned index);
// The 20 static colours in entries 0-9 and 246-255 and, in between, the grid colours in grid
// order less those equal to a static colour and grid indexes 181, 221, 222, 253 and 254.
const Palette256& SystemOrderPalette();

const std::array<PALETTEENTRY, 16>& BaseColours();

// (3 x blue + 5 x green + red + 4) / 8.
unsigned Luminance(const PALETTEENTRY& entry);
// Mode 1: 1 when the luminance is at least 148. Mode 2: 0, 2, 1 or 3 from dark to bright.
// Any other non-zero mode: the nearest base colour.
std::uint8_t ClassifyEntry(const PALETTEENTRY& entry, std::uint16_t reducedMode);

// Index of the entry nearest to `colour` by the sum of squared differences; the lowest index
// among equals.
template <typename Entries>
unsigned NearestEntry(const Entries& entries, const PALETTEENTRY& colour) {
    unsigned best = 0;
    long bestDistance = -1;
    unsigned index = 0;
    for (const PALETTEENTRY& entry : entries) {
        const long red = static_cast<long>(entry.peRed) - colour.peRed;
        const long green = static_cast<long>(entry.peGreen) - colour.peGreen;
        const long blue = static_cast<long>(entry.peBlue) - colour.peBlue;
        const long distance = red * red + green * green + blue * blue;
        if (bestDistance < 0 || distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
        ++index;
    }
    return best;
}

}  // namespace videoscan
