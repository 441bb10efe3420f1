// How the pixel values of a cell become colours on this side (see stream_decoder.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "videodecode/framebuffer.h"

namespace videodecode {

using ColourTable = std::array<Rgb, 256>;

// The 16 colours the host reduces to at 4 bits per pixel, in the host's index order.
const std::array<Rgb, 16>& baseColours();
// The four levels the host reduces to at 2 bits per pixel: 0 dark, 2 darker middle,
// 1 lighter middle, 3 bright.
const std::array<Rgb, 4>& greyLevels();

// What the video start record said about the host's pixels.
struct HostPixels {
    std::uint16_t deviceColours = 0;
    // The mode word announced more than 8 bits per pixel: 8-bit values are BBBGGRRR colours.
    bool threeThreeTwo = false;
    bool operator==(const HostPixels&) const = default;
};

// The colour of every pixel value at the given depth (1, 2, 4 or 8 bits per pixel). Values
// that index past the palette are black.
ColourTable colourTableFor(std::uint8_t bitsPerPixel, const std::vector<PaletteEntry>& palette,
                           const HostPixels& host, Rgb textColour, Rgb backgroundColour);

// A palette entry of the 3-byte form: each component arrives rotated right by two bits.
PaletteEntry entryFromRotated(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace videodecode
