#include "editor/core/search.h"

#include <algorithm>
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

// Lines whose texts follow each other in memory (as a file's lines do until they are
// edited) are searched as one block, so that a kernel runs over many lines at once; the bytes
// between two lines (the line end, trailing blanks that were removed) lie within the first
// line's capacity, and a candidate that reaches into them is no match.
bool FollowsInMemory(const Line* line, const Line* next) {
    return next != nullptr && line->text + line->capacity == next->text;
}

// Blocks stay far below the range of an offset.
constexpr std::size_t kMaxBlock = std::size_t{1} << 30;

bool PlainSearchForwardFrom(Line* line, DWORD offset, const PlainPattern& pattern) {
    const DWORD k = pattern.length;
    for (; k > 0 && line != nullptr; line = line->next, offset = 0) {
        const char* base = line->text + offset;
        Line* last = line;
        while (FollowsInMemory(last, last->next) &&
               static_cast<std::size_t>(last->next->text + last->next->length - base) < kMaxBlock) {
            last = last->next;
        }
        DWORD size = static_cast<DWORD>(last->text + last->length - base);
        Line* current = line;
        for (DWORD from = 0; size >= k && from <= size - k;) {
            DWORD found = FindPlainForward(base, from, size - k, pattern);
            if (found == PLAIN_NOT_FOUND) {
                break;
            }
            const char* at = base + found;
            while (current != last && at >= current->next->text) {
                current = current->next;
            }
            if (at + k <= current->text + current->length) {
                lastMatch = {current, static_cast<DWORD>(at - current->text), k};
                return true;
            }
            from = found + 1;
        }
        line = last;
    }
    return false;
}

// Starts on the dot's line go up to its offset, on the lines before it up to their ends.
bool PlainSearchBackwardFrom(Line* line, DWORD offset, const PlainPattern& pattern) {
    const DWORD k = pattern.length;
    for (; k > 0 && line != nullptr;
         line = line->prev, offset = line != nullptr ? line->length : 0) {
        const char* end = line->text + std::min<DWORD>(offset + k, line->length);
        Line* first = line;
        while (first->prev != nullptr && FollowsInMemory(first->prev, first) &&
               static_cast<std::size_t>(end - first->prev->text) < kMaxBlock) {
            first = first->prev;
        }
        const char* base = first->text;
        DWORD size = static_cast<DWORD>(end - base);
        Line* current = line;
        for (DWORD top = size - k; size >= k;) {
            DWORD found = FindPlainBackward(base, 0, top, pattern);
            if (found == PLAIN_NOT_FOUND) {
                break;
            }
            const char* at = base + found;
            while (at < current->text) {
                current = current->prev;
            }
            if (at + k <= current->text + current->length) {
                lastMatch = {current, static_cast<DWORD>(at - current->text), k};
                return true;
            }
            if (found == 0) {
                break;
            }
            top = found - 1;
        }
        line = first;
    }
    return false;
}

// Lines without the literal text that every match contains are passed over by plain search
// of that text, many lines at a time.
bool RegexSearchForwardFrom(Line* line, DWORD offset, const PatternMatcher& matcher) {
    const PlainPattern* literal = matcher.RequiredLiteral();
    for (; line != nullptr; line = line->next, offset = 0) {
        if (literal != nullptr) {
            if (!PlainSearchForwardFrom(line, offset, *literal)) {
                return false;
            }
            if (lastMatch.line != line) {
                line = lastMatch.line;
                offset = 0;
            }
        }
        if (SearchLineForward(line, offset, matcher)) {
            return true;
        }
    }
    return false;
}

// A match that starts before the dot may end after it: the dot's line is searched whole.
bool RegexSearchBackwardFrom(Line* line, DWORD offset, const PatternMatcher& matcher) {
    if (SearchLineBackward(line, offset, matcher)) {
        return true;
    }
    const PlainPattern* literal = matcher.RequiredLiteral();
    for (line = line->prev; line != nullptr; line = line->prev) {
        if (literal != nullptr) {
            if (!PlainSearchBackwardFrom(line, line->length, *literal)) {
                return false;
            }
            line = lastMatch.line;
        }
        if (SearchLineBackward(line, line->length, matcher)) {
            return true;
        }
    }
    return false;
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
    bool found = backward ? RegexSearchBackwardFrom(dot.lpln, dot.offset, matcher)
                          : RegexSearchForwardFrom(dot.lpln, dot.offset, matcher);
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
        found = PlainSearchForwardFrom(dot.lpln, dot.offset, pattern);
    } else {
        EditorTrace("DoReverseSearch");
        found = PlainSearchBackwardFrom(dot.lpln, dot.offset, pattern);
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
