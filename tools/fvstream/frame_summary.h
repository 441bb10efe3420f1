// One-line descriptions of frames and records for people reading a stream.
#pragma once

#include <string>

#include "videodecode/frame_info.h"

namespace fvstream {

// "offset 1234  video    packed   345 raw  1000  deflate    cells 12, cache draws 3"
std::string frameLine(const videodecode::FrameInfo& frame);
// "  +40 cell (16, 8) 32x8 flags 0x8F rop 0x00CC0020, 8 bpp, rows of 32, cache 260"
std::string recordLine(const videodecode::RecordInfo& record);

}  // namespace fvstream
