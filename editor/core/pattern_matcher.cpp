#include "editor/core/pattern_matcher.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsSingleCharacter(BYTE kind) {
    return kind == 'c' || kind == '?' || kind == '[' || kind == '!';
}

}  // namespace

bool PatternMatcher::Build(const BYTE* compiled, bool matchCase) {
    count_ = 0;
    valid_ = false;
    matchCase_ = matchCase;
    std::memset(accepts_, 0, sizeof accepts_);
    std::memset(literal_, 0, sizeof literal_);
    const BYTE* at = compiled;
    anchored_ = *at == '<';
    if (anchored_) {
        ++at;
    }
    while (*at != 0) {
        bool closure = *at == '@';
        const BYTE* element = closure ? at + 1 : at;
        if (*element == '>' && !closure) {
            // The end of the line ends the match; nothing after it is ever looked at.
            kind_[count_++] = Kind::EndOfLine;
            break;
        }
        if (!IsSingleCharacter(*element)) {
            patsize(element);  // traces the byte that starts no element
            return false;
        }
        AddElement(element, closure);
        at = element + patsize(element);
    }
    FindLiterals();
    valid_ = true;
    return true;
}

void PatternMatcher::AddElement(const BYTE* element, bool closure) {
    int index = count_++;
    kind_[index] = closure ? Kind::Closure : Kind::Single;
    literal_[index] = !closure && element[0] == 'c' ? element[1] : 0;
    isLiteral_[index] = !closure && element[0] == 'c';
    // The element's verdict on every byte, from the one definition of a character match.
    for (int c = 0; c < 256; ++c) {
        char text = static_cast<char>(c);
        MatchState state{&text, 1, matchCase_, 0};
        DWORD offset = 0;
        if (match_char(state, offset, element)) {
            accepts_[c][index >> 6] |= std::uint64_t{1} << (index & 63);
        }
    }
}

void PatternMatcher::FindLiterals() {
    // The bytes a match can begin with: those of the closures at the start and of the first
    // element after them. A pattern of closures only matches the empty text anywhere.
    std::memset(seedBytes_, 0, sizeof seedBytes_);
    int first = 0;
    while (first < count_ && kind_[first] == Kind::Closure) {
        ++first;
    }
    emptyMatchesAtStart_ = first == count_;
    int last = first < count_ && kind_[first] == Kind::Single ? first : first - 1;
    for (int c = 0; c < 256; ++c) {
        for (int i = 0; i <= last; ++i) {
            seedBytes_[c] = seedBytes_[c] || Accepts(i, static_cast<BYTE>(c));
        }
    }
    // Runs of literal characters: the one at the start, and the longest one anywhere.
    char bytes[kMaxStates];
    int prefix = 0;
    while (prefix < count_ && isLiteral_[prefix]) {
        bytes[prefix] = static_cast<char>(literal_[prefix]);
        ++prefix;
    }
    PreparePlainBytes(bytes, static_cast<DWORD>(prefix), matchCase_, prefix_);
    int bestStart = 0;
    int bestLength = 0;
    for (int i = 0; i < count_;) {
        int j = i;
        while (j < count_ && isLiteral_[j]) {
            bytes[j - i] = static_cast<char>(literal_[j]);
            ++j;
        }
        if (j - i > bestLength) {
            bestStart = i;
            bestLength = j - i;
        }
        i = j + 1;
    }
    for (int k = 0; k < bestLength; ++k) {
        bytes[k] = static_cast<char>(literal_[bestStart + k]);
    }
    PreparePlainBytes(bytes, static_cast<DWORD>(bestLength), matchCase_, required_);
}

bool PatternMatcher::RequiredLiteralAbsent(const char* text, DWORD length, DWORD from) const {
    DWORD k = required_.length;
    if (k == 0) {
        return false;
    }
    return length < from || length - from < k ||
           FindPlainForward(text, from, length - k, required_) == PLAIN_NOT_FOUND;
}

DWORD PatternMatcher::NextSeed(const char* text, DWORD length, DWORD at) const {
    if (emptyMatchesAtStart_) {
        return at;
    }
    DWORD k = prefix_.length;
    if (k > 0) {
        if (length - at < k) {
            return length;
        }
        DWORD found = FindPlainForward(text, at, length - k, prefix_);
        return found == PLAIN_NOT_FOUND ? length : found;
    }
    while (at < length && !seedBytes_[static_cast<BYTE>(text[at])]) {
        ++at;
    }
    return at;
}

// The state simulation. starts[i] is the earliest start offset of an attempt that is at
// element i at the current offset (kNone for none): two attempts at the same element and
// offset go on alike, so only the earlier start matters. An attempt that reaches the end of
// the pattern is a match; the first one found fixes the start (later starts are dropped), and
// attempts from the same or an earlier start that end later replace it.
bool PatternMatcher::Simulate(const char* text, DWORD length, DWORD from, bool seedEveryOffset,
                              DWORD& start, DWORD& end) const {
    DWORD starts[kMaxStates + 1];
    std::fill(starts, starts + count_ + 1, kNone);
    const int eol = count_ > 0 && kind_[count_ - 1] == Kind::EndOfLine ? count_ - 1 : -1;
    bool seeding = true;
    bool olderAlive = false;
    DWORD bestStart = kNone;
    DWORD bestEnd = kNone;
    DWORD offset = from;
    for (;;) {
        if (seeding) {
            if (seedEveryOffset && !olderAlive) {
                offset = NextSeed(text, length, offset);
            }
            starts[0] = std::min(starts[0], offset);
            seeding = seedEveryOffset;
        }
        // Closures can be skipped: an attempt at one is also at the element after it.
        bool alive = false;
        for (int i = 0; i < count_; ++i) {
            alive = alive || starts[i] != kNone;
            if (kind_[i] == Kind::Closure && starts[i] < starts[i + 1]) {
                starts[i + 1] = starts[i];
            }
        }
        DWORD matched = starts[count_];
        if (eol >= 0 && offset == length) {
            matched = starts[eol];
        }
        if (matched != kNone && matched <= bestStart) {
            bestStart = matched;
            bestEnd = offset;
            seeding = false;
            for (int i = 0; i <= count_; ++i) {
                if (starts[i] > matched) {
                    starts[i] = kNone;
                }
            }
            alive = std::any_of(starts, starts + count_, [](DWORD s) { return s != kNone; });
        }
        if (offset >= length || (!alive && !seeding)) {
            break;
        }
        // One character: attempts move past a single element or stay in a closure.
        BYTE c = static_cast<BYTE>(text[offset]);
        olderAlive = false;
        for (int i = count_; i >= 0; --i) {
            DWORD moved =
                i > 0 && kind_[i - 1] == Kind::Single && Accepts(i - 1, c) ? starts[i - 1] : kNone;
            DWORD looped =
                i < count_ && kind_[i] == Kind::Closure && Accepts(i, c) ? starts[i] : kNone;
            starts[i] = std::min(moved, looped);
            olderAlive = olderAlive || starts[i] != kNone;
        }
        ++offset;
    }
    if (bestStart == kNone) {
        return false;
    }
    start = bestStart;
    end = bestEnd;
    return true;
}

bool PatternMatcher::FindForward(const char* text, DWORD length, DWORD from, DWORD& start,
                                 DWORD& end) const {
    if (!valid_ || from > length || (anchored_ && from != 0) ||
        RequiredLiteralAbsent(text, length, from)) {
        return false;
    }
    return Simulate(text, length, from, !anchored_, start, end);
}

bool PatternMatcher::MatchAt(const char* text, DWORD length, DWORD offset, DWORD& end) const {
    if (!valid_ || offset > length || (anchored_ && offset != 0)) {
        return false;
    }
    DWORD start;
    return Simulate(text, length, offset, false, start, end);
}

// The backtracking recurrence over columns of match ends, from the line's end: the pattern
// from element i matches at offset o ending at ends[i]; a closure takes the latest end it can
// reach by staying in the closure and otherwise the end of what follows it.
bool PatternMatcher::FindBackward(const char* text, DWORD length, DWORD from, bool skipEmptyAtEnd,
                                  DWORD& start, DWORD& end) const {
    if (!valid_) {
        return false;
    }
    from = std::min(from, length);
    if (anchored_) {
        DWORD matchEnd;
        if (!MatchAt(text, length, 0, matchEnd) || (skipEmptyAtEnd && length == 0)) {
            return false;
        }
        start = 0;
        end = matchEnd;
        return true;
    }
    if (RequiredLiteralAbsent(text, length, 0)) {
        return false;
    }
    DWORD columns[2][kMaxStates + 1];
    DWORD* next = columns[0];  // offset + 1
    DWORD* cur = columns[1];
    for (DWORD offset = length + 1; offset-- > 0;) {
        bool inside = offset < length;
        BYTE c = inside ? static_cast<BYTE>(text[offset]) : 0;
        cur[count_] = offset;
        for (int i = count_ - 1; i >= 0; --i) {
            bool accepted = inside && Accepts(i, c);
            switch (kind_[i]) {
                case Kind::Single:
                    cur[i] = accepted ? next[i + 1] : kNone;
                    break;
                case Kind::Closure:
                    cur[i] = accepted && next[i] != kNone ? next[i] : cur[i + 1];
                    break;
                case Kind::EndOfLine:
                    cur[i] = inside ? kNone : length;
                    break;
            }
        }
        if (offset <= from && cur[0] != kNone &&
            !(skipEmptyAtEnd && offset == length && cur[0] == length)) {
            start = offset;
            end = cur[0];
            return true;
        }
        std::swap(cur, next);
    }
    return false;
}
