#include "videoscan/cell_checksum.h"

#include "videoscan/crc16_arc.h"

namespace videoscan {

namespace {

std::uint32_t Combine(CrcSum state, std::uint8_t last) {
    return static_cast<std::uint32_t>(state.crc) << 16 |
           static_cast<std::uint32_t>(state.sum) << 8 | last;
}

}  // namespace

std::uint8_t RowEndMask(unsigned cellWidth, unsigned bitsPerPixel) {
    static constexpr std::uint8_t kMasks[8] = {0xFF, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};
    return kMasks[(cellWidth * bitsPerPixel) % 8];
}

std::uint32_t ChecksumBytes(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    return Combine(CrcSumUpdate(CrcSum{}, bytes, count), bytes[count - 1]);
}

std::uint32_t CellChecksum(const std::uint8_t* bytes, std::size_t count, const CellLayout& layout) {
    if (layout.rowBytes == layout.deviceRowBytes) {
        return ChecksumBytes(bytes, count);
    }
    if (layout.rowBytes == 0 || layout.rowBytes > layout.deviceRowBytes) {
        return 0;
    }
    CrcSum state;
    std::uint8_t last = 0;
    for (std::uint32_t row = 0; row < layout.rows; ++row) {
        const std::uint8_t* data = bytes + static_cast<std::size_t>(row) * layout.deviceRowBytes;
        state = CrcSumUpdate(state, data, layout.rowBytes - 1u);
        last = static_cast<std::uint8_t>(data[layout.rowBytes - 1] & layout.rowEndMask);
        state.crc = Crc16ArcByte(state.crc, last);
        state.sum = static_cast<std::uint8_t>(state.sum + last);
    }
    return Combine(state, last);
}

void CellChecksumCopier::CopyRow(const std::uint8_t* row, std::size_t bytes, std::uint8_t* copy) {
    if (bytes == 0) {
        return;
    }
    stream_.Append(row, bytes, copy);
    last_ = copy[bytes - 1];
}

void CellChecksumSummer::SumRow(const std::uint8_t* row, std::size_t bytes) {
    if (bytes == 0) {
        return;
    }
    state_ = CrcSumUpdate(state_, row, bytes);
    last_ = row[bytes - 1];
}

std::uint32_t CellChecksumSummer::Value() const {
    return Combine(state_, last_);
}

std::uint32_t CellChecksumCopier::Value() const {
    return Combine(stream_.Finish(), last_);
}

}  // namespace videoscan
