// Feeds arbitrary bytes to the editor's regular-expression compiler and runs what compiles
// against a line. The first byte chooses match case; the pattern runs to the first NUL and
// the rest is the line. Checks that a compiled pattern is a well-formed element list that fits
// its 256 bytes, that a refused one is left empty, that the linear matcher finds what the
// backtracking one finds (where that one is quick enough to run), forward and backward, and
// that plain search of the pattern's text finds what a byte-by-byte comparison finds, with
// every search kernel the processor can run.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/core/pattern.h"
#include "editor/core/pattern_matcher.h"
#include "editor/core/plain_search.h"
#include "tests/editor/backtracking_matcher.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Walks the element list.
void CheckElements(const BYTE* compiled) {
    std::size_t at = 0;
    while (compiled[at] != 0) {
        Check(at < COMPILED_PATTERN_SIZE - 1);
        BYTE kind = compiled[at];
        if (kind == '@') {
            BYTE next = compiled[at + 1];
            Check(next == 'c' || next == '?' || next == '[' || next == '!');
        }
        Check(kind != '<' || at == 0);
        int size = patsize(compiled + at);
        Check(size > 0);
        at += static_cast<std::size_t>(size);
        Check(at < COMPILED_PATTERN_SIZE);
    }
}

void CheckAgainstReference(const BYTE* compiled, const PatternMatcher& matcher,
                           const std::string& line, bool matchCase) {
    DWORD length = static_cast<DWORD>(line.size());
    const DWORD froms[] = {0, length / 2, length};
    for (bool backward : {false, true}) {
        for (DWORD from : froms) {
            for (bool skip : {false, true}) {
                reference::Found expected = reference::SearchLine(
                    line.data(), length, from, compiled, matchCase, backward, skip);
                reference::Found got{false, 0, 0};
                got.found =
                    backward
                        ? matcher.FindBackward(line.data(), length, from, skip, got.start, got.end)
                        : matcher.FindForward(line.data(), length, from, got.start, got.end);
                if (!backward && skip && got.found && got.start == length && got.end == length) {
                    got = {false, 0, 0};  // forward search gives up at an empty end match
                }
                Check(got == expected);
            }
        }
    }
}

void CheckLinearBounds(const PatternMatcher& matcher, const std::string& line) {
    DWORD length = static_cast<DWORD>(line.size());
    DWORD start = 0;
    DWORD end = 0;
    if (matcher.FindForward(line.data(), length, 0, start, end)) {
        Check(start <= end && end <= length);
    }
    if (matcher.FindBackward(line.data(), length, length, false, start, end)) {
        Check(start <= end && end <= length);
    }
}

void CheckPlainSearch(const std::string& pattern, const std::string& line, bool matchCase) {
    PlainPattern plain;
    PreparePlainPattern(pattern.c_str(), matchCase, plain);
    if (plain.length == 0 || line.size() < plain.length) {
        return;
    }
    DWORD last = static_cast<DWORD>(line.size()) - plain.length;
    DWORD first = last / 3;
    auto naive = [&](DWORD at) {
        for (DWORD k = 0; k < plain.length; ++k) {
            char c = matchCase ? line[at + k] : FoldCase(line[at + k]);
            if (c != plain.text[k]) {
                return false;
            }
        }
        return true;
    };
    DWORD forward = PLAIN_NOT_FOUND;
    for (DWORD at = first; at <= last && forward == PLAIN_NOT_FOUND; ++at) {
        forward = naive(at) ? at : PLAIN_NOT_FOUND;
    }
    DWORD backward = PLAIN_NOT_FOUND;
    for (DWORD at = last + 1; at-- > first && backward == PLAIN_NOT_FOUND;) {
        backward = naive(at) ? at : PLAIN_NOT_FOUND;
    }
    for (SearchKernel kernel : {SearchKernel::Portable, SearchKernel::Avx2}) {
        if (SelectSearchKernel(kernel)) {
            Check(FindPlainForward(line.data(), first, last, plain) == forward);
            Check(FindPlainBackward(line.data(), first, last, plain) == backward);
        }
    }
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

    CheckPlainSearch(pattern, line, matchCase);
    BYTE compiled[COMPILED_PATTERN_SIZE];
    std::memset(compiled, 0xAA, sizeof compiled);
    int stopped = CompilePattern(pattern.c_str(), compiled);
    if (stopped == 0) {
        Check(compiled[0] == 0);
        return 0;
    }
    Check(static_cast<std::size_t>(stopped) == pattern.size());
    CheckElements(compiled);
    PatternMatcher matcher;
    Check(matcher.Build(compiled, matchCase));
    CheckLinearBounds(matcher, line);
    if (reference::IsQuick(compiled, line.size())) {
        CheckAgainstReference(compiled, matcher, line, matchCase);
    }
    return 0;
}
