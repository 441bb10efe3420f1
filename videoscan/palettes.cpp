#include "videoscan/palettes.h"

namespace videoscan {

namespace {

constexpr PALETTEENTRY Entry(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return PALETTEENTRY{red, green, blue, 0};
}

constexpr PALETTEENTRY Entry(videowire::Colour colour) {
    return Entry(colour.red, colour.green, colour.blue);
}

constexpr PALETTEENTRY kStaticLow[10] = {Entry(0x00, 0x00, 0x00), Entry(0x80, 0x00, 0x00),
                                         Entry(0x00, 0x80, 0x00), Entry(0x80, 0x80, 0x00),
                                         Entry(0x00, 0x00, 0x80), Entry(0x80, 0x00, 0x80),
                                         Entry(0x00, 0x80, 0x80), Entry(0xC0, 0xC0, 0xC0),
                                         Entry(0xC0, 0xDC, 0xC0), Entry(0xA6, 0xCA, 0xF0)};
constexpr PALETTEENTRY kStaticHigh[10] = {Entry(0xFF, 0xFB, 0xF0), Entry(0xA0, 0xA0, 0xA4),
                                          Entry(0x80, 0x80, 0x80), Entry(0xFF, 0x00, 0x00),
                                          Entry(0x00, 0xFF, 0x00), Entry(0xFF, 0xFF, 0x00),
                                          Entry(0x00, 0x00, 0xFF), Entry(0xFF, 0x00, 0xFF),
                                          Entry(0x00, 0xFF, 0xFF), Entry(0xFF, 0xFF, 0xFF)};

// Grid indexes that the system-order palette leaves out: colours equal to a static colour,
// and five more.
constexpr unsigned kLeftOut[] = {0,   4,   7,   16,  20,  24,  31,  128, 132, 144,
                                 148, 224, 231, 248, 255, 181, 221, 222, 253, 254};

bool IsLeftOut(unsigned index) {
    for (unsigned leftOut : kLeftOut) {
        if (leftOut == index) {
            return true;
        }
    }
    return false;
}

Palette256 MakeGrid() {
    Palette256 grid{};
    for (unsigned i = 0; i < 256; ++i) {
        grid[i] = Entry(videowire::ThreeThreeTwoColour(static_cast<std::uint8_t>(i)));
    }
    return grid;
}

Palette256 MakeSystemOrder() {
    Palette256 palette{};
    for (unsigned i = 0; i < 10; ++i) {
        palette[i] = kStaticLow[i];
        palette[246 + i] = kStaticHigh[i];
    }
    unsigned next = 10;
    for (unsigned grid = 0; grid < 256; ++grid) {
        if (!IsLeftOut(grid)) {
            palette[next++] = GridColour(grid);
        }
    }
    return palette;
}

}  // namespace

PALETTEENTRY GridColour(unsigned index) {
    return Entry(videowire::GridLevelsColour(static_cast<std::uint8_t>(index)));
}

const Palette256& GridPalette() {
    static const Palette256 grid = MakeGrid();
    return grid;
}

const Palette256& SystemOrderPalette() {
    static const Palette256 palette = MakeSystemOrder();
    return palette;
}

const std::array<PALETTEENTRY, 16>& BaseColours() {
    static const std::array<PALETTEENTRY, 16> kBase = [] {
        std::array<PALETTEENTRY, 16> base{};
        for (std::size_t i = 0; i < base.size(); ++i) {
            base[i] = Entry(videowire::kBaseColours[i]);
        }
        return base;
    }();
    return kBase;
}

unsigned Luminance(const PALETTEENTRY& entry) {
    return (3u * entry.peBlue + 5u * entry.peGreen + entry.peRed + 4u) / 8u;
}

std::uint8_t ClassifyEntry(const PALETTEENTRY& entry, std::uint16_t reducedMode) {
    const unsigned luminance = Luminance(entry);
    if (reducedMode == 1) {
        return luminance >= 148 ? 1 : 0;
    }
    if (reducedMode == 2) {
        if (luminance < 72) {
            return 0;
        }
        if (luminance <= 144) {
            return 2;
        }
        return luminance <= 216 ? 1 : 3;
    }
    return static_cast<std::uint8_t>(NearestEntry(BaseColours(), entry));
}

}  // namespace videoscan
