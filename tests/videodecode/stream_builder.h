// Builds video stream bytes by hand for the decoder's tests: frames in every form, the records
// inside them, and the host's run-length, implode and deflate coding.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <zlib.h>

#include "videodecode/framebuffer.h"
#include "videodecode/stream_decoder.h"

namespace streamtest {

using Bytes = std::vector<std::uint8_t>;
using videodecode::Rgb;

void put16(Bytes& out, std::uint16_t value);
void put24(Bytes& out, std::uint32_t value);
void put32(Bytes& out, std::uint32_t value);
Bytes operator+(Bytes left, const Bytes& right);

constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kPatCopy = 0x00F00021;
constexpr std::uint32_t kSrcInvert = 0x00660046;  // source XOR screen
constexpr std::uint16_t kModeDeflate = 0x05B6;    // mode word with bit 4: deflate allowed
constexpr std::uint16_t kModeImplode = 0x05A6;

Bytes startRecord(std::uint16_t width, std::uint16_t height, std::uint16_t modeWord = kModeDeflate,
                  std::uint16_t deviceColours = 257, std::uint32_t startTime = 1234);
Bytes endRecord();

Bytes brushPatch(Rgb colour, std::uint16_t style = 0);
Bytes colourPatch(Rgb background, Rgb text);

// A drawing record; flags are derived from what is set unless given.
struct Drawing {
    std::uint16_t x = 0, y = 0, width = 0, height = 0;
    std::optional<std::uint32_t> rasterOperation;
    Bytes brush;   // whole patch (offset, length, bytes)
    Bytes colour;  // whole patch
    bool source = true;
    std::optional<std::uint8_t> bitsPerPixel;  // sets flag 0x04
    std::uint8_t planes = 1;
    std::optional<std::uint16_t> sourceRows;  // default: height, or 0 for a cache draw
    std::uint16_t rowBytes = 0;
    bool rowBytesIsByte = false;  // the record's row bytes field is 8 bits (1 bit per pixel)
    std::optional<std::uint32_t> cacheOffset;
    bool cacheDraw = false;
    Bytes pixels;
    std::optional<std::uint8_t> flagsOverride;

    Bytes encode() const;
};

// The usual first cell after a video start: SRCCOPY and format, 8 bits per pixel.
Drawing cell8(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height,
              const Bytes& pixels, bool withHead = true);
Drawing background(std::uint16_t width, std::uint16_t height, Rgb colour);

Bytes cursorRecord(std::uint16_t hotX, std::uint16_t hotY, std::uint16_t width,
                   std::uint16_t height, std::uint16_t rowBytes, const Bytes& andMask,
                   const Bytes& xorMask);
Bytes noCursorRecord();

// Frames.
Bytes rawFrame(const Bytes& records);
Bytes frameWithData(std::uint16_t packedWord, std::uint16_t rawLength, const Bytes& data);
Bytes runLengthCode(const Bytes& records);  // the host's run-length coder
Bytes runLengthFrame(const Bytes& records);
Bytes implodeFrame(const Bytes& records);
Bytes paletteFrame4(const std::vector<videodecode::PaletteEntry>& entries);
Bytes paletteFrame3(const std::vector<videodecode::PaletteEntry>& entries);

// The host's deflater: one raw deflate stream, history carried from frame to frame, each frame
// ended by a sync flush.
class DeflateCoder {
public:
    DeflateCoder();
    ~DeflateCoder();
    DeflateCoder(const DeflateCoder&) = delete;
    DeflateCoder& operator=(const DeflateCoder&) = delete;
    Bytes code(const Bytes& records);
    Bytes frame(const Bytes& records);
    void reset();

private:
    z_stream stream_{};
};

// A screen of the given size with the decoder's stream so far; handy first frame.
Bytes startFrame(std::uint16_t width, std::uint16_t height, std::uint16_t modeWord = kModeDeflate,
                 std::uint16_t deviceColours = 257);

// Decodes a whole stream in one push; fails the test on error unless told to expect one.
struct Decoded {
    std::unique_ptr<videodecode::StreamDecoder> decoder;
    videodecode::PushResult result;
    const videodecode::Framebuffer& framebuffer() const { return decoder->framebuffer(); }
};
Decoded decode(const Bytes& stream, videodecode::DecoderOptions options = {});

// A palette whose entry i is a distinct, easily checked colour.
std::vector<videodecode::PaletteEntry> rampPalette(std::size_t count);
Rgb rgbOf(const videodecode::PaletteEntry& entry);

}  // namespace streamtest
