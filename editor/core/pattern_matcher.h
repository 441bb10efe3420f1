// Runs a compiled regular expression (pattern.h) against one line in time linear in the
// line's length, with the same result as trying the backtracking match at each start offset.
//
// Every element of the compiled form matches one character, a run of them (a closure), or
// the end of the line, so the pattern is a chain of states with a self-loop at each closure.
// The backtracking match at one start is the longest match from it: of two attempts that
// reach the same text offset, the one that stayed longer in an earlier closure is tried first,
// and it is never further along the chain, so a later end is always tried before an earlier
// one. So a search needs the start (the leftmost or rightmost one from which anything
// matches) and then the last offset at which a simulation of the states from that start
// reaches the end of the pattern.
//
// Sets of states are bit sets, one bit per state; a step over one character is a few word
// operations, and entering every closure that follows a state is one addition (the carry
// runs through a run of closures). Which offsets start a match is computed from the line's
// end towards its start with the chain reversed. A short pattern searched forward instead
// runs all starts at once, keeping for each state the earliest start that reaches it, and
// stops as soon as the leftmost start's attempts are over, so that searching on after each
// match of a line costs only the length of the match.
#pragma once

#include <cstdint>

#include "editor/core/pattern.h"
#include "editor/core/pattern_state_set.h"
#include "editor/core/plain_search.h"

class PatternMatcher {
public:
    // Prepares compiled (a form CompilePattern made, or the rest of one from an element on).
    // False for a form that holds an element no compiler makes; nothing matches then.
    bool Build(const BYTE* compiled, bool matchCase);

    // The leftmost start in [from, length] where the pattern matches, and its match end.
    bool FindForward(const char* text, DWORD length, DWORD from, DWORD& start, DWORD& end) const;
    // The rightmost start in [0, from] where it matches, and its end; a match whose start and
    // end both equal length is skipped when skipEmptyAtEnd is set.
    bool FindBackward(const char* text, DWORD length, DWORD from, bool skipEmptyAtEnd, DWORD& start,
                      DWORD& end) const;
    // Whether it matches at offset, and where that match ends.
    bool MatchAt(const char* text, DWORD length, DWORD offset, DWORD& end) const;

    // Literal text that every match contains (null when there is none).
    const PlainPattern* RequiredLiteral() const {
        return required_.length > 0 ? &required_ : nullptr;
    }

private:
    enum class Kind : BYTE { Single, Closure, EndOfLine };
    static constexpr int kMaxStates = COMPILED_PATTERN_SIZE;
    static constexpr DWORD kNone = 0xFFFFFFFFu;
    // Patterns of up to this many elements run all starts at once when searching forward.
    static constexpr int kMaxElementsForAllStarts = 12;

    bool Accepts(int element, BYTE c) const {
        return (accepts_[c][element >> 6] >> (element & 63)) & 1u;
    }
    void AddElement(const BYTE* element, bool closure);
    void FindLiterals();
    void BuildStateSets();
    // The element that matches the end of the line (always the last one), or -1.
    int EndOfLineState() const {
        return count_ > 0 && kind_[count_ - 1] == Kind::EndOfLine ? count_ - 1 : -1;
    }
    DWORD NextSeed(const char* text, DWORD length, DWORD at) const;
    bool SimulateAllStarts(const char* text, DWORD length, DWORD from, DWORD& start,
                           DWORD& end) const;
    StateSet Step(const StateSet& states, BYTE c) const;
    DWORD LongestFrom(const char* text, DWORD length, DWORD start) const;
    DWORD MatchingStart(const char* text, DWORD length, DWORD low, DWORD high, bool leftmost,
                        bool skipEmptyAtEnd) const;
    bool RequiredLiteralAbsent(const char* text, DWORD length, DWORD from) const;

    int count_ = 0;  // elements; state count_ is the end of the pattern
    int words_ = 1;  // words of a StateSet in use
    bool anchored_ = false;
    bool valid_ = false;
    bool matchCase_ = false;
    Kind kind_[kMaxStates] = {};
    BYTE literal_[kMaxStates] = {};  // the character of a single literal element
    bool isLiteral_[kMaxStates] = {};
    std::uint64_t accepts_[256][kMaxStates / 64] = {};
    // By byte: the single elements and the closures that accept it, as bits of the states in
    // chain order (a closure i: bit i; a single element i: bit i + 1, the state it leads to)
    // and in reversed order (bit count_ - i).
    StateSet singles_[256] = {};
    StateSet closures_[256] = {};
    StateSet singlesReversed_[256] = {};
    StateSet closuresReversed_[256] = {};
    StateSet closureSteps_ = {};          // bit i: state i moves on to i + 1 without a character
    StateSet closureStepsReversed_ = {};  // the same in reversed order
    bool seedBytes_[256] = {};            // bytes that a match starting there can begin with
    bool emptyMatchesAtStart_ = false;
    // A run of single literal characters that every match contains, and one that every match
    // begins with (length 0 when there is none); plain search finds them quickly.
    PlainPattern required_ = {};
    PlainPattern prefix_ = {};
};
