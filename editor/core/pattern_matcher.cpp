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
    std::memset(isLiteral_, 0, sizeof isLiteral_);
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
    BuildStateSets();
    FindLiterals();
    valid_ = true;
    return true;
}

void PatternMatcher::BuildStateSets() {
    words_ = count_ / 64 + 1;  // states 0 to count_
    closureSteps_.Clear();
    closureStepsReversed_.Clear();
    for (int i = 0; i < count_; ++i) {
        if (kind_[i] == Kind::Closure) {
            closureSteps_.Set(i);
            closureStepsReversed_.Set(count_ - i - 1);
        }
    }
    for (int c = 0; c < 256; ++c) {
        singles_[c].Clear();
        closures_[c].Clear();
        singlesReversed_[c].Clear();
        closuresReversed_[c].Clear();
        for (int i = 0; i < count_; ++i) {
            if (kind_[i] == Kind::EndOfLine || !Accepts(i, static_cast<BYTE>(c))) {
                continue;
            }
            // A single element moves its state on: its bit is that of the state it leads to.
            bool single = kind_[i] == Kind::Single;
            (single ? singles_ : closures_)[c].Set(single ? i + 1 : i);
            (single ? singlesReversed_ : closuresReversed_)[c].Set(count_ - i);
        }
    }
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
bool PatternMatcher::SimulateAllStarts(const char* text, DWORD length, DWORD from, DWORD& start,
                                       DWORD& end) const {
    DWORD starts[kMaxStates + 1];
    std::fill(starts, starts + count_ + 1, kNone);
    const int eol = EndOfLineState();
    bool seeding = true;
    bool olderAlive = false;
    DWORD bestStart = kNone;
    DWORD bestEnd = kNone;
    DWORD offset = from;
    for (;;) {
        if (seeding) {
            if (!olderAlive) {
                offset = NextSeed(text, length, offset);
            }
            starts[0] = std::min(starts[0], offset);
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

StateSet PatternMatcher::Step(const StateSet& states, BYTE c) const {
    StateSet next = MoveOrStay(states, singles_[c], closures_[c], words_);
    FollowSteps(next, closureSteps_, words_);
    return next;
}

// The last offset at which the states, entered at start, reach the end of the pattern
// (kNone if they never do).
DWORD PatternMatcher::LongestFrom(const char* text, DWORD length, DWORD start) const {
    const int eol = EndOfLineState();
    StateSet states;
    states.Clear();
    states.Set(0);
    FollowSteps(states, closureSteps_, words_);
    DWORD end = kNone;
    for (DWORD offset = start;; ++offset) {
        if (states.Has(count_) || (offset == length && eol >= 0 && states.Has(eol))) {
            end = offset;
        }
        if (offset == length || states.Empty(words_)) {
            return end;
        }
        states = Step(states, static_cast<BYTE>(text[offset]));
    }
}

// Offsets from which the pattern matches, found from the line's end towards low over the
// reversed chain: bit count_ - i says that the pattern from element i matches a prefix of the
// text at the offset. Returns the lowest such offset in [low, high] (leftmost) or the highest
// (kNone for none); an empty match at the line's end is no match when skipEmptyAtEnd is set.
DWORD PatternMatcher::MatchingStart(const char* text, DWORD length, DWORD low, DWORD high,
                                    bool leftmost, bool skipEmptyAtEnd) const {
    const int eol = EndOfLineState();
    StateSet matching;  // at offset + 1
    matching.Clear();
    DWORD found = kNone;
    for (DWORD offset = length + 1; offset-- > low;) {
        if (offset == length) {
            matching.Clear();
            if (eol >= 0) {
                matching.Set(count_ - eol);
            }
        } else {
            BYTE c = static_cast<BYTE>(text[offset]);
            matching = MoveOrStay(matching, singlesReversed_[c], closuresReversed_[c], words_);
        }
        matching.Set(0);  // the end of the pattern matches anywhere
        FollowSteps(matching, closureStepsReversed_, words_);
        bool empty = offset == length && skipEmptyAtEnd;
        if (offset <= high && matching.Has(count_) && !empty) {
            found = offset;
            if (!leftmost) {
                return found;
            }
        }
    }
    return found;
}

bool PatternMatcher::FindForward(const char* text, DWORD length, DWORD from, DWORD& start,
                                 DWORD& end) const {
    if (!valid_ || from > length || (anchored_ && from != 0) ||
        RequiredLiteralAbsent(text, length, from)) {
        return false;
    }
    if (anchored_) {
        DWORD matchEnd = LongestFrom(text, length, 0);
        if (matchEnd == kNone) {
            return false;
        }
        start = 0;
        end = matchEnd;
        return true;
    }
    if (count_ <= kMaxElementsForAllStarts) {
        return SimulateAllStarts(text, length, from, start, end);
    }
    DWORD found = MatchingStart(text, length, from, length, true, false);
    if (found == kNone) {
        return false;
    }
    start = found;
    end = LongestFrom(text, length, found);
    return true;
}

bool PatternMatcher::MatchAt(const char* text, DWORD length, DWORD offset, DWORD& end) const {
    if (!valid_ || offset > length || (anchored_ && offset != 0)) {
        return false;
    }
    DWORD matchEnd = LongestFrom(text, length, offset);
    if (matchEnd == kNone) {
        return false;
    }
    end = matchEnd;
    return true;
}

bool PatternMatcher::FindBackward(const char* text, DWORD length, DWORD from, bool skipEmptyAtEnd,
                                  DWORD& start, DWORD& end) const {
    if (!valid_ || RequiredLiteralAbsent(text, length, 0)) {
        return false;
    }
    if (anchored_) {
        DWORD matchEnd = LongestFrom(text, length, 0);
        if (matchEnd == kNone || (skipEmptyAtEnd && length == 0)) {
            return false;
        }
        start = 0;
        end = matchEnd;
        return true;
    }
    DWORD found = MatchingStart(text, length, 0, std::min(from, length), false, skipEmptyAtEnd);
    if (found == kNone) {
        return false;
    }
    start = found;
    end = LongestFrom(text, length, found);
    return true;
}
