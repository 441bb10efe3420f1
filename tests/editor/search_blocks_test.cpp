// Plain search over a file's lines as they were read: their texts follow each other in
// memory with the line ends (and trailing blanks that were dropped) between them, and are
// searched as one block; nothing between two lines may be found.
#include <cstdio>
#include <string>

#include "command_fixture.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_read.h"
#include "editor/core/lines.h"
#include "editor/core/search.h"
#include "editor/core/text_primitives.h"

namespace {

class SearchBlocksTest : public CommandTest {
protected:
    void Load(const std::string& bytes) {
        std::string path = PathOf("input.txt");
        WriteBytes(path, bytes);
        ASSERT_TRUE(ReadFile(pbufCurrent, path.c_str()));
        RenumberLines();
        Line* first = pbufCurrent->lplnFirst;
        pwinCurrent->lplnTop = first;
        pwinCurrent->dot = pwinCurrent->mark = {first, 0};
        pwinCurrent->marking = 0;
    }
    // "line:start+length" of the next plain match from the dot, or "none".
    std::string Next(const char* pattern, bool backward, bool matchCase = true,
                     bool regex = false) {
        std::snprintf(searchState.pattern, sizeof searchState.pattern, "%s", pattern);
        searchState.matchCase = matchCase;
        searchState.regularExpression = regex;
        if (SearchFromDot(backward) != 1) {
            return "none";
        }
        return std::to_string(lastMatch.line->number) + ":" + std::to_string(lastMatch.start) +
               "+" + std::to_string(lastMatch.length);
    }
    Line* LineAt(DWORD number) {
        Line* line = pbufCurrent->lplnFirst;
        while (line->number != number) {
            line = line->next;
        }
        return line;
    }
};

TEST_F(SearchBlocksTest, WhatLiesBetweenLinesIsNeverFound) {
    editorSettings.removeTrailingSpaces = 1;
    NewDocument("");
    Load("ab  \r\ncd\r\nab  x\r\nb\r\n");
    EXPECT_EQ(Next("b  ", false), "2:1+3");  // not in the blanks dropped from line 0
    EXPECT_EQ(Next("b  ", true), "2:1+3");   // from the match's end, backward
    pwinCurrent->dot = {LineAt(1), 0};
    EXPECT_EQ(Next("b  ", true), "none");
    pwinCurrent->dot = {LineAt(3), 1};
    EXPECT_EQ(Next("x\r\nb", true), "none");  // a line end is no text
    EXPECT_EQ(Next("D", true, false), "1:1+1");
    pwinCurrent->dot = {LineAt(0), 0};
    EXPECT_EQ(Next("B", false, false), "0:1+1");
    editorSettings.removeTrailingSpaces = 0;
}

// An edited line gets text of its own elsewhere; the lines around it are still found, in
// order, in both directions.
TEST_F(SearchBlocksTest, EditedLinesSplitTheBlocks) {
    NewDocument("");
    Load("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    pwinCurrent->dot = {LineAt(2), 5};
    ASSERT_TRUE(InsertChars(" and a much longer line than before", 35));
    pwinCurrent->dot = {LineAt(0), 1};
    EXPECT_EQ(Next("o", false), "1:2+1");
    EXPECT_EQ(Next("longer", false), "2:17+6");
    pwinCurrent->dot = {LineAt(2), 0};
    EXPECT_EQ(Next("ou", false), "3:1+2");
    pwinCurrent->dot = {LineAt(4), 0};
    EXPECT_EQ(Next("o", true), "3:1+1");
    pwinCurrent->dot = {LineAt(3), 0};
    EXPECT_EQ(Next("e", true), "2:39+1");
    pwinCurrent->dot = {LineAt(2), 0};
    EXPECT_EQ(Next("o", true), "1:2+1");
}

// A regular expression's literal text is looked for first, over many lines at once; the
// match itself may begin before the literal and, backward, end after the dot.
TEST_F(SearchBlocksTest, RegularExpressionsSkipLinesWithoutTheirLiteral) {
    NewDocument("");
    Load("abc\r\nxx12y\r\nzz\r\na12yb\r\n");
    EXPECT_EQ(Next("[0-9]@y", false, true, true), "1:2+3");
    EXPECT_EQ(Next("[0-9]@Y", false, false, true), "3:1+3");
    pwinCurrent->dot = {LineAt(3), 0};
    EXPECT_EQ(Next("[0-9]@y", true, true, true), "1:4+1");  // the rightmost start
    pwinCurrent->dot = {LineAt(3), 1};
    EXPECT_EQ(Next("[0-9]@y", true, true, true), "3:1+3");
    EXPECT_EQ(Next("c*", false, true, true), "none");
}

}  // namespace
