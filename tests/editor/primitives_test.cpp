#include <gtest/gtest.h>

#include <string>

#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor_fixture.h"

namespace {

using PrimitivesTest = EditorTest;

std::string DotAt(const EditWindow* window) {
    RenumberLines();
    return std::to_string(window->dot.lpln->number) + ":" + std::to_string(window->dot.offset);
}

TEST_F(PrimitivesTest, InsertCharsGrowsWithSlackAndLeavesOtherWindowsAlone) {
    EditWindow* first = NewDocument("abcdef");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 0, 4);
    SetCurrentWindow(first);
    PlaceDot(first, 0, 2);
    ASSERT_TRUE(InsertChars("XY", 2));
    EXPECT_EQ(BufferText(pbufCurrent), "abXYcdef");
    EXPECT_EQ(first->dot.offset, 4);
    EXPECT_EQ(pbufCurrent->lplnFirst->capacity, ((8u & ~15u) + 32));
    EXPECT_EQ(second->dot.offset, 4);  // not moved, still inside the line
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);
    EXPECT_EQ(first->redraw & (RD_LINE | RD_ALL), RD_LINE | RD_ALL);  // two windows: RD_ALL
    EXPECT_TRUE(second->redraw & RD_ALL);
    // Room left over: the next insertion happens in place.
    char* storage = pbufCurrent->lplnFirst->text;
    ASSERT_TRUE(InsertChars("Z", 1));
    EXPECT_EQ(pbufCurrent->lplnFirst->text, storage);
    EXPECT_EQ(BufferText(pbufCurrent), "abXYZcdef");
    EXPECT_TRUE(InsertChars("", 0));
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, LinesNeverPassTheLengthLimit) {
    NewDocument("");
    std::string chunk(65000, 'a');
    ASSERT_TRUE(InsertChars(chunk.data(), static_cast<DWORD>(chunk.size())));
    ASSERT_TRUE(InsertChars(chunk.data(), 535));
    EXPECT_EQ(pbufCurrent->lplnFirst->length, MAX_LINE_LENGTH);
    EXPECT_FALSE(InsertChars("b", 1));
    EXPECT_EQ(pbufCurrent->lplnFirst->length, MAX_LINE_LENGTH);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(ui.status, "Line too long");
    // Joining two lines that together pass the limit is refused too.
    ASSERT_TRUE(SplitLine());
    pwinCurrent->dot.offset = 0;
    ASSERT_TRUE(InsertChars("xy", 2));
    pwinCurrent->dot = {pbufCurrent->lplnFirst, 10};
    EXPECT_FALSE(DeleteCR());
    EXPECT_EQ(pbufCurrent->lineCount, 2u);
    EXPECT_EQ(BufferText(pbufCurrent), chunk + std::string(535, 'a') + "\nxy");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, SplitAtStartMovesTheWholeStorageToTheNewLine) {
    NewDocument("hello");
    Line* line = pbufCurrent->lplnFirst;
    char* storage = line->text;
    DWORD capacity = line->capacity;
    ASSERT_TRUE(SplitLine());
    EXPECT_EQ(line->length, 0u);
    EXPECT_EQ(line->capacity, 0u);
    EXPECT_EQ(line->next->text, storage);
    EXPECT_EQ(line->next->capacity, capacity);
    EXPECT_EQ(pwinCurrent->dot.lpln, line->next);
    EXPECT_EQ(pwinCurrent->dot.offset, 0);
    EXPECT_EQ(BufferText(pbufCurrent), "\nhello");
    EXPECT_TRUE(pwinCurrent->redraw & RD_RENUMBER);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, SplitMovesOtherWindowsPositionsWithTheirText) {
    EditWindow* first = NewDocument("abcdef\nnext");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 0, 5);
    second->mark = {second->dot.lpln, 2};
    SetCurrentWindow(first);
    PlaceDot(first, 0, 3);
    ASSERT_TRUE(SplitLine());
    EXPECT_EQ(BufferText(pbufCurrent), "abc\ndef\nnext");
    EXPECT_EQ(second->dot.lpln, pbufCurrent->lplnFirst->next);  // "def", on its 'f'
    EXPECT_EQ(second->dot.offset, 2);
    EXPECT_EQ(second->mark.lpln, pbufCurrent->lplnFirst);  // before the break: stays
    EXPECT_EQ(second->mark.offset, 2);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    EXPECT_EQ(pbufCurrent->lineCount, 3u);
}

TEST_F(PrimitivesTest, DeleteCharShiftsLaterPositionsInEveryWindow) {
    EditWindow* first = NewDocument("abcdef");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 0, 6);
    second->mark = {second->dot.lpln, 1};
    SetCurrentWindow(first);
    PlaceDot(first, 0, 2);
    ASSERT_TRUE(DeleteChar());
    EXPECT_EQ(BufferText(pbufCurrent), "abdef");
    EXPECT_EQ(second->dot.offset, 5);
    EXPECT_EQ(second->mark.offset, 1);
    EXPECT_EQ(first->dot.offset, 2);
    PlaceDot(first, 0, 5);
    EXPECT_FALSE(DeleteChar());  // at the end of the line: nothing to delete
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, EditsMoveOnlyThePositionsOfWindowsOnTheirBuffer) {
    EditWindow* other = NewDocument("abcdef\nxyz");
    PlaceDot(other, 0, 5);
    other->mark = {LineAt(other->buffer, 1), 2};
    EditWindow* first = NewDocument("abcdef\nxyz");
    PlaceDot(first, 0, 1);
    ASSERT_TRUE(DeleteChar());
    ASSERT_TRUE(SplitLine());
    PlaceDot(first, 2, 0);
    FreeLine(pbufCurrent, LineAt(pbufCurrent, 2));
    --pbufCurrent->lineCount;
    EXPECT_EQ(BufferText(pbufCurrent), "a\ncdef");
    EXPECT_EQ(DotAt(first), "1:4") << "off the freed last line: the end of the one before";
    EXPECT_EQ(DotAt(other), "0:5");
    EXPECT_EQ(other->mark.lpln, LineAt(other->buffer, 1));
    EXPECT_EQ(other->mark.offset, 2);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    EXPECT_TRUE(BufferConsistent(other->buffer));
}

TEST_F(PrimitivesTest, DeleteCrJoinsInPlaceOrInNewStorage) {
    NewDocument("ab\ncd\nef");
    // Storage of a loaded-like line with room: join in place.
    PlaceDot(pwinCurrent, 0, 2);
    ASSERT_TRUE(InsertChars("", 0));
    Line* first = pbufCurrent->lplnFirst;
    ASSERT_TRUE(InsertChars("12345678901234567890", 20));  // grows with slack
    pwinCurrent->dot.offset = 2;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(DeleteChar());
    }
    char* storage = first->text;
    ASSERT_TRUE(DeleteCR());
    EXPECT_EQ(first->text, storage);
    EXPECT_EQ(BufferText(pbufCurrent), "abcd\nef");
    EXPECT_EQ(pbufCurrent->lineCount, 2u);
    // No room: new storage of (sum rounded down to 16) + 16.
    pwinCurrent->dot.offset = 4;
    first->capacity = 4;
    ASSERT_TRUE(DeleteCR());
    EXPECT_EQ(first->capacity, 16u);
    EXPECT_EQ(BufferText(pbufCurrent), "abcdef");
    EXPECT_FALSE(DeleteCR());  // no next line
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, JoiningTheLastLineKeepsOtherWindowsOnExistingLines) {
    EditWindow* first = NewDocument("one\ntwo\nthree");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 2, 3);
    second->mark = second->dot;
    second->lplnTop = second->dot.lpln;
    SetCurrentWindow(first);
    PlaceDot(first, 1, 3);
    ASSERT_TRUE(DeleteCR());  // "three" was the last line
    EXPECT_EQ(BufferText(pbufCurrent), "one\ntwothree");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    EXPECT_EQ(second->dot.lpln, first->dot.lpln);
    EXPECT_EQ(second->lplnTop, first->dot.lpln);
    // A window on a joined line that has a successor moves to the successor's start.
    NewDocument("a\nb\nc");
    EditWindow* third = pwinCurrent;
    EditWindow* fourth = SecondWindow();
    PlaceDot(fourth, 1, 1);
    SetCurrentWindow(third);
    PlaceDot(third, 0, 1);
    ASSERT_TRUE(DeleteCR());
    EXPECT_EQ(fourth->dot.lpln, LineAt(pbufCurrent, 1));
    EXPECT_EQ(fourth->dot.offset, 0);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, InsertTextCountsDotMovements) {
    NewDocument("");
    EXPECT_EQ(InsertText("a\r\nb"), 3u);
    EXPECT_EQ(BufferText(pbufCurrent), "a\nb");
    NewDocument("");
    EXPECT_EQ(InsertText("a\nb"), 2u);
    EXPECT_EQ(BufferText(pbufCurrent), "ab");
    NewDocument("xy");
    pwinCurrent->dot.offset = 1;
    EXPECT_EQ(InsertText("\r"), 1u);
    EXPECT_EQ(BufferText(pbufCurrent), "x\ny");
    EXPECT_EQ(InsertText(nullptr), 0u);
    EXPECT_TRUE(pwinCurrent->redraw & RD_ALL);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(PrimitivesTest, ColumnsFollowTabStops) {
    NewDocument("\tab\tc");
    Line* line = pbufCurrent->lplnFirst;
    EXPECT_EQ(ColumnOf(pwinCurrent, line, 1), 8);
    EXPECT_EQ(ColumnOf(pwinCurrent, line, 3), 10);
    EXPECT_EQ(ColumnOf(pwinCurrent, line, 4), 16);
    MoveToColumn(4);  // inside the first tab: stepped over whole
    EXPECT_EQ(pwinCurrent->dot.offset, 1);
    EXPECT_EQ(columnReached, 8);
    MoveToColumn(9);
    EXPECT_EQ(pwinCurrent->dot.offset, 2);
    MoveToColumn(100);
    EXPECT_EQ(pwinCurrent->dot.offset, 5);
    pbufCurrent->tabSize = 4;
    EXPECT_EQ(ColumnOf(pwinCurrent, line, 4), 8);
}

TEST_F(PrimitivesTest, RenumberAndLineLookup) {
    NewDocument("a\nb\nc");
    PlaceDot(pwinCurrent, 2, 0);
    ASSERT_TRUE(SplitLine());
    RenumberIfNeeded();
    EXPECT_EQ(pbufCurrent->lineCount, 4u);
    EXPECT_EQ(LineAt(pbufCurrent, 3)->number, 3u);
    EXPECT_EQ(LineAt(pbufCurrent, 4), nullptr);
    EXPECT_FALSE(pwinCurrent->redraw & RD_RENUMBER);
    MoveDotToLine(99);
    EXPECT_EQ(pwinCurrent->dot.lpln, LineAt(pbufCurrent, 3));
}

}  // namespace
