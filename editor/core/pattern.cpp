#include "editor/core/pattern.h"

#include <cctype>
#include <cstring>

#include "editor/core/pattern_matcher.h"
#include "editor/core/trace.h"

namespace {

class PatternWriter {
public:
    explicit PatternWriter(BYTE* out) : out_(out) {}

    bool Put(BYTE byte) {
        // One byte stays free for the closing NUL.
        if (size_ + 1 >= COMPILED_PATTERN_SIZE) {
            return false;
        }
        out_[size_++] = byte;
        return true;
    }
    std::size_t Size() const { return size_; }
    BYTE* At(std::size_t index) { return out_ + index; }
    void Finish() { out_[size_] = 0; }

private:
    BYTE* out_;
    std::size_t size_ = 0;
};

bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// The character an escape stands for: "\t" tab, "\f" form feed, any other the character.
char Escaped(char c) {
    if (c == 't') {
        return '\t';
    }
    if (c == 'f') {
        return '\f';
    }
    return c;
}

// Compiles a class starting after its '[' at source[i]; returns the index after ']' or 0.
std::size_t CompileClass(const char* source, std::size_t i, PatternWriter& out) {
    bool negated = source[i] == '~';
    if (negated) {
        ++i;
    }
    if (!out.Put(negated ? '!' : '[') || !out.Put(0)) {
        return 0;
    }
    std::size_t countIndex = out.Size() - 1;
    int count = 0;
    bool havePrevious = false;
    char previous = 0;
    while (source[i] != ']') {
        if (source[i] == '\0') {
            return 0;
        }
        char c = source[i];
        if (c == '\\' && source[i + 1] != '\0') {
            c = Escaped(source[++i]);
        } else if (c == '-' && havePrevious && source[i + 1] != ']' && source[i + 1] != '\0' &&
                   IsAlnum(previous) && IsAlnum(source[i + 1]) &&
                   static_cast<unsigned char>(previous) <
                       static_cast<unsigned char>(source[i + 1])) {
            // x-y: the characters after x up to y.
            unsigned char last = static_cast<unsigned char>(source[i + 1]);
            for (unsigned ch = static_cast<unsigned char>(previous) + 1u; ch <= last; ++ch) {
                if (!out.Put(static_cast<BYTE>(ch))) {
                    return 0;
                }
                ++count;
            }
            // y may begin the next range: [a-c-e] is a to e.
            i += 2;
            previous = static_cast<char>(last);
            continue;
        }
        if (!out.Put(static_cast<BYTE>(c))) {
            return 0;
        }
        ++count;
        previous = c;
        havePrevious = true;
        ++i;
    }
    if (count > 255) {
        return 0;
    }
    *out.At(countIndex) = static_cast<BYTE>(count);
    return i + 1;
}

// Puts a closure in front of the element that starts at last.
bool MakeClosure(PatternWriter& out, std::size_t last) {
    BYTE first = *out.At(last);
    if (first == '<' || first == '>' || first == '@') {
        return false;
    }
    std::size_t length = out.Size() - last;
    if (!out.Put(0)) {
        return false;
    }
    std::memmove(out.At(last + 1), out.At(last), length);
    *out.At(last) = '@';
    return true;
}

bool InClass(const BYTE* element, char c, bool matchCase) {
    int n = element[1];
    char folded = matchCase ? c : FoldCase(c);
    for (int k = n - 1; k >= 0; --k) {
        char member = static_cast<char>(element[2 + k]);
        if ((matchCase ? member : FoldCase(member)) == folded) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CompilePattern(const char* source, BYTE* compiled) {
    compiled[0] = 0;
    std::size_t length = std::strlen(source);
    if (length == 0) {
        return 0;
    }
    PatternWriter out(compiled);
    std::size_t last = 0;  // output index of the last element
    std::size_t i = 0;
    while (i < length) {
        char c = source[i];
        std::size_t start = out.Size();
        bool ok = true;
        if (i == 0 && (c == '%' || c == '<')) {
            ok = out.Put('<');
            ++i;
        } else if (i == length - 1 && (c == '$' || c == '>')) {
            ok = out.Put('>');
            ++i;
        } else if (c == '?') {
            ok = out.Put('?');
            ++i;
        } else if (c == '*') {
            ok = out.Put('@') && out.Put('?');
            ++i;
        } else if (c == '[') {
            i = CompileClass(source, i + 1, out);
            ok = i != 0;
        } else if (c == '@' && i > 0) {
            if (!MakeClosure(out, last)) {
                compiled[0] = 0;
                return 0;
            }
            ++i;
            continue;
        } else if (c == '\\') {
            char literal = i + 1 < length ? Escaped(source[i + 1]) : '\\';
            ok = out.Put('c') && out.Put(static_cast<BYTE>(literal));
            i += i + 1 < length ? 2 : 1;
        } else {
            ok = out.Put('c') && out.Put(static_cast<BYTE>(c));
            ++i;
        }
        if (!ok) {
            compiled[0] = 0;
            return 0;
        }
        last = start;
    }
    out.Finish();
    return static_cast<int>(i);
}

int patsize(const BYTE* element) {
    switch (element[0]) {
        case '[':
        case '!':
            return element[1] + 2;
        case '<':
        case '>':
        case '?':
        case '@':
            return 1;
        case 'c':
            return 2;
        default:
            EditorTrace("patsize: can't happen");
            return 0;
    }
}

int match_char(MatchState& state, DWORD& offset, const BYTE* element) {
    if (offset >= state.length) {
        return 0;
    }
    char c = state.text[offset];
    bool matched;
    switch (element[0]) {
        case '!':
            matched = !InClass(element, c, state.matchCase);
            break;
        case '[':
            matched = InClass(element, c, state.matchCase);
            break;
        case '?':
            matched = true;
            break;
        case 'c': {
            char wanted = static_cast<char>(element[1]);
            matched = state.matchCase ? c == wanted : FoldCase(c) == FoldCase(wanted);
            break;
        }
        default:
            EditorTrace("match_char: can't happen");
            return 0;
    }
    if (!matched) {
        return 0;
    }
    ++offset;
    state.matchEnd = offset;
    return 1;
}

int amatch(MatchState& state, DWORD offset, const BYTE* element) {
    state.matchEnd = offset;
    if (offset > state.length) {
        EditorTrace("amatch: can't happen");
        return 0;
    }
    PatternMatcher matcher;
    DWORD end;
    if (!matcher.Build(element, state.matchCase) ||
        !matcher.MatchAt(state.text, state.length, offset, end)) {
        return 0;
    }
    state.matchEnd = end;
    return 1;
}
