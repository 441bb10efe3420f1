#include "videodecode/pixel_colours.h"

#include <algorithm>

#include "session/video_wire.h"

namespace videodecode {

const std::array<Rgb, 16>& baseColours() {
    static const std::array<Rgb, 16> colours = [] {
        std::array<Rgb, 16> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            const videowire::Colour base = videowire::kBaseColours[i];
            table[i] = makeRgb(base.red, base.green, base.blue);
        }
        return table;
    }();
    return colours;
}

const std::array<Rgb, 4>& greyLevels() {
    static const std::array<Rgb, 4> levels = {0x000000, 0xC0C0C0, 0x808080, 0xFFFFFF};
    return levels;
}

namespace {

void fillFromPalette(ColourTable& table, const std::vector<PaletteEntry>& palette) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] =
            i < palette.size() ? makeRgb(palette[i].red, palette[i].green, palette[i].blue) : 0;
    }
}

template <std::size_t N>
void fillFromFixed(ColourTable& table, const std::array<Rgb, N>& colours) {
    table.fill(0);
    std::copy(colours.begin(), colours.end(), table.begin());
}

// Whether values of this depth are the device's own palette indices rather than the host's
// reduced colours: only a device with that few colours sends such pixels natively.
bool indexesPalette(std::uint8_t bitsPerPixel, const std::vector<PaletteEntry>& palette,
                    std::uint16_t deviceColours) {
    return !palette.empty() && deviceColours <= (1u << bitsPerPixel);
}

void fillThreeThreeTwo(ColourTable& table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        const videowire::Colour colour =
            videowire::ThreeThreeTwoColour(static_cast<std::uint8_t>(i));
        table[i] = makeRgb(colour.red, colour.green, colour.blue);
    }
}

}  // namespace

ColourTable colourTableFor(std::uint8_t bitsPerPixel, const std::vector<PaletteEntry>& palette,
                           const HostPixels& host, Rgb textColour, Rgb backgroundColour) {
    const std::uint16_t deviceColours = host.deviceColours;
    ColourTable table{};
    switch (bitsPerPixel) {
        case 1:
            table[0] = textColour;
            table[1] = backgroundColour;
            break;
        case 2:
            if (indexesPalette(2, palette, deviceColours)) {
                fillFromPalette(table, palette);
            } else {
                fillFromFixed(table, greyLevels());
            }
            break;
        case 4:
            if (indexesPalette(4, palette, deviceColours)) {
                fillFromPalette(table, palette);
            } else {
                fillFromFixed(table, baseColours());
            }
            break;
        default:
            // A true-colour host's cells are BBBGGRRR bytes, whatever palette it sent.
            if (host.threeThreeTwo) {
                fillThreeThreeTwo(table);
            } else {
                fillFromPalette(table, palette);
            }
            break;
    }
    return table;
}

PaletteEntry entryFromRotated(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return {videowire::ComponentFromShortEntry(red), videowire::ComponentFromShortEntry(green),
            videowire::ComponentFromShortEntry(blue), 0};
}

}  // namespace videodecode
