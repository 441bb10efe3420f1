// Turns the data of a video frame back into its record sequence: raw, run-length, implode or
// deflate. The inflater keeps its history from frame to frame until reset.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "videodecode/frame_info.h"

class FrameInflater;

namespace videodecode {

class FrameUnpacker {
public:
    FrameUnpacker();
    ~FrameUnpacker();
    FrameUnpacker(const FrameUnpacker&) = delete;
    FrameUnpacker& operator=(const FrameUnpacker&) = delete;

    // Fills out, whose size is the frame's raw length, from the frame's data. Returns what was
    // wrong when the data does not unpack to exactly that many bytes.
    std::optional<std::string> unpack(Compression compression, std::span<const std::uint8_t> data,
                                      std::span<std::uint8_t> out);

    // Forgets the deflate history (a frame without the LZ bit arrived).
    void resetHistory();

private:
    std::optional<std::string> unpackRunLength(std::span<const std::uint8_t> data,
                                               std::span<std::uint8_t> out);
    std::optional<std::string> explodeFrame(std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> out);
    std::optional<std::string> inflateFrame(std::span<const std::uint8_t> data,
                                            std::span<std::uint8_t> out);

    std::unique_ptr<FrameInflater> inflater_;
    // A deflate frame unpacked to the wrong length; the inflater itself refuses further frames
    // after the failures it sees.
    bool historyLost_ = false;
    std::vector<char> explodeWork_;
};

}  // namespace videodecode
