// The linear regular-expression matcher against the backtracking one it replaced, and on
// lines where backtracking would not finish.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "editor/core/pattern_matcher.h"
#include "tests/editor/backtracking_matcher.h"

namespace {

struct Compiled {
    BYTE bytes[COMPILED_PATTERN_SIZE];
    PatternMatcher matcher;
};

bool Prepare(const std::string& source, bool matchCase, Compiled& out) {
    return CompilePattern(source.c_str(), out.bytes) != 0 &&
           out.matcher.Build(out.bytes, matchCase);
}

// "start+length" of the search's match, or "none".
std::string Describe(bool found, DWORD start, DWORD end) {
    return found ? std::to_string(start) + "+" + std::to_string(end - start) : "none";
}

std::string Forward(const std::string& source, const std::string& line, DWORD from = 0) {
    Compiled compiled;
    if (!Prepare(source, false, compiled)) {
        return "bad";
    }
    DWORD start = 0;
    DWORD end = 0;
    bool found = compiled.matcher.FindForward(line.data(), static_cast<DWORD>(line.size()), from,
                                              start, end);
    return Describe(found, start, end);
}

std::string Backward(const std::string& source, const std::string& line, DWORD from) {
    Compiled compiled;
    if (!Prepare(source, false, compiled)) {
        return "bad";
    }
    DWORD start = 0;
    DWORD end = 0;
    bool found = compiled.matcher.FindBackward(line.data(), static_cast<DWORD>(line.size()), from,
                                               false, start, end);
    return Describe(found, start, end);
}

// Random patterns from pieces of the source syntax, over a small alphabet so that they match
// often and closures compete for the same characters.
std::string RandomPattern(std::mt19937& random) {
    static const char* const pieces[] = {"a", "b", "A", "?", "*", "@", "[ab]", "[~a]", "c"};
    std::string source;
    if (random() % 6 == 0) {
        source += '%';
    }
    int count = 1 + static_cast<int>(random() % (random() % 4 == 0 ? 24 : 6));
    for (int i = 0; i < count; ++i) {
        source += pieces[random() % (sizeof pieces / sizeof pieces[0])];
    }
    if (random() % 6 == 0) {
        source += '$';
    }
    return source;
}

std::string RandomLine(std::mt19937& random) {
    static const char alphabet[] = "aabBc";
    std::string line(random() % 12, ' ');
    for (char& c : line) {
        c = alphabet[random() % 5];
    }
    return line;
}

TEST(LinearMatcher, FindsWhatBacktrackingFindsInBothDirections) {
    std::mt19937 random(13);
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string source = RandomPattern(random);
        std::string line = RandomLine(random);
        bool matchCase = random() % 2 == 0;
        Compiled compiled;
        if (!Prepare(source, matchCase, compiled) ||
            !reference::IsQuick(compiled.bytes, line.size())) {
            continue;
        }
        DWORD length = static_cast<DWORD>(line.size());
        DWORD from = static_cast<DWORD>(random() % (line.size() + 1));
        bool skip = random() % 2 == 0;
        for (bool backward : {false, true}) {
            reference::Found expected = reference::SearchLine(
                line.data(), length, from, compiled.bytes, matchCase, backward, backward && skip);
            reference::Found got{false, 0, 0};
            got.found = backward ? compiled.matcher.FindBackward(line.data(), length, from, skip,
                                                                 got.start, got.end)
                                 : compiled.matcher.FindForward(line.data(), length, from,
                                                                got.start, got.end);
            ASSERT_EQ(got, expected) << "pattern " << source << " line '" << line << "' from "
                                     << from << (backward ? " backward" : " forward");
        }
        MatchState state{line.data(), length, matchCase, 0};
        MatchState old = state;
        bool matched = amatch(state, from, compiled.bytes) != 0;
        ASSERT_EQ(matched, reference::BacktrackingMatch(old, from, compiled.bytes) != 0)
            << source << " on '" << line << "' at " << from;
        if (matched) {
            ASSERT_EQ(state.matchEnd, old.matchEnd) << source << " on '" << line << "'";
        }
        ++compared;
    }
    EXPECT_GT(compared, 10000);
}

TEST(LinearMatcher, ChoosesTheLeftmostStartAndItsLongestRun) {
    EXPECT_EQ(Forward("*x", "1x2x3"), "0+4");
    EXPECT_EQ(Forward("a@b", "xaab"), "1+3");
    EXPECT_EQ(Forward("a@", "xyz"), "0+0");  // an empty match at the first offset
    EXPECT_EQ(Forward("a@a@b", "aaab"), "0+4");
    EXPECT_EQ(Forward("b@$", "abab"), "3+1");
    EXPECT_EQ(Forward("%ab", "xab"), "none");
    EXPECT_EQ(Forward("ab", "abab", 1), "2+2");
    EXPECT_EQ(Backward("ab", "abab", 4), "2+2");
    EXPECT_EQ(Backward("ab", "abab", 1), "0+2");
    EXPECT_EQ(Backward("*b", "abab", 1), "1+3");  // starts are bounded, ends are not
    EXPECT_EQ(Backward("%$", "", 0), "0+0");
}

// Patterns whose backtracking is exponential in the number of closures: these lines would
// keep the old matcher busy for longer than the universe has existed.
TEST(LinearMatcher, ClosuresOnTheLongestLineFinish) {
    std::string as(MAX_LINE_LENGTH - 1, 'a');
    EXPECT_EQ(Forward("*a*b*c", as + "c"), "none");
    EXPECT_EQ(Forward("*a*b*c", "ab" + as.substr(2) + "c"), "0+65535");
    EXPECT_EQ(Forward("a@a@a@a@a@a@a@b", as + "c"), "none");
    EXPECT_EQ(Forward("?@?@?@?@x", as + "x"), "0+65535");
    EXPECT_EQ(Backward("*a*b*c", as + "c", MAX_LINE_LENGTH), "none");
    EXPECT_EQ(Backward("a@a@a@b", as + "b", MAX_LINE_LENGTH), "65534+1");
}

// One matcher prepared again for another pattern keeps nothing of the first.
TEST(LinearMatcher, PreparingAgainForgetsThePreviousPattern) {
    BYTE first[COMPILED_PATTERN_SIZE];
    BYTE second[COMPILED_PATTERN_SIZE];
    ASSERT_NE(CompilePattern("abc", first), 0);
    ASSERT_NE(CompilePattern("a$", second), 0);
    PatternMatcher matcher;
    ASSERT_TRUE(matcher.Build(first, true));
    ASSERT_TRUE(matcher.Build(second, true));
    DWORD start = 0;
    DWORD end = 0;
    ASSERT_TRUE(matcher.FindForward("xa", 2, 0, start, end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 2u);
}

TEST(LinearMatcher, RefusesFormsNoCompilerMakes) {
    PatternMatcher matcher;
    const BYTE unknown[] = {'c', 'a', 'Z', 0};
    const BYTE innerStart[] = {'c', 'a', '<', 0};
    EXPECT_FALSE(matcher.Build(unknown, false));
    EXPECT_FALSE(matcher.Build(innerStart, false));
    DWORD start = 0;
    DWORD end = 0;
    EXPECT_FALSE(matcher.FindForward("a", 1, 0, start, end));
}

}  // namespace
