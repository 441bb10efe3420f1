// Cursor movement and selection commands.
#include "editor/core/cursor_commands.h"
#include "command_fixture.h"
#include "editor/core/block_ops.h"
#include "editor/core/command_state.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/undo.h"
#include "editor/view/display_update.h"

namespace {

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "line " + std::to_string(i) + (i + 1 < count ? "\n" : "");
    }
    return text;
}

TEST_F(CommandTest, GoalColumnSurvivesShortLinesAndIsRetakenAfterOtherCommands) {
    NewDocument("a long line here\nab\n\nanother long line\nx");
    PlaceDot(pwinCurrent, 0, 10);
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "1:2");  // short line: its end
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "2:0");
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "3:10");  // back at the goal column
    Run(cursor_up, 3);
    EXPECT_EQ(DotAt(), "0:10");
    Run(cursor_left);  // not vertical: the next vertical move takes the column afresh
    Run(cursor_down, 3);
    EXPECT_EQ(DotAt(), "3:9");
}

TEST_F(CommandTest, GoalColumnIsTheColumnShownBeforeTheCommand) {
    // select_line moves to the next line before its vertical move: the goal is still the
    // column the cursor stood at.
    NewDocument("top\nmiddle\nbottom");
    PlaceDot(pwinCurrent, 1, 3);
    Run(select_line);
    Run(copy);
    EXPECT_EQ(ui.clipboard, "dle\r\n");
    // cursor_down first goes to the block's end; the goal is where the cursor was shown.
    NewDocument("abcdef\nabcdefgh");
    Mark(0, 4, 0, 1);
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "1:1");
    // The horizontal scroll counts: the shown column plus the scroll.
    NewDocument(std::string(100, 'x') + "\n" + std::string(100, 'y'));
    pwinCurrent->columns = 80;
    fPrevVertical = 0;
    PlaceDot(pwinCurrent, 0, 90);
    DisplayUpdate();
    ASSERT_GT(pwinCurrent->hscroll, 0);
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "1:90");
}

TEST_F(CommandTest, GoalColumnCountsTabsAsDisplayColumns) {
    NewDocument("\tabc\n12345678901234");
    PlaceDot(pwinCurrent, 0, 2);  // display column 9
    Run(cursor_down);
    EXPECT_EQ(DotAt(), "1:9");
    Run(cursor_up);
    EXPECT_EQ(DotAt(), "0:2");
}

TEST_F(CommandTest, VerticalMovesBeepAtTheBufferEnds) {
    NewDocument("one\ntwo");
    Run(cursor_up);
    EXPECT_EQ(ui.beeps, 1);
    PlaceDot(pwinCurrent, 1, 0);
    Run(cursor_down);
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(DotAt(), "1:0");
}

TEST_F(CommandTest, PageMovesNearBothEnds) {
    NewDocument(Lines(10));
    window = pwinCurrent;
    window->rows = 24;
    PlaceDot(window, 3, 2);
    Run(page_down);  // fewer lines than rows: end of the last line
    EXPECT_EQ(DotAt(), "9:6");
    Run(page_up);  // top is the first line: start of the buffer
    EXPECT_EQ(DotAt(), "0:0");

    NewDocument(Lines(100));
    fPrevVertical = 0;
    window = pwinCurrent;
    window->rows = 10;
    PlaceDot(window, 2, 3);
    Run(page_down);
    EXPECT_EQ(window->lplnTop->number, 10u);
    EXPECT_EQ(DotAt(), "12:3");
    Run(page_down, 8);  // line 90 is the top; no line 10 rows below it any more
    Run(page_down);
    EXPECT_EQ(DotAt(), "99:7");
    PlaceDot(window, 5, 0);
    window->lplnTop = LineAt(pbufCurrent, 3);
    fPrevVertical = 0;
    Run(page_up);  // the top stops at the first line, the dot keeps its row
    EXPECT_EQ(window->lplnTop->number, 0u);
    EXPECT_EQ(DotAt(), "2:0");
}

TEST_F(CommandTest, CursorDownOnTheLastRowScrollsByTheStep) {
    NewDocument(Lines(30));
    window = pwinCurrent;
    window->rows = 5;
    PlaceDot(window, 4, 0);
    cursor_down();
    EXPECT_EQ(window->lplnTop->number, 1u);
    cursor_down();  // the next repeat scrolls two lines
    EXPECT_EQ(window->lplnTop->number, 3u);
    EXPECT_EQ(DotAt(), "6:0");
}

TEST_F(CommandTest, WordMovesStopAtWordStartsAndLineEnds) {
    NewDocument("foo, bar\n  baz");
    PlaceDot(pwinCurrent, 0, 1);
    Run(word_right);
    EXPECT_EQ(DotAt(), "0:5");
    Run(word_right);
    EXPECT_EQ(DotAt(), "0:8");  // no word follows on the line: its end
    Run(word_right);
    EXPECT_EQ(DotAt(), "1:2");  // crosses the line break to the next word
    Run(word_left);
    EXPECT_EQ(DotAt(), "0:8");  // over the blanks, stopping at the end of the previous line
    Run(word_left);
    EXPECT_EQ(DotAt(), "0:5");
    Run(word_left, 2);
    EXPECT_EQ(DotAt(), "0:0");
}

TEST_F(CommandTest, PlainMovesEndABlockAtItsEnds) {
    NewDocument("abcdefgh");
    Mark(0, 2, 0, 6);
    Run(cursor_right);
    EXPECT_EQ(DotAt(), "0:6");
    EXPECT_FALSE(pwinCurrent->marking);
    Mark(0, 6, 0, 2);
    Run(cursor_right);
    EXPECT_EQ(DotAt(), "0:6");
    Mark(0, 2, 0, 6);
    Run(cursor_left);
    EXPECT_EQ(DotAt(), "0:2");
    EXPECT_FALSE(pwinCurrent->marking);
}

TEST_F(CommandTest, VerticalMovesEndABlockFromItsEnds) {
    // Down leaves from the block's end, up from its start, whichever way it was marked.
    NewDocument(Lines(6));
    Mark(3, 2, 1, 2);
    Run(cursor_down);
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 4u);
    Mark(1, 2, 3, 2);
    Run(cursor_up);
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 0u);
}

TEST_F(CommandTest, SelectionsMarkWhatTheyName) {
    NewDocument("first\nmiddle\nlast");
    PlaceDot(pwinCurrent, 1, 3);
    Run(select_all);
    NormalizeBlock();
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->startblock.lpln->number, 0u);
    EXPECT_EQ(pwinCurrent->startblock.offset, 0);
    EXPECT_EQ(DotAt(), "2:4");

    PlaceDot(pwinCurrent, 1, 3);
    pwinCurrent->marking = 0;
    Run(select_line);
    NormalizeBlock();
    EXPECT_EQ(BlockSize(), 5u);  // "dle" from the cursor's column and the line break

    pwinCurrent->marking = 0;
    PlaceDot(pwinCurrent, 1, 2);
    Run(select_word);
    NormalizeBlock();
    EXPECT_EQ(pwinCurrent->startblock.offset, 0);
    EXPECT_EQ(pwinCurrent->endblock.offset, 6);

    Run(select_char_left);
    Run(unmark_block);
    EXPECT_FALSE(pwinCurrent->marking);
}

TEST_F(CommandTest, CursorMovesAreUndone) {
    NewDocument("abc\ndef");
    Run(end_of_buffer);
    Run(beginning_of_line);
    undo();
    EXPECT_EQ(DotAt(), "1:3");
    undo();
    EXPECT_EQ(DotAt(), "0:0");
}

TEST_F(CommandTest, ViewPlacementAroundTheDot) {
    NewDocument(Lines(50));
    window = pwinCurrent;
    window->rows = 10;
    PlaceDot(window, 20, 0);
    Run(to_top);
    EXPECT_EQ(window->lplnTop->number, 20u);
    Run(to_center);
    EXPECT_EQ(window->lplnTop->number, 15u);
    Run(to_bottom);
    EXPECT_EQ(window->lplnTop->number, 11u);
    Run(top_of_window);
    EXPECT_EQ(DotAt(), "11:0");
    Run(bottom_of_window);
    EXPECT_EQ(DotAt(), "20:0");
    Run(window_up);  // on the last row: cursor_down scrolls, then the view moves once more
    EXPECT_EQ(window->lplnTop->number, 13u);
    EXPECT_EQ(DotAt(), "21:0");
    PlaceDot(window, 0, 0);
    window->lplnTop = pbufCurrent->lplnFirst;
    Run(window_down);
    EXPECT_GE(ui.beeps, 1);
}

TEST_F(CommandTest, GotoLineKeepsSixteenBitsAndRefusesZero) {
    EXPECT_EQ(ParseGotoLineField("12"), 12);
    EXPECT_EQ(ParseGotoLineField("65537"), 1);
    EXPECT_EQ(ParseGotoLineField("65536"), 0);
    EXPECT_EQ(ParseGotoLineField("abc"), 0);
    EXPECT_EQ(ParseGotoLineField("12x"), 0);
    EXPECT_EQ(ParseGotoLineField(""), 0);

    NewDocument(Lines(5));
    lastGotoLine = 1;
    ui.QueueGotoLine("0");
    ui.QueueGotoLine("4");
    Run(goto_line);
    EXPECT_EQ(ui.lastGotoLineInitial, "1");
    EXPECT_TRUE(ui.Showed("Invalid line number"));
    EXPECT_EQ(DotAt(), "3:0");
    ui.QueueGotoLine("99");  // beyond the last line: the last line, with a beep
    int beeps = ui.beeps;
    Run(goto_line);
    EXPECT_EQ(ui.lastGotoLineInitial, "4");
    EXPECT_EQ(DotAt(), "4:0");
    EXPECT_EQ(ui.beeps, beeps + 1);
}

}  // namespace
