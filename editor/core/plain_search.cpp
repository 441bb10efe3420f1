#include "editor/core/plain_search.h"

#include <array>
#include <cstring>
#include <string_view>

#include "editor/core/plain_search_kernels.h"

namespace {

// Bytes of ordinary text (prose and scripts) from the most to the least frequent, as
// measured on English text and source code; bytes not listed are rarer than all of these.
constexpr std::string_view kBytesByFrequency =
    " etaoinsrhldcumfpgwyb,.vk0\t1_()=;-2\"'/:x3S54T98A67CIERNOMPDLFBHWGU><*[]{}jqz#&!?%+$@\\|^~`"
    "VKYJXQZ";

constexpr std::array<BYTE, 256> MakeRanks() {
    std::array<BYTE, 256> ranks{};
    for (auto& rank : ranks) {
        rank = 255;
    }
    for (std::size_t i = 0; i < kBytesByFrequency.size(); ++i) {
        ranks[static_cast<BYTE>(kBytesByFrequency[i])] = static_cast<BYTE>(i);
    }
    return ranks;
}

constexpr std::array<BYTE, 256> kRanks = MakeRanks();

bool IsLowerLetter(BYTE c) {
    return c >= 'a' && c <= 'z';
}

// Rank of a pattern byte as it is searched: a folded letter matches both cases, so it is as
// frequent as the more frequent of the two.
int ProbeRank(BYTE c, bool matchCase) {
    int rank = kRanks[c];
    if (!matchCase && IsLowerLetter(c)) {
        int upper = kRanks[c - 'a' + 'A'];
        rank = upper < rank ? upper : rank;
    }
    return rank;
}

// The offset of the rarest byte of the pattern other than skip (PLAIN_NOT_FOUND for none).
DWORD RarestOffset(const PlainPattern& pattern, DWORD skip) {
    DWORD best = PLAIN_NOT_FOUND;
    int bestRank = -1;
    for (DWORD k = 0; k < pattern.length; ++k) {
        int rank = ProbeRank(static_cast<BYTE>(pattern.text[k]), pattern.matchCase);
        if (k != skip && rank > bestRank) {
            best = k;
            bestRank = rank;
        }
    }
    return best;
}

void ChooseProbes(PlainPattern& pattern) {
    DWORD first = RarestOffset(pattern, PLAIN_NOT_FOUND);
    DWORD second = pattern.length > 1 ? RarestOffset(pattern, first) : first;
    const DWORD offsets[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        BYTE c = static_cast<BYTE>(pattern.text[offsets[i]]);
        pattern.probeOffset[i] = offsets[i];
        pattern.probeByte[i] = c;
        pattern.probeFold[i] = !pattern.matchCase && IsLowerLetter(c) ? 0x20 : 0;
    }
}

using Finder = DWORD (*)(const char*, DWORD, DWORD, const PlainPattern&);

// The next position in [p, end) of the byte c in either case (c a lower-case letter); lower
// caches where the next lower-case one is, so that no byte is looked at twice.
const char* NextFolded(const char* p, const char* end, char c, const char*& lower) {
    if (lower != nullptr && lower < p) {
        lower = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)));
    }
    const char* stop = lower != nullptr ? lower : end;
    const char* upper =
        static_cast<const char*>(std::memchr(p, c - 'a' + 'A', static_cast<std::size_t>(stop - p)));
    return upper != nullptr ? upper : lower;
}

// Portable kernel: memchr finds the rarer probe, the rest is compared there.
DWORD PortableFindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& p) {
    DWORD offset = p.probeOffset[0];
    char probe = static_cast<char>(p.probeByte[0]);
    const char* end = text + last + offset + 1;
    const char* at = text + first + offset;
    bool folded = p.probeFold[0] != 0;
    const char* lower =
        folded
            ? static_cast<const char*>(std::memchr(at, probe, static_cast<std::size_t>(end - at)))
            : nullptr;
    while (at < end) {
        const char* found = folded ? NextFolded(at, end, probe, lower)
                                   : static_cast<const char*>(std::memchr(
                                         at, probe, static_cast<std::size_t>(end - at)));
        if (found == nullptr) {
            return PLAIN_NOT_FOUND;
        }
        DWORD start = static_cast<DWORD>(found - text) - offset;
        if (PlainCandidateMatches(text, start, p)) {
            return start;
        }
        at = found + 1;
    }
    return PLAIN_NOT_FOUND;
}

const char* LastOf(const char* begin, const char* end, char c) {
    return begin < end
               ? static_cast<const char*>(memrchr(begin, c, static_cast<std::size_t>(end - begin)))
               : nullptr;
}

// Portable kernel backward: memrchr finds the rarer probe (in both cases when folded, each
// looked for below the last one found of its case).
DWORD PortableFindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& p) {
    DWORD offset = p.probeOffset[0];
    char probe = static_cast<char>(p.probeByte[0]);
    char other = p.probeFold[0] != 0 ? static_cast<char>(probe - 'a' + 'A') : probe;
    const char* begin = text + first + offset;
    const char* end = text + last + offset + 1;
    const char* lower = LastOf(begin, end, probe);
    const char* upper = other != probe ? LastOf(begin, end, other) : nullptr;
    while (lower != nullptr || upper != nullptr) {
        bool isLower = upper == nullptr || (lower != nullptr && lower > upper);
        const char* found = isLower ? lower : upper;
        DWORD start = static_cast<DWORD>(found - text) - offset;
        if (PlainCandidateMatches(text, start, p)) {
            return start;
        }
        if (isLower) {
            lower = LastOf(begin, found, probe);
        } else {
            upper = LastOf(begin, found, other);
        }
    }
    return PLAIN_NOT_FOUND;
}

struct Kernel {
    SearchKernel kind;
    Finder forward;
    Finder backward;
};

Kernel KernelFor(SearchKernel kind) {
#if defined(__x86_64__)
    if (kind == SearchKernel::Avx2) {
        return {kind, Avx2FindPlainForward, Avx2FindPlainBackward};
    }
#endif
    return {SearchKernel::Portable, PortableFindPlainForward, PortableFindPlainBackward};
}

bool CanRun(SearchKernel kind) {
#if defined(__x86_64__)
    if (kind == SearchKernel::Avx2) {
        return __builtin_cpu_supports("avx2") != 0;
    }
#endif
    return kind == SearchKernel::Portable;
}

Kernel& Current() {
    static Kernel kernel =
        KernelFor(CanRun(SearchKernel::Avx2) ? SearchKernel::Avx2 : SearchKernel::Portable);
    return kernel;
}

}  // namespace

int ByteFrequencyRank(BYTE byte) {
    return kRanks[byte];
}

void PreparePlainBytes(const char* bytes, DWORD length, bool matchCase, PlainPattern& out) {
    out.matchCase = matchCase;
    out.length = length < SEARCH_TEXT_SIZE ? length : SEARCH_TEXT_SIZE - 1;
    for (DWORD k = 0; k < out.length; ++k) {
        out.text[k] = matchCase ? bytes[k] : FoldCase(bytes[k]);
    }
    out.text[out.length] = '\0';
    if (out.length > 0) {
        ChooseProbes(out);
    } else {
        out.probeOffset[0] = out.probeOffset[1] = 0;
        out.probeByte[0] = out.probeByte[1] = 0;
        out.probeFold[0] = out.probeFold[1] = 0;
    }
}

void PreparePlainPattern(const char* source, bool matchCase, PlainPattern& out) {
    PreparePlainBytes(source, static_cast<DWORD>(strnlen(source, SEARCH_TEXT_SIZE - 1)), matchCase,
                      out);
}

DWORD ScalarFindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& p) {
    for (DWORD start = first; start <= last; ++start) {
        if (PlainCandidateMatches(text, start, p)) {
            return start;
        }
    }
    return PLAIN_NOT_FOUND;
}

DWORD ScalarFindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& p) {
    for (DWORD start = last + 1; start-- > first;) {
        if (PlainCandidateMatches(text, start, p)) {
            return start;
        }
    }
    return PLAIN_NOT_FOUND;
}

DWORD FindPlainForward(const char* text, DWORD first, DWORD last, const PlainPattern& pattern) {
    return first <= last ? Current().forward(text, first, last, pattern) : PLAIN_NOT_FOUND;
}

DWORD FindPlainBackward(const char* text, DWORD first, DWORD last, const PlainPattern& pattern) {
    return first <= last ? Current().backward(text, first, last, pattern) : PLAIN_NOT_FOUND;
}

SearchKernel ActiveSearchKernel() {
    return Current().kind;
}

const char* SearchKernelName(SearchKernel kernel) {
    return kernel == SearchKernel::Avx2 ? "AVX2" : "portable";
}

bool SelectSearchKernel(SearchKernel kernel) {
    if (!CanRun(kernel)) {
        return false;
    }
    Current() = KernelFor(kernel);
    return true;
}
