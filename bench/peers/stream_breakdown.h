// What a stretch of our video stream spends its bytes on: frame headers, palette frames,
// compressed data, and within the unpacked records the record heads against the pixel data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace peers {

struct StreamBreakdown {
    bool decoded = false;
    std::string error;  // why the stream could not be decoded
    std::size_t videoFrames = 0;
    std::size_t compressedFrames = 0;  // deflated or imploded
    std::size_t frameHeaderBytes = 0;
    std::size_t frameDataBytes = 0;  // what the video frames carry after their headers
    std::size_t paletteFrameBytes = 0;
    std::size_t rawBytes = 0;  // record sequences before compression
    std::size_t cellRecords = 0;
    std::size_t cacheDraws = 0;
    std::size_t otherRecords = 0;
    std::size_t recordHeadBytes = 0;  // records less their pixel data
    std::size_t pixelBytes = 0;
};

// Decodes `stream` (from its video start record on) as a viewer that announced
// `capabilityWord` and sums what the frames that start at offsets from `begin` to before `end`
// hold. A frame cut off by the end of the stream is not counted.
StreamBreakdown BreakDown(std::span<const std::uint8_t> stream, std::uint16_t capabilityWord,
                          std::size_t begin, std::size_t end);

}  // namespace peers
