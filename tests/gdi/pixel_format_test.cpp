#include "platform/gdi/pixel_format.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/default_colours.h"

namespace farvane::gdi {
namespace {

TEST(PixelEncoding, SixteenBitLayoutsPlaceChannelsDifferently) {
    const ColourTable none;
    const PixelFormat rgb555{16, PixelLayout::Rgb555};
    const PixelFormat rgb565{16, PixelLayout::Rgb565};
    EXPECT_EQ(EncodeColour(rgb555, none, RGB(255, 0, 0)), 0x7C00u);
    EXPECT_EQ(EncodeColour(rgb565, none, RGB(255, 0, 0)), 0xF800u);
    EXPECT_EQ(EncodeColour(rgb555, none, RGB(0, 255, 0)), 0x03E0u);
    EXPECT_EQ(EncodeColour(rgb565, none, RGB(0, 255, 0)), 0x07E0u);
    EXPECT_EQ(EncodeColour(rgb565, none, RGB(0, 0, 255)), 0x001Fu);
    // Full channels decode to 255, not 248.
    EXPECT_EQ(DecodePixel(rgb555, none, 0x7FFF), RGB(255, 255, 255));
    EXPECT_EQ(DecodePixel(rgb565, none, 0xFFFF), RGB(255, 255, 255));
    EXPECT_EQ(DecodePixel(rgb565, none, 0x0000), RGB(0, 0, 0));
}

TEST(PixelEncoding, IndexedColoursPickTheNearestEntryLowestFirst) {
    const ColourTable& sixteen = SixteenColours();
    const PixelFormat indexed = PixelFormat::ForDepth(4);
    EXPECT_EQ(EncodeColour(indexed, sixteen, RGB(0x80, 0x80, 0x80)), 8u);
    EXPECT_EQ(EncodeColour(indexed, sixteen, RGB(0xC0, 0xC0, 0xC0)), 7u);
    EXPECT_EQ(EncodeColour(indexed, sixteen, RGB(250, 5, 5)), 9u);
    ASSERT_EQ(Default256Colours().size(), 256u);
    const PixelFormat eight = PixelFormat::ForDepth(8);
    for (COLORREF colour : {RGB(255, 255, 255), RGB(0xA6, 0xCA, 0xF0), RGB(0x33, 0x66, 0x99)}) {
        const std::uint32_t index = EncodeColour(eight, Default256Colours(), colour);
        EXPECT_EQ(DecodePixel(eight, Default256Colours(), index), colour);
    }
}

TEST(ClipCopy, KeepsOnlyThePartInsideBothSurfaces) {
    // A 13-wide cell at x 91 of a 100-wide screen: 9 columns remain.
    CopyRect r = ClipCopy({91, 45, 0, 0, 13, 8}, 100, 50, 13, 8);
    EXPECT_EQ(r.width, 9);
    EXPECT_EQ(r.height, 5);
    // Negative source coordinates move the destination along.
    r = ClipCopy({-2, -3, 0, 0, 10, 10}, 100, 50, 10, 10);
    EXPECT_EQ(r.sourceX, 0);
    EXPECT_EQ(r.destinationX, 2);
    EXPECT_EQ(r.destinationY, 3);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 7);
    // Entirely outside.
    EXPECT_TRUE(ClipCopy({200, 0, 0, 0, 10, 10}, 100, 50, 10, 10).empty());
    EXPECT_TRUE(ClipCopy({0, 0, 20, 0, 10, 10}, 100, 50, 10, 10).empty());
}

TEST(CopyPixels, ColourToMonochromeFollowsTheSourceBackground) {
    const ColourTable none;
    std::uint8_t colour[4 * 4] = {};
    PixelView source{colour, 16, 4, 1, PixelFormat::ForDepth(32), &none};
    WritePixel(colour, 0, 32, 0x00FFFFFF);  // white
    WritePixel(colour, 1, 32, 0x000000FF);  // blue
    WritePixel(colour, 2, 32, 0x00FFFFFF);
    WritePixel(colour, 3, 32, 0x00FF0000);  // red
    std::uint8_t mono[2] = {0, 0};
    PixelView destination{mono, 2, 4, 1, PixelFormat::ForDepth(1), &BlackWhiteColours()};
    MonoColours rules;
    rules.sourceBackground = RGB(255, 255, 255);
    CopyPixels(source, destination, {0, 0, 0, 0, 4, 1}, rules);
    EXPECT_EQ(mono[0], 0xA0);  // 1 0 1 0
    rules.sourceBackground = RGB(255, 0, 0);
    CopyPixels(source, destination, {0, 0, 0, 0, 4, 1}, rules);
    EXPECT_EQ(mono[0], 0x10);  // 0 0 0 1
}

TEST(CopyPixels, MonochromeToColourUsesTextAndBackgroundColours) {
    std::uint8_t mono[2] = {0x80, 0};
    PixelView source{mono, 2, 2, 1, PixelFormat::ForDepth(1), &BlackWhiteColours()};
    const ColourTable none;
    std::uint8_t colour[6] = {};
    PixelView destination{colour, 6, 2, 1, PixelFormat::ForDepth(24), &none};
    MonoColours rules;
    rules.destinationText = RGB(1, 2, 3);
    rules.destinationBackground = RGB(10, 20, 30);
    CopyPixels(source, destination, {0, 0, 0, 0, 2, 1}, rules);
    const std::uint8_t expected[6] = {30, 20, 10, 3, 2, 1};
    EXPECT_EQ(0, std::memcmp(colour, expected, 6));
}

}  // namespace
}  // namespace farvane::gdi
