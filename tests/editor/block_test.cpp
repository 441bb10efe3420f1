#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/core/block_ops.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

class BlockTest : public EditorTest {
protected:
    // Marks from (line a, offset x) to the dot at (line b, offset y).
    void Mark(EditWindow* window, DWORD a, WORD x, DWORD b, WORD y) {
        window->mark = {LineAt(window->buffer, a), x};
        window->dot = {LineAt(window->buffer, b), y};
        window->marking = 1;
    }
    std::string Block() {
        NormalizeBlock();
        std::vector<char> text(BlockSize() + 1);
        BlockText(text.data());
        return std::string(text.data());
    }
};

TEST_F(BlockTest, BlockSizeAndTextCountLineBreaksAsTwo) {
    NewDocument("0123456789\nabcdefg\nxyz");
    Mark(pwinCurrent, 1, 4, 0, 3);  // mark after the dot: normalised into text order
    NormalizeBlock();
    EXPECT_EQ(pwinCurrent->startblock.offset, 3);
    EXPECT_EQ(BlockSize(), 13u);
    EXPECT_EQ(Block(), "3456789\r\nabcd");
    Mark(pwinCurrent, 0, 8, 2, 1);
    EXPECT_EQ(Block(), "89\r\nabcdefg\r\nx");
    EXPECT_EQ(BlockSize(), 2u + 2 + 7 + 2 + 1);
    Mark(pwinCurrent, 2, 1, 2, 3);
    EXPECT_EQ(Block(), "yz");
}

TEST_F(BlockTest, DeleteWithinOneLineMovesOtherWindows) {
    EditWindow* first = NewDocument("0123456789");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 0, 5);                // inside the block
    second->mark = {second->dot.lpln, 9};  // after it
    SetCurrentWindow(first);
    Mark(first, 0, 3, 0, 7);
    NormalizeBlock();
    ASSERT_TRUE(DeleteBlock());
    EXPECT_EQ(BufferText(pbufCurrent), "012789");
    EXPECT_EQ(first->dot.offset, 3);
    EXPECT_EQ(second->dot.offset, 3);
    EXPECT_EQ(second->mark.offset, 5);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(BlockTest, DeleteAcrossLinesMovesOtherWindowsOutOfTheBlock) {
    EditWindow* first = NewDocument("aaaa\nbbbb\ncccc\ndddd");
    EditWindow* second = SecondWindow();
    EditWindow* third = SecondWindow();
    PlaceDot(second, 1, 2);  // inside the block
    second->mark = second->dot;
    PlaceDot(third, 2, 3);  // on the block's last line after its end
    third->mark = third->dot;
    third->lplnTop = LineAt(pbufCurrent, 1);
    SetCurrentWindow(first);
    Mark(first, 0, 2, 2, 1);
    NormalizeBlock();
    ASSERT_TRUE(DeleteBlock());
    EXPECT_EQ(BufferText(pbufCurrent), "aaccc\ndddd");
    EXPECT_EQ(first->dot.lpln, pbufCurrent->lplnFirst);
    EXPECT_EQ(first->dot.offset, 2);
    EXPECT_EQ(second->dot.lpln, pbufCurrent->lplnFirst);
    EXPECT_EQ(second->dot.offset, 2);
    EXPECT_TRUE(second->redraw & RD_REFRAME);
    EXPECT_EQ(third->dot.lpln, LineAt(pbufCurrent, 1));  // start of the line after the block
    EXPECT_EQ(third->dot.offset, 0);
    EXPECT_EQ(pbufCurrent->lineCount, 2u);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(BlockTest, DeleteToTheEndOfTheBufferKeepsWindowsOnLines) {
    EditWindow* first = NewDocument("keep\nxx\nlast line");
    EditWindow* second = SecondWindow();
    PlaceDot(second, 2, 7);
    second->mark = second->dot;
    SetCurrentWindow(first);
    Mark(first, 0, 4, 2, 5);
    NormalizeBlock();
    ASSERT_TRUE(DeleteBlock());
    EXPECT_EQ(BufferText(pbufCurrent), "keepline");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    EXPECT_EQ(second->dot.lpln, pbufCurrent->lplnFirst);
}

TEST_F(BlockTest, OtherWindowMarkingEndsWhenItsBlockCollapses) {
    EditWindow* first = NewDocument("abc\ndef\nghi");
    EditWindow* second = SecondWindow();
    Mark(second, 1, 0, 1, 2);
    SetCurrentWindow(first);
    Mark(first, 0, 1, 2, 1);
    NormalizeBlock();
    ASSERT_TRUE(DeleteBlock());
    EXPECT_FALSE(second->marking);
    EXPECT_TRUE(second->redraw & RD_ALL);
}

TEST_F(BlockTest, DeleteMarkedBlockRecordsUndoAndCountsAChange) {
    NewDocument("one\ntwo\nthree");
    Mark(pwinCurrent, 0, 1, 2, 2);
    ASSERT_TRUE(DeleteMarkedBlock());
    EXPECT_EQ(BufferText(pbufCurrent), "oree");
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(pbufCurrent->changes, 1);
    ASSERT_NE(pbufCurrent->newestUndo, nullptr);
    EXPECT_EQ(pbufCurrent->newestUndo->kind, U_MOVE);
    ASSERT_NE(pbufCurrent->newestUndo->older, nullptr);
    EXPECT_EQ(pbufCurrent->newestUndo->older->kind, U_DELBLOCK);
    EXPECT_STREQ(pbufCurrent->newestUndo->older->text, "ne\r\ntwo\r\nth");
    pwinCurrent->marking = 0;
    EXPECT_FALSE(DeleteMarkedBlock());  // nothing marked
}

TEST_F(BlockTest, TooBigABlockIsRefusedUntouched) {
    std::string text;
    for (int i = 0; i < 700; ++i) {
        text += std::string(100, 'x') + "\n";
    }
    NewDocument(text);
    Mark(pwinCurrent, 0, 0, 690, 0);
    EXPECT_FALSE(DeleteMarkedBlock());
    EXPECT_EQ(ui.status, "Block too big");
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(pbufCurrent->lineCount, 701u);
    EXPECT_TRUE(pwinCurrent->marking);
}

TEST_F(BlockTest, JoinThatWouldPassTheLineLimitIsRefused) {
    NewDocument("");
    std::string half(40000, 'a');
    InsertChars(half.data(), 40000);
    SplitLine();
    InsertChars(half.data(), 40000);
    RenumberLines();
    Mark(pwinCurrent, 0, 39000, 1, 100);
    NormalizeBlock();
    EXPECT_FALSE(DeleteBlock());
    EXPECT_EQ(pbufCurrent->lineCount, 2u);
    EXPECT_EQ(ui.status, "Line too long");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

}  // namespace
