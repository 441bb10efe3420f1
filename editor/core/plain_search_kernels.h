// What the plain search kernels share: the full comparison at a candidate start, the probe
// test of one byte, and the kernels' entry points (plain_search.cpp holds the portable one and
// the choice between them; plain_search_avx2.cpp the AVX2 one).
#pragma once

#include <cstring>

#include "editor/core/pattern.h"
#include "editor/core/plain_search.h"

// Whether the pattern occurs at at (which holds at least pattern.length bytes).
inline bool PlainEqualAt(const char* at, const PlainPattern& pattern) {
    if (pattern.matchCase) {
        return std::memcmp(at, pattern.text, pattern.length) == 0;
    }
    for (DWORD k = 0; k < pattern.length; ++k) {
        if (FoldCase(at[k]) != pattern.text[k]) {
            return false;
        }
    }
    return true;
}

// Whether both probes hold and the whole pattern matches at start.
inline bool PlainCandidateMatches(const char* text, DWORD start, const PlainPattern& pattern) {
    for (int i = 0; i < 2; ++i) {
        BYTE c = static_cast<BYTE>(text[start + pattern.probeOffset[i]]);
        if ((c | pattern.probeFold[i]) != pattern.probeByte[i]) {
            return false;
        }
    }
    return PlainEqualAt(text + start, pattern);
}

// Scalar loops over the start offsets, used by every kernel for ranges too short for it.
DWORD ScalarFindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& p);
DWORD ScalarFindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& p);

#if defined(__x86_64__)
DWORD Avx2FindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& p);
DWORD Avx2FindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& p);
#endif
