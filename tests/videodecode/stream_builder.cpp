#include "stream_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "implode.h"

namespace streamtest {

void put16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put24(Bytes& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
}

void put32(Bytes& out, std::uint32_t value) {
    put16(out, static_cast<std::uint16_t>(value));
    put16(out, static_cast<std::uint16_t>(value >> 16));
}

Bytes operator+(Bytes left, const Bytes& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

Bytes startRecord(std::uint16_t width, std::uint16_t height, std::uint16_t modeWord,
                  std::uint16_t deviceColours, std::uint32_t startTime) {
    Bytes out = {1, 0x0F, 0x12, 0xFF, 0xFF};
    put16(out, modeWord);
    put16(out, deviceColours);
    put16(out, width);
    put16(out, height);
    put32(out, startTime);
    return out;
}

Bytes endRecord() {
    return {2};
}

namespace {

void putColour(Bytes& out, Rgb colour) {
    out.push_back(static_cast<std::uint8_t>(colour >> 16));
    out.push_back(static_cast<std::uint8_t>(colour >> 8));
    out.push_back(static_cast<std::uint8_t>(colour));
    out.push_back(0);
}

}  // namespace

Bytes brushPatch(Rgb colour, std::uint16_t style) {
    Bytes out = {0, 8};
    put16(out, style);
    putColour(out, colour);
    put16(out, 0);
    return out;
}

Bytes colourPatch(Rgb background, Rgb text) {
    Bytes out = {24, 8};
    putColour(out, background);
    putColour(out, text);
    return out;
}

Bytes Drawing::encode() const {
    std::uint8_t flags = 0;
    if (source) {
        flags |= 0x03;
    }
    if (bitsPerPixel) {
        flags |= 0x04;
    }
    if (rasterOperation) {
        flags |= 0x08;
    }
    if (!brush.empty()) {
        flags |= 0x10;
    }
    if (!colour.empty()) {
        flags |= 0x20;
    }
    if (cacheOffset) {
        flags |= 0x80;
    }
    Bytes out = {4, flagsOverride.value_or(flags)};
    put16(out, x);
    put16(out, y);
    put16(out, width);
    put16(out, height);
    if (rasterOperation) {
        put32(out, *rasterOperation);
    }
    out = out + brush + colour;
    if (!source) {
        return out;
    }
    put32(out, 0);
    if (bitsPerPixel) {
        out.push_back(planes);
        out.push_back(*bitsPerPixel);
    }
    put16(out, sourceRows.value_or(cacheDraw ? 0 : height));
    if (rowBytesIsByte) {
        out.push_back(static_cast<std::uint8_t>(rowBytes));
    } else {
        put16(out, rowBytes);
    }
    out.push_back(0);
    if (cacheOffset) {
        put24(out, *cacheOffset);
    }
    return out + pixels;
}

Drawing cell8(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height,
              const Bytes& pixels, bool withHead) {
    Drawing cell;
    cell.x = x;
    cell.y = y;
    cell.width = width;
    cell.height = height;
    cell.rowBytes = width;
    cell.pixels = pixels;
    if (withHead) {
        cell.rasterOperation = kSrcCopy;
        cell.bitsPerPixel = 8;
    }
    return cell;
}

Drawing background(std::uint16_t width, std::uint16_t height, Rgb colour) {
    Drawing fill;
    fill.width = width;
    fill.height = height;
    fill.source = false;
    fill.rasterOperation = kPatCopy;
    fill.brush = brushPatch(colour);
    return fill;
}

Bytes cursorRecord(std::uint16_t hotX, std::uint16_t hotY, std::uint16_t width,
                   std::uint16_t height, std::uint16_t rowBytes, const Bytes& andMask,
                   const Bytes& xorMask) {
    Bytes out = {9, 1};
    put16(out, hotX);
    put16(out, hotY);
    put16(out, width);
    put16(out, height);
    put16(out, rowBytes);
    out.push_back(1);
    out.push_back(1);
    return out + andMask + xorMask;
}

Bytes noCursorRecord() {
    return {9, 0};
}

Bytes frameWithData(std::uint16_t packedWord, std::uint16_t rawLength, const Bytes& data) {
    Bytes out = {0x1B, 0x55};
    put16(out, packedWord);
    put16(out, rawLength);
    return out + data;
}

Bytes rawFrame(const Bytes& records) {
    const auto length = static_cast<std::uint16_t>(records.size());
    return frameWithData(length, length, records);
}

Bytes runLengthCode(const Bytes& records) {
    Bytes out;
    std::size_t at = 0;
    while (at < records.size()) {
        const std::uint8_t x = records[at];
        std::size_t run = 1;
        while (at + run < records.size() && records[at + run] == x) {
            ++run;
        }
        at += run;
        const bool escape = x >= 0xF2 && x <= 0xF5;
        while (run > 0) {
            if (run >= 4) {
                const std::size_t k = std::min<std::size_t>(run, 240);
                out.insert(out.end(), {0xF2, static_cast<std::uint8_t>(k), x});
                run -= k;
            } else if (run == 3) {
                if (x == 0x00) {
                    out.push_back(0xF3);
                } else if (x == 0xFF) {
                    out.push_back(0xF5);
                } else {
                    out.insert(out.end(), {0xF4, x});
                }
                run = 0;
            } else if (escape) {
                if (run == 1) {
                    out.insert(out.end(), {0xF2, x});
                } else {
                    out.insert(out.end(), {0xF2, 2, x});
                }
                run = 0;
            } else {
                out.insert(out.end(), run, x);
                run = 0;
            }
        }
    }
    return out;
}

Bytes runLengthFrame(const Bytes& records) {
    Bytes coded = runLengthCode(records);
    EXPECT_LT(coded.size(), records.size()) << "test data does not shrink under run-length";
    return frameWithData(static_cast<std::uint16_t>(coded.size()),
                         static_cast<std::uint16_t>(records.size()), coded);
}

namespace {

struct ImplodeIo {
    const Bytes* input;
    std::size_t read = 0;
    Bytes output;
};

unsigned int implodeRead(char* buf, unsigned int* size, void* param) {
    auto* io = static_cast<ImplodeIo*>(param);
    const std::size_t count = std::min<std::size_t>(*size, io->input->size() - io->read);
    std::memcpy(buf, io->input->data() + io->read, count);
    io->read += count;
    return static_cast<unsigned int>(count);
}

void implodeWrite(char* buf, unsigned int* size, void* param) {
    auto* io = static_cast<ImplodeIo*>(param);
    io->output.insert(io->output.end(), buf, buf + *size);
}

}  // namespace

Bytes implodeFrame(const Bytes& records) {
    std::vector<char> work(CMP_BUFFER_SIZE);
    ImplodeIo io{&records, 0, {}};
    unsigned int type = CMP_BINARY;
    unsigned int dictionary = 1024;
    EXPECT_EQ(implode(implodeRead, implodeWrite, work.data(), &io, &type, &dictionary),
              CMP_NO_ERROR);
    return frameWithData(static_cast<std::uint16_t>(io.output.size() | 0x8000),
                         static_cast<std::uint16_t>(records.size()), io.output);
}

Bytes paletteFrame4(const std::vector<videodecode::PaletteEntry>& entries) {
    Bytes out = {0x1B, 0x44, 0};
    put16(out, static_cast<std::uint16_t>(entries.size() * 4));
    for (const auto& entry : entries) {
        out.insert(out.end(), {entry.red, entry.green, entry.blue, entry.flags});
    }
    return out;
}

Bytes paletteFrame3(const std::vector<videodecode::PaletteEntry>& entries) {
    auto rotate = [](std::uint8_t value) {
        return static_cast<std::uint8_t>(value >> 2 | value << 6);
    };
    Bytes out = {0x1B, 0x44, 0};
    put16(out, static_cast<std::uint16_t>(entries.size() * 3));
    for (const auto& entry : entries) {
        out.insert(out.end(), {rotate(entry.red), rotate(entry.green), rotate(entry.blue)});
    }
    return out;
}

DeflateCoder::DeflateCoder() {
    deflateInit2(&stream_, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
}

DeflateCoder::~DeflateCoder() {
    deflateEnd(&stream_);
}

void DeflateCoder::reset() {
    deflateReset(&stream_);
}

Bytes DeflateCoder::code(const Bytes& records) {
    Bytes out(records.size() + 64);
    stream_.next_in = const_cast<Bytef*>(records.data());
    stream_.avail_in = static_cast<uInt>(records.size());
    stream_.next_out = out.data();
    stream_.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(::deflate(&stream_, Z_SYNC_FLUSH), Z_OK);
    EXPECT_EQ(stream_.avail_in, 0u);
    out.erase(out.end() - static_cast<std::ptrdiff_t>(stream_.avail_out), out.end());
    return out;
}

Bytes DeflateCoder::frame(const Bytes& records) {
    Bytes coded = code(records);
    return frameWithData(static_cast<std::uint16_t>(coded.size() | 0x8000),
                         static_cast<std::uint16_t>(records.size()), coded);
}

Bytes startFrame(std::uint16_t width, std::uint16_t height, std::uint16_t modeWord,
                 std::uint16_t deviceColours) {
    return rawFrame(startRecord(width, height, modeWord, deviceColours));
}

Decoded decode(const Bytes& stream, videodecode::DecoderOptions options) {
    Decoded decoded{std::make_unique<videodecode::StreamDecoder>(options), {}};
    decoded.result = decoded.decoder->push(stream);
    return decoded;
}

std::vector<videodecode::PaletteEntry> rampPalette(std::size_t count) {
    std::vector<videodecode::PaletteEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        entries.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i * 7), 0});
    }
    return entries;
}

Rgb rgbOf(const videodecode::PaletteEntry& entry) {
    return videodecode::makeRgb(entry.red, entry.green, entry.blue);
}

}  // namespace streamtest
