// Palette frames in both entry forms, the colours of reduced cells, and cursor records.
#include <gtest/gtest.h>

#include "stream_builder.h"

namespace {

using namespace streamtest;
using videodecode::DecoderOptions;
using videodecode::PaletteEntry;

DecoderOptions capability(std::uint16_t word) {
    DecoderOptions options;
    options.capabilityWord = word;
    return options;
}

// The palette a true-colour host sends with a reduced colour mode: index BBBGGRRR.
std::vector<PaletteEntry> gridPalette() {
    const std::uint8_t l3[] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xFF};
    const std::uint8_t l2[] = {0x00, 0x40, 0x80, 0xFF};
    std::vector<PaletteEntry> entries;
    for (int i = 0; i < 256; ++i) {
        entries.push_back({l3[i & 7], l2[(i >> 3) & 3], l3[i >> 5], 0});
    }
    entries[222] = {0xC0, 0xC0, 0xC0, 0};
    return entries;
}

TEST(Palette, FourByteEntriesKeepTheirFlags) {
    std::vector<PaletteEntry> entries = {{1, 2, 3, 4}, {0xA6, 0xCA, 0xF0, 0x01}};
    Decoded decoded = decode(paletteFrame4(entries), capability(0x1000));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.framebuffer().palette(), entries);
}

TEST(Palette, ThreeByteEntriesAreRotatedBack) {
    // On the wire 0xA6 travels as 0xA9, 0x80 as 0x20, 0x03 as 0xC0; 0xFF stays.
    const Bytes frame = {0x1B, 0x44, 0, 6, 0, 0xA9, 0x20, 0xC0, 0xFF, 0x00, 0x01};
    Decoded decoded = decode(frame, capability(0x0000));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.framebuffer().palette(),
              (std::vector<PaletteEntry>{{0xA6, 0x80, 0x03, 0}, {0xFF, 0x00, 0x04, 0}}));
    EXPECT_EQ(decode(paletteFrame3(gridPalette())).framebuffer().palette(), gridPalette());
}

TEST(Palette, EntrySizeComesFromTheCapabilityWordOrTheLength) {
    auto palette = rampPalette(256);
    palette[5].flags = 0;
    // Known capability word: the word decides, and a length that does not fit it is an error.
    EXPECT_FALSE(decode(paletteFrame4(rampPalette(2)), capability(0x0000)).result.ok());
    Decoded wrong = decode(paletteFrame3(rampPalette(3)), capability(0x1000));
    ASSERT_FALSE(wrong.result.ok());
    EXPECT_TRUE(wrong.result.error->recoverable);
    EXPECT_EQ(wrong.result.error->offset, 3u);
    // Unknown: 1024 bytes can only be 256 entries of 4, 768 are taken as 256 entries of 3.
    EXPECT_EQ(decode(paletteFrame4(palette)).framebuffer().palette(), palette);
    EXPECT_EQ(decode(paletteFrame3(gridPalette())).framebuffer().palette().size(), 256u);
    EXPECT_TRUE(decode(paletteFrame4({})).result.ok());
}

TEST(Palette, ANewPaletteColoursLaterCellsOnly) {
    auto second = rampPalette(256);
    second[1] = {0x11, 0x22, 0x33, 0};
    Bytes stream = startFrame(2, 1) + paletteFrame4(rampPalette(256)) +
                   rawFrame(cell8(0, 0, 1, 1, {1}).encode()) + paletteFrame4(second) +
                   rawFrame(cell8(1, 0, 1, 1, {1}, false).encode());
    Decoded decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.framebuffer().pixel(0, 0), rgbOf(rampPalette(256)[1]));
    EXPECT_EQ(decoded.framebuffer().pixel(1, 0), 0x112233u);
}

TEST(Palette, TrueColourHostsReducedPixelsShowTheirColourThroughTheGrid) {
    // The host turns (red, green, blue) into (b & 0xE0) | (g & 0xC0) >> 3 | r >> 5.
    struct Colour {
        std::uint8_t red, green, blue;
    } colours[] = {{0xFF, 0x80, 0x40}, {0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}, {0x20, 0x40, 0xA0}};
    Bytes pixels;
    for (const Colour& c : colours) {
        pixels.push_back(
            static_cast<std::uint8_t>((c.blue & 0xE0) | (c.green & 0xC0) >> 3 | c.red >> 5));
    }
    Bytes stream = startFrame(4, 1) + paletteFrame3(gridPalette()) +
                   rawFrame(cell8(0, 0, 4, 1, pixels).encode());
    Decoded decoded = decode(stream, capability(0x0000));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    for (int x = 0; x < 4; ++x) {
        const Colour& c = colours[x];
        EXPECT_EQ(decoded.framebuffer().pixel(x, 0), videodecode::makeRgb(c.red, c.green, c.blue))
            << x;
    }
}

// A 32 x 32 monochrome cursor: AND mask all 1 but a black square, XOR mask with a white bar
// and an inverting square.
struct MonoCursor {
    Bytes andMask = Bytes(128, 0xFF);
    Bytes xorMask = Bytes(128, 0x00);
    MonoCursor() {
        andMask[0] = 0x0F;      // pixels 0..3 of row 0: opaque
        xorMask[0] = 0xC0;      // pixels 0..1 white, 2..3 black
        xorMask[4 * 1] = 0x80;  // row 1 pixel 0: inverted
    }
    Bytes record(std::uint16_t hotX = 0, std::uint16_t hotY = 0) const {
        return cursorRecord(hotX, hotY, 32, 32, 4, andMask, xorMask);
    }
};

TEST(Cursor, MonochromeShapeIsUnpackedAndDrawnWithItsMasks) {
    MonoCursor cursor;
    EXPECT_EQ(cursor.record().size(), 2u + 12 + 256);
    Bytes stream = startFrame(8, 4) + rawFrame(background(8, 4, 0x123456).encode()) +
                   rawFrame(cursor.record(1, 0));
    Decoded decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    auto& fb = decoded.decoder->framebuffer();
    const auto& shape = fb.cursor();
    ASSERT_TRUE(shape.present);
    EXPECT_EQ(shape.hotSpotX, 1);
    EXPECT_EQ(shape.width, 32);
    EXPECT_EQ(shape.andMask[0], 0);
    EXPECT_EQ(shape.andMask[4], 1);
    EXPECT_EQ(shape.xorMask[1], 1);
    EXPECT_EQ(shape.xorMask[32], 1);

    fb.setCursorPosition(2, 1);  // the shape's (0, 0) lands on (1, 1)
    auto image = fb.composed();
    auto at = [&](int x, int y) { return image[static_cast<std::size_t>(y) * 8 + x]; };
    EXPECT_EQ(at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(at(2, 1), 0xFFFFFFu);
    EXPECT_EQ(at(3, 1), 0x000000u);
    EXPECT_EQ(at(4, 1), 0x000000u);
    EXPECT_EQ(at(5, 1), 0x123456u);
    EXPECT_EQ(at(1, 2), 0x123456u ^ 0xFFFFFFu);
    EXPECT_EQ(at(0, 0), 0x123456u);
    EXPECT_EQ(fb.pixel(1, 1), 0x123456u) << "the cursor never lands in the picture itself";

    // Partly or wholly off the screen: clipped.
    for (auto [x, y] : {std::pair{-40, 0}, {7, 3}, {-1, -1}, {100, 100}}) {
        fb.setCursorPosition(x, y);
        EXPECT_EQ(fb.composed().size(), 32u) << x << "," << y;
    }
}

TEST(Cursor, NoCursorRecordHidesIt) {
    MonoCursor cursor;
    Decoded decoded = decode(rawFrame(cursor.record()) + rawFrame(noCursorRecord()));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_FALSE(decoded.framebuffer().cursor().present);
    auto pixels = decoded.framebuffer().pixels();
    EXPECT_EQ(decoded.framebuffer().composed(),
              std::vector<videodecode::Rgb>(pixels.begin(), pixels.end()));
}

TEST(Cursor, PaddedRowsPastTheImageAreTransparent) {
    // 24 pixels wide with rows padded to 4 bytes: the host cuts each image at 72 bytes, so
    // rows 18..23 have no bytes of their own.
    Bytes andMask(72, 0x00), xorMask(72, 0xFF);
    Decoded decoded = decode(rawFrame(cursorRecord(0, 0, 24, 24, 4, andMask, xorMask)));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto& shape = decoded.framebuffer().cursor();
    EXPECT_EQ(shape.andMask[17 * 24 + 23], 0);
    EXPECT_EQ(shape.xorMask[17 * 24 + 23], 1);
    EXPECT_EQ(shape.andMask[18 * 24], 1);
    EXPECT_EQ(shape.xorMask[23 * 24 + 23], 0);
}

TEST(Cursor, InconsistentRecordsAreRejected) {
    MonoCursor cursor;
    Bytes truncated = cursor.record();
    truncated.pop_back();
    struct Case {
        const char* what;
        Bytes records;
        const char* message;
    } cases[] = {
        {"presence", {9, 2}, "presence byte 2"},
        {"no presence", {9}, "truncated"},
        {"truncated", truncated, "truncated"},
        {"odd size", cursorRecord(0, 0, 3, 3, 1, Bytes(1), Bytes(1)), "whole bytes"},
        {"short rows", cursorRecord(0, 0, 32, 32, 3, Bytes(128), Bytes(128)), "too short"},
        {"empty", cursorRecord(0, 0, 0, 32, 4, {}, {}), "whole bytes"},
    };
    for (const Case& c : cases) {
        Decoded decoded = decode(rawFrame(cursor.record()) + rawFrame(c.records));
        ASSERT_FALSE(decoded.result.ok()) << c.what;
        EXPECT_NE(decoded.result.error->message.find(c.message), std::string::npos)
            << c.what << ": " << decoded.result.error->message;
        EXPECT_TRUE(decoded.framebuffer().cursor().present) << "the old cursor stays";
    }
}

}  // namespace
