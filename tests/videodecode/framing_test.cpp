// Frames in a byte stream: chunked input, truncated prefixes, broken framing, and frames that
// fail without changing anything.
#include <gtest/gtest.h>

#include "stream_builder.h"

namespace {

using namespace streamtest;
using videodecode::DecoderOptions;
using videodecode::Framebuffer;
using videodecode::RecordKind;
using videodecode::StreamDecoder;

DecoderOptions sampleOptions() {
    DecoderOptions options;
    options.capabilityWord = 0x1000 | 0x10 | 0x81;  // 4-byte palette, deflate, 4 KB cache
    return options;
}

// A stream that touches every kind of state: screen, palette, background, cells with format
// and raster operation, cache store and draw, cursor, palette change, end. Frames go out raw,
// run-length and deflated, with the host's history rule.
struct SampleStream {
    Bytes bytes;
    std::vector<std::size_t> frameEnds;
    DeflateCoder deflater;

    void add(const Bytes& frame) {
        bytes = bytes + frame;
        frameEnds.push_back(bytes.size());
        const bool lz = frame[1] == 0x55 && (frame[3] & 0x80);
        if (frame[1] == 0x55 && !lz) {
            deflater.reset();
        }
    }
};

void buildSample(SampleStream& stream) {
    stream.add(startFrame(6, 4));
    stream.add(paletteFrame4(rampPalette(256)));
    stream.add(rawFrame(background(6, 4, 0x204080).encode()));
    Drawing cell = cell8(0, 0, 6, 2, {0, 0, 0, 0, 0, 9, 1, 1, 1, 1, 1, 1});
    cell.cacheOffset = 4;
    stream.add(runLengthFrame(cell.encode()));
    Drawing copy = cell8(0, 2, 6, 2, {}, false);
    copy.cacheOffset = 4;
    copy.cacheDraw = true;
    Drawing invert = cell8(2, 1, 2, 2, {7, 7, 7, 7}, false);
    invert.rasterOperation = kSrcInvert;
    stream.add(stream.deflater.frame(copy.encode() + invert.encode()));
    stream.add(stream.deflater.frame(invert.encode()));
    Bytes andMask = {0x0F, 0x0F, 0xFF, 0xFF};
    Bytes xorMask = {0xF0, 0x00, 0x00, 0x00};
    stream.add(rawFrame(cursorRecord(1, 1, 8, 4, 1, andMask, xorMask)));
    auto palette = rampPalette(256);
    palette[1] = {0xAB, 0xCD, 0xEF, 0};
    stream.add(paletteFrame4(palette));
    stream.add(stream.deflater.frame(cell8(0, 3, 2, 1, {1, 1}).encode()));
    stream.add(rawFrame(endRecord()));
}

class SampleTest : public ::testing::Test {
protected:
    void SetUp() override { buildSample(sample_); }
    // The framebuffer after the first `frames` frames.
    Framebuffer after(std::size_t frames) {
        std::size_t end = frames == 0 ? 0 : sample_.frameEnds[frames - 1];
        Decoded decoded =
            decode(Bytes(sample_.bytes.begin(), sample_.bytes.begin() + end), sampleOptions());
        EXPECT_TRUE(decoded.result.ok());
        return decoded.framebuffer();
    }
    SampleStream sample_;
};

TEST_F(SampleTest, WholeStreamDecodesToTheExpectedPicture) {
    Decoded decoded = decode(sample_.bytes, sampleOptions());
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.result.framesDecoded, sample_.frameEnds.size());
    EXPECT_FALSE(decoded.decoder->videoRunning());
    EXPECT_EQ(decoded.decoder->finish(), std::nullopt);
    const Framebuffer& fb = decoded.framebuffer();
    auto palette = rampPalette(256);
    EXPECT_EQ(fb.pixel(0, 0), rgbOf(palette[0]));
    EXPECT_EQ(fb.pixel(5, 0), rgbOf(palette[9]));
    EXPECT_EQ(fb.pixel(5, 2), rgbOf(palette[9]));  // drawn from the cache
    EXPECT_EQ(fb.pixel(2, 1), rgbOf(palette[1]));  // inverted twice
    EXPECT_EQ(fb.pixel(0, 3), 0xABCDEFu);          // the second palette
    EXPECT_EQ(fb.pixel(5, 3), rgbOf(palette[1]));
    ASSERT_TRUE(fb.cursor().present);
    EXPECT_EQ(fb.cursor().width, 8);
    EXPECT_EQ(fb.palette()[1], (videodecode::PaletteEntry{0xAB, 0xCD, 0xEF, 0}));
}

TEST_F(SampleTest, ChunkedInputGivesTheSamePicture) {
    Decoded whole = decode(sample_.bytes, sampleOptions());
    for (std::size_t chunk : {1u, 2u, 5u, 7u, 64u}) {
        StreamDecoder decoder(sampleOptions());
        std::size_t frames = 0;
        for (std::size_t at = 0; at < sample_.bytes.size(); at += chunk) {
            std::size_t count = std::min(chunk, sample_.bytes.size() - at);
            auto result = decoder.push(std::span(sample_.bytes).subspan(at, count));
            ASSERT_TRUE(result.ok()) << "chunk " << chunk << ": " << result.error->describe();
            frames += result.framesDecoded;
        }
        EXPECT_EQ(frames, sample_.frameEnds.size());
        EXPECT_EQ(decoder.framebuffer(), whole.framebuffer()) << "chunk " << chunk;
        EXPECT_EQ(decoder.bytesReceived(), sample_.bytes.size());
    }
}

TEST_F(SampleTest, EveryTruncatedPrefixWaitsAndKeepsTheLastWholeFrame) {
    std::vector<Framebuffer> expected;
    for (std::size_t frames = 0; frames <= sample_.frameEnds.size(); ++frames) {
        expected.push_back(after(frames));
    }
    std::size_t whole = 0;
    for (std::size_t length = 0; length <= sample_.bytes.size(); ++length) {
        while (whole < sample_.frameEnds.size() && sample_.frameEnds[whole] <= length) {
            ++whole;
        }
        const std::size_t boundary = whole == 0 ? 0 : sample_.frameEnds[whole - 1];
        StreamDecoder decoder(sampleOptions());
        auto result = decoder.push(std::span(sample_.bytes).first(length));
        ASSERT_TRUE(result.ok()) << length << ": " << result.error->describe();
        EXPECT_EQ(result.framesDecoded, whole) << length;
        EXPECT_EQ(decoder.bytesWaiting(), length - boundary) << length;
        EXPECT_EQ(decoder.framebuffer(), expected[whole]) << length;
        auto end = decoder.finish();
        if (length == boundary) {
            EXPECT_EQ(end, std::nullopt) << length;
        } else {
            ASSERT_TRUE(end.has_value()) << length;
            EXPECT_EQ(end->offset, length);
            EXPECT_EQ(end->frameOffset, boundary);
            EXPECT_NE(end->message.find("ends inside a frame"), std::string::npos);
            EXPECT_EQ(decoder.framebuffer(), expected[whole]) << length;
        }
    }
}

TEST_F(SampleTest, ObserversSeeEachFrameBeforeAndAfterItIsApplied) {
    StreamDecoder decoder(sampleOptions());
    std::vector<videodecode::FrameInfo> checked;
    std::vector<Framebuffer> beforeApply;
    std::size_t applied = 0;
    decoder.onFrameChecked([&](const videodecode::FrameInfo& info) {
        checked.push_back(info);
        beforeApply.push_back(decoder.framebuffer());
    });
    decoder.onFrameApplied([&](const videodecode::FrameInfo&) { ++applied; });
    ASSERT_TRUE(decoder.push(sample_.bytes).ok());
    ASSERT_EQ(checked.size(), sample_.frameEnds.size());
    EXPECT_EQ(applied, checked.size());
    for (std::size_t i = 0; i < checked.size(); ++i) {
        EXPECT_EQ(beforeApply[i], after(i)) << i;
        EXPECT_EQ(checked[i].offset, i == 0 ? 0 : sample_.frameEnds[i - 1]);
        EXPECT_EQ(checked[i].offset + checked[i].frameLength, sample_.frameEnds[i]);
    }
    EXPECT_EQ(checked[0].count(RecordKind::VideoStart), 1u);
    EXPECT_EQ(checked[1].kind, videodecode::FrameKind::Palette);
    EXPECT_EQ(checked[1].paletteEntries, 256);
    EXPECT_EQ(checked[1].paletteEntrySize, 4);
    EXPECT_EQ(checked[2].count(RecordKind::Fill), 1u);
    EXPECT_EQ(checked[3].compression, videodecode::Compression::RunLength);
    EXPECT_LT(checked[3].packedLength, checked[3].rawLength);
    EXPECT_EQ(checked[4].compression, videodecode::Compression::Deflate);
    EXPECT_EQ(checked[4].count(RecordKind::CacheDraw), 1u);
    EXPECT_EQ(checked[4].count(RecordKind::Cell), 1u);
    EXPECT_TRUE(checked[4].records[0].hasCacheOffset);
    EXPECT_EQ(checked[4].records[1].rasterOperation, kSrcInvert);
    EXPECT_EQ(checked[6].count(RecordKind::Cursor), 1u);
    EXPECT_EQ(checked.back().count(RecordKind::VideoEnd), 1u);
}

TEST(Framing, LostFramingStopsTheDecoderForGood) {
    const Bytes start = startFrame(4, 4);
    struct Case {
        const char* what;
        Bytes tail;
        std::size_t offsetInTail;
    } cases[] = {
        {"not an escape", {0x00, 0x1B, 0x55}, 0},
        {"unknown kind", {0x1B, 0x57, 0, 0}, 1},
        {"packed too long", frameWithData(10241, 10241, {}), 2},
        {"raw too long", frameWithData(0x8000 | 10, 10241, Bytes(10)), 2},
        {"packed above raw", frameWithData(5, 4, Bytes(5)), 2},
        {"palette byte 2", {0x1B, 0x44, 1, 0, 0}, 2},
        {"palette too long", {0x1B, 0x44, 0, 0x04, 0x04}, 3},
    };
    for (const Case& c : cases) {
        StreamDecoder decoder;
        auto result = decoder.push(start + c.tail);
        EXPECT_EQ(result.framesDecoded, 1u) << c.what;
        ASSERT_FALSE(result.ok()) << c.what;
        EXPECT_FALSE(result.error->recoverable) << c.what;
        EXPECT_EQ(result.error->offset, start.size() + c.offsetInTail) << c.what;
        EXPECT_EQ(result.error->frameOffset, start.size()) << c.what;
        EXPECT_TRUE(decoder.broken());
        auto again = decoder.push(startFrame(2, 2));
        ASSERT_FALSE(again.ok());
        EXPECT_EQ(again.error->offset, result.error->offset);
        EXPECT_EQ(again.framesDecoded, 0u);
        EXPECT_EQ(decoder.framebuffer().width(), 4);
    }
}

TEST(Framing, ABadFrameIsDroppedWholeAndDecodingGoesOnAfterIt) {
    const Bytes start = startFrame(8, 2) + paletteFrame4(rampPalette(256));
    Drawing store = cell8(0, 0, 2, 2, {5, 6, 7, 8});
    store.cacheOffset = 100;
    store.rasterOperation = kSrcInvert;
    store.colour = colourPatch(0x111111, 0x222222);
    Drawing bad = cell8(7, 0, 2, 2, {1, 2, 3, 4}, false);  // leaves the screen
    const Bytes badFrame = rawFrame(store.encode() + bad.encode());
    Drawing draw = cell8(2, 0, 2, 2, {}, false);
    draw.cacheOffset = 100;
    draw.cacheDraw = true;
    Drawing mono = cell8(0, 0, 8, 1, {0x0F});
    mono.bitsPerPixel = 1;
    mono.rowBytes = 1;
    mono.rowBytesIsByte = true;
    mono.rasterOperation.reset();

    StreamDecoder decoder;
    auto first = decoder.push(start + badFrame + rawFrame(mono.encode()));
    EXPECT_EQ(first.framesDecoded, 2u);
    ASSERT_FALSE(first.ok());
    EXPECT_TRUE(first.error->recoverable);
    EXPECT_EQ(first.error->frameOffset, start.size());
    EXPECT_EQ(first.error->offset, start.size() + 6 + store.encode().size());
    Framebuffer untouched = decode(start).framebuffer();
    EXPECT_EQ(decoder.framebuffer(), untouched);

    // The next frame decodes with the state from before the bad frame: SRCCOPY, not the bad
    // frame's SRCINVERT, and the fresh context's colours, not the bad frame's patch.
    auto second = decoder.push({});
    ASSERT_TRUE(second.ok()) << second.error->describe();
    EXPECT_EQ(second.framesDecoded, 1u);
    EXPECT_EQ(decoder.framebuffer().pixel(0, 0), 0x000000u);
    EXPECT_EQ(decoder.framebuffer().pixel(4, 0), 0xFFFFFFu);

    // Nor did its cache store happen.
    auto third = decoder.push(rawFrame(draw.encode()));
    ASSERT_FALSE(third.ok());
    EXPECT_NE(third.error->message.find("holds no bitmap"), std::string::npos);
}

TEST(Framing, ErrorsDescribeThemselvesWithOffsets) {
    videodecode::DecodeError error;
    error.offset = 40;
    error.frameOffset = 30;
    error.recordOffset = 4;
    error.message = "drawing record: empty rectangle";
    EXPECT_EQ(error.describe(),
              "offset 40 (frame at 30, record at 4 of the unpacked frame): drawing record: empty "
              "rectangle");
    error.recordOffset = -1;
    error.offset = 30;
    EXPECT_EQ(error.describe(), "offset 30: drawing record: empty rectangle");
}

TEST(Framing, StartAndEndRecordsStandAlone) {
    EXPECT_FALSE(decode(rawFrame(startRecord(4, 4) + endRecord())).result.ok());
    EXPECT_FALSE(decode(startFrame(4, 4) + rawFrame(endRecord() + endRecord())).result.ok());
    EXPECT_FALSE(decode(rawFrame(Bytes{9, 0} + startRecord(4, 4))).result.ok());
    EXPECT_FALSE(decode(startFrame(0, 4)).result.ok());
    Bytes truncatedStart = startRecord(4, 4);
    truncatedStart.pop_back();
    EXPECT_FALSE(decode(rawFrame(truncatedStart)).result.ok());
    videodecode::DecoderOptions small;
    small.maxPixels = 100;
    Decoded big = decode(startFrame(20, 20), small);
    ASSERT_FALSE(big.result.ok());
    EXPECT_NE(big.result.error->message.find("20 x 20"), std::string::npos);
    EXPECT_TRUE(decode(startFrame(10, 10), small).result.ok());
    Decoded unknown = decode(startFrame(4, 4) + rawFrame({7}));
    ASSERT_FALSE(unknown.result.ok());
    EXPECT_NE(unknown.result.error->message.find("unknown record type 7"), std::string::npos);
}

TEST(Framing, ARestartKeepsThePictureOfTheSameSizeAndClearsANewSize) {
    Drawing cell = cell8(0, 0, 1, 1, {3});
    Bytes stream = startFrame(4, 4) + paletteFrame4(rampPalette(256)) + rawFrame(cell.encode());
    Decoded same = decode(stream + startFrame(4, 4));
    ASSERT_TRUE(same.result.ok());
    EXPECT_EQ(same.framebuffer().pixel(0, 0), rgbOf(rampPalette(256)[3]));
    Decoded other = decode(stream + startFrame(5, 4));
    ASSERT_TRUE(other.result.ok());
    EXPECT_EQ(other.framebuffer().width(), 5);
    EXPECT_EQ(other.framebuffer().pixel(0, 0), 0u);
    // The format must be announced again after a start.
    Decoded noFormat =
        decode(stream + startFrame(4, 4) + rawFrame(cell8(0, 0, 1, 1, {3}, false).encode()));
    EXPECT_FALSE(noFormat.result.ok());
}

}  // namespace
