// Reads and checks one cursor record (type 9).
#pragma once

#include <optional>
#include <vector>

#include "videodecode/byte_reader.h"
#include "videodecode/frame_info.h"
#include "videodecode/record_ops.h"
#include "videodecode/record_parser.h"

namespace videodecode {

// The reader stands on the record's type byte. Appends one CursorOp with the shape unpacked
// to one byte per pixel.
std::optional<RecordFault> parseCursorRecord(ByteReader& reader, std::vector<RecordOp>& ops,
                                             RecordInfo& info);

}  // namespace videodecode
