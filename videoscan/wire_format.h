// Byte layout of what the scanner sends: frame headers and record type bytes. Every
// multi-byte field is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace videoscan {

inline constexpr std::uint8_t kFrameEscape = 0x1B;
inline constexpr std::uint8_t kVideoFrameTag = 0x55;    // 'U'
inline constexpr std::uint8_t kPaletteFrameTag = 0x44;  // 'D'
inline constexpr std::uint16_t kLzBit = 0x8000;

inline constexpr std::uint8_t kRecordVideoStart = 1;
inline constexpr std::uint8_t kRecordVideoEnd = 2;
inline constexpr std::uint8_t kRecordDrawing = 4;
inline constexpr std::uint8_t kRecordCursor = 9;
inline constexpr std::size_t kStartRecordSize = 17;

// Drawing record flags.
inline constexpr std::uint8_t kDrawSource = 0x03;
inline constexpr std::uint8_t kDrawFormat = 0x04;
inline constexpr std::uint8_t kDrawRasterOp = 0x08;
inline constexpr std::uint8_t kDrawBrush = 0x10;
inline constexpr std::uint8_t kDrawColours = 0x20;
inline constexpr std::uint8_t kDrawCacheOffset = 0x80;

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

// The 6-byte video frame header: 0x1B 0x55, packed length (bit 15: LZ), raw length.
inline void WriteFrameHeader(std::uint8_t* header, std::uint16_t packedLength,
                             std::uint16_t rawLength, bool lz) {
    ByteWriter writer(header);
    writer.Byte(kFrameEscape);
    writer.Byte(kVideoFrameTag);
    writer.Word(static_cast<std::uint16_t>((packedLength & 0x7FFF) | (lz ? kLzBit : 0)));
    writer.Word(rawLength);
}

}  // namespace videoscan
