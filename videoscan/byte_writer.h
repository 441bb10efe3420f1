// Writes the fields of the scanner's frames and records (session/video_wire.h gives their
// layout). Every multi-byte field is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "session/video_wire.h"

namespace videoscan {

// Writes fields one after the other into a buffer the caller sized.
class ByteWriter {
public:
    explicit ByteWriter(std::uint8_t* out) : out_(out) {}
    void Byte(std::uint8_t value) { out_[used_++] = value; }
    void Word(std::uint16_t value) {
        Byte(static_cast<std::uint8_t>(value));
        Byte(static_cast<std::uint8_t>(value >> 8));
    }
    void Triple(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value));
        Byte(static_cast<std::uint8_t>(value >> 16));
    }
    void DoubleWord(std::uint32_t value) {
        Word(static_cast<std::uint16_t>(value));
        Word(static_cast<std::uint16_t>(value >> 16));
    }
    // A colour as red, green, blue, 0 (a COLORREF's bytes in memory order).
    void Colour(std::uint32_t colour) { DoubleWord(colour & 0x00FFFFFFu); }
    std::size_t used() const { return used_; }

private:
    std::uint8_t* out_;
    std::size_t used_ = 0;
};

// The video frame header: escape, kind, packed length (with the LZ bit), raw length.
inline void WriteFrameHeader(std::uint8_t* header, std::uint16_t packedLength,
                             std::uint16_t rawLength, bool lz) {
    ByteWriter writer(header);
    writer.Byte(videowire::kFrameEscape);
    writer.Byte(videowire::kVideoFrameKind);
    writer.Word(static_cast<std::uint16_t>((packedLength & videowire::kPackedLengthMask) |
                                           (lz ? videowire::kLzBit : 0)));
    writer.Word(rawLength);
}

}  // namespace videoscan
