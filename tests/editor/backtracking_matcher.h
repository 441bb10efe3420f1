// The editor's first regular-expression matcher, kept as a reference for the linear one: it
// tries the longest run of each closure first and backs off one character at a time, which
// is exponential in the number of closures. Tests and the pattern fuzz target compare the
// linear matcher's results with it on short lines.
#pragma once

#include "editor/core/pattern.h"

namespace reference {

inline int BacktrackingMatch(MatchState& state, DWORD offset, const BYTE* element) {
    state.matchEnd = offset;
    if (element[0] == '<') {
        if (offset != 0) {
            return 0;
        }
        ++element;
    }
    for (;;) {
        switch (element[0]) {
            case 0:
                state.matchEnd = offset;
                return 1;
            case '>':
                if (offset != state.length) {
                    return 0;
                }
                state.matchEnd = state.length;
                return 1;
            case '@': {
                const BYTE* repeated = element + 1;
                int size = patsize(repeated);
                if (size == 0) {
                    return 0;
                }
                const BYTE* rest = repeated + size;
                DWORD end = offset;
                while (match_char(state, end, repeated)) {
                }
                for (DWORD at = end + 1; at-- > offset;) {
                    if (BacktrackingMatch(state, at, rest)) {
                        return 1;
                    }
                }
                return 0;
            }
            default: {
                int size = patsize(element);
                if (size == 0 || !match_char(state, offset, element)) {
                    return 0;
                }
                element += size;
                break;
            }
        }
    }
}

// Whether backtracking over this many closures on a line of this length is quick: its work
// grows with the line's length to the power of closures + 1.
inline bool IsQuick(const BYTE* compiled, std::size_t length) {
    int closures = 0;
    for (const BYTE* p = compiled; *p != 0; ++p) {
        closures += *p == '@' ? 1 : 0;
    }
    double work = 1;
    for (int i = 0; i <= closures + 1; ++i) {
        work *= static_cast<double>(length + 1);
    }
    return work <= 4e6;
}

struct Found {
    bool found;
    DWORD start;
    DWORD end;
    bool operator==(const Found&) const = default;
};

// The first start in [from, length] (forward) or in [from, 0] (backward) where the pattern
// matches; an empty match at the line's end is skipped when skipEmptyAtEnd is set.
inline Found SearchLine(const char* text, DWORD length, DWORD from, const BYTE* compiled,
                        bool matchCase, bool backward, bool skipEmptyAtEnd) {
    MatchState state{text, length, matchCase, 0};
    auto tryAt = [&](DWORD at) {
        return BacktrackingMatch(state, at, compiled) &&
               !(skipEmptyAtEnd && at == length && state.matchEnd == length);
    };
    if (!backward) {
        DWORD last = compiled[0] == '<' ? 0 : length;
        for (DWORD at = from; at <= last; ++at) {
            if (tryAt(at)) {
                return {true, at, state.matchEnd};
            }
        }
        return {false, 0, 0};
    }
    for (DWORD at = (from < length ? from : length) + 1; at-- > 0;) {
        if (tryAt(at)) {
            return {true, at, state.matchEnd};
        }
    }
    return {false, 0, 0};
}

}  // namespace reference
