// Reads and checks one drawing record (type 4).
#pragma once

#include <optional>
#include <vector>

#include "videodecode/byte_reader.h"
#include "videodecode/decoder_state.h"
#include "videodecode/frame_info.h"
#include "videodecode/record_ops.h"
#include "videodecode/record_parser.h"

namespace videodecode {

// The reader stands on the record's type byte. Fills info (kind, flags, rectangle, format,
// cache offset) and appends one DrawOp.
std::optional<RecordFault> parseDrawingRecord(ByteReader& reader, DecoderState& state,
                                              std::vector<RecordOp>& ops, RecordInfo& info);

}  // namespace videodecode
