#include "videodecode/decode_error.h"

#include "videodecode/frame_info.h"

namespace videodecode {

std::string DecodeError::describe() const {
    std::string text = "offset " + std::to_string(offset);
    if (frameOffset != offset || recordOffset >= 0) {
        text += " (frame at " + std::to_string(frameOffset);
        if (recordOffset >= 0) {
            text += ", record at " + std::to_string(recordOffset) + " of the unpacked frame";
        }
        text += ")";
    }
    return text + ": " + message;
}

std::size_t FrameInfo::count(RecordKind kind) const {
    std::size_t n = 0;
    for (const RecordInfo& record : records) {
        n += record.kind == kind ? 1 : 0;
    }
    return n;
}

}  // namespace videodecode
