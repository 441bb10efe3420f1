// Searching the current buffer from the dot: by regular expression or plain comparison,
// forward or backward, line by line (a match never spans a line break). A found match
// becomes the marked block with the dot at its end.
#pragma once

#include "editor/core/pattern_matcher.h"
#include "editor/core/plain_search.h"
#include "editor/core/ui_services.h"

struct SearchState {
    char pattern[SEARCH_TEXT_SIZE];      // as typed
    char replacement[SEARCH_TEXT_SIZE];  // as typed
    BOOL matchCase;
    BOOL regularExpression;
    BOOL backward;
    BOOL confirmChanges;
};

struct Match {
    Line* line;
    DWORD start;
    DWORD length;
};

extern SearchState searchState;
extern Match lastMatch;

// Regular-expression search of one line from offset, forward or backward; sets lastMatch. An
// empty match at the end of the buffer's last line does not count.
bool SearchLineForward(Line* line, DWORD from, const PatternMatcher& matcher);
bool SearchLineBackward(Line* line, DWORD from, const PatternMatcher& matcher);

// Searches from the dot with searchState's pattern and options, in the given direction, and
// selects the match. Returns 1 when found, 0 when not, -1 when the regular expression does
// not compile (nothing is matched then).
int SearchFromDot(bool backward);
// Puts the dot at the match and marks it when it is not empty.
void SelectMatch(Line* line, DWORD start, DWORD length);
// The text of a block marked within one line, when it is not empty and shorter than size;
// false otherwise.
bool SingleLineBlockText(char* text, std::size_t size);
