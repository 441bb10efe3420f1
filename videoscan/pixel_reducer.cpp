#include "videoscan/pixel_reducer.h"

#include <cstring>

#include "session/video_wire.h"

namespace videoscan {

namespace {

// A 5-bit colour value widened to 8 bits: 0 stays 0, 31 becomes 255, v becomes v x 8 + 8.
constexpr std::uint8_t Widen5(unsigned value) {
    if (value == 0) {
        return 0;
    }
    if (value == 31) {
        return 255;
    }
    return static_cast<std::uint8_t>(value * 8 + 8);
}

void ReduceTrueColourRow(const std::uint8_t* source, std::uint8_t* destination, unsigned pixels,
                         unsigned bytesPerPixel) {
    for (unsigned x = 0; x < pixels; ++x) {
        const std::uint8_t* pixel = source + static_cast<std::size_t>(x) * bytesPerPixel;
        destination[x] = videowire::ThreeThreeTwo(pixel[2], pixel[1], pixel[0]);
    }
}

void ReduceHighColourRow(const std::uint8_t* source, std::uint8_t* destination, unsigned pixels,
                         bool format555) {
    for (unsigned x = 0; x < pixels; ++x) {
        const unsigned word = source[2 * x] | source[2 * x + 1] << 8;
        const unsigned red = format555 ? (word >> 10) & 31 : (word >> 11) & 31;
        const unsigned green = format555 ? (word >> 5) & 31 : (word >> 6) & 31;
        destination[x] = videowire::ThreeThreeTwo(Widen5(red), Widen5(green), Widen5(word & 31));
    }
}

int ReduceToEightBits(CellBits& cell, int bitsPerPixel, std::uint16_t colourFormat) {
    if (cell.rows == 0) {
        return 8;
    }
    const unsigned bytesPerPixel = static_cast<unsigned>(bitsPerPixel) / 8;
    const unsigned pixels = cell.rowBytes / bytesPerPixel;
    // Each row is read at its stride, so filler bytes at the end of a row (24 bits per pixel at
    // odd widths) never shift the rows after it. Output row r starts at r x pixels, never past
    // where input row r starts, so the work can be done in place.
    for (unsigned row = 0; row < cell.rows; ++row) {
        const std::uint8_t* source = cell.data + static_cast<std::size_t>(row) * cell.stride;
        std::uint8_t* destination = cell.data + static_cast<std::size_t>(row) * pixels;
        if (bytesPerPixel == 2) {
            ReduceHighColourRow(source, destination, pixels, colourFormat == kColourFormat555);
        } else {
            ReduceTrueColourRow(source, destination, pixels, bytesPerPixel);
        }
    }
    cell.rowBytes = static_cast<std::uint16_t>(pixels);
    cell.stride = cell.rowBytes;
    cell.dataLength = static_cast<std::uint32_t>(cell.rows) * cell.rowBytes;
    return 8;
}

struct PackFormat {
    int bitsPerPixel;
    int pixelsPerByte;
    int firstShift;
    unsigned mask;
    bool mono;
};

PackFormat FormatForMode(std::uint16_t reducedMode) {
    if (reducedMode == 1) {
        return {1, 8, 7, 1, true};
    }
    if (reducedMode == 2) {
        return {2, 4, 6, 3, false};
    }
    return {4, 2, 4, 15, false};
}

int PackEightBits(CellBits& cell, std::uint16_t reducedMode, const ReductionTables& tables) {
    const PackFormat format = FormatForMode(reducedMode);
    const std::uint8_t* table = format.mono ? tables.mono : tables.reduced;
    const unsigned outRowBytes =
        (cell.rowBytes + static_cast<unsigned>(format.pixelsPerByte) - 1) / format.pixelsPerByte;
    for (unsigned row = 0; row < cell.rows; ++row) {
        const std::uint8_t* source = cell.data + static_cast<std::size_t>(row) * cell.stride;
        std::uint8_t* destination = cell.data + static_cast<std::size_t>(row) * outRowBytes;
        unsigned packed = 0;
        int shift = format.firstShift;
        unsigned out = 0;
        for (unsigned x = 0; x < cell.rowBytes; ++x) {
            const unsigned value = table ? table[source[x]] : 0;
            packed |= (value & format.mask) << shift;
            shift -= format.bitsPerPixel;
            if (shift < 0) {
                destination[out++] = static_cast<std::uint8_t>(packed);
                packed = 0;
                shift = format.firstShift;
            }
        }
        if (shift != format.firstShift) {
            destination[out] = static_cast<std::uint8_t>(packed);
        }
    }
    cell.rowBytes = static_cast<std::uint16_t>(outRowBytes);
    cell.stride = cell.rowBytes;
    cell.dataLength = static_cast<std::uint32_t>(cell.rows) * cell.rowBytes;
    return format.bitsPerPixel;
}

}  // namespace

int ReducePixels(CellBits& cell, int bitsPerPixel, std::uint16_t reducedMode,
                 std::uint16_t colourFormat, const ReductionTables& tables) {
    if (bitsPerPixel > 8) {
        return ReduceToEightBits(cell, bitsPerPixel, colourFormat);
    }
    if (bitsPerPixel < 8 || reducedMode == 0) {
        return bitsPerPixel;
    }
    return PackEightBits(cell, reducedMode, tables);
}

}  // namespace videoscan
