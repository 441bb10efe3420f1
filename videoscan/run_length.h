// The scanner's run-length coder for record sequences (decoded by suite/rle).
//
// Runs of equal bytes become: one or two plain bytes; 0xF2 x for a single escape byte
// (0xF2..0xF5); 0xF2 2 x for two of them; 0xF3, 0xF5 and 0xF4 x for three 0x00, 0xFF and x;
// 0xF2 k x for k copies (k up to 240), with the rest of a longer run coded again.
#pragma once

#include <cstddef>
#include <cstdint>

namespace videoscan {

// Codes `length` bytes into at most `capacity` bytes of `destination`. Returns the number of
// bytes written, or length + 1 as soon as the output would not fit (nothing is ever written
// past the capacity; the partial output is then of no use).
std::size_t RunLengthEncode(const std::uint8_t* source, std::size_t length,
                            std::uint8_t* destination, std::size_t capacity);

}  // namespace videoscan
