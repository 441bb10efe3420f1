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

int RegexSearchFromDot(bool backward) {
    BYTE compiled[COMPILED_PATTERN_SIZE];
    if (CompilePattern(searchState.pattern, compiled) == 0) {
        return -1;
    }
    PatternMatcher matcher;
    if (!matcher.Build(compiled, searchState.matchCase != 0)) {
        return -1;
    }
    const Position dot = pwinCurrent->dot;
    bool found = false;
    if (!backward) {
        found = SearchLineForward(dot.lpln, dot.offset, matcher);
        for (Line* line = dot.lpln->next; !found && line != nullptr; line = line->next) {
            found = SearchLineForward(line, 0, matcher);
        }
    } else {
        found = SearchLineBackward(dot.lpln, dot.offset, matcher);
        for (Line* line = dot.lpln->prev; !found && line != nullptr; line = line->prev) {
            found = SearchLineBackward(line, line->length, matcher);
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

bool SearchLineForward(Line* line, DWORD from, const PatternMatcher& matcher) {
    DWORD start;
    DWORD end;
    if (!matcher.FindForward(line->text, line->length, from, start, end) ||
        EmptyMatchAtBufferEnd(line, start, end)) {
        return false;
    }
    lastMatch = {line, start, end - start};
    return true;
}

bool SearchLineBackward(Line* line, DWORD from, const PatternMatcher& matcher) {
    DWORD start;
    DWORD end;
    if (!matcher.FindBackward(line->text, line->length, from, line->next == nullptr, start, end)) {
        return false;
    }
    lastMatch = {line, start, end - start};
    return true;
}

bool PlainSearchLineForward(Line* line, DWORD from, const PlainPattern& pattern) {
    DWORD k = pattern.length;
    if (k == 0 || line->length < k || from > line->length - k) {
        return false;
    }
    DWORD found = FindPlainForward(line->text, from, line->length - k, pattern);
    if (found == PLAIN_NOT_FOUND) {
        return false;
    }
    lastMatch = {line, found, k};
    return true;
}

bool PlainSearchLineBackward(Line* line, DWORD from, const PlainPattern& pattern) {
    DWORD k = pattern.length;
    if (k == 0 || line->length < k) {
        return false;
    }
    DWORD last = from < line->length - k ? from : line->length - k;
    DWORD found = FindPlainBackward(line->text, 0, last, pattern);
    if (found == PLAIN_NOT_FOUND) {
        return false;
    }
    lastMatch = {line, found, k};
    return true;
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
