// Typing, tabs, new lines, deletion and paragraph wrapping.
#include "editor/core/editing_commands.h"
#include "command_fixture.h"
#include "editor/core/command_state.h"
#include "editor/core/intl_format.h"
#include "editor/core/lines.h"
#include "editor/core/undo.h"
#include "editor/view/display_update.h"

namespace {

TEST_F(CommandTest, OverwriteReplacesButInsertsAtLineEndsAndBeforeWideTabs) {
    NewDocument("ab\tc\nxyz");
    fOverwrite = 1;
    Type("Q");
    EXPECT_EQ(BufferText(pbufCurrent), "Qb\tc\nxyz");
    Type("R");  // over 'b'
    Type("S");  // over a tab that spans columns 2 to 7: inserted in front of it
    EXPECT_EQ(BufferText(pbufCurrent), "QRS\tc\nxyz");
    PlaceDot(pwinCurrent, 1, 3);
    Type("!");
    EXPECT_EQ(BufferText(pbufCurrent), "QRS\tc\nxyz!");
    // A tab in the last column of its stop is overwritten.
    NewDocument("1234567\tx");
    PlaceDot(pwinCurrent, 0, 7);
    Type("8");
    EXPECT_EQ(BufferText(pbufCurrent), "12345678x");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "1234567\tx");
}

TEST_F(CommandTest, WordWrapWhileTypingMovesTheWordAndKeepsTheCursorBehindIt) {
    NewDocument("");
    pbufCurrent->options |= BF_WORDWRAP;
    pbufCurrent->rightMargin = 40;
    Type("The quick brown fox jumps over the lazy dog");
    // "dog" would start at column 40: the break must lie below the margin, so "lazy" goes too.
    EXPECT_EQ(BufferText(pbufCurrent), "The quick brown fox jumps over the \nlazy dog");
    EXPECT_EQ(DotAt(), "1:8");
    Type("s");
    EXPECT_EQ(BufferText(pbufCurrent), "The quick brown fox jumps over the \nlazy dogs");
    NewDocument("");
    pbufCurrent->options |= BF_WORDWRAP;
    pbufCurrent->rightMargin = 10;
    Type("abc defghijk");
    EXPECT_EQ(BufferText(pbufCurrent), "abc \ndefghijk");
    EXPECT_EQ(DotAt(), "1:8");
    // A word longer than the margin cannot be broken.
    NewDocument("");
    pbufCurrent->options |= BF_WORDWRAP;
    pbufCurrent->rightMargin = 5;
    Type("abcdefgh");
    EXPECT_EQ(BufferText(pbufCurrent), "abcdefgh");
}

TEST_F(CommandTest, WrapParagraphRefillsToTheMarginAndStopsAtTheEmptyLine) {
    NewDocument(
        "first paragraph\n"
        "one two three four five six seven eight nine ten eleven twelve\n"
        "short\n"
        "\n"
        "second para");
    pbufCurrent->options |= BF_WORDWRAP;
    pbufCurrent->rightMargin = 20;
    PlaceDot(pwinCurrent, 1, 5);
    WORD changes = pbufCurrent->changes;
    Run(wrap_para);
    EXPECT_EQ(BufferText(pbufCurrent),
              "first paragraph \n"
              "one two three four \n"
              "five six seven \n"
              "eight nine ten \n"
              "eleven twelve short\n"
              "\n"
              "second para");
    EXPECT_EQ(pbufCurrent->changes, changes + 1);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    undo();
    EXPECT_EQ(BufferText(pbufCurrent),
              "first paragraph\n"
              "one two three four five six seven eight nine ten eleven twelve\n"
              "short\n"
              "\n"
              "second para");
}

TEST_F(CommandTest, WrapParagraphBreaksALongLastLineUntilItFits) {
    NewDocument("aaa bbb ccc ddd eee fff ggg hhh");
    pbufCurrent->options |= BF_WORDWRAP;
    pbufCurrent->rightMargin = 8;
    Run(wrap_para);
    EXPECT_EQ(BufferText(pbufCurrent), "aaa \nbbb \nccc \nddd \neee \nfff \nggg hhh");
    // Without word wrap it does nothing.
    NewDocument("aaa bbb ccc");
    pbufCurrent->rightMargin = 4;
    Run(wrap_para);
    EXPECT_EQ(BufferText(pbufCurrent), "aaa bbb ccc");
}

TEST_F(CommandTest, EnterWithAutoIndentCopiesTheIndentAndUndoesInOneStep) {
    NewDocument("\t\tabc");
    pbufCurrent->autoIndent = 1;
    pbufCurrent->options |= BF_AUTOINDENT;
    PlaceDot(pwinCurrent, 0, 5);
    Run(enter);
    EXPECT_EQ(BufferText(pbufCurrent), "\t\tabc\n\t\t");
    EXPECT_EQ(DotAt(), "1:2");
    Type("x");
    undo();
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "\t\tabc");
    EXPECT_EQ(DotAt(), "0:5");
    // Blanks after the split point do not double the indentation.
    NewDocument("  ab   cd");
    pbufCurrent->autoIndent = 1;
    PlaceDot(pwinCurrent, 0, 4);
    Run(enter);
    EXPECT_EQ(BufferText(pbufCurrent), "  ab\n  cd");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "  ab   cd");
}

TEST_F(CommandTest, TabRightInsertsSpacesOrATabAndOnlyMovesInOverwrite) {
    NewDocument("ab");
    pbufCurrent->options |= BF_EXPANDTABS;
    pbufCurrent->tabSize = 4;
    PlaceDot(pwinCurrent, 0, 1);
    Run(tab_right);
    EXPECT_EQ(BufferText(pbufCurrent), "a   b");
    pbufCurrent->options &= static_cast<WORD>(~BF_EXPANDTABS);
    Run(tab_right);
    EXPECT_EQ(BufferText(pbufCurrent), "a   \tb");
    NewDocument("abcdefghij");
    fOverwrite = 1;
    Run(tab_right);
    EXPECT_EQ(BufferText(pbufCurrent), "abcdefghij");
    EXPECT_EQ(DotAt(), "0:8");
}

TEST_F(CommandTest, TabOverABlockEndsMarkingWhereTheDotIsUnlessTypingReplaces) {
    NewDocument("abcdef");
    Mark(0, 0, 0, 3);  // the block over abc, the dot after c
    Run(tab_right);
    EXPECT_EQ(BufferText(pbufCurrent), "abc\tdef");
    EXPECT_FALSE(pwinCurrent->marking);
    undo();  // the tab and the end of marking go together
    EXPECT_EQ(BufferText(pbufCurrent), "abcdef");
    fTypingReplacesSelection = 1;
    Mark(0, 0, 0, 3);
    Run(tab_right);
    EXPECT_EQ(BufferText(pbufCurrent), "\tdef");
}

TEST_F(CommandTest, BackspaceAndWordDeletionAtLineStartsJoinLines) {
    NewDocument("abc\ndef");
    Run(backspace);  // start of the buffer: nothing
    EXPECT_EQ(BufferText(pbufCurrent), "abc\ndef");
    PlaceDot(pwinCurrent, 1, 0);
    Run(backspace);
    EXPECT_EQ(BufferText(pbufCurrent), "abcdef");
    EXPECT_EQ(DotAt(), "0:3");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "abc\ndef");
    PlaceDot(pwinCurrent, 1, 0);
    Run(delete_word_left);
    EXPECT_EQ(BufferText(pbufCurrent), "abcdef");
}

TEST_F(CommandTest, WordDeletionTakesTheWordAndItsBlanks) {
    NewDocument("foo bar  baz\nnext");
    PlaceDot(pwinCurrent, 0, 4);
    Run(delete_word_right);
    EXPECT_EQ(BufferText(pbufCurrent), "foo baz\nnext");
    PlaceDot(pwinCurrent, 0, 7);
    Run(delete_word_right);  // at the end of a line: the line break goes
    EXPECT_EQ(BufferText(pbufCurrent), "foo baznext");
    PlaceDot(pwinCurrent, 0, 11);
    Run(delete_word_left);
    EXPECT_EQ(BufferText(pbufCurrent), "foo ");
    Run(delete_word_left);
    EXPECT_EQ(BufferText(pbufCurrent), "foo");
}

TEST_F(CommandTest, LineDeletionsAndSplitLine) {
    NewDocument("one\ntwo\nthree");
    PlaceDot(pwinCurrent, 1, 1);
    Run(delete_line);
    EXPECT_EQ(BufferText(pbufCurrent), "one\nthree");
    Run(delete_line);  // the last line is emptied, not removed
    EXPECT_EQ(BufferText(pbufCurrent), "one\n");
    PlaceDot(pwinCurrent, 0, 1);
    Run(delete_to_eol);
    EXPECT_EQ(BufferText(pbufCurrent), "o\n");
    Run(split_line);
    EXPECT_EQ(BufferText(pbufCurrent), "o\n\n");
    EXPECT_EQ(DotAt(), "0:1");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(CommandTest, TypingWithABlockReplacesOrUnmarksIt) {
    NewDocument("hello world");
    Mark(0, 0, 0, 5);
    Type("X");
    EXPECT_EQ(BufferText(pbufCurrent), "Xhello world");
    fTypingReplacesSelection = 1;
    Mark(0, 1, 0, 6);
    Type("Y");
    EXPECT_EQ(BufferText(pbufCurrent), "XY world");
}

TEST_F(CommandTest, AnEmptyBlockDeletesNothingAndCountsNoChange) {
    // A block can be marked and empty while the mark does not follow the dot (a mouse
    // selection, a macro playing back).
    NewDocument("abc");
    PlaceDot(pwinCurrent, 0, 2);
    pwinCurrent->mark = pwinCurrent->dot;
    pwinCurrent->marking = 1;
    backspace();
    EXPECT_EQ(BufferText(pbufCurrent), "abc");
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(pbufCurrent->changes, 0);
    EXPECT_FALSE(UndoAvailable()) << "no undo record for a deletion that did not happen";

    fTypingReplacesSelection = 1;
    pwinCurrent->marking = 1;
    TypeCharacter('X');
    EXPECT_EQ(BufferText(pbufCurrent), "abXc");
    EXPECT_EQ(pbufCurrent->changes, 1) << "the typed character only";
}

TEST_F(CommandTest, InsertTextRequestIsOneUndoableInsertion) {
    NewDocument("ab");
    PlaceDot(pwinCurrent, 0, 1);
    InsertTextRequest("x\r\ny\r\nz");
    CommandTail();
    EXPECT_EQ(BufferText(pbufCurrent), "ax\ny\nzb");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "ab");
}

TEST_F(CommandTest, StampInsertsDateAndTimeWithDefaultSettings) {
    NewDocument("");
    SetIntlSettings(IntlSettings{});
    stampClock = [] {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mon = 11;
        t.tm_mday = 6;
        t.tm_hour = 14;
        t.tm_min = 5;
        t.tm_isdst = -1;
        return std::mktime(&t);
    };
    Run(stamp);
    stampClock = [] { return std::time(nullptr); };
    ReloadIntlSettings();
    EXPECT_EQ(BufferText(pbufCurrent), "12/6/26 2:05 PM");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "");
}

}  // namespace
