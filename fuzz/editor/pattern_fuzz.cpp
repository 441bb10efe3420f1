// Feeds arbitrary bytes to the editor's regular-expression compiler and runs what compiles
// against a line. The first byte chooses match case; the pattern runs to the first NUL and
// the rest is the line. Checks that a compiled pattern is a well-formed element list that fits
// its 256 bytes, that a refused one is left empty, and that matches stay within the line.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/core/pattern.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Walks the element list; returns the number of closures.
int CheckElements(const BYTE* compiled) {
    std::size_t at = 0;
    int closures = 0;
    while (compiled[at] != 0) {
        Check(at < COMPILED_PATTERN_SIZE - 1);
        BYTE kind = compiled[at];
        if (kind == '@') {
            ++closures;
            BYTE next = compiled[at + 1];
            Check(next == 'c' || next == '?' || next == '[' || next == '!');
        }
        Check(kind != '<' || at == 0);
        int size = patsize(compiled + at);
        Check(size > 0);
        at += static_cast<std::size_t>(size);
        Check(at < COMPILED_PATTERN_SIZE);
    }
    return closures;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    bool matchCase = data[0] & 1;
    const char* begin = reinterpret_cast<const char*>(data + 1);
    std::size_t rest = size - 1;
    const char* nul = static_cast<const char*>(std::memchr(begin, 0, rest));
    std::size_t patternLength = nul != nullptr ? static_cast<std::size_t>(nul - begin) : rest;
    std::string pattern(begin, patternLength);
    std::string line;
    if (nul != nullptr) {
        line.assign(nul + 1, rest - patternLength - 1);
    }

    BYTE compiled[COMPILED_PATTERN_SIZE];
    std::memset(compiled, 0xAA, sizeof compiled);
    int stopped = CompilePattern(pattern.c_str(), compiled);
    if (stopped == 0) {
        Check(compiled[0] == 0);
        return 0;
    }
    Check(static_cast<std::size_t>(stopped) == pattern.size());
    int closures = CheckElements(compiled);
    // Backtracking over many closures is exponential in the line's length; keep runs short.
    if (closures > 2 || line.size() > 128) {
        return 0;
    }
    MatchState state{line.data(), static_cast<DWORD>(line.size()), matchCase, 0};
    for (DWORD at = 0; at <= line.size(); ++at) {
        if (amatch(state, at, compiled)) {
            Check(state.matchEnd >= at && state.matchEnd <= line.size());
        }
    }
    return 0;
}
