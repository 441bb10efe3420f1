// Reads and checks the record sequence of one video frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "videodecode/decoder_state.h"
#include "videodecode/frame_info.h"
#include "videodecode/record_ops.h"

namespace videodecode {

struct RecordFault {
    std::size_t offset = 0;  // in the record sequence
    std::string message;
};

struct RecordLimits {
    std::uint32_t maxPixels = 0;
};

// Parses every record of the sequence, updating state (a copy the caller may throw away) and
// appending one op and one summary per record. The ops point into sequence. Returns the first
// fault; the ops and state are then incomplete and must not be used.
std::optional<RecordFault> parseRecords(std::span<const std::uint8_t> sequence,
                                        const RecordLimits& limits, DecoderState& state,
                                        std::vector<RecordOp>& ops,
                                        std::vector<RecordInfo>& records);

}  // namespace videodecode
