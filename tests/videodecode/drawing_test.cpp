// Drawing records: cells at every depth, raster operations, patches, the background record and
// the bitmap cache.
#include <gtest/gtest.h>

#include "stream_builder.h"
#include "videodecode/pixel_colours.h"

namespace {

using namespace streamtest;
using videodecode::DecoderOptions;

constexpr std::uint16_t kCacheWord = 0x0081;  // 4 KB of cache, offsets shifted by 4

Bytes paletteStream(std::uint16_t width, std::uint16_t height, std::size_t entries = 256,
                    std::uint16_t deviceColours = 256) {
    return startFrame(width, height, kModeDeflate, deviceColours) +
           paletteFrame4(rampPalette(entries));
}

DecoderOptions withCapability(std::uint16_t word) {
    DecoderOptions options;
    options.capabilityWord = static_cast<std::uint16_t>(word | 0x1000);
    return options;
}

TEST(Drawing, EightBitCellIndexesThePaletteAndStaysInItsRectangle) {
    auto palette = rampPalette(256);
    Bytes stream = paletteStream(8, 4) + rawFrame(cell8(4, 2, 2, 2, {1, 2, 3, 4}).encode());
    Decoded decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto& fb = decoded.framebuffer();
    EXPECT_EQ(fb.pixel(4, 2), rgbOf(palette[1]));
    EXPECT_EQ(fb.pixel(5, 2), rgbOf(palette[2]));
    EXPECT_EQ(fb.pixel(4, 3), rgbOf(palette[3]));
    EXPECT_EQ(fb.pixel(5, 3), rgbOf(palette[4]));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (x < 4 || y < 2) {
                EXPECT_EQ(fb.pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
}

// A host above 8 bits per pixel announces 0x0200 in its mode word: its 8-bit cells are
// BBBGGRRR colours, whatever palette frame it sent (here a ramp, as a system-order palette
// would be), and byte 222 shows silver. The next video start without the bit indexes the
// palette again.
TEST(Drawing, EightBitCellsOfATrueColourHostAreThreeThreeTwoColours) {
    const std::uint16_t trueColourMode = kModeDeflate | 0x0200;
    const Bytes pixels = {0x07, 0xE0, 0x18, 0xB5, 0xDE, 0xDF, 0x00, 0xFF};
    Bytes stream = startFrame(4, 2, trueColourMode, 257) + paletteFrame4(rampPalette(256)) +
                   rawFrame(cell8(0, 0, 4, 2, pixels).encode());
    Decoded decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const std::uint32_t expected[] = {0xFF0000, 0x0000FF, 0x00FF00, 0xA080A0,
                                      0xC0C0C0, 0xFFFFC0, 0x000000, 0xFFFFFF};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(decoded.framebuffer().pixel(i % 4, i / 4), expected[i]) << i;
    }

    stream =
        stream + startFrame(4, 2, kModeDeflate, 256) + rawFrame(cell8(0, 0, 4, 2, pixels).encode());
    decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto palette = rampPalette(256);
    EXPECT_EQ(decoded.framebuffer().pixel(0, 0), rgbOf(palette[0x07]));
    EXPECT_EQ(decoded.framebuffer().pixel(1, 0), rgbOf(palette[0xE0]));
}

TEST(Drawing, RowsWithPaddingAndReducedDepthsUnpackHighBitsFirst) {
    // 4 bits per pixel on a host with more than 16 colours: the 16 base colours.
    Drawing four = cell8(0, 0, 3, 2, {0x9C, 0xF0, 0xEE, 0x12, 0x30, 0xEE});
    four.bitsPerPixel = 4;
    four.rowBytes = 3;  // one filler byte per row
    Decoded decoded = decode(startFrame(4, 2) + rawFrame(four.encode()));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto& base = videodecode::baseColours();
    const auto& fb = decoded.framebuffer();
    EXPECT_EQ(fb.pixel(0, 0), base[9]);
    EXPECT_EQ(fb.pixel(1, 0), base[12]);
    EXPECT_EQ(fb.pixel(2, 0), base[15]);
    EXPECT_EQ(fb.pixel(0, 1), base[1]);
    EXPECT_EQ(fb.pixel(1, 1), base[2]);
    EXPECT_EQ(fb.pixel(2, 1), base[3]);
    EXPECT_EQ(fb.pixel(3, 0), 0u);

    // 2 bits per pixel: grey levels by brightness (0 dark .. 3 bright, 2 below 1).
    Drawing two = cell8(0, 0, 4, 1, {0x1B});  // 00 01 10 11
    two.bitsPerPixel = 2;
    two.rowBytes = 1;
    decoded = decode(startFrame(4, 1) + rawFrame(two.encode()));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.framebuffer().pixel(0, 0), 0x000000u);
    EXPECT_EQ(decoded.framebuffer().pixel(1, 0), 0xC0C0C0u);
    EXPECT_EQ(decoded.framebuffer().pixel(2, 0), 0x808080u);
    EXPECT_EQ(decoded.framebuffer().pixel(3, 0), 0xFFFFFFu);
}

TEST(Drawing, NativeLowDepthDevicesIndexTheirPalette) {
    // A 16-colour device sends its own palette and 4-bit indices into it.
    auto palette = rampPalette(16);
    Drawing four = cell8(0, 0, 2, 1, {0x5A});
    four.bitsPerPixel = 4;
    four.rowBytes = 1;
    Decoded decoded = decode(paletteStream(2, 1, 16, 16) + rawFrame(four.encode()));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.framebuffer().pixel(0, 0), rgbOf(palette[5]));
    EXPECT_EQ(decoded.framebuffer().pixel(1, 0), rgbOf(palette[10]));
}

TEST(Drawing, OneBitCellsUseTextForZeroAndBackgroundForOne) {
    Drawing mono = cell8(0, 0, 10, 1, {0xA0, 0x40});  // 1010000001
    mono.bitsPerPixel = 1;
    mono.rowBytes = 2;
    mono.rowBytesIsByte = true;
    Decoded plain = decode(startFrame(10, 2) + rawFrame(mono.encode()));
    ASSERT_TRUE(plain.result.ok()) << plain.result.error->describe();
    EXPECT_EQ(plain.framebuffer().pixel(0, 0), 0xFFFFFFu);  // fresh context: white background
    EXPECT_EQ(plain.framebuffer().pixel(1, 0), 0x000000u);
    EXPECT_EQ(plain.framebuffer().pixel(8, 0), 0x000000u);
    EXPECT_EQ(plain.framebuffer().pixel(9, 0), 0xFFFFFFu);

    mono.colour = colourPatch(0x102030, 0x405060);
    Drawing second = mono;
    second.y = 1;
    second.colour.clear();  // the patched colours stay for later records
    second.rasterOperation.reset();
    second.bitsPerPixel.reset();
    Decoded patched = decode(startFrame(10, 2) + rawFrame(mono.encode() + second.encode()));
    ASSERT_TRUE(patched.result.ok()) << patched.result.error->describe();
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(patched.framebuffer().pixel(0, y), 0x102030u);
        EXPECT_EQ(patched.framebuffer().pixel(1, y), 0x405060u);
        EXPECT_EQ(patched.framebuffer().pixel(8, y), 0x405060u);
        EXPECT_EQ(patched.framebuffer().pixel(9, y), 0x102030u);
    }
}

TEST(Drawing, EachCellIsColouredByItsOwnDepthAndColours) {
    // Cells of different depths and patches in one frame must not share colours.
    Drawing eight = cell8(0, 0, 1, 1, {9});
    Drawing four = cell8(1, 0, 2, 1, {0x9C});
    four.bitsPerPixel = 4;
    four.rowBytes = 1;
    Drawing mono = cell8(3, 0, 1, 1, {0x80});
    mono.bitsPerPixel = 1;
    mono.rowBytes = 1;
    mono.rowBytesIsByte = true;
    Drawing monoPatched = mono;
    monoPatched.x = 4;
    monoPatched.colour = colourPatch(0xABCDEF, 0);
    Drawing eightAgain = cell8(5, 0, 1, 1, {9});
    Bytes records =
        eight.encode() + four.encode() + mono.encode() + monoPatched.encode() + eightAgain.encode();
    Decoded decoded = decode(paletteStream(6, 1, 256, 257) + rawFrame(records));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto& fb = decoded.framebuffer();
    const auto& base = videodecode::baseColours();
    EXPECT_EQ(fb.pixel(0, 0), rgbOf(rampPalette(256)[9]));
    EXPECT_EQ(fb.pixel(1, 0), base[9]);
    EXPECT_EQ(fb.pixel(2, 0), base[12]);
    EXPECT_EQ(fb.pixel(3, 0), 0xFFFFFFu);
    EXPECT_EQ(fb.pixel(4, 0), 0xABCDEFu);
    EXPECT_EQ(fb.pixel(5, 0), rgbOf(rampPalette(256)[9]));
}

TEST(Drawing, RasterOperationAndFormatCarryOverToLaterRecords) {
    // SRCINVERT twice with the same source restores the screen: the second record has no
    // raster operation and no format of its own and must use the kept ones.
    Drawing first = cell8(0, 0, 2, 1, {0x01, 0x02});
    first.rasterOperation = kSrcInvert;
    Drawing again = cell8(0, 0, 2, 1, {0x01, 0x02}, false);
    Bytes stream = paletteStream(2, 1) + rawFrame(background(2, 1, 0x336699).encode()) +
                   rawFrame(first.encode());
    Decoded once = decode(stream);
    ASSERT_TRUE(once.result.ok()) << once.result.error->describe();
    auto palette = rampPalette(256);
    EXPECT_EQ(once.framebuffer().pixel(0, 0), 0x336699u ^ rgbOf(palette[1]));
    Decoded twice = decode(stream + rawFrame(again.encode()));
    ASSERT_TRUE(twice.result.ok()) << twice.result.error->describe();
    EXPECT_EQ(twice.framebuffer().pixel(0, 0), 0x336699u);
    EXPECT_EQ(twice.framebuffer().pixel(1, 0), 0x336699u);
}

TEST(Drawing, BackgroundRecordPaintsTheScreenWithTheBrush) {
    Decoded decoded = decode(startFrame(5, 3) + rawFrame(background(5, 3, 0x3A6EA5).encode()));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    for (videodecode::Rgb pixel : decoded.framebuffer().pixels()) {
        EXPECT_EQ(pixel, 0x3A6EA5u);
    }
    // A hatched brush is not something this side can draw: refused, not guessed.
    Drawing hatched = background(5, 3, 0x112233);
    hatched.brush = brushPatch(0x112233, 2);
    Decoded refused = decode(startFrame(5, 3) + rawFrame(hatched.encode()));
    ASSERT_FALSE(refused.result.ok());
    EXPECT_NE(refused.result.error->message.find("brush style 2"), std::string::npos);
}

TEST(Drawing, CacheStoreThenDrawElsewhere) {
    Drawing store = cell8(0, 0, 2, 2, {1, 2, 3, 4});
    store.cacheOffset = 4 + 8;
    Drawing draw = cell8(2, 0, 2, 2, {}, false);
    draw.cacheOffset = 12;
    draw.cacheDraw = true;
    Bytes stream = paletteStream(4, 2) + rawFrame(store.encode()) + rawFrame(draw.encode());
    Decoded decoded = decode(stream, withCapability(kCacheWord));
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto& fb = decoded.framebuffer();
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(fb.pixel(x + 2, y), fb.pixel(x, y));
        }
    }
    EXPECT_EQ(fb.pixel(3, 1), rgbOf(rampPalette(256)[4]));

    // The stored bitmap is drawn with the palette in force when it is drawn.
    auto second = rampPalette(256);
    second[4] = {9, 9, 9, 0};
    Decoded later = decode(stream + paletteFrame4(second) + rawFrame(draw.encode()),
                           withCapability(kCacheWord));
    ASSERT_TRUE(later.result.ok()) << later.result.error->describe();
    EXPECT_EQ(later.framebuffer().pixel(3, 1), 0x090909u);
}

TEST(Drawing, CacheDrawsMustNameAStoredBitmap) {
    Drawing store = cell8(0, 0, 2, 2, {1, 2, 3, 4});
    store.cacheOffset = 4;
    auto drawAt = [](std::uint32_t offset, std::uint16_t width) {
        Drawing draw = cell8(0, 0, width, 2, {});
        draw.cacheOffset = offset;
        draw.cacheDraw = true;
        return rawFrame(draw.encode());
    };
    const Bytes stored = paletteStream(4, 2) + rawFrame(store.encode());
    struct Case {
        const char* what;
        Bytes stream;
    } cases[] = {
        {"never stored", paletteStream(4, 2) + drawAt(4, 2)},
        {"other offset", stored + drawAt(6, 2)},
        {"other size", stored + drawAt(4, 1)},
        {"overwritten by an overlapping store", stored + rawFrame([] {
                                                    Drawing overlap = cell8(0, 0, 1, 2, {7, 7});
                                                    overlap.cacheOffset = 6;
                                                    return overlap.encode();
                                                }()) +
                                                    drawAt(4, 2)},
        {"forgotten by a video start", stored + startFrame(4, 2) + drawAt(4, 2)},
    };
    for (const Case& c : cases) {
        Decoded decoded = decode(c.stream, withCapability(kCacheWord));
        ASSERT_FALSE(decoded.result.ok()) << c.what;
        EXPECT_NE(decoded.result.error->message.find("holds no bitmap"), std::string::npos)
            << c.what << ": " << decoded.result.error->message;
    }
    EXPECT_TRUE(decode(stored + drawAt(4, 2), withCapability(kCacheWord)).result.ok());
}

TEST(Drawing, CacheStoresMustFitTheOfferedCache) {
    EXPECT_EQ(videodecode::cacheBytesFor(0x0000), 0u);
    EXPECT_EQ(videodecode::cacheBytesFor(0x0001), 4096u);
    EXPECT_EQ(videodecode::cacheBytesFor(0x8001), 65536u);
    EXPECT_EQ(videodecode::cacheBytesFor(0x8021), 131072u);
    EXPECT_EQ(videodecode::cacheBytesFor(0x0081), 4100u);

    Drawing store = cell8(0, 0, 2, 2, {1, 2, 3, 4});
    store.cacheOffset = 4096;  // 4 bytes up to 4100: fits exactly
    EXPECT_TRUE(decode(paletteStream(2, 2) + rawFrame(store.encode()), withCapability(kCacheWord))
                    .result.ok());
    store.cacheOffset = 4097;
    Decoded over =
        decode(paletteStream(2, 2) + rawFrame(store.encode()), withCapability(kCacheWord));
    ASSERT_FALSE(over.result.ok());
    EXPECT_NE(over.result.error->message.find("4100-byte cache"), std::string::npos);
    store.cacheOffset = 0;
    Decoded none = decode(paletteStream(2, 2) + rawFrame(store.encode()), withCapability(0));
    EXPECT_FALSE(none.result.ok());
}

TEST(Drawing, InconsistentRecordsAreRejectedAtTheirOffset) {
    const Bytes start = startFrame(8, 8);
    Drawing good = cell8(0, 0, 2, 2, {1, 2, 3, 4});
    struct Case {
        const char* what;
        Drawing drawing;
        const char* message;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change, const char* message) {
        Drawing d = good;
        change(d);
        cases.push_back({what, d, message});
    };
    add(
        "outside", [](Drawing& d) { d.x = 7; }, "leaves the 8 x 8 screen");
    add(
        "empty", [](Drawing& d) { d.width = 0; }, "empty rectangle");
    add(
        "flag 0x40", [](Drawing& d) { d.flagsOverride = 0x4F; }, "unknown flag");
    add(
        "half source", [](Drawing& d) { d.flagsOverride = 0x0D; }, "must come together");
    add(
        "rows", [](Drawing& d) { d.sourceRows = 3; }, "source rows");
    add(
        "row bytes", [](Drawing& d) { d.rowBytes = 1; }, "too short");
    add(
        "depth", [](Drawing& d) { d.bitsPerPixel = 16; }, "16 bits per pixel");
    add(
        "planes", [](Drawing& d) { d.planes = 4; }, "colour planes");
    add(
        "no format", [](Drawing& d) { d.bitsPerPixel.reset(); }, "before any pixel format");
    add(
        "rop", [](Drawing& d) { d.rasterOperation = 0x01CC0020; }, "unknown raster operation");
    add(
        "cache draw without offset", [](Drawing& d) { d.sourceRows = 0; }, "no cache offset");
    add(
        "rop needs source",
        [](Drawing& d) {
            d.source = false;
            d.bitsPerPixel.reset();
        },
        "needs a source part");
    add(
        "truncated", [](Drawing& d) { d.pixels.pop_back(); }, "truncated");
    const Bytes first = cell8(0, 0, 1, 1, {0}).encode();
    for (const Case& c : cases) {
        Bytes records = first + c.drawing.encode();
        if (std::string(c.what) == "no format") {
            records = c.drawing.encode();
        }
        Decoded decoded = decode(start + rawFrame(records));
        ASSERT_FALSE(decoded.result.ok()) << c.what;
        const auto& error = *decoded.result.error;
        EXPECT_NE(error.message.find(c.message), std::string::npos)
            << c.what << ": " << error.message;
        EXPECT_TRUE(error.recoverable) << c.what;
        const std::size_t recordAt = records.size() - c.drawing.encode().size();
        EXPECT_EQ(error.frameOffset, start.size()) << c.what;
        EXPECT_EQ(error.recordOffset, static_cast<std::int64_t>(recordAt)) << c.what;
        EXPECT_EQ(error.offset, start.size() + 6 + recordAt) << c.what;
    }
}

TEST(Drawing, DrawingNeedsARunningVideo) {
    Bytes cell = rawFrame(cell8(0, 0, 1, 1, {0}).encode());
    EXPECT_FALSE(decode(cell).result.ok());
    EXPECT_FALSE(decode(startFrame(2, 2) + rawFrame(endRecord()) + cell).result.ok());
    EXPECT_TRUE(
        decode(startFrame(2, 2) + rawFrame(endRecord()) + startFrame(2, 2) + cell).result.ok());
}

}  // namespace
