// A summary of one decoded frame and its records, for tools and tests that watch a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace videodecode {

enum class FrameKind { Video, Palette };

enum class Compression { None, RunLength, Implode, Deflate };

enum class RecordKind {
    VideoStart,
    VideoEnd,
    Cell,       // drawing record with pixel data (possibly also stored in the cache)
    CacheDraw,  // drawing record that draws a bitmap held in the cache
    Fill,       // drawing record without a source part (the background record is one)
    Cursor,
};

struct RecordInfo {
    RecordKind kind = RecordKind::Cell;
    std::size_t offset = 0;  // in the unpacked record sequence
    std::size_t length = 0;

    // Drawing records.
    std::uint8_t flags = 0;
    std::uint16_t x = 0, y = 0, width = 0, height = 0;
    std::uint32_t rasterOperation = 0;  // the one in force for this record
    std::uint8_t bitsPerPixel = 0;
    std::uint16_t rowBytes = 0;
    bool hasCacheOffset = false;
    std::uint32_t cacheOffset = 0;

    // Video start record.
    std::uint16_t modeWord = 0;
    std::uint16_t deviceColours = 0;
    std::uint32_t startTime = 0;

    // Cursor record (width and height above hold the shape's size).
    bool cursorPresent = false;
    std::uint16_t hotSpotX = 0, hotSpotY = 0;
};

struct FrameInfo {
    FrameKind kind = FrameKind::Video;
    std::uint64_t offset = 0;     // stream offset of the frame's first byte
    std::size_t frameLength = 0;  // header and data
    // Video frames: the header's packed length (without the LZ bit) and raw length.
    std::uint16_t packedLength = 0;
    std::uint16_t rawLength = 0;
    Compression compression = Compression::None;
    std::vector<RecordInfo> records;
    // Palette frames.
    std::uint16_t paletteEntries = 0;
    std::uint8_t paletteEntrySize = 0;

    std::size_t count(RecordKind kind) const;
};

}  // namespace videodecode
