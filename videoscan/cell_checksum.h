// The cell checksum: CRC-16/ARC of the cell's bytes in bits 31..16, their sum modulo 256 in
// bits 15..8 and the last byte that entered both in bits 7..0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "videoscan/crc16_arc.h"

namespace videoscan {

// How a cell's bits lie in memory.
struct CellLayout {
    std::uint16_t rowBytes = 0;        // bytes of pixel data in a row
    std::uint16_t deviceRowBytes = 0;  // distance from one row to the next (with filler)
    std::uint32_t rows = 0;            // planes x cell height
    // Bits of the last data byte of a row that belong to the cell's pixels: the rest is
    // masked off, so pixels past the cell's width never count. 0xFF when the pixels fill it.
    std::uint8_t rowEndMask = 0xFF;
};

// Mask for the last data byte of a row of `cellWidth` pixels at `bitsPerPixel`: the pixel bits
// of a row fill (cellWidth x bitsPerPixel) modulo 8 bits of it, high bits first.
std::uint8_t RowEndMask(unsigned cellWidth, unsigned bitsPerPixel);

// The checksum of `count` bytes fed in order.
std::uint32_t ChecksumBytes(const std::uint8_t* bytes, std::size_t count);

// The checksum of a cell: rows without filler are fed as `count` bytes in one piece; otherwise
// `count` is not used and each row feeds its data bytes, the last one masked, skipping filler.
std::uint32_t CellChecksum(const std::uint8_t* bytes, std::size_t count, const CellLayout& layout);

// The checksum of a cell whose rows arrive one at a time and hold whole-byte pixels (8 bits per
// pixel or more, so nothing is masked): the rows' data bytes back to back, as CellChecksum
// feeds them. Each row is copied to where the caller wants it while it enters the sums.
class CellChecksumCopier {
public:
    void CopyRow(const std::uint8_t* row, std::size_t bytes, std::uint8_t* copy);
    std::uint32_t Value() const;

private:
    CrcSumCopyStream stream_;
    std::uint8_t last_ = 0;
};

// The same checksum for rows that are only read, where they lie. Each row goes through the
// fastest whole-message kernel on its own, carrying the running value from row to row.
class CellChecksumSummer {
public:
    void SumRow(const std::uint8_t* row, std::size_t bytes);
    std::uint32_t Value() const;

private:
    CrcSum state_;
    std::uint8_t last_ = 0;
};

}  // namespace videoscan
