// One run of the headless viewer: call the host, check its key against the pinned ones, be
// admitted, decode the video stream, send the input asked for, write the picture.
#pragma once

#include <cstdint>
#include <string>

#include "options.h"

namespace fvview {

struct RunStats {
    std::uint64_t bytes = 0;
    std::uint64_t videoFrames = 0;
    std::uint64_t paletteFrames = 0;
    unsigned passes = 0;
    double admittedMs = 0;    // from the call to the admission answer
    double firstFrameMs = 0;  // from the bitmap request to the first frame
    double firstPassMs = 0;   // from the bitmap request to the end of the first pass
    double largestGapMs = 0;  // between two frames, once the first pass was complete
};

// 0 on success; else the exit code, with `error` saying what went wrong.
int RunViewer(const Options& options, RunStats* stats, std::string* error);

}  // namespace fvview
