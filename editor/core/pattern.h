// The editor's regular expressions: a compiler from the source form the user types to a
// compact element list, and single match attempts against one line (searches of a whole line
// use PatternMatcher, pattern_matcher.h, which runs in linear time).
//
// Compiled form, ended by a NUL byte:
//   'c' x          the character x (folded comparison unless case matters)
//   '?'            any one character of the line
//   '<'            beginning of line (only as the first element)
//   '>'            end of line
//   '[' n c1..cn   one character that is one of c1..cn
//   '!' n c1..cn   one character that is none of c1..cn
//   '@' element    zero or more repetitions of the element, longest first
#pragma once

#include <cstddef>

#include "editor/core/buffer.h"

inline constexpr std::size_t COMPILED_PATTERN_SIZE = 256;  // with the closing NUL

// Compiles source into compiled (COMPILED_PATTERN_SIZE bytes). Returns the source index
// where it stopped (the source's length) on success, 0 on an empty source, an unclosed class,
// a misplaced closure or a compiled form that would not fit; compiled then holds nothing
// usable and must not be matched.
int CompilePattern(const char* source, BYTE* compiled);
// Size in bytes of the element at element; 0 (and a trace) for a byte that starts none.
int patsize(const BYTE* element);

// One match attempt on a line: the line's text, whether case matters, and where the last
// successful match ended.
struct MatchState {
    const char* text;
    DWORD length;
    bool matchCase;
    DWORD matchEnd;
};

// Matches the single-character element at element against the character at offset; on a
// match advances offset by 1 and records it as the match end.
int match_char(MatchState& state, DWORD& offset, const BYTE* element);
// 1 when the pattern from element matches at offset (the match end is recorded): the match
// that trying the longest run of each closure first would find. Prepares the pattern on each
// call; searches prepare a PatternMatcher once instead.
int amatch(MatchState& state, DWORD offset, const BYTE* element);

// Case folding of searches: only 'A' to 'Z' fold.
inline char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
