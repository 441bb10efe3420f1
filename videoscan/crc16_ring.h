// Reduction of a message for the CRC-16/ARC kernels with exclusive ors alone.
//
// P(x) = x^16 + x^15 + x^2 + 1 is the CRC's polynomial, and over GF(2) P(x)^(2^k) = P(x^(2^k)).
// With Y = x^128 (a 16-byte digit) or Y = x^256 (a 32-byte digit), P(Y) = Y^16 + Y^15 + Y^2 + 1
// is therefore a multiple of P, and a message read as digits in Y keeps its CRC when it is
// reduced modulo P(Y). That reduction is a shift register of 16 digits whose leaving digit
// re-enters at positions 15, 2 and 0: whole-digit exclusive ors, no multiplies. The 16 digits
// left over are a short message with the whole message's CRC, which the carry-less multiply
// kernels then fold. The byte sum is taken on the way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "videoscan/crc16_arc.h"

namespace videoscan {

constexpr std::size_t kRingDigits = 16;

// Reduces the first `digits` 16-byte digits at `bytes` (at least kRingDigits of them), after
// `state`, to kRingDigits digits written to `rest` in message order: a message with the same CRC
// from a zero start. Returns state.sum plus the digits' bytes, modulo 256. Runs on any x86-64.
std::uint8_t RingReduce128(CrcSum state, const std::uint8_t* bytes, std::size_t digits,
                           std::uint8_t* rest);

// The same with 32-byte digits (`rest` holds kRingDigits x 32 bytes); needs AVX2.
std::uint8_t RingReduce256(CrcSum state, const std::uint8_t* bytes, std::size_t digits,
                           std::uint8_t* rest);

}  // namespace videoscan
