// The regular-expression compiler and matcher.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/core/pattern.h"

namespace {

std::string Compiled(const char* source) {
    BYTE out[COMPILED_PATTERN_SIZE];
    if (CompilePattern(source, out) == 0) {
        return "<fails>";
    }
    std::string text;
    for (const BYTE* p = out; *p != 0; ++p) {
        text += *p < 32 ? "{" + std::to_string(*p) + "}" : std::string(1, static_cast<char>(*p));
    }
    return text;
}

// Offset and length of the first match in text, as "start+length", or "none".
std::string FirstMatch(const char* source, const std::string& text, bool matchCase = false) {
    BYTE compiled[COMPILED_PATTERN_SIZE];
    if (CompilePattern(source, compiled) == 0) {
        return "bad";
    }
    MatchState state{text.data(), static_cast<DWORD>(text.size()), matchCase, 0};
    DWORD last = compiled[0] == '<' ? 0 : static_cast<DWORD>(text.size());
    for (DWORD at = 0; at <= last; ++at) {
        if (amatch(state, at, compiled)) {
            return std::to_string(at) + "+" + std::to_string(state.matchEnd - at);
        }
    }
    return "none";
}

TEST(PatternCompiler, EveryElementOfTheSourceSyntax) {
    EXPECT_EQ(Compiled("ab"), "cacb");
    EXPECT_EQ(Compiled("a?b"), "ca?cb");
    EXPECT_EQ(Compiled("%a"), "<ca");
    EXPECT_EQ(Compiled("<a"), "<ca");
    EXPECT_EQ(Compiled("a%<"), "cac%c<");  // literal when not first
    EXPECT_EQ(Compiled("a$"), "ca>");
    EXPECT_EQ(Compiled("a>"), "ca>");
    EXPECT_EQ(Compiled("$a"), "c$ca");
    EXPECT_EQ(Compiled("a@"), "@ca");
    EXPECT_EQ(Compiled("@a"), "c@ca");  // literal as the first character
    EXPECT_EQ(Compiled("*x"), "@?cx");
    EXPECT_EQ(Compiled("[a-d]"), "[{4}abcd");
    EXPECT_EQ(Compiled("[~0-2]"), "!{3}012");
    EXPECT_EQ(Compiled("[-z]"), "[{2}-z");
    EXPECT_EQ(Compiled("[d-a]"), "[{3}d-a");
    EXPECT_EQ(Compiled("[a-]"), "[{2}a-");
    EXPECT_EQ(Compiled("[a-c-e]"), "[{5}abcde");  // every range expands, also a chained one
    EXPECT_EQ(Compiled("[a-c-]"), "[{4}abc-");
    EXPECT_EQ(Compiled("[0-2a-b]"), "[{5}012ab");
    EXPECT_EQ(Compiled("[\\]x]"), "[{2}]x");
    EXPECT_EQ(Compiled("[ab]@"), "@[{2}ab");
    EXPECT_EQ(Compiled("\\t\\f\\q"), "c{9}c{12}cq");
    EXPECT_EQ(Compiled("a\\"), "cac\\");
    EXPECT_EQ(Compiled("%$"), "<>");
}

TEST(PatternCompiler, RefusesBadPatternsWithoutLeavingAPartialOne) {
    BYTE out[COMPILED_PATTERN_SIZE];
    const char* bad[] = {"", "[abc", "%@", "a@@", "*@", "ab[~"};
    for (const char* source : bad) {
        std::memset(out, 'c', sizeof out);
        EXPECT_EQ(CompilePattern(source, out), 0) << source;
        EXPECT_EQ(out[0], 0) << source;
    }
    // 127 literal characters compile to 254 bytes plus the NUL; one more does not fit.
    std::string fits(127, 'x');
    EXPECT_NE(CompilePattern(fits.c_str(), out), 0);
    std::string tooLong(128, 'x');
    EXPECT_EQ(CompilePattern(tooLong.c_str(), out), 0);
    std::string bigClass = "[" + std::string(254, 'y') + "]";
    EXPECT_EQ(CompilePattern(bigClass.c_str(), out), 0);
}

TEST(PatternMatcher, AnchorsAndClosures) {
    EXPECT_EQ(FirstMatch("%abc", "abcabc"), "0+3");
    EXPECT_EQ(FirstMatch("%abc", "xabc"), "none");
    EXPECT_EQ(FirstMatch("abc$", "abcabc"), "3+3");
    EXPECT_EQ(FirstMatch("abc$", "abcx"), "none");
    EXPECT_EQ(FirstMatch("%$", ""), "0+0");
    EXPECT_EQ(FirstMatch("%$", "x"), "none");
    EXPECT_EQ(FirstMatch("a@b", "b"), "0+1");
    EXPECT_EQ(FirstMatch("a@b", "ab"), "0+2");
    EXPECT_EQ(FirstMatch("a@b", "xaab"), "1+3");
    EXPECT_EQ(FirstMatch("*x", "1x2x3"), "0+4");  // up to the last x
    EXPECT_EQ(FirstMatch("[0-9]@x", "ab12x"), "2+3");
    EXPECT_EQ(FirstMatch("a?c", "abc"), "0+3");
    EXPECT_EQ(FirstMatch("a?", "a"), "none");  // '?' needs a character
}

TEST(PatternMatcher, ClassesAndCaseFolding) {
    for (char c : std::string("abcd")) {
        EXPECT_EQ(FirstMatch("[a-d]", std::string(1, c)), "0+1");
    }
    EXPECT_EQ(FirstMatch("[a-d]", "e"), "none");
    EXPECT_EQ(FirstMatch("[~0-9]", "12a"), "2+1");
    EXPECT_EQ(FirstMatch("[-z]", "a-"), "1+1");
    EXPECT_EQ(FirstMatch("[d-a]", "c"), "none");
    EXPECT_EQ(FirstMatch("[d-a]", "-"), "0+1");
    EXPECT_EQ(FirstMatch("ABC", "xAbC"), "1+3");
    EXPECT_EQ(FirstMatch("ABC", "xAbC", true), "none");
    EXPECT_EQ(FirstMatch("[A-C]", "b"), "0+1");
    EXPECT_EQ(FirstMatch("\xc9", "\xe9"), "none");  // only A to Z fold
    EXPECT_EQ(FirstMatch("\\t", "a\tb"), "1+1");
    EXPECT_EQ(FirstMatch("\\", "a\\"), "1+1");
}

}  // namespace
