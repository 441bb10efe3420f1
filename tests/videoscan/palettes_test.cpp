// The fixed palettes and the classification of entries, byte by byte.
#include <gtest/gtest.h>

#include <set>

#include "videoscan/palettes.h"
#include "videoscan/pixel_reducer.h"

namespace {

PALETTEENTRY Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return PALETTEENTRY{red, green, blue, 0};
}

bool Same(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue &&
           a.peFlags == b.peFlags;
}

TEST(Palettes, GridEntriesFollowTheByteLayout) {
    const auto& grid = videoscan::GridPalette();
    EXPECT_TRUE(Same(grid[0], Rgb(0, 0, 0)));
    EXPECT_TRUE(Same(grid[255], Rgb(0xFF, 0xFF, 0xFF)));
    EXPECT_TRUE(Same(grid[0x07], Rgb(0xFF, 0, 0)));
    EXPECT_TRUE(Same(grid[0x18], Rgb(0, 0xFF, 0)));
    EXPECT_TRUE(Same(grid[0xE0], Rgb(0, 0, 0xFF)));
    EXPECT_TRUE(Same(grid[0x2B], Rgb(0x60, 0x40, 0x20)));
    EXPECT_TRUE(Same(grid[222], Rgb(0xC0, 0xC0, 0xC0)));  // the one exception
    EXPECT_TRUE(Same(videoscan::GridColour(222), Rgb(0xC0, 0xFF, 0xC0)));
    // Every colour reduces to its own index (apart from the exception).
    for (unsigned i = 0; i < 256; ++i) {
        if (i != 222) {
            EXPECT_EQ(videowire::ThreeThreeTwo(grid[i].peRed, grid[i].peGreen, grid[i].peBlue), i);
        }
    }
}

TEST(Palettes, SystemOrderHasTheStaticColoursAndTheRestOfTheGrid) {
    const auto& system = videoscan::SystemOrderPalette();
    EXPECT_TRUE(Same(system[8], Rgb(0xC0, 0xDC, 0xC0)));
    EXPECT_TRUE(Same(system[9], Rgb(0xA6, 0xCA, 0xF0)));
    EXPECT_TRUE(Same(system[246], Rgb(0xFF, 0xFB, 0xF0)));
    EXPECT_TRUE(Same(system[247], Rgb(0xA0, 0xA0, 0xA4)));
    EXPECT_TRUE(Same(system[255], Rgb(0xFF, 0xFF, 0xFF)));
    // Entry 10 is grid 1, entry 11 grid 2, entry 12 grid 3, entry 13 grid 5 (4 is static).
    EXPECT_TRUE(Same(system[10], videoscan::GridColour(1)));
    EXPECT_TRUE(Same(system[12], videoscan::GridColour(3)));
    EXPECT_TRUE(Same(system[13], videoscan::GridColour(5)));
    EXPECT_TRUE(Same(system[245], videoscan::GridColour(252)));
    // 256 distinct colours.
    std::set<std::uint32_t> colours;
    for (const PALETTEENTRY& entry : system) {
        colours.insert(entry.peRed | entry.peGreen << 8 | entry.peBlue << 16);
    }
    EXPECT_EQ(colours.size(), 256u);
}

TEST(Palettes, LuminanceAndClasses) {
    const PALETTEENTRY white = Rgb(0xFF, 0xFF, 0xFF);
    const PALETTEENTRY blue = Rgb(0, 0, 0xFF);
    const PALETTEENTRY red = Rgb(0xFF, 0, 0);
    EXPECT_EQ(videoscan::Luminance(white), 287u);
    EXPECT_EQ(videoscan::Luminance(blue), 96u);
    EXPECT_EQ(videoscan::Luminance(red), 32u);
    EXPECT_EQ(videoscan::ClassifyEntry(white, 1), 1);
    EXPECT_EQ(videoscan::ClassifyEntry(white, 2), 3);
    EXPECT_EQ(videoscan::ClassifyEntry(blue, 1), 0);
    EXPECT_EQ(videoscan::ClassifyEntry(blue, 2), 2);
    // Class boundaries in mode 2 and mode 1, with greys (luminance = 9 v / 8 rounded).
    auto grey = [](std::uint8_t v) { return Rgb(v, v, v); };
    EXPECT_EQ(videoscan::Luminance(grey(63)), 71u);
    EXPECT_EQ(videoscan::ClassifyEntry(grey(63), 2), 0);
    EXPECT_EQ(videoscan::ClassifyEntry(grey(64), 2), 2);   // 72
    EXPECT_EQ(videoscan::ClassifyEntry(grey(128), 2), 2);  // 144
    EXPECT_EQ(videoscan::ClassifyEntry(grey(129), 2), 1);  // 145
    EXPECT_EQ(videoscan::ClassifyEntry(grey(192), 2), 1);  // 216
    EXPECT_EQ(videoscan::ClassifyEntry(grey(193), 2), 3);  // 217
    EXPECT_EQ(videoscan::ClassifyEntry(grey(131), 1), 0);  // 147
    EXPECT_EQ(videoscan::ClassifyEntry(grey(132), 1), 1);  // 149
    EXPECT_EQ(videoscan::ClassifyEntry(Rgb(0x80, 0x80, 0x80), 3), 8);
    EXPECT_EQ(videoscan::ClassifyEntry(Rgb(0xC0, 0xC0, 0xC0), 3), 7);
    EXPECT_EQ(videoscan::ClassifyEntry(Rgb(0x40, 0, 0), 3), 0);  // nearer black than maroon
    EXPECT_EQ(videoscan::ClassifyEntry(Rgb(0x40, 0x40, 0x40), 9), 0);
    EXPECT_EQ(videoscan::ClassifyEntry(Rgb(0x41, 0, 0), 3), 1);
}

}  // namespace
