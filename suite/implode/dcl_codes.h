// The fixed codes of the implode format, built at compile time.
//
// Each code table is given as code lengths in symbol order; the codes are canonical (shorter
// codes first, equal lengths in symbol order), complemented, and sent first bit first into a
// bit stream that is filled from the low bit of each byte. The tables below hold each code
// already in the order it is sent, so that writing it is one shift.
#pragma once

#include <array>
#include <cstdint>

namespace dcl {

constexpr int kMinMatch = 2;
constexpr int kMaxMatch = 518;
constexpr int kEndLength = 519;  // the copy length that ends a stream
constexpr int kLengthSymbols = 16;
constexpr int kDistanceSymbols = 64;
constexpr int kLiteralSymbols = 256;
constexpr int kMaxLiteralBits = 13;
constexpr int kMaxLengthBits = 7;
constexpr int kMaxDistanceBits = 8;

// Copy lengths: symbol s stands for kLengthBase[s] plus kLengthExtra[s] further bits.
constexpr std::array<std::uint16_t, kLengthSymbols> kLengthBase = {
    3, 2, 4, 5, 6, 7, 8, 9, 10, 12, 16, 24, 40, 72, 136, 264};
constexpr std::array<std::uint8_t, kLengthSymbols> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0,
                                                                   1, 2, 3, 4, 5, 6, 7, 8};

// Code lengths, run-length packed: each byte is (repeat - 1) << 4 | length.
constexpr std::uint8_t kPackedLengthLengths[] = {2, 35, 36, 53, 38, 23};
constexpr std::uint8_t kPackedDistanceLengths[] = {2, 20, 53, 230, 247, 151, 248};
constexpr std::uint8_t kPackedLiteralLengths[] = {
    11, 124, 8,   7,   28,  7,   188, 13, 76, 4,  10, 8,  12, 10, 12, 10, 8,  23, 8,  9,
    7,  6,   7,   8,   7,   6,   55,  8,  23, 24, 12, 11, 7,  9,  11, 12, 6,  7,  22, 5,
    7,  24,  6,   11,  9,   6,   7,   22, 7,  11, 38, 7,  9,  8,  25, 11, 8,  11, 9,  12,
    8,  12,  5,   38,  5,   38,  5,   11, 7,  5,  6,  21, 6,  10, 53, 8,  7,  24, 10, 27,
    44, 253, 253, 253, 252, 252, 252, 13, 12, 45, 12, 45, 12, 61, 12, 45, 44, 173};

// A code as sent: `bits` bits of `code`, low bit first.
struct Code {
    std::uint16_t code;
    std::uint8_t bits;
};

template <int N, std::size_t P>
constexpr std::array<std::uint8_t, N> Unpack(const std::uint8_t (&packed)[P]) {
    std::array<std::uint8_t, N> lengths{};
    int symbol = 0;
    for (std::uint8_t byte : packed) {
        for (int repeat = (byte >> 4) + 1; repeat > 0; --repeat) {
            lengths[symbol++] = byte & 15;
        }
    }
    return lengths;
}

template <int N>
constexpr std::array<Code, N> BuildCodes(const std::array<std::uint8_t, N>& lengths) {
    std::array<Code, N> codes{};
    unsigned next = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int symbol = 0; symbol < N; ++symbol) {
            if (lengths[symbol] != length) {
                continue;
            }
            // Complement the canonical code and reverse it so its first bit is the low bit.
            unsigned sent = 0;
            for (int bit = 0; bit < length; ++bit) {
                const unsigned canonical_bit = (next >> (length - 1 - bit)) & 1;
                sent |= (canonical_bit ^ 1) << bit;
            }
            codes[symbol] =
                Code{static_cast<std::uint16_t>(sent), static_cast<std::uint8_t>(length)};
            ++next;
        }
        next <<= 1;
    }
    return codes;
}

constexpr auto kLengthCodes =
    BuildCodes<kLengthSymbols>(Unpack<kLengthSymbols>(kPackedLengthLengths));
constexpr auto kDistanceCodes =
    BuildCodes<kDistanceSymbols>(Unpack<kDistanceSymbols>(kPackedDistanceLengths));
constexpr auto kLiteralCodes =
    BuildCodes<kLiteralSymbols>(Unpack<kLiteralSymbols>(kPackedLiteralLengths));

// A decoding table: indexed by the next `Bits` bits of the stream (low bit first), it gives the
// symbol whose code those bits start with and the code's length.
struct TableEntry {
    std::uint8_t symbol;
    std::uint8_t bits;
};

template <int Bits, std::size_t N>
constexpr std::array<TableEntry, (1 << Bits)> BuildDecodeTable(const std::array<Code, N>& codes) {
    std::array<TableEntry, (1 << Bits)> table{};
    for (std::size_t symbol = 0; symbol < N; ++symbol) {
        const Code code = codes[symbol];
        for (unsigned index = code.code; index < (1u << Bits); index += 1u << code.bits) {
            table[index] = TableEntry{static_cast<std::uint8_t>(symbol), code.bits};
        }
    }
    return table;
}

}  // namespace dcl
