#include "videoscan/crc16_ring.h"

#include <immintrin.h>

namespace videoscan {

namespace {

// The digits leaving the register obey t[n] = m[n - 16] ^ t[n - 16] ^ t[n - 14] ^ t[n - 1],
// with m the message's digits and both zero before the start (t[n] is zero for n < 16). The
// register is thus kept as a ring of the last 16 leaving digits, slot n % 16 holding t[n]; a
// running CRC, which enters the first digit m[0], meets only t[0] and starts there.

inline __m128i Load128(const std::uint8_t* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

inline __m128i Xor128(__m128i a, __m128i b) {
    return _mm_xor_si128(a, b);
}

// The next leaving digit from the one just before it, those 16 and 14 before it, and the
// message digit 16 before it. t[n - 1] comes last, so that one exclusive or lies on the chain
// from digit to digit; the empty statement keeps the compiler from reassociating the others
// onto it.
inline __m128i RingDigit128(__m128i previous, __m128i before16, __m128i before14, __m128i message) {
    __m128i earlier = Xor128(Xor128(before16, message), before14);
    asm("" : "+x"(earlier));
    return Xor128(earlier, previous);
}

// The last steps (fewer than a ring's worth) and the register's contents, for digits of
// kDigit bytes held as kDigit / 16 pieces. `ring` holds the last 16 leaving digits, slot
// n % 16 holding t[n], and the steps up to digit `n` are done. At the end, position j of the
// register holds message digit digits - 1 - j with the leaving digits it met: on entering, at
// position 2 and at position 15.
template <std::size_t kDigit>
std::uint8_t FinishRing(std::uint8_t* ring, std::size_t n, const std::uint8_t* bytes,
                        std::size_t digits, __m128i sums, std::uint8_t* rest) {
    constexpr std::size_t kPieces = kDigit / 16;
    auto slot = [ring](std::size_t digit, std::size_t piece) {
        return ring + kDigit * (digit % kRingDigits) + 16 * piece;
    };
    for (; n < digits; ++n) {
        for (std::size_t piece = 0; piece < kPieces; ++piece) {
            const __m128i message = Load128(bytes + kDigit * (n - kRingDigits) + 16 * piece);
            sums = _mm_add_epi8(sums, message);
            const __m128i digit =
                Xor128(Xor128(Load128(slot(n, piece)), message),
                       Xor128(Load128(slot(n + 2, piece)), Load128(slot(n + 15, piece))));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(slot(n, piece)), digit);
        }
    }
    for (std::size_t j = 0; j < kRingDigits; ++j) {
        const std::size_t at = digits - 1 - j;
        for (std::size_t piece = 0; piece < kPieces; ++piece) {
            const __m128i message = Load128(bytes + kDigit * at + 16 * piece);
            sums = _mm_add_epi8(sums, message);
            __m128i value = Xor128(message, Load128(slot(at, piece)));
            if (j >= 2) {
                value = Xor128(value, Load128(slot(digits + 1 - j, piece)));
            }
            if (j == kRingDigits - 1) {
                value = Xor128(value, Load128(slot(digits - 1, piece)));
            }
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(rest + kDigit * (kRingDigits - 1 - j) + 16 * piece),
                value);
        }
    }
    const __m128i wide = _mm_sad_epu8(sums, _mm_setzero_si128());
    return static_cast<std::uint8_t>(_mm_cvtsi128_si32(wide) +
                                     _mm_cvtsi128_si32(_mm_srli_si128(wide, 8)));
}

#define FARVANE_RING256_TARGET __attribute__((target("avx2")))

FARVANE_RING256_TARGET inline __m256i Load256(const std::uint8_t* bytes) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

FARVANE_RING256_TARGET inline __m256i Xor256(__m256i a, __m256i b) {
    return _mm256_xor_si256(a, b);
}

FARVANE_RING256_TARGET inline __m256i RingDigit256(__m256i previous, __m256i before16,
                                                   __m256i before14, __m256i message) {
    __m256i earlier = Xor256(Xor256(before16, message), before14);
    asm("" : "+x"(earlier));
    return Xor256(earlier, previous);
}

// Adds the bytes of `digits` (a multiple of 4) 32-byte digits to `sums`, byte lane by byte lane.
// With 32-byte digits the ring loop runs faster without the sums, which cost registers it needs,
// and this pass reads the bytes again from the first-level cache.
FARVANE_RING256_TARGET inline __m128i SumDigits256(const std::uint8_t* bytes, std::size_t digits,
                                                   __m128i sums) {
    // Four accumulators, so that the additions do not wait for each other.
    __m256i a = _mm256_setzero_si256();
    __m256i b = a;
    __m256i c = a;
    __m256i d = a;
    for (std::size_t digit = 0; digit < digits; digit += 4) {
        a = _mm256_add_epi8(a, Load256(bytes + 32 * digit));
        b = _mm256_add_epi8(b, Load256(bytes + 32 * digit + 32));
        c = _mm256_add_epi8(c, Load256(bytes + 32 * digit + 64));
        d = _mm256_add_epi8(d, Load256(bytes + 32 * digit + 96));
    }
    a = _mm256_add_epi8(_mm256_add_epi8(a, b), _mm256_add_epi8(c, d));
    return _mm_add_epi8(sums,
                        _mm_add_epi8(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1)));
}

}  // namespace

std::uint8_t RingReduce128(CrcSum state, const std::uint8_t* bytes, std::size_t digits,
                           std::uint8_t* rest) {
    __m128i t[kRingDigits];
#pragma GCC unroll 16
    for (std::size_t i = 0; i < kRingDigits; ++i) {
        t[i] = _mm_setzero_si128();
    }
    t[0] = _mm_cvtsi32_si128(state.crc);
    __m128i sums = _mm_cvtsi32_si128(state.sum);
    std::size_t n = kRingDigits;
    for (; n + kRingDigits <= digits; n += kRingDigits) {
        const std::uint8_t* at = bytes + 16 * (n - kRingDigits);
#pragma GCC unroll 16
        for (std::size_t i = 0; i < kRingDigits; ++i) {
            // Reading the digit twice keeps it out of a register: the ring needs all sixteen.
            t[i] = RingDigit128(t[(i + 15) % kRingDigits], t[i], t[(i + 2) % kRingDigits],
                                Load128(at + 16 * i));
            sums = _mm_add_epi8(sums, Load128(at + 16 * i));
        }
    }
    alignas(16) std::uint8_t ring[kRingDigits * 16];
#pragma GCC unroll 16
    for (std::size_t i = 0; i < kRingDigits; ++i) {
        _mm_store_si128(reinterpret_cast<__m128i*>(ring + 16 * i), t[i]);
    }
    return FinishRing<16>(ring, n, bytes, digits, sums, rest);
}

FARVANE_RING256_TARGET std::uint8_t RingReduce256(CrcSum state, const std::uint8_t* bytes,
                                                  std::size_t digits, std::uint8_t* rest) {
    __m256i t[kRingDigits];
#pragma GCC unroll 16
    for (std::size_t i = 0; i < kRingDigits; ++i) {
        t[i] = _mm256_setzero_si256();
    }
    t[0] = _mm256_zextsi128_si256(_mm_cvtsi32_si128(state.crc));
    std::size_t n = kRingDigits;
    for (; n + kRingDigits <= digits; n += kRingDigits) {
        const std::uint8_t* at = bytes + 32 * (n - kRingDigits);
#pragma GCC unroll 16
        for (std::size_t i = 0; i < kRingDigits; ++i) {
            t[i] = RingDigit256(t[(i + 15) % kRingDigits], t[i], t[(i + 2) % kRingDigits],
                                Load256(at + 32 * i));
        }
    }
    alignas(32) std::uint8_t ring[kRingDigits * 32];
#pragma GCC unroll 16
    for (std::size_t i = 0; i < kRingDigits; ++i) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(ring + 32 * i), t[i]);
    }
    const __m128i sums = SumDigits256(bytes, n - kRingDigits, _mm_cvtsi32_si128(state.sum));
    return FinishRing<32>(ring, n, bytes, digits, sums, rest);
}

}  // namespace videoscan
