// What the decoder reports when its input is truncated or inconsistent.
#pragma once

#include <cstdint>
#include <string>

namespace videodecode {

struct DecodeError {
    // Stream offset of the byte at fault. Inside a compressed frame the unpacked bytes have no
    // stream offset of their own, so this is the offset of the frame's first data byte and
    // recordOffset tells where in the unpacked record sequence the fault lies.
    std::uint64_t offset = 0;
    // Stream offset of the frame that holds the fault.
    std::uint64_t frameOffset = 0;
    // Offset in the frame's unpacked record sequence, or -1 when the fault is not in a record.
    std::int64_t recordOffset = -1;
    // False when the stream's framing is lost (no frame boundary can be trusted any more);
    // true when only the frame at fault was dropped and decoding can go on after it.
    bool recoverable = true;
    std::string message;

    // One line for people: "offset 1234 (frame at 1200, record at 40): message".
    std::string describe() const;
};

}  // namespace videodecode
