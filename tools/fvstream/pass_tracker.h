// Finds where one pass of the host's scanner over the screen ends, from the frames alone.
//
// The scanner visits cells row by row from the top, left to right within a row, and flushes its
// frame at the end of every pass, so the cells of one pass arrive in scan order and never share
// a frame with the next pass. A pass therefore ends:
//   - before a video frame whose first cell (drawn from data or from the cache) does not lie
//     after the last cell seen, in scan order (top to bottom, then left to right);
//   - before a video start record;
//   - at the end of the stream;
// each only when cells were drawn since the previous boundary. Palette, cursor and background
// frames belong to the pass around them. Passes that change only cells lying strictly after
// the previous pass's last cell cannot be told apart from it and count as one.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "videodecode/frame_info.h"

namespace fvstream {

class PassTracker {
public:
    // Called with each frame before it is applied. True when the frame begins a new pass, so
    // that the picture as it stands is the end of the previous one.
    bool beginsNewPass(const videodecode::FrameInfo& frame);
    // True when cells were drawn since the last boundary: the stream's end closes a pass.
    bool passOpen() const { return drawnSinceBoundary_; }
    int passesEnded() const { return passesEnded_; }
    // Counts the pass that the end of the stream closes.
    void endStream();

private:
    using ScanPosition = std::pair<std::uint16_t, std::uint16_t>;  // y, x

    bool closePass();

    std::optional<ScanPosition> lastCell_;
    bool drawnSinceBoundary_ = false;
    int passesEnded_ = 0;
};

}  // namespace fvstream
