// Device capabilities and system palettes of memory displays.
#include <gtest/gtest.h>

#include "gdi_test_support.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;

struct Caps {
    int rasterCaps = 0;
    int sizePalette = 0;
    int numColours = 0;
    UINT paletteEntries = 0;
};

Caps CapsOf(const std::string& depth) {
    Caps caps;
    if (!AttachMemoryDesktop(FreshMemoryName(16, 16, depth))) {
        return caps;
    }
    HDC screen = GetDC(nullptr);
    caps.rasterCaps = GetDeviceCaps(screen, RASTERCAPS);
    caps.sizePalette = GetDeviceCaps(screen, SIZEPALETTE);
    caps.numColours = GetDeviceCaps(screen, NUMCOLORS);
    caps.paletteEntries = GetSystemPaletteEntries(screen, 0, 0, nullptr);
    ReleaseDC(nullptr, screen);
    return caps;
}

// What the scanner computes from these capabilities: palette size on palette devices, else
// the number of colours, with anything above 256 reported as 257.
int ScannerColours(const Caps& caps) {
    const int colours = (caps.rasterCaps & RC_PALETTE) ? caps.sizePalette : caps.numColours;
    return colours > 256 ? 257 : colours;
}

TEST(Palette, OnlyThePaletteDeviceHasASystemPalette) {
    const Caps palette = CapsOf("8p");
    EXPECT_TRUE(palette.rasterCaps & RC_PALETTE);
    EXPECT_EQ(palette.sizePalette, 256);
    EXPECT_EQ(palette.numColours, 20);
    EXPECT_EQ(palette.paletteEntries, 256u);
    EXPECT_EQ(ScannerColours(palette), 256);

    const Caps plain = CapsOf("8");
    EXPECT_FALSE(plain.rasterCaps & RC_PALETTE);
    EXPECT_EQ(plain.sizePalette, 0);
    EXPECT_EQ(plain.paletteEntries, 0u);
    EXPECT_EQ(ScannerColours(plain), 256);

    EXPECT_EQ(ScannerColours(CapsOf("1")), 2);
    EXPECT_EQ(ScannerColours(CapsOf("4")), 16);
    for (const char* deep : {"15", "16", "24", "32"}) {
        const Caps caps = CapsOf(deep);
        EXPECT_FALSE(caps.rasterCaps & RC_PALETTE) << deep;
        EXPECT_EQ(ScannerColours(caps), 257) << deep;
    }
}

TEST(Palette, SystemPaletteCanBeSetAndReadBack) {
    auto display = AttachMemoryDesktop(FreshMemoryName(8, 8, "8p"));
    ASSERT_TRUE(display);
    HDC screen = GetDC(GetDesktopWindow());
    PALETTEENTRY entries[256];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 256u);
    // The static colours sit at both ends.
    EXPECT_EQ(entries[0].peRed, 0);
    EXPECT_EQ(entries[7].peRed, 0xC0);
    EXPECT_EQ(entries[255].peBlue, 0xFF);
    EXPECT_EQ(entries[249].peRed, 0xFF);
    EXPECT_EQ(entries[249].peGreen, 0);

    const PALETTEENTRY custom[3] = {{1, 2, 3, 4}, {5, 6, 7, 0}, {250, 251, 252, 0}};
    const std::uint32_t generation = display->PaletteGeneration();
    EXPECT_EQ(display->SetSystemPalette(100, custom, 3), 3u);
    EXPECT_EQ(display->PaletteGeneration(), generation + 1);
    EXPECT_EQ(display->SetSystemPalette(255, custom, 3), 1u);  // clipped at the end
    EXPECT_EQ(display->SetSystemPalette(256, custom, 3), 0u);
    EXPECT_EQ(display->PaletteGeneration(), generation + 2);  // nothing set, nothing changed
    PALETTEENTRY read[4];
    ASSERT_EQ(GetSystemPaletteEntries(screen, 100, 4, read), 4u);
    EXPECT_EQ(read[0].peRed, 1);
    EXPECT_EQ(read[0].peFlags, 4);  // flags kept as the palette holds them
    EXPECT_EQ(read[2].peBlue, 252);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 254, 10, read), 2u);
    EXPECT_EQ(read[1].peRed, 1);
    EXPECT_EQ(GetSystemPaletteEntries(screen, 256, 1, read), 0u);

    // Pixels are palette indexes: changing the palette changes their colour.
    display->SetPixelValue(0, 0, 101);
    EXPECT_EQ(display->GetPixel(0, 0), RGB(5, 6, 7));
    display->SetPixel(1, 0, RGB(250, 251, 252));
    EXPECT_EQ(display->PixelValue(1, 0), 102u);
    ReleaseDC(GetDesktopWindow(), screen);
}

TEST(Palette, BackgroundColourIsTheDesktopColour) {
    auto display = AttachMemoryDesktop(FreshMemoryName(8, 8, "24"));
    ASSERT_TRUE(display);
    display->SetBackgroundColour(RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(5), 0u);
}

}  // namespace
}  // namespace farvane::gdi
