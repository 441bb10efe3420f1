// The four forms of a video frame's data, and the deflate history rule.
#include <gtest/gtest.h>

#include "stream_builder.h"

namespace {

using namespace streamtest;
using videodecode::Compression;
using videodecode::DecoderOptions;

DecoderOptions capability(std::uint16_t word) {
    DecoderOptions options;
    options.capabilityWord = word;
    return options;
}

// A cell whose pixels hold the given bytes; decoding it shows the unpacked sequence.
Bytes cellRecords(const Bytes& pixels) {
    return cell8(0, 0, static_cast<std::uint16_t>(pixels.size()), 1, pixels).encode();
}

std::vector<videodecode::Rgb> pictureOf(const Bytes& stream, DecoderOptions options = {}) {
    Decoded decoded = decode(stream, options);
    EXPECT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    const auto pixels = decoded.framebuffer().pixels();
    return {pixels.begin(), pixels.end()};
}

TEST(RunLength, TheHostCodesDecodeToTheirRuns) {
    // The coder's known outputs, as the host writes them.
    EXPECT_EQ(runLengthCode({0, 0, 0}), (Bytes{0xF3}));
    EXPECT_EQ(runLengthCode({0xF2}), (Bytes{0xF2, 0xF2}));
    EXPECT_EQ(runLengthCode(Bytes(241, 0x41)), (Bytes{0xF2, 0xF0, 0x41, 0x41}));
    EXPECT_EQ(runLengthCode({0xF4, 0xF4}), (Bytes{0xF2, 0x02, 0xF4}));

    // Every code in a frame: escapes once and twice, three of 00/FF/x, long runs split at 240.
    Bytes pixels = {0xF2, 0xF3, 0xF3, 0xF5, 0, 0, 0, 0xFF, 0xFF, 0xFF, 7, 7, 7, 9, 9};
    pixels.insert(pixels.end(), 500, 0x41);
    pixels.insert(pixels.end(), {0xF4, 0xF4, 0xF4, 0xF4, 1});
    const Bytes records = cellRecords(pixels);
    const Bytes start =
        startFrame(static_cast<std::uint16_t>(pixels.size()), 1) + paletteFrame4(rampPalette(256));
    EXPECT_EQ(pictureOf(start + runLengthFrame(records)), pictureOf(start + rawFrame(records)));
}

TEST(RunLength, HandWrittenFrameOf241Bytes) {
    // A 241-pixel cell of value 0x41, written by hand: F2 F0 41 then 41.
    Bytes head = cell8(0, 0, 241, 1, {}).encode();
    Bytes data = runLengthCode(head) + Bytes{0xF2, 0xF0, 0x41, 0x41};
    Bytes frame = frameWithData(static_cast<std::uint16_t>(data.size()),
                                static_cast<std::uint16_t>(head.size() + 241), data);
    Decoded decoded = decode(startFrame(241, 1) + paletteFrame4(rampPalette(256)) + frame);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    for (videodecode::Rgb pixel : decoded.framebuffer().pixels()) {
        EXPECT_EQ(pixel, rgbOf(rampPalette(256)[0x41]));
    }
}

TEST(RunLength, BadCodesAndWrongLengthsAreRejected) {
    const Bytes start = startFrame(8, 1);
    const Bytes records = cellRecords({1, 1, 1, 1, 1, 1, 1, 1});
    const Bytes coded = runLengthCode(records);
    const auto raw = static_cast<std::uint16_t>(records.size());
    auto frameOf = [&](const Bytes& data, std::uint16_t rawLength) {
        return frameWithData(static_cast<std::uint16_t>(data.size()), rawLength, data);
    };
    struct Case {
        const char* what;
        Bytes frame;
    } cases[] = {
        {"count 1", frameOf(coded + Bytes{0xF2, 0x01, 0x00}, raw + 1)},
        {"cut code", frameOf(coded + Bytes{0xF2}, raw + 1)},
        {"short", frameOf(coded, raw + 1)},
        {"long", frameOf(coded + Bytes{0xF3}, raw + 1)},
    };
    for (const Case& c : cases) {
        Decoded decoded = decode(start + c.frame);
        ASSERT_FALSE(decoded.result.ok()) << c.what;
        EXPECT_TRUE(decoded.result.error->recoverable) << c.what;
        EXPECT_EQ(decoded.result.error->offset, start.size() + 6) << c.what;
        EXPECT_NE(decoded.result.error->message.find("run-length"), std::string::npos) << c.what;
    }
}

TEST(Implode, FramesExplodeWhenTheHostCannotDeflate) {
    Bytes pixels(300, 5);
    for (std::size_t i = 0; i < pixels.size(); i += 7) {
        pixels[i] = static_cast<std::uint8_t>(i);
    }
    const Bytes records = cellRecords(pixels);
    const Bytes start = startFrame(300, 1, kModeImplode) + paletteFrame4(rampPalette(256));
    const auto expected = pictureOf(start + rawFrame(records));
    EXPECT_EQ(pictureOf(start + implodeFrame(records)), expected);
    EXPECT_EQ(pictureOf(start + implodeFrame(records), capability(0x1001)), expected);
    // The host deflates only when both sides allow it; a mode word that allows it is not
    // enough when this side did not announce deflate.
    const Bytes deflateStart = startFrame(300, 1, kModeDeflate) + paletteFrame4(rampPalette(256));
    EXPECT_EQ(pictureOf(deflateStart + implodeFrame(records), capability(0x1001)), expected);

    Bytes corrupt = implodeFrame(records);
    corrupt.resize(corrupt.size() - 3);
    corrupt[2] = static_cast<std::uint8_t>(corrupt.size() - 6);
    corrupt[3] = static_cast<std::uint8_t>(0x80 | (corrupt.size() - 6) >> 8);
    Decoded decoded = decode(start + corrupt);
    ASSERT_FALSE(decoded.result.ok());
    EXPECT_NE(decoded.result.error->message.find("implode"), std::string::npos);
    EXPECT_EQ(decoded.result.error->offset, start.size() + 6);
}

TEST(Deflate, HistoryCarriesFromFrameToFrame) {
    Bytes pixels(200, 0);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    const Bytes records = cellRecords(pixels);
    DeflateCoder deflater;
    const Bytes first = deflater.frame(records);
    const Bytes second = deflater.frame(records);
    EXPECT_LT(second.size(), first.size() / 4) << "the second frame should refer to the first";
    const Bytes start = startFrame(200, 1) + paletteFrame4(rampPalette(256));
    const auto expected = pictureOf(start + rawFrame(records));
    Decoded decoded = decode(start + first + second);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.result.framesDecoded, 4u);
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), decoded.framebuffer().pixels().begin()));
    EXPECT_EQ(decode(start + second).result.ok(), false) << "the second frame alone";
}

TEST(Deflate, AFrameWithoutTheLzBitResetsTheHistory) {
    // Compressible, then incompressible data the host sends raw (its deflated form did not
    // fit, so the host's deflater took it in and then reset), then compressible again.
    Bytes compressible(200, 0);
    Bytes noise(200);
    std::uint32_t seed = 12345;
    for (auto& byte : noise) {
        seed = seed * 1103515245 + 12345;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    const Bytes a = cellRecords(compressible);
    const Bytes b = cellRecords(noise);
    const Bytes start = startFrame(200, 1) + paletteFrame4(rampPalette(256));

    DeflateCoder host;
    Bytes stream = start + host.frame(a);
    host.code(b);  // compressed but discarded: did not fit
    stream = stream + rawFrame(b);
    host.reset();  // the rule: a frame without the LZ bit resets both sides
    stream = stream + host.frame(a) + runLengthFrame(a);
    host.reset();
    stream = stream + host.frame(a);
    Decoded decoded = decode(stream);
    ASSERT_TRUE(decoded.result.ok()) << decoded.result.error->describe();
    EXPECT_EQ(decoded.result.framesDecoded, 7u);

    // A host that keeps its history across the raw frame makes frames that refer to what the
    // decoder threw away: they are refused, not decoded into garbage.
    DeflateCoder stale;
    Bytes staleStream = start + stale.frame(a) + rawFrame(b);
    stale.code(b);
    const std::size_t badAt = staleStream.size();
    staleStream = staleStream + stale.frame(a);
    Decoded refused = decode(staleStream);
    ASSERT_FALSE(refused.result.ok());
    EXPECT_EQ(refused.result.error->frameOffset, badAt);
    EXPECT_NE(refused.result.error->message.find("deflate"), std::string::npos);
}

TEST(Deflate, AfterABadFrameOnlyAResetBringsDeflateBack) {
    const Bytes records = cellRecords(Bytes(100, 3));
    const Bytes start = startFrame(100, 1);
    DeflateCoder host;
    Bytes good = host.frame(records);
    Bytes bad = good;
    bad[8] ^= 0xFF;
    videodecode::StreamDecoder decoder;
    ASSERT_TRUE(decoder.push(start).ok());
    EXPECT_FALSE(decoder.push(bad).ok());
    host.reset();
    auto refused = decoder.push(host.frame(records));
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error->message.find("history lost"), std::string::npos);
    host.reset();
    ASSERT_TRUE(decoder.push(rawFrame(records)).ok());
    auto back = decoder.push(host.frame(records));
    EXPECT_TRUE(back.ok()) << back.error->describe();

    // A deflate frame whose records are longer than its header says.
    Bytes lying = host.frame(records);
    lying[4] = static_cast<std::uint8_t>(records.size() - 1);
    lying[5] = static_cast<std::uint8_t>((records.size() - 1) >> 8);
    EXPECT_FALSE(decoder.push(lying).ok());
}

TEST(Deflate, CompressedFramesNeedARunningVideo) {
    DeflateCoder host;
    Decoded decoded = decode(host.frame(cellRecords({1, 2})));
    ASSERT_FALSE(decoded.result.ok());
    EXPECT_NE(decoded.result.error->message.find("outside a running video"), std::string::npos);
}

TEST(Compression, TheHeaderTellsTheForm) {
    const Bytes records = cellRecords(Bytes(50, 0));
    DeflateCoder host;
    std::vector<Compression> seen;
    videodecode::StreamDecoder decoder;
    decoder.onFrameApplied(
        [&](const videodecode::FrameInfo& info) { seen.push_back(info.compression); });
    ASSERT_TRUE(decoder.push(startFrame(50, 1) + rawFrame(records) + runLengthFrame(records)).ok());
    host.reset();
    ASSERT_TRUE(decoder.push(host.frame(records)).ok());
    EXPECT_EQ(seen, (std::vector<Compression>{Compression::None, Compression::None,
                                              Compression::RunLength, Compression::Deflate}));
}

}  // namespace
