// The video stream as it travels from the host's scanner to the other side: frames, the records
// inside video frames, the bits of the words that shape them, and the other side's capability
// and option words that the host reads from the CB block. The scanner writes these bytes and
// the decoder reads them; both take every constant from here. All multi-byte fields are
// little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

namespace videowire {

// ---- Frames ----------------------------------------------------------------------------------

// Every frame starts with the escape byte and a kind byte.
inline constexpr std::uint8_t kFrameEscape = 0x1B;
inline constexpr std::uint8_t kVideoFrameKind = 0x55;    // 'U'
inline constexpr std::uint8_t kPaletteFrameKind = 0x44;  // 'D'

// Video frame header: escape, kind, packed length (bits 14..0: data bytes that follow; bit 15:
// the data is LZ-compressed), raw length (bytes of the record sequence before compression).
inline constexpr std::size_t kVideoHeaderSize = 6;
inline constexpr std::size_t kPackedLengthOffset = 2;
inline constexpr std::size_t kRawLengthOffset = 4;
inline constexpr std::uint16_t kLzBit = 0x8000;
inline constexpr std::uint16_t kPackedLengthMask = 0x7FFF;
// The largest record sequence a video frame carries, and the largest packed data.
inline constexpr std::size_t kMaxRecordSequence = 10240;

// Run-length form of a record sequence (a video frame whose packed length is below its raw
// length without the LZ bit): kRunEscape followed by a byte above kRunLongest stands for that
// byte once; kRunEscape, k (2..kRunLongest), x for k copies of x; kRunThreeZeros for three
// 0x00; kRunThreeOf x for three x; kRunThreeOnes for three 0xFF; every other byte for itself.
inline constexpr std::uint8_t kRunEscape = 0xF2;
inline constexpr std::uint8_t kRunThreeZeros = 0xF3;
inline constexpr std::uint8_t kRunThreeOf = 0xF4;
inline constexpr std::uint8_t kRunThreeOnes = 0xF5;
inline constexpr std::size_t kRunLongest = 240;

// Palette frame header: escape, kind, a zero byte, length of the entries (16 bits).
inline constexpr std::size_t kPaletteHeaderSize = 5;
inline constexpr std::size_t kPaletteZeroOffset = 2;
inline constexpr std::size_t kPaletteLengthOffset = 3;
inline constexpr std::size_t kMaxPaletteEntries = 256;
// Entries are red, green, blue and flags when the other side announced kCapFourBytePalette;
// otherwise red, green and blue, each rotated right by two bits within its byte.
inline constexpr std::size_t kLongPaletteEntrySize = 4;
inline constexpr std::size_t kShortPaletteEntrySize = 3;

constexpr std::uint8_t RotateForShortEntry(std::uint8_t component) {
    return static_cast<std::uint8_t>(component >> 2 | component << 6);
}
constexpr std::uint8_t ComponentFromShortEntry(std::uint8_t rotated) {
    return static_cast<std::uint8_t>(rotated << 2 | rotated >> 6);
}

// ---- Pixel values ---------------------------------------------------------------------------

struct Colour {
    std::uint8_t red, green, blue;
    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

// A host above 8 bits per pixel turns every pixel into one BBBGGRRR byte: blue in bits 7..5,
// green in bits 4..3, red in bits 2..0 (the top bits of each component).
constexpr std::uint8_t ThreeThreeTwo(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint8_t>((blue & 0xE0) | ((green & 0xC0) >> 3) | (red >> 5));
}
// The grid colour of a BBBGGRRR byte: each field's value picks one of these levels.
inline constexpr std::uint8_t kThreeBitLevels[8] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xFF};
inline constexpr std::uint8_t kTwoBitLevels[4] = {0x00, 0x40, 0x80, 0xFF};
constexpr Colour GridLevelsColour(std::uint8_t value) {
    return {kThreeBitLevels[value & 7], kTwoBitLevels[(value >> 3) & 3],
            kThreeBitLevels[value >> 5]};
}
// The colour a BBBGGRRR byte shows (the grid palette): its grid colour, except that silver
// (0xC0, 0xC0, 0xC0) reduces to the byte of (0xC0, 0xFF, 0xC0), which therefore shows silver.
inline constexpr std::uint8_t kSilverThreeThreeTwo = 222;
inline constexpr Colour kSilver = {0xC0, 0xC0, 0xC0};
constexpr Colour ThreeThreeTwoColour(std::uint8_t value) {
    return value == kSilverThreeThreeTwo ? kSilver : GridLevelsColour(value);
}

// The 16 base colours that 4-bit reduced pixels index.
inline constexpr Colour kBaseColours[16] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

// ---- Records ---------------------------------------------------------------------------------

// The type byte that starts each record of a record sequence.
inline constexpr std::uint8_t kRecordVideoStart = 1;
inline constexpr std::uint8_t kRecordVideoEnd = 2;
inline constexpr std::uint8_t kRecordDrawing = 4;
inline constexpr std::uint8_t kRecordCursor = 9;

// Video start record, alone in its frame: type, marker, version, a constant word, mode word,
// device colours (257: more than 256), screen width, screen height, start time (32 bits).
inline constexpr std::size_t kStartRecordSize = 17;
inline constexpr std::uint8_t kStartMarker = 0x0F;
inline constexpr std::uint8_t kVideoVersion = 18;  // also written to CB item 128
inline constexpr std::uint16_t kStartConstant = 0xFFFF;
inline constexpr std::size_t kStartModeWordOffset = 5;
inline constexpr std::size_t kStartDeviceColoursOffset = 7;
inline constexpr std::size_t kStartWidthOffset = 9;
inline constexpr std::size_t kStartHeightOffset = 11;
inline constexpr std::size_t kStartTimeOffset = 13;
// A device colour count of this value means more than 256 colours.
inline constexpr std::uint16_t kManyDeviceColours = 257;

// Video end record, alone in its frame: the type byte only.
inline constexpr std::size_t kEndRecordSize = 1;

// Bits of the start record's mode word.
inline constexpr std::uint16_t kModeFixedBits = 0x05A4;
inline constexpr std::uint16_t kModeCompressionBits = 0x0003;  // the compression mode's bits 1..0
inline constexpr std::uint16_t kModeDeflate = 0x0010;          // deflate allowed
// The host has more than 8 bits per pixel: its 8-bit cells are BBBGGRRR colours (blue in bits
// 7..5, green in 4..3, red in 2..0), whatever palette frame it sends.
inline constexpr std::uint16_t kModeThreeThreeTwo = 0x0200;

// Drawing record: a head of type, flags, x, y, width, height (16 bits each), then the parts
// its flags select, in the order of the flags below.
inline constexpr std::size_t kDrawingHeadSize = 10;
inline constexpr std::uint8_t kDrawSource = 0x03;  // 0x01 and 0x02, always together
inline constexpr std::uint8_t kDrawFormat = 0x04;  // planes and bits per pixel of the source
inline constexpr std::uint8_t kDrawRasterOp = 0x08;
inline constexpr std::uint8_t kDrawBrush = 0x10;     // brush patch
inline constexpr std::uint8_t kDrawColours = 0x20;   // colour patch
inline constexpr std::uint8_t kDrawReserved = 0x40;  // never set
inline constexpr std::uint8_t kDrawCacheOffset = 0x80;
// The raster operations the host sends: cells copy their source, the background paints the
// brush.
inline constexpr std::uint32_t kRasterSrcCopy = 0x00CC0020;
inline constexpr std::uint32_t kRasterPatCopy = 0x00F00021;
// Patches overwrite the other side's drawing-attribute block: the brush (style, colour R G B 0,
// hatch) at its start, background and text colour (R G B 0 each) at 24.
inline constexpr std::size_t kAttributeBlockSize = 32;
inline constexpr std::uint8_t kBrushPatchOffset = 0;
inline constexpr std::uint8_t kColourPatchOffset = 24;
inline constexpr std::uint8_t kPatchLength = 8;
inline constexpr std::uint16_t kBrushSolid = 0;
// The background record: raster operation and brush over the whole screen, no source.
inline constexpr std::uint8_t kBackgroundFlags = kDrawRasterOp | kDrawBrush;
// Room a record writer reserves in the sequence buffer: a cell record besides its pixel data,
// and the background record.
inline constexpr std::size_t kCellRecordOverhead = 39;
inline constexpr std::size_t kBackgroundRecordReserve = 148;

// Cursor record: type, presence (1: a shape follows, 0: no cursor), then the shape: hot spot
// x, y, width, height, row bytes (16 bits each), planes, a constant 1, then the AND image and
// the second (XOR) image, width x height / 8 bytes each.
inline constexpr std::size_t kCursorRecordHeadSize = 2;
inline constexpr std::uint8_t kCursorAbsent = 0;
inline constexpr std::uint8_t kCursorPresent = 1;
inline constexpr std::size_t kCursorShapeHeaderSize = 12;
inline constexpr std::uint8_t kCursorShapeConstant = 1;

// ---- The other side's words (CB items 57 and 48) ---------------------------------------------

// Capability word.
inline constexpr std::uint16_t kCapCacheUnits = 0x000F;  // bitmap cache size in units
inline constexpr std::uint16_t kCapDeflate = 0x0010;
inline constexpr std::uint16_t kCapDoubleUnits = 0x0020;  // with kCapLargeUnits
inline constexpr std::uint16_t kCapCacheOffsetPlus4 = 0x0080;
inline constexpr std::uint16_t kCapFourBytePalette = 0x1000;
inline constexpr std::uint16_t kCapLargeUnits = 0x8000;  // units of 64 KB instead of 4 KB
inline constexpr std::uint32_t kSmallCacheUnit = 4096;
inline constexpr std::uint32_t kLargeCacheUnit = 65536;
// Bytes added to every cache offset when the capability word has kCapCacheOffsetPlus4.
inline constexpr std::uint32_t kCacheOffsetBias = 4;

// Bytes of bitmap cache a capability word offers.
constexpr std::uint32_t CacheBudget(std::uint16_t capabilities) {
    const std::uint32_t units = capabilities & kCapCacheUnits;
    if (capabilities & kCapLargeUnits) {
        return units * kLargeCacheUnit * ((capabilities & kCapDoubleUnits) ? 2u : 1u);
    }
    return units * kSmallCacheUnit;
}

// Remote option word.
inline constexpr std::uint16_t kOptionPaintBackground = 0x0020;

// ---- Compression mode -------------------------------------------------------------------------

// The host's compression mode; its bits 1..0 go into the mode word.
inline constexpr std::uint16_t kCompressRunLength = 0x0001;
inline constexpr std::uint16_t kCompressLz = 0x0002;
inline constexpr std::uint16_t kCompressDeflate = 0x0010;  // deflate allowed (else implode)

}  // namespace videowire
