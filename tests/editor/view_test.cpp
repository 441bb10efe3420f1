// The view: horizontal scrolling, row formatting, block highlighting, the status line, scroll
// bars and mouse positions, seen through the rendered cell grid.
#include "command_fixture.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/view/cell_grid.h"
#include "editor/view/display_update.h"
#include "editor/view/line_format.h"
#include "editor/view/mouse_input.h"
#include "editor/view/scroll_bars.h"
#include "editor/view/status_line.h"
#include "editor/view/view_metrics.h"

namespace {

void DotToColumn(int column) {
    pwinCurrent->dot.offset = static_cast<WORD>(column);
    DisplayUpdate();
}

TEST_F(CommandTest, HorizontalScrollFollowsTheCursorInSteps) {
    NewDocument(std::string(300, 'x'));
    DisplayUpdate();
    DotToColumn(80);
    EXPECT_EQ(pwinCurrent->hscroll, 16);
    EXPECT_EQ(pwinCurrent->cursorColumn, 64);
    DotToColumn(200);
    EXPECT_EQ(pwinCurrent->hscroll, 128);
    DotToColumn(5);
    EXPECT_EQ(pwinCurrent->hscroll, 0);
    EXPECT_EQ(pwinCurrent->cursorColumn, 5);
    // A window narrower than the step still shows the cursor.
    pwinCurrent->columns = 10;
    DotToColumn(26);
    EXPECT_GE(26, pwinCurrent->hscroll);
    EXPECT_LT(26, pwinCurrent->hscroll + pwinCurrent->columns);
}

TEST(LineFormat, TabsExpandAndTheScrollSkipsColumns) {
    char text[] = "\tab";
    Line line{};
    line.text = text;
    line.length = 3;
    line.capacity = 3;
    char cells[16];
    FormatLine(&line, 12, 0, 8, cells);
    EXPECT_EQ(std::string(cells, 12), "        ab  ");
    FormatLine(&line, 12, 4, 8, cells);
    EXPECT_EQ(std::string(cells, 12), "    ab      ");
    FormatLine(nullptr, 5, 0, 8, cells);
    EXPECT_EQ(std::string(cells, 5), "     ");
}

TEST_F(CommandTest, BlockHighlightPerCell) {
    NewDocument("0123456789abcdef\nsecond line\nthird");
    pwinCurrent->rows = 3;
    pwinCurrent->columns = 11;
    Mark(0, 3, 0, 10);
    pwinCurrent->hscroll = 5;
    CellGrid grid = RenderWindow(pwinCurrent);
    EXPECT_EQ(grid.text[0], "56789abcdef ");
    EXPECT_EQ(grid.highlight[0], "#####.......");
    EXPECT_EQ(grid.highlight[1], "............");

    Mark(0, 10, 2, 2);
    grid = RenderWindow(pwinCurrent);
    EXPECT_EQ(grid.highlight[0], ".........." + std::string("##"));
    EXPECT_EQ(grid.highlight[1], std::string(12, '#'));
    EXPECT_EQ(grid.highlight[2], "##..........");
    EXPECT_EQ(grid.Text(), "0123456789ab\nsecond line\nthird");
    pwinCurrent->hscroll = 5;  // the block's end is scrolled away to the left
    grid = RenderWindow(pwinCurrent);
    EXPECT_EQ(grid.highlight[0], "....." + std::string(7, '#'));
    EXPECT_EQ(grid.highlight[2], std::string(12, '.'));
}

TEST_F(CommandTest, StatusLineShowsPositionModesAndMessagesOnce) {
    NewDocument("abc");
    DisplayUpdate();
    std::string line = StatusLineText(pwinCurrent, 80, false, "");
    EXPECT_EQ(line.size(), 128u);
    EXPECT_EQ(line.substr(0, 65), " Line 1 Col 1" + std::string(52, ' '));
    EXPECT_EQ(line.substr(65, 9), "         ");
    pbufCurrent->state |= BS_MODIFIED;
    pbufCurrent->options |= BF_WORDWRAP;
    Run(end_of_line);
    Run(toggle_insert);
    line = StatusLineText(pwinCurrent, 80, true, "");
    EXPECT_EQ(line.substr(0, 22), " Line 1 Col 4 modified");
    EXPECT_EQ(line.substr(65, 12), "WRAP OVR REC");
    StatusLine status;
    status.SetMessage("Pattern not found");
    EXPECT_EQ(status.Paint(pwinCurrent, 80, false).substr(0, 18), " Pattern not found");
    EXPECT_EQ(status.Paint(pwinCurrent, 80, false).substr(0, 7), " Line 1");
    EXPECT_EQ(StatusLineText(nullptr, 80, false, ""), "");
}

TEST_F(CommandTest, ScrollBarRangesAndInput) {
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        text += "\n";
    }
    NewDocument(text);
    RenumberLines();
    pwinCurrent->lplnTop = LineAt(pbufCurrent, 40000);
    ScrollInfo info = VerticalScrollInfo(pwinCurrent);
    EXPECT_EQ(info.maximum, 70001 / 4);
    EXPECT_EQ(info.position, 10000);
    VerticalScroll(ScrollAction::Thumb, 100);
    EXPECT_EQ(pwinCurrent->lplnTop->number, 400u);  // 100 x (70001 / 17500)
    EXPECT_EQ(DotAt(), "0:0");                      // the dot stays
    VerticalScroll(ScrollAction::LineDown);
    VerticalScroll(ScrollAction::LineDown);
    VerticalScroll(ScrollAction::LineDown);
    VerticalScroll(ScrollAction::LineDown);
    EXPECT_EQ(pwinCurrent->lplnTop->number, 409u);  // steps of 1, 2, 3, 3
    VerticalScroll(ScrollAction::End);
    EXPECT_EQ(ScrollBarStep(), 1);
    Run(cursor_down);  // scrolled away: the cursor command reframes first
    EXPECT_EQ(DotAt(), "1:0");
    EXPECT_EQ(pwinCurrent->lplnTop->number, 0u);

    HorizontalScroll(ScrollAction::PageUp);
    EXPECT_EQ(pwinCurrent->hscroll, 0);
    HorizontalScroll(ScrollAction::Thumb, 900);
    EXPECT_EQ(pwinCurrent->hscroll, 512);
}

TEST_F(CommandTest, MouseClicksDragsAndDoubleClicks) {
    NewDocument("alpha beta\n\tgamma\nend");
    SetFontMetrics(16, 8);  // left margin 8
    pwinCurrent->rows = 5;
    MouseDown(8 + 3 * 8 + 2, 4, false);
    MouseUp();
    CommandTail();
    EXPECT_EQ(DotAt(), "0:3");
    MouseDown(8 + 4 * 8, 16 + 2, false);  // inside the tab: the tab is stepped over whole
    MouseUp();
    CommandTail();
    EXPECT_EQ(DotAt(), "1:1");
    MouseDown(8 + 20 * 8, 16 * 4, false);  // below the buffer's end: end of its last line
    MouseUp();
    CommandTail();
    EXPECT_EQ(DotAt(), "2:3");

    MouseDown(8, 0, false);
    MouseMove(8 + 5 * 8, 0);
    CommandTail();
    EXPECT_TRUE(pwinCurrent->marking);
    MouseUp();
    CommandTail();
    EXPECT_EQ(RenderWindow(pwinCurrent).highlight[0].substr(0, 7), "#####..");

    PlaceDot(pwinCurrent, 0, 7);
    pwinCurrent->marking = 0;
    MouseDoubleClick(0, 0);
    CommandTail();
    EXPECT_EQ(RenderWindow(pwinCurrent).highlight[0].substr(0, 11), "......####.");
}

TEST_F(CommandTest, DraggingBelowTheWindowScrollsToTheEnd) {
    std::string text;
    for (int i = 0; i < 12; ++i) {
        text += "line\n";
    }
    NewDocument(text + "last");
    pwinCurrent->rows = 4;
    MouseDown(8, 0, false);
    static int steps;
    steps = 0;
    MouseMove(8 + 2 * 8, 16 * 10, [] { return ++steps < 50; });
    MouseUp();
    CommandTail();
    EXPECT_EQ(DotAt(), "12:4");  // the last row lies past the buffer's end
    EXPECT_EQ(pwinCurrent->lplnTop->number, 10u);
    EXPECT_LT(steps, 50);  // stopped at the end of the buffer
}

TEST_F(CommandTest, DisplayUpdateRequestsOnlyWhatChanged) {
    NewDocument("abc\ndef");
    CountingPainter painter;
    SetViewPainter(&painter);
    Run(cursor_right);
    EXPECT_EQ(painter.counts.windowRepaints, 0);
    Type("x");
    EXPECT_EQ(painter.counts.lineRepaints, 1);
    EXPECT_EQ(painter.counts.windowRepaints, 0);
    Type("\n");
    EXPECT_EQ(painter.counts.windowRepaints, 1);
    EXPECT_EQ(painter.counts.caretY, 16);
    EXPECT_EQ(painter.counts.caretX, 8);
    SecondWindow();
    Type("y");
    EXPECT_GE(painter.counts.otherWindowRepaints, 1);
}

}  // namespace
