#include "videoscan/crc16_arc.h"

#include <immintrin.h>

#include <array>
#include <cstring>

#include "videoscan/crc16_ring.h"

namespace videoscan {

namespace {

// Normal form of the polynomial x^16 + x^15 + x^2 + 1; 0xA001 is its bit reversal.
constexpr std::uint32_t kPolynomial = 0x18005;

using Table = std::array<std::array<std::uint16_t, 256>, 8>;

// tables[0] is the byte-wise table; tables[k][b] is the CRC of byte b followed by k zero bytes,
// so that eight bytes advance the CRC in eight independent look-ups.
constexpr Table MakeTables() {
    Table tables{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t crc = static_cast<std::uint16_t>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
        tables[0][byte] = crc;
    }
    for (int k = 1; k < 8; ++k) {
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t previous = tables[k - 1][byte];
            tables[k][byte] =
                static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFF]);
        }
    }
    return tables;
}

constexpr Table kTables = MakeTables();

std::uint64_t Load64(const std::uint8_t* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;  // little-endian: byte 0 in the low bits
}

CrcSum TableKernel(CrcSum state, const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t crc = state.crc;
    std::uint32_t sum = state.sum;
    while (count >= 8) {
        const std::uint64_t word = Load64(bytes);
        const std::uint64_t v = word ^ crc;
        crc = kTables[7][v & 0xFF] ^ kTables[6][(v >> 8) & 0xFF] ^ kTables[5][(v >> 16) & 0xFF] ^
              kTables[4][(v >> 24) & 0xFF] ^ kTables[3][(v >> 32) & 0xFF] ^
              kTables[2][(v >> 40) & 0xFF] ^ kTables[1][(v >> 48) & 0xFF] ^ kTables[0][v >> 56];
        // Byte sum of the word: add its bytes pairwise in wider lanes.
        std::uint64_t pairs =
            (word & 0x00FF00FF00FF00FFull) + ((word >> 8) & 0x00FF00FF00FF00FFull);
        pairs += pairs >> 16;
        pairs += pairs >> 32;
        sum += static_cast<std::uint32_t>(pairs & 0xFFFF);
        bytes += 8;
        count -= 8;
    }
    while (count-- > 0) {
        crc = (crc >> 8) ^ kTables[0][(crc ^ *bytes) & 0xFF];
        sum += *bytes++;
    }
    return CrcSum{static_cast<std::uint16_t>(crc), static_cast<std::uint8_t>(sum)};
}

// Folding constants. The bytes of a block, loaded little-endian, hold the block's polynomial
// bit-reversed (the first bit of the message is its highest power). A carry-less product of
// two bit-reversed 64-bit values is the bit-reversed 128-bit product times x, so moving the
// upper half H of a 128-bit accumulator forward by D bits multiplies it by
// reverse(x^(D+63) mod P) and the lower half by reverse(x^(D-1) mod P).
constexpr std::uint64_t PowerMod(unsigned exponent) {
    std::uint32_t remainder = 1;
    for (unsigned i = 0; i < exponent; ++i) {
        remainder <<= 1;
        if (remainder & 0x10000) {
            remainder ^= kPolynomial;
        }
    }
    return remainder;
}

constexpr std::uint64_t Reverse64(std::uint64_t value) {
    std::uint64_t result = 0;
    for (int bit = 0; bit < 64; ++bit) {
        result = (result << 1) | ((value >> bit) & 1);
    }
    return result;
}

// Constant for the first (earlier) half of a 128-bit lane and for its second half.
constexpr std::uint64_t FoldHigh(unsigned distance) {
    return Reverse64(PowerMod(distance + 63));
}
constexpr std::uint64_t FoldLow(unsigned distance) {
    return Reverse64(PowerMod(distance - 1));
}

// Evaluated here, at compile time: each one is thousands of polynomial steps.
constexpr std::uint64_t kFold128High = FoldHigh(128);
constexpr std::uint64_t kFold128Low = FoldLow(128);
constexpr std::uint64_t kFold256High = FoldHigh(256);
constexpr std::uint64_t kFold256Low = FoldLow(256);
constexpr std::uint64_t kFold384High = FoldHigh(384);
constexpr std::uint64_t kFold384Low = FoldLow(384);
constexpr std::uint64_t kFold512High = FoldHigh(512);
constexpr std::uint64_t kFold512Low = FoldLow(512);
constexpr std::uint64_t kFold1024High = FoldHigh(1024);
constexpr std::uint64_t kFold1024Low = FoldLow(1024);
constexpr std::uint64_t kFold2048High = FoldHigh(2048);
constexpr std::uint64_t kFold2048Low = FoldLow(2048);

std::uint16_t FinishBlock(const std::uint8_t block[16]) {
    return TableKernel(CrcSum{}, block, 16).crc;
}

#define FARVANE_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))
#define FARVANE_CLMUL256_TARGET __attribute__((target("pclmul,sse4.1,avx2,vpclmulqdq")))
#define FARVANE_CLMUL512_TARGET \
    __attribute__((target("pclmul,sse4.1,avx2,avx512f,avx512bw,vpclmulqdq")))

FARVANE_CLMUL_TARGET inline __m128i Fold128(__m128i value, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(value, constants, 0x00),
                         _mm_clmulepi64_si128(value, constants, 0x11));
}

FARVANE_CLMUL_TARGET inline __m128i Load128(const std::uint8_t* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

FARVANE_CLMUL_TARGET inline std::uint32_t SumLanes(__m128i sums) {
    return static_cast<std::uint32_t>(_mm_cvtsi128_si64(sums) + _mm_extract_epi64(sums, 1));
}

// Folds the remaining 16-byte blocks into the accumulator and finishes with the table kernel:
// the accumulator is congruent to everything folded so far, so its CRC as a 16-byte message
// is theirs.
FARVANE_CLMUL_TARGET CrcSum FinishClmul(__m128i accumulator, __m128i sums,
                                        const std::uint8_t* bytes, std::size_t count) {
    const __m128i fold128 =
        _mm_set_epi64x(static_cast<long long>(kFold128Low), static_cast<long long>(kFold128High));
    const __m128i zero = _mm_setzero_si128();
    while (count >= 16) {
        const __m128i block = Load128(bytes);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(block, zero));
        accumulator = _mm_xor_si128(Fold128(accumulator, fold128), block);
        bytes += 16;
        count -= 16;
    }
    alignas(16) std::uint8_t block[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(block), accumulator);
    const CrcSum head{FinishBlock(block), static_cast<std::uint8_t>(SumLanes(sums))};
    return TableKernel(head, bytes, count);
}

FARVANE_CLMUL_TARGET inline __m128i Fold128Into(__m128i value, __m128i constants, __m128i next) {
    return _mm_xor_si128(Fold128(value, constants), next);
}

FARVANE_CLMUL_TARGET inline __m128i Constants128(std::uint64_t high, std::uint64_t low) {
    return _mm_set_epi64x(static_cast<long long>(low), static_cast<long long>(high));
}

// The byte sum needs only its value modulo 256, so the blocks are added byte lane by byte lane
// (each lane wraps modulo 256 too); this folds those lanes into the 64-bit sums FinishClmul
// takes.
FARVANE_CLMUL_TARGET inline __m128i WideSums(__m128i byteSums) {
    return _mm_sad_epu8(byteSums, _mm_setzero_si128());
}

// Eight lanes 128 bytes apart: each carry-less multiply waits only for its own lane, so eight
// of them overlap.
constexpr std::size_t kLanes128 = 8;

FARVANE_CLMUL_TARGET CrcSum Clmul128Lanes(CrcSum state, const std::uint8_t* bytes,
                                          std::size_t count) {
    if (count < 16) {
        return TableKernel(state, bytes, count);
    }
    // A running CRC enters as the first 16 bits of the message.
    __m128i byteSums = _mm_cvtsi32_si128(state.sum);
    __m128i accumulator = Load128(bytes);
    byteSums = _mm_add_epi8(byteSums, accumulator);
    accumulator = _mm_xor_si128(accumulator, _mm_cvtsi32_si128(state.crc));
    bytes += 16;
    count -= 16;
    if (count >= 16 * (kLanes128 - 1)) {
        __m128i x[kLanes128];
        x[0] = accumulator;
#pragma GCC unroll 8
        for (std::size_t lane = 1; lane < kLanes128; ++lane) {
            x[lane] = Load128(bytes + 16 * (lane - 1));
            byteSums = _mm_add_epi8(byteSums, x[lane]);
        }
        bytes += 16 * (kLanes128 - 1);
        count -= 16 * (kLanes128 - 1);
        const __m128i fold1024 = Constants128(kFold1024High, kFold1024Low);
        while (count >= 16 * kLanes128) {
#pragma GCC unroll 8
            for (std::size_t lane = 0; lane < kLanes128; ++lane) {
                const __m128i block = Load128(bytes + 16 * lane);
                x[lane] = Fold128Into(x[lane], fold1024, block);
                byteSums = _mm_add_epi8(byteSums, block);
            }
            bytes += 16 * kLanes128;
            count -= 16 * kLanes128;
        }
        const __m128i fold128 = Constants128(kFold128High, kFold128Low);
        accumulator = x[0];
#pragma GCC unroll 8
        for (std::size_t lane = 1; lane < kLanes128; ++lane) {
            accumulator = Fold128Into(accumulator, fold128, x[lane]);
        }
    }
    return FinishClmul(accumulator, WideSums(byteSums), bytes, count);
}

// Long messages are reduced to 16 digits by the exclusive-or ring first, which is faster than
// folding every byte with carry-less multiplies; below this the ring's fixed cost outweighs it.
constexpr std::size_t kMinRing128Bytes = 4 * kRingDigits * 16;

FARVANE_CLMUL_TARGET CrcSum Clmul128Kernel(CrcSum state, const std::uint8_t* bytes,
                                           std::size_t count) {
    if (count < kMinRing128Bytes) {
        return Clmul128Lanes(state, bytes, count);
    }
    alignas(16) std::uint8_t rest[kRingDigits * 16];
    const std::size_t digits = count / 16;
    const std::uint8_t sum = RingReduce128(state, bytes, digits, rest);
    const CrcSum reduced{Clmul128Lanes(CrcSum{}, rest, sizeof rest).crc, sum};
    return TableKernel(reduced, bytes + 16 * digits, count % 16);
}

FARVANE_CLMUL256_TARGET inline __m256i Fold256Into(__m256i value, __m256i constants, __m256i next) {
    return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(value, constants, 0x00),
                                             _mm256_clmulepi64_epi128(value, constants, 0x11)),
                            next);
}

FARVANE_CLMUL256_TARGET inline __m256i Constants256(std::uint64_t high, std::uint64_t low) {
    const auto h = static_cast<long long>(high);
    const auto l = static_cast<long long>(low);
    return _mm256_set_epi64x(l, h, l, h);
}

FARVANE_CLMUL256_TARGET inline __m256i Load256(const std::uint8_t* bytes) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
}

// Eight 256-bit lanes (sixteen 128-bit ones) 256 bytes apart, and the byte sums.
constexpr std::size_t kLanes256 = 8;
constexpr std::size_t kStride256 = 32 * kLanes256;

struct Lanes256 {
    __m256i lane[kLanes256];
    __m256i byteSums;
};

// Loads 32 bytes and, when copying, stores them at the same offset of the copy.
template <bool kCopy>
FARVANE_CLMUL256_TARGET inline __m256i Take256(const std::uint8_t* bytes, std::uint8_t* copy,
                                               std::size_t at) {
    const __m256i block = Load256(bytes + at);
    if constexpr (kCopy) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(copy + at), block);
    }
    return block;
}

// The first stride of a message fills the lanes; a running CRC enters as its first 16 bits.
template <bool kCopy>
FARVANE_CLMUL256_TARGET inline void Start256(Lanes256& lanes, CrcSum state,
                                             const std::uint8_t* bytes, std::uint8_t* copy) {
    lanes.byteSums = _mm256_zextsi128_si256(_mm_cvtsi32_si128(state.sum));
#pragma GCC unroll 8
    for (std::size_t lane = 0; lane < kLanes256; ++lane) {
        lanes.lane[lane] = Take256<kCopy>(bytes, copy, 32 * lane);
        lanes.byteSums = _mm256_add_epi8(lanes.byteSums, lanes.lane[lane]);
    }
    lanes.lane[0] =
        _mm256_xor_si256(lanes.lane[0], _mm256_zextsi128_si256(_mm_cvtsi32_si128(state.crc)));
}

// Folds whole strides into the lanes; with kCopy the bytes are also copied to `copy` as they
// are read, so that a reader that needs them in its own buffer reads them only once.
template <bool kCopy>
FARVANE_CLMUL256_TARGET inline void Strides256(Lanes256& lanes, const std::uint8_t* bytes,
                                               std::size_t strides, std::uint8_t* copy) {
    const __m256i fold = Constants256(kFold2048High, kFold2048Low);
    for (std::size_t at = 0; strides > 0; --strides, at += kStride256) {
#pragma GCC unroll 8
        for (std::size_t lane = 0; lane < kLanes256; ++lane) {
            const __m256i block = Take256<kCopy>(bytes, copy, at + 32 * lane);
            lanes.lane[lane] = Fold256Into(lanes.lane[lane], fold, block);
            lanes.byteSums = _mm256_add_epi8(lanes.byteSums, block);
        }
    }
}

// Folds the lanes into one, then the last bytes (fewer than a stride) after them.
FARVANE_CLMUL256_TARGET CrcSum Finish256(const Lanes256& lanes, const std::uint8_t* bytes,
                                         std::size_t count) {
    const __m256i fold256 = Constants256(kFold256High, kFold256Low);
    __m256i folded = lanes.lane[0];
    __m256i byteSums = lanes.byteSums;
#pragma GCC unroll 8
    for (std::size_t lane = 1; lane < kLanes256; ++lane) {
        folded = Fold256Into(folded, fold256, lanes.lane[lane]);
    }
    for (; count >= 32; bytes += 32, count -= 32) {
        const __m256i block = Load256(bytes);
        folded = Fold256Into(folded, fold256, block);
        byteSums = _mm256_add_epi8(byteSums, block);
    }
    // The earlier 128-bit half lies 128 bits before the end of the later one.
    const __m128i accumulator =
        Fold128Into(_mm256_castsi256_si128(folded), Constants128(kFold128High, kFold128Low),
                    _mm256_extracti128_si256(folded, 1));
    const __m128i sums =
        _mm_add_epi8(_mm256_castsi256_si128(byteSums), _mm256_extracti128_si256(byteSums, 1));
    return FinishClmul(accumulator, WideSums(sums), bytes, count);
}

// With 32-byte digits the ring pays from about this length on.
constexpr std::size_t kMinRing256Bytes = 4 * kRingDigits * 32;

// Processors with AVX2 but without VPCLMULQDQ: the ring with 32-byte digits, then 128-bit
// folds of what it leaves.
FARVANE_CLMUL_TARGET CrcSum Clmul128Avx2Kernel(CrcSum state, const std::uint8_t* bytes,
                                               std::size_t count) {
    if (count < kMinRing256Bytes) {
        return Clmul128Kernel(state, bytes, count);
    }
    alignas(32) std::uint8_t rest[kRingDigits * 32];
    const std::size_t digits = count / 32;
    const std::uint8_t sum = RingReduce256(state, bytes, digits, rest);
    const CrcSum reduced{Clmul128Lanes(CrcSum{}, rest, sizeof rest).crc, sum};
    return Clmul128Kernel(reduced, bytes + 32 * digits, count % 32);
}

template <bool kCopy>
FARVANE_CLMUL256_TARGET CrcSum Clmul256Kernel(CrcSum state, const std::uint8_t* bytes,
                                              std::size_t count, std::uint8_t* copy) {
    if (count < 2 * kStride256) {
        if constexpr (kCopy) {
            std::memcpy(copy, bytes, count);
        }
        return Clmul128Kernel(state, bytes, count);
    }
    if (!kCopy && count >= kMinRing256Bytes) {
        alignas(32) std::uint8_t rest[kRingDigits * 32];
        const std::size_t digits = count / 32;
        const std::uint8_t sum = RingReduce256(state, bytes, digits, rest);
        const CrcSum reduced{Clmul256Kernel<false>(CrcSum{}, rest, sizeof rest, nullptr).crc, sum};
        return Clmul128Kernel(reduced, bytes + 32 * digits, count % 32);
    }
    Lanes256 lanes;
    Start256<kCopy>(lanes, state, bytes, copy);
    const std::size_t strides = count / kStride256 - 1;
    Strides256<kCopy>(lanes, bytes + kStride256, strides, copy + (kCopy ? kStride256 : 0));
    const std::size_t done = (strides + 1) * kStride256;
    if constexpr (kCopy) {
        std::memcpy(copy + done, bytes + done, count - done);
    }
    return Finish256(lanes, bytes + done, count - done);
}

static_assert(sizeof(Lanes256) <= CrcSumCopyStream::kLaneBytes);

// The lanes kept between the pieces of a stream, moved register by register (a plain copy of
// the whole record costs more than a row's work).
FARVANE_CLMUL256_TARGET inline void LoadLanes(Lanes256& lanes, const unsigned char* storage) {
    const auto* vectors = reinterpret_cast<const __m256i*>(storage);
#pragma GCC unroll 8
    for (std::size_t lane = 0; lane < kLanes256; ++lane) {
        lanes.lane[lane] = _mm256_load_si256(vectors + lane);
    }
    lanes.byteSums = _mm256_load_si256(vectors + kLanes256);
}

FARVANE_CLMUL256_TARGET inline void StoreLanes(const Lanes256& lanes, unsigned char* storage) {
    auto* vectors = reinterpret_cast<__m256i*>(storage);
#pragma GCC unroll 8
    for (std::size_t lane = 0; lane < kLanes256; ++lane) {
        _mm256_store_si256(vectors + lane, lanes.lane[lane]);
    }
    _mm256_store_si256(vectors + kLanes256, lanes.byteSums);
}
static_assert(kStride256 == CrcSumCopyStream::kHeldBytes);

// One piece of a stream with the 256-bit kernel. Whole strides fold straight from the piece
// (and are copied on as they are read); the bytes of an unfinished stride are held until the
// next piece completes it.
FARVANE_CLMUL256_TARGET void Stream256Append(unsigned char* laneBytes, bool& started,
                                             std::uint8_t* held, std::size_t& heldCount,
                                             CrcSum start, const std::uint8_t* bytes,
                                             std::size_t count, std::uint8_t* copy) {
    Lanes256 lanes{};
    if (started) {
        LoadLanes(lanes, laneBytes);
    }
    if (heldCount > 0 || count < kStride256) {
        const std::size_t taken = std::min(kStride256 - heldCount, count);
        std::memcpy(held + heldCount, bytes, taken);
        std::memcpy(copy, bytes, taken);
        heldCount += taken;
        bytes += taken;
        copy += taken;
        count -= taken;
        if (heldCount == kStride256) {  // already copied on
            if (started) {
                Strides256<false>(lanes, held, 1, nullptr);
            } else {
                Start256<false>(lanes, start, held, nullptr);
                started = true;
            }
            heldCount = 0;
        }
    }
    if (count >= kStride256) {
        if (!started) {
            Start256<true>(lanes, start, bytes, copy);
            started = true;
            bytes += kStride256;
            copy += kStride256;
            count -= kStride256;
        }
        const std::size_t strides = count / kStride256;
        Strides256<true>(lanes, bytes, strides, copy);
        bytes += strides * kStride256;
        copy += strides * kStride256;
        count -= strides * kStride256;
    }
    if (count > 0) {
        std::memcpy(held + heldCount, bytes, count);
        std::memcpy(copy, bytes, count);
        heldCount += count;
    }
    if (started) {
        StoreLanes(lanes, laneBytes);
    }
}

FARVANE_CLMUL256_TARGET CrcSum Stream256Finish(const unsigned char* laneBytes, bool started,
                                               const std::uint8_t* held, std::size_t heldCount,
                                               CrcSum start) {
    if (!started) {
        return Clmul128Kernel(start, held, heldCount);
    }
    Lanes256 lanes;
    LoadLanes(lanes, laneBytes);
    return Finish256(lanes, held, heldCount);
}

FARVANE_CLMUL512_TARGET inline __m512i Fold512(__m512i value, __m512i constants) {
    return _mm512_xor_si512(_mm512_clmulepi64_epi128(value, constants, 0x00),
                            _mm512_clmulepi64_epi128(value, constants, 0x11));
}

FARVANE_CLMUL512_TARGET inline __m512i Broadcast(std::uint64_t high, std::uint64_t low) {
    const auto h = static_cast<long long>(high);
    const auto l = static_cast<long long>(low);
    return _mm512_set_epi64(l, h, l, h, l, h, l, h);
}

FARVANE_CLMUL512_TARGET CrcSum Clmul512Kernel(CrcSum state, const std::uint8_t* bytes,
                                              std::size_t count) {
    if (count < 256) {
        return Clmul128Kernel(state, bytes, count);
    }
    const __m512i zero = _mm512_setzero_si512();
    __m512i sums = _mm512_zextsi128_si512(_mm_cvtsi32_si128(state.sum));
    __m512i z0 = _mm512_loadu_si512(bytes);
    __m512i z1 = _mm512_loadu_si512(bytes + 64);
    __m512i z2 = _mm512_loadu_si512(bytes + 128);
    __m512i z3 = _mm512_loadu_si512(bytes + 192);
    sums = _mm512_add_epi64(sums,
                            _mm512_add_epi64(_mm512_sad_epu8(z0, zero), _mm512_sad_epu8(z1, zero)));
    sums = _mm512_add_epi64(sums,
                            _mm512_add_epi64(_mm512_sad_epu8(z2, zero), _mm512_sad_epu8(z3, zero)));
    z0 = _mm512_xor_si512(z0, _mm512_zextsi128_si512(_mm_cvtsi32_si128(state.crc)));
    bytes += 256;
    count -= 256;
    const __m512i fold2048 = Broadcast(kFold2048High, kFold2048Low);
    while (count >= 256) {
        const __m512i b0 = _mm512_loadu_si512(bytes);
        const __m512i b1 = _mm512_loadu_si512(bytes + 64);
        const __m512i b2 = _mm512_loadu_si512(bytes + 128);
        const __m512i b3 = _mm512_loadu_si512(bytes + 192);
        z0 = _mm512_xor_si512(Fold512(z0, fold2048), b0);
        z1 = _mm512_xor_si512(Fold512(z1, fold2048), b1);
        z2 = _mm512_xor_si512(Fold512(z2, fold2048), b2);
        z3 = _mm512_xor_si512(Fold512(z3, fold2048), b3);
        sums = _mm512_add_epi64(
            sums, _mm512_add_epi64(_mm512_sad_epu8(b0, zero), _mm512_sad_epu8(b1, zero)));
        sums = _mm512_add_epi64(
            sums, _mm512_add_epi64(_mm512_sad_epu8(b2, zero), _mm512_sad_epu8(b3, zero)));
        bytes += 256;
        count -= 256;
    }
    const __m512i fold512 = Broadcast(kFold512High, kFold512Low);
    __m512i z = _mm512_xor_si512(Fold512(z0, fold512), z1);
    z = _mm512_xor_si512(Fold512(z, fold512), z2);
    z = _mm512_xor_si512(Fold512(z, fold512), z3);
    while (count >= 64) {
        const __m512i block = _mm512_loadu_si512(bytes);
        sums = _mm512_add_epi64(sums, _mm512_sad_epu8(block, zero));
        z = _mm512_xor_si512(Fold512(z, fold512), block);
        bytes += 64;
        count -= 64;
    }
    // Lane i (the earliest first) still lies (3 - i) x 128 bits before the end.
    const __m512i lanes = _mm512_set_epi64(
        0, 0, static_cast<long long>(kFold128Low), static_cast<long long>(kFold128High),
        static_cast<long long>(kFold256Low), static_cast<long long>(kFold256High),
        static_cast<long long>(kFold384Low), static_cast<long long>(kFold384High));
    alignas(64) __m128i unfolded[4];
    alignas(64) __m128i moved[4];
    _mm512_store_si512(unfolded, z);
    _mm512_store_si512(moved, Fold512(z, lanes));
    const __m128i accumulator =
        _mm_xor_si128(_mm_xor_si128(unfolded[3], moved[0]), _mm_xor_si128(moved[1], moved[2]));
    alignas(64) std::uint64_t laneSums[8];
    _mm512_store_si512(laneSums, sums);
    std::uint64_t total = 0;
    for (std::uint64_t laneSum : laneSums) {
        total += laneSum;
    }
    return FinishClmul(accumulator, _mm_cvtsi32_si128(static_cast<int>(total & 0xFF)), bytes,
                       count);
}

struct Dispatch {
    std::array<CrcKernel, 5> kernels{};
    std::size_t count = 0;
    CrcKernel best = CrcKernel::Table;

    Dispatch() {
        __builtin_cpu_init();
        kernels[count++] = CrcKernel::Table;
        if (__builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1")) {
            kernels[count++] = CrcKernel::Clmul128;
            if (__builtin_cpu_supports("avx2")) {
                kernels[count++] = CrcKernel::Clmul128Avx2;
            }
            if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("vpclmulqdq")) {
                kernels[count++] = CrcKernel::Clmul256;
            }
            if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                __builtin_cpu_supports("vpclmulqdq")) {
                kernels[count++] = CrcKernel::Clmul512;
            }
        }
        best = kernels[count - 1];
    }
};

const Dispatch& Kernels() {
    static const Dispatch dispatch;
    return dispatch;
}

}  // namespace

std::uint16_t Crc16ArcByte(std::uint16_t crc, std::uint8_t byte) {
    return static_cast<std::uint16_t>((crc >> 8) ^ kTables[0][(crc ^ byte) & 0xFF]);
}

CrcSum CrcSumUpdateWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes,
                        std::size_t count) {
    switch (kernel) {
        case CrcKernel::Clmul512:
            return Clmul512Kernel(state, bytes, count);
        case CrcKernel::Clmul256:
            return Clmul256Kernel<false>(state, bytes, count, nullptr);
        case CrcKernel::Clmul128Avx2:
            return Clmul128Avx2Kernel(state, bytes, count);
        case CrcKernel::Clmul128:
            return Clmul128Kernel(state, bytes, count);
        case CrcKernel::Table:
            break;
    }
    return TableKernel(state, bytes, count);
}

CrcSum CrcSumUpdate(CrcSum state, const std::uint8_t* bytes, std::size_t count) {
    return CrcSumUpdateWith(Kernels().best, state, bytes, count);
}

CrcSum CrcSumCopyWith(CrcKernel kernel, CrcSum state, const std::uint8_t* bytes, std::size_t count,
                      std::uint8_t* copy) {
    if (kernel == CrcKernel::Clmul256) {
        return Clmul256Kernel<true>(state, bytes, count, copy);
    }
    std::memcpy(copy, bytes, count);
    return CrcSumUpdateWith(kernel, state, copy, count);
}

CrcSum CrcSumCopy(CrcSum state, const std::uint8_t* bytes, std::size_t count, std::uint8_t* copy) {
    return CrcSumCopyWith(Kernels().best, state, bytes, count, copy);
}

namespace {

// Only the 256-bit kernel keeps its lanes between pieces; a processor with AVX-512 has it too.
CrcKernel StreamKernel() {
    const Dispatch& dispatch = Kernels();
    for (std::size_t i = 0; i < dispatch.count; ++i) {
        if (dispatch.kernels[i] == CrcKernel::Clmul256) {
            return CrcKernel::Clmul256;
        }
    }
    return dispatch.best;
}

}  // namespace

CrcSumCopyStream::CrcSumCopyStream(CrcSum start) : kernel_(StreamKernel()), state_(start) {}

CrcSumCopyStream::CrcSumCopyStream(CrcKernel kernel, CrcSum start)
    : kernel_(kernel), state_(start) {}

void CrcSumCopyStream::Append(const std::uint8_t* bytes, std::size_t count, std::uint8_t* copy) {
    if (kernel_ == CrcKernel::Clmul256) {
        Stream256Append(lanes_, started_, held_, heldCount_, state_, bytes, count, copy);
    } else {
        state_ = CrcSumCopyWith(kernel_, state_, bytes, count, copy);
    }
}

CrcSum CrcSumCopyStream::Finish() const {
    if (kernel_ == CrcKernel::Clmul256) {
        return Stream256Finish(lanes_, started_, held_, heldCount_, state_);
    }
    return state_;
}

CrcKernel ChosenCrcKernel() {
    return Kernels().best;
}

std::span<const CrcKernel> AvailableCrcKernels() {
    const Dispatch& dispatch = Kernels();
    return std::span<const CrcKernel>(dispatch.kernels.data(), dispatch.count);
}

const char* CrcKernelName(CrcKernel kernel) {
    switch (kernel) {
        case CrcKernel::Clmul512:
            return "clmul512";
        case CrcKernel::Clmul256:
            return "clmul256";
        case CrcKernel::Clmul128Avx2:
            return "clmul128-avx2";
        case CrcKernel::Clmul128:
            return "clmul128";
        case CrcKernel::Table:
            break;
    }
    return "table";
}

}  // namespace videoscan
