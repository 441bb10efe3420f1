#include "editor/core/search.h"

#include <cstring>

#include "editor/core/block_ops.h"
#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/trace.h"

SearchState searchState;
Match lastMatch;

namespace {

bool EmptyMatchAtBufferEnd(const Line* line, DWORD start, DWORD end) {
    return end == start && start == line->length && line->next == nullptr;
}

// Finds the next start offset in [from, last] whose character equals the pattern's first one.
const char* NextCandidate(const char* p, const char* end, const PlainPattern& pattern) {
    char first = pattern.text[0];
    if (pattern.matchCase || first < 'a' || first > 'z') {
        return static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(end - p)));
    }
    char upper = static_cast<char>(first - 'a' + 'A');
    std::size_t n = static_cast<std::size_t>(end - p);
    const char* lower = static_cast<const char*>(std::memchr(p, first, n));
    std::size_t upperRange = lower != nullptr ? static_cast<std::size_t>(lower - p) : n;
    const char* found = static_cast<const char*>(std::memchr(p, upper, upperRange));
    return found != nullptr ? found : lower;
}

bool PlainEqualAt(const char* at, const PlainPattern& pattern) {
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

int RegexSearchFromDot(bool backward) {
    BYTE compiled[COMPILED_PATTERN_SIZE];
    if (CompilePattern(searchState.pattern, compiled) == 0) {
        return -1;
    }
    bool matchCase = searchState.matchCase != 0;
    const Position dot = pwinCurrent->dot;
    bool found = false;
    if (!backward) {
        found = SearchLineForward(dot.lpln, dot.offset, compiled, matchCase);
        for (Line* line = dot.lpln->next; !found && line != nullptr; line = line->next) {
            found = SearchLineForward(line, 0, compiled, matchCase);
        }
    } else {
        found = SearchLineBackward(dot.lpln, dot.offset, compiled, matchCase);
        for (Line* line = dot.lpln->prev; !found && line != nullptr; line = line->prev) {
            found = SearchLineBackward(line, line->length, compiled, matchCase);
        }
    }
    if (!found) {
        return 0;
    }
    SelectMatch(lastMatch.line, lastMatch.start, lastMatch.length);
    pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_REFRAME;
    return 1;
}

int PlainSearchFromDot(bool backward) {
    PlainPattern pattern;
    PreparePlainPattern(searchState.pattern, searchState.matchCase != 0, pattern);
    const Position dot = pwinCurrent->dot;
    bool found = false;
    if (!backward) {
        found = PlainSearchLineForward(dot.lpln, dot.offset, pattern);
        for (Line* line = dot.lpln->next; !found && line != nullptr; line = line->next) {
            found = PlainSearchLineForward(line, 0, pattern);
        }
    } else {
        EditorTrace("DoReverseSearch");
        found = PlainSearchLineBackward(dot.lpln, dot.offset, pattern);
        for (Line* line = dot.lpln->prev; !found && line != nullptr; line = line->prev) {
            found = PlainSearchLineBackward(line, line->length, pattern);
        }
    }
    if (!found) {
        return 0;
    }
    Line* startLine = dot.lpln;
    SelectMatch(lastMatch.line, lastMatch.start, lastMatch.length);
    pwinCurrent->redraw |= lastMatch.line == startLine ? RD_LINE : RD_ALL | RD_VSCROLL | RD_REFRAME;
    return 1;
}

}  // namespace

bool SearchLineForward(Line* line, DWORD from, const BYTE* compiled, bool matchCase) {
    MatchState state{line->text, line->length, matchCase, 0};
    DWORD last = compiled[0] == '<' ? 0 : line->length;
    for (DWORD at = from; at <= last; ++at) {
        if (amatch(state, at, compiled)) {
            if (EmptyMatchAtBufferEnd(line, at, state.matchEnd)) {
                return false;
            }
            lastMatch = {line, at, state.matchEnd - at};
            return true;
        }
    }
    return false;
}

bool SearchLineBackward(Line* line, DWORD from, const BYTE* compiled, bool matchCase) {
    MatchState state{line->text, line->length, matchCase, 0};
    if (from > line->length) {
        from = line->length;
    }
    for (DWORD at = from + 1; at-- > 0;) {
        if (amatch(state, at, compiled) && !EmptyMatchAtBufferEnd(line, at, state.matchEnd)) {
            lastMatch = {line, at, state.matchEnd - at};
            return true;
        }
    }
    return false;
}

void PreparePlainPattern(const char* source, bool matchCase, PlainPattern& out) {
    out.matchCase = matchCase;
    out.length = 0;
    for (; source[out.length] != '\0' && out.length < SEARCH_TEXT_SIZE - 1; ++out.length) {
        char c = source[out.length];
        out.text[out.length] = matchCase ? c : FoldCase(c);
    }
    out.text[out.length] = '\0';
}

bool PlainSearchLineForward(Line* line, DWORD from, const PlainPattern& pattern) {
    DWORD k = pattern.length;
    if (k == 0 || line->length < k || from > line->length - k) {
        return false;
    }
    const char* p = line->text + from;
    const char* end = line->text + (line->length - k) + 1;  // one past the last start
    while (p < end) {
        const char* candidate = NextCandidate(p, end, pattern);
        if (candidate == nullptr) {
            return false;
        }
        if (PlainEqualAt(candidate, pattern)) {
            lastMatch = {line, static_cast<DWORD>(candidate - line->text), k};
            return true;
        }
        p = candidate + 1;
    }
    return false;
}

bool PlainSearchLineBackward(Line* line, DWORD from, const PlainPattern& pattern) {
    DWORD k = pattern.length;
    if (k == 0 || line->length < k) {
        return false;
    }
    DWORD start = from < line->length - k ? from : line->length - k;
    char first = pattern.text[0];
    for (DWORD at = start + 1; at-- > 0;) {
        char c = pattern.matchCase ? line->text[at] : FoldCase(line->text[at]);
        if (c == first && PlainEqualAt(line->text + at, pattern)) {
            lastMatch = {line, at, k};
            return true;
        }
    }
    return false;
}

int SearchFromDot(bool backward) {
    return searchState.regularExpression ? RegexSearchFromDot(backward)
                                         : PlainSearchFromDot(backward);
}

void SelectMatch(Line* line, DWORD start, DWORD length) {
    if (pwinCurrent->marking) {
        pwinCurrent->marking = 0;
        pwinCurrent->redraw |= RD_ALL;
    }
    pwinCurrent->dot = {line, static_cast<WORD>(start)};
    pwinCurrent->mark = pwinCurrent->dot;
    if (length > 0) {
        pwinCurrent->marking = 1;
        pwinCurrent->dot.offset = static_cast<WORD>(start + length);
    }
}

bool SingleLineBlockText(char* text, std::size_t size) {
    if (!pwinCurrent->marking) {
        return false;
    }
    NormalizeBlock();
    const Position& start = pwinCurrent->startblock;
    const Position& end = pwinCurrent->endblock;
    if (start.lpln != end.lpln || end.offset == start.offset) {
        return false;
    }
    std::size_t n = static_cast<std::size_t>(end.offset - start.offset);
    if (n >= size) {
        return false;
    }
    std::memcpy(text, start.lpln->text + start.offset, n);
    text[n] = '\0';
    return true;
}
