// Decoder of the run-length form that the video scanner uses for frames whose packed length is
// smaller than their raw length and whose LZ bit is clear.
//
// The form, byte by byte:
//   0xF2 b      with b above 0xF0: the byte b once (how the escape bytes 0xF2..0xF5 travel);
//   0xF2 k x    with k from 2 to 240: k copies of x;
//   0xF3        three 0x00;
//   0xF4 x      three copies of x;
//   0xF5        three 0xFF;
//   any other byte stands for itself.
// A code cut short by the end of the input, and 0xF2 followed by 0 or 1, are errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class RleStatus {
    ok,
    truncated,    // the input ends inside a code
    bad_count,    // 0xF2 followed by a count of 0 or 1
    output_full,  // the decoded bytes do not fit in the output
};

struct RleDecodeResult {
    RleStatus status;
    std::size_t consumed;  // input bytes decoded; on error, the offset of the failing code
    std::size_t produced;  // output bytes written
};

// Decodes all of the input into the output. Never writes past the output's end: a code whose
// bytes would not fit stops the decoding with output_full and writes nothing of that code.
RleDecodeResult RleDecode(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

// Decodes all of the input, appending to the vector (which grows as needed).
RleDecodeResult RleDecodeAppend(std::span<const std::uint8_t> input,
                                std::vector<std::uint8_t>& output);

// A short text for a status, for error messages ("truncated code"...).
const char* RleStatusText(RleStatus status);
