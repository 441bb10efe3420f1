// The AVX2 kernel of plain search: 32 start offsets at a time, the two probe bytes of each
// compared in one step (a folded letter by setting bit 0x20 first); the whole pattern is
// compared only where both probes hold. Loads never reach past the last start's pattern end:
// a range that is not a multiple of 32 ends with one block that overlaps the one before it.
#include "editor/core/plain_search_kernels.h"

#if defined(__x86_64__)

#include <immintrin.h>

#define FARVANE_AVX2 __attribute__((target("avx2,bmi,lzcnt")))

namespace {

struct Probes {
    __m256i byte[2];
    __m256i fold[2];
    const char* base[2];  // text + probe offset
};

FARVANE_AVX2 Probes MakeProbes(const char* text, const PlainPattern& p) {
    Probes probes;
    for (int i = 0; i < 2; ++i) {
        probes.byte[i] = _mm256_set1_epi8(static_cast<char>(p.probeByte[i]));
        probes.fold[i] = _mm256_set1_epi8(static_cast<char>(p.probeFold[i]));
        probes.base[i] = text + p.probeOffset[i];
    }
    return probes;
}

// Bit j set when both probes hold for the start offset at + j.
FARVANE_AVX2 inline unsigned CandidateMask(const Probes& probes, DWORD at) {
    __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(probes.base[0] + at));
    __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(probes.base[1] + at));
    __m256i hit0 = _mm256_cmpeq_epi8(_mm256_or_si256(first, probes.fold[0]), probes.byte[0]);
    __m256i hit1 = _mm256_cmpeq_epi8(_mm256_or_si256(second, probes.fold[1]), probes.byte[1]);
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(hit0, hit1)));
}

// The lowest (forward) or highest start of mask, counted from at, where the pattern matches.
FARVANE_AVX2 inline DWORD FirstInMask(const char* text, DWORD at, unsigned mask,
                                      const PlainPattern& p) {
    while (mask != 0) {
        DWORD start = at + static_cast<DWORD>(__builtin_ctz(mask));
        if (PlainEqualAt(text + start, p)) {
            return start;
        }
        mask &= mask - 1;
    }
    return PLAIN_NOT_FOUND;
}

FARVANE_AVX2 inline DWORD LastInMask(const char* text, DWORD at, unsigned mask,
                                     const PlainPattern& p) {
    while (mask != 0) {
        unsigned bit = 31u - static_cast<unsigned>(__builtin_clz(mask));
        if (PlainEqualAt(text + at + bit, p)) {
            return at + bit;
        }
        mask &= ~(1u << bit);
    }
    return PLAIN_NOT_FOUND;
}

}  // namespace

FARVANE_AVX2 DWORD Avx2FindPlainForward(const char* text, DWORD first, DWORD last,
                                        const PlainPattern& p) {
    if (last - first < 31) {
        return ScalarFindPlainForward(text, first, last, p);
    }
    Probes probes = MakeProbes(text, p);
    DWORD at = first;
    // Two blocks per round while they fit: most rounds find no candidate at all.
    for (; last - at >= 63; at += 64) {
        unsigned low = CandidateMask(probes, at);
        unsigned high = CandidateMask(probes, at + 32);
        if ((low | high) != 0) {
            DWORD found = FirstInMask(text, at, low, p);
            if (found == PLAIN_NOT_FOUND) {
                found = FirstInMask(text, at + 32, high, p);
            }
            if (found != PLAIN_NOT_FOUND) {
                return found;
            }
        }
        if (last - at == 63) {
            return PLAIN_NOT_FOUND;
        }
    }
    for (; last - at >= 31; at += 32) {
        DWORD found = FirstInMask(text, at, CandidateMask(probes, at), p);
        if (found != PLAIN_NOT_FOUND) {
            return found;
        }
        if (last - at == 31) {
            return PLAIN_NOT_FOUND;
        }
    }
    // The starts at..last, fewer than 32: one block ending at last, without those before at.
    DWORD block = last - 31;
    unsigned mask = CandidateMask(probes, block) & (~0u << (at - block));
    return FirstInMask(text, block, mask, p);
}

FARVANE_AVX2 DWORD Avx2FindPlainBackward(const char* text, DWORD first, DWORD last,
                                         const PlainPattern& p) {
    if (last - first < 31) {
        return ScalarFindPlainBackward(text, first, last, p);
    }
    Probes probes = MakeProbes(text, p);
    DWORD top = last;  // the highest start not looked at yet
    while (top - first >= 63) {
        unsigned high = CandidateMask(probes, top - 31);
        unsigned low = CandidateMask(probes, top - 63);
        if ((low | high) != 0) {
            DWORD found = LastInMask(text, top - 31, high, p);
            if (found == PLAIN_NOT_FOUND) {
                found = LastInMask(text, top - 63, low, p);
            }
            if (found != PLAIN_NOT_FOUND) {
                return found;
            }
        }
        if (top - first == 63) {
            return PLAIN_NOT_FOUND;
        }
        top -= 64;
    }
    if (top - first < 31) {
        unsigned count = top - first + 1;
        return LastInMask(text, first, CandidateMask(probes, first) & ((1u << count) - 1u), p);
    }
    for (;;) {
        DWORD block = top - 31;
        DWORD found = LastInMask(text, block, CandidateMask(probes, block), p);
        if (found != PLAIN_NOT_FOUND) {
            return found;
        }
        if (block == first) {
            return PLAIN_NOT_FOUND;
        }
        top = block - 1;
        if (top - first < 31) {
            break;
        }
    }
    // The starts first..top, fewer than 32: one block from first, without those above top.
    unsigned count = top - first + 1;
    unsigned mask = CandidateMask(probes, first) & ((1u << count) - 1u);
    return LastInMask(text, first, mask, p);
}

#endif
