// Plain (literal) search within one line of text, optionally case-folded (only 'A' to 'Z'
// fold). A prepared pattern names two probe bytes, the rarest of the pattern by a fixed table
// of byte frequencies in text; a kernel looks for start offsets where both probes are present
// and compares the whole pattern only there. The AVX2 kernel checks 32 start offsets per step;
// the portable kernel looks for the rarer probe with memchr. The kernel is chosen at start by
// the processor and can be changed (benchmarks and tests run both).
#pragma once

#include "editor/core/ui_services.h"
#include "platform/kernel/win_types.h"

// A plain pattern, folded when case does not matter.
struct PlainPattern {
    char text[SEARCH_TEXT_SIZE];
    DWORD length;
    bool matchCase;
    // Probes: text[start + probeOffset[i]] | probeFold[i] must equal probeByte[i] wherever the
    // pattern starts. probeFold is 0x20 for a folded letter, else 0.
    DWORD probeOffset[2];
    BYTE probeByte[2];
    BYTE probeFold[2];
};

inline constexpr DWORD PLAIN_NOT_FOUND = 0xFFFFFFFFu;

// Prepares the NUL-terminated source (at most SEARCH_TEXT_SIZE - 1 characters are used).
void PreparePlainPattern(const char* source, bool matchCase, PlainPattern& out);
// Prepares length bytes (length below SEARCH_TEXT_SIZE).
void PreparePlainBytes(const char* bytes, DWORD length, bool matchCase, PlainPattern& out);

// The smallest (forward) or largest (backward) start offset in [first, last] where the pattern
// occurs in text, or PLAIN_NOT_FOUND. The caller guarantees that text holds at least
// last + pattern.length bytes and that the pattern is not empty.
DWORD FindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& pattern);
DWORD FindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& pattern);

enum class SearchKernel { Portable, Avx2 };
SearchKernel ActiveSearchKernel();
const char* SearchKernelName(SearchKernel kernel);
// Makes kernel the one used; false (and no change) when the processor cannot run it.
bool SelectSearchKernel(SearchKernel kernel);

// Rank of a byte's frequency in ordinary text: 0 for the most frequent, higher for rarer.
int ByteFrequencyRank(BYTE byte);
