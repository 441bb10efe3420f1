#include "platform/gdi/default_colours.h"

#include <array>

namespace farvane::gdi {

namespace {

constexpr PALETTEENTRY Entry(BYTE red, BYTE green, BYTE blue) {
    return PALETTEENTRY{red, green, blue, 0};
}

constexpr std::array<PALETTEENTRY, 10> kLowStatics = {
    Entry(0x00, 0x00, 0x00), Entry(0x80, 0x00, 0x00), Entry(0x00, 0x80, 0x00),
    Entry(0x80, 0x80, 0x00), Entry(0x00, 0x00, 0x80), Entry(0x80, 0x00, 0x80),
    Entry(0x00, 0x80, 0x80), Entry(0xC0, 0xC0, 0xC0), Entry(0xC0, 0xDC, 0xC0),
    Entry(0xA6, 0xCA, 0xF0)};

constexpr std::array<PALETTEENTRY, 10> kHighStatics = {
    Entry(0xFF, 0xFB, 0xF0), Entry(0xA0, 0xA0, 0xA4), Entry(0x80, 0x80, 0x80),
    Entry(0xFF, 0x00, 0x00), Entry(0x00, 0xFF, 0x00), Entry(0xFF, 0xFF, 0x00),
    Entry(0x00, 0x00, 0xFF), Entry(0xFF, 0x00, 0xFF), Entry(0x00, 0xFF, 0xFF),
    Entry(0xFF, 0xFF, 0xFF)};

ColourTable MakeSixteen() {
    ColourTable table(kLowStatics.begin(), kLowStatics.begin() + 8);
    table.insert(table.end(), kHighStatics.begin() + 2, kHighStatics.end());
    return table;
}

ColourTable MakeDefault256() {
    ColourTable table(kLowStatics.begin(), kLowStatics.end());
    constexpr BYTE kCubeLevels[6] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
    for (BYTE blue : kCubeLevels) {
        for (BYTE green : kCubeLevels) {
            for (BYTE red : kCubeLevels) {
                table.push_back(Entry(red, green, blue));
            }
        }
    }
    // 236 free entries: 216 for the cube, 20 greys between the cube's levels.
    for (int i = 1; table.size() < 246; ++i) {
        const BYTE grey = static_cast<BYTE>(i * 12);
        table.push_back(Entry(grey, grey, grey));
    }
    table.insert(table.end(), kHighStatics.begin(), kHighStatics.end());
    return table;
}

}  // namespace

const ColourTable& BlackWhiteColours() {
    static const ColourTable table = {Entry(0, 0, 0), Entry(0xFF, 0xFF, 0xFF)};
    return table;
}

const ColourTable& SixteenColours() {
    static const ColourTable table = MakeSixteen();
    return table;
}

const ColourTable& Default256Colours() {
    static const ColourTable table = MakeDefault256();
    return table;
}

ColourTable DefaultColoursForDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return BlackWhiteColours();
        case 4:
            return SixteenColours();
        case 8:
            return Default256Colours();
        default:
            return {};
    }
}

}  // namespace farvane::gdi
