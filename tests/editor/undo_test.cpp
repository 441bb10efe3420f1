#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/core/block_ops.h"
#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

class UndoTest : public EditorTest {
protected:
    // One typed character as its own command.
    void Type(char c) {
        NewCommandSerial();
        PushUndo(U_INSCHAR);
        InsertChars(&c, 1);
        ++pbufCurrent->changes;
    }
    std::string Text() const { return BufferText(pbufCurrent); }
    WORD Offset() const { return pwinCurrent->dot.offset; }
    DWORD LineNumber() const {
        RenumberIfNeeded();
        return pwinCurrent->dot.lpln->number;
    }
};

TEST_F(UndoTest, EachKeystrokeIsItsOwnCommand) {
    NewDocument("");
    Type('a');
    Type('b');
    Type('c');
    EXPECT_EQ(pbufCurrent->ulevel, 3);
    undo();
    EXPECT_EQ(Text(), "ab");
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);
    undo();
    undo();
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(pbufCurrent->state & BS_MODIFIED);  // as before the first keystroke
    EXPECT_FALSE(UndoAvailable());
    undo();
    EXPECT_EQ(ui.status, "Nothing left to undo");
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(UndoTest, PasteOfSeveralLinesIsRemovedExactly) {
    NewDocument("start end");
    pwinCurrent->dot.offset = 6;
    NewCommandSerial();
    DWORD count = InsertText("one\r\ntwo\r\nthree ");
    RenumberIfNeeded();
    PushUndo(U_INSTEXT, nullptr, count);
    EXPECT_EQ(Text(), "start one\ntwo\nthree end");
    undo();
    EXPECT_EQ(Text(), "start end");
    EXPECT_EQ(LineNumber(), 0u);
    EXPECT_EQ(Offset(), 6);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(UndoTest, DeletedBlockComesBackMarked) {
    NewDocument("alpha\nbeta\ngamma");
    NewCommandSerial();
    pwinCurrent->mark = {LineAt(pbufCurrent, 0), 2};
    pwinCurrent->dot = {LineAt(pbufCurrent, 2), 3};
    pwinCurrent->marking = 1;
    ASSERT_TRUE(DeleteMarkedBlock());
    EXPECT_EQ(Text(), "alma");
    undo();
    EXPECT_EQ(Text(), "alpha\nbeta\ngamma");
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(LineNumber(), 2u);
    EXPECT_EQ(Offset(), 3);
    EXPECT_EQ(pwinCurrent->mark.lpln, LineAt(pbufCurrent, 0));
    EXPECT_EQ(pwinCurrent->mark.offset, 2);
    EXPECT_TRUE(pwinCurrent->redraw & RD_ALL);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(UndoTest, BlockMarkedBackwardsComesBackWhereItWas) {
    // The dot stands above the mark, and lines follow the block: the text goes back in at
    // the dot, the earlier end, not at the mark's old line number.
    NewDocument("alpha\nbeta\ngamma\ndelta\nomega");
    NewCommandSerial();
    pwinCurrent->mark = {LineAt(pbufCurrent, 2), 3};
    pwinCurrent->dot = {LineAt(pbufCurrent, 0), 2};
    pwinCurrent->marking = 1;
    ASSERT_TRUE(DeleteMarkedBlock());
    EXPECT_EQ(Text(), "alma\ndelta\nomega");
    undo();
    EXPECT_EQ(Text(), "alpha\nbeta\ngamma\ndelta\nomega");
    EXPECT_EQ(LineNumber(), 0u);
    EXPECT_EQ(Offset(), 2);
    EXPECT_EQ(pwinCurrent->mark.lpln, LineAt(pbufCurrent, 2));
    EXPECT_EQ(pwinCurrent->mark.offset, 3);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(UndoTest, DeletionsJoinsAndSplitsAreReversed) {
    NewDocument("abc\ndef");
    NewCommandSerial();  // delete key on 'b'
    pwinCurrent->dot.offset = 1;
    PushUndo(U_DELCHAR);
    DeleteChar();
    NewCommandSerial();  // delete at the end of the line joins
    pwinCurrent->dot.offset = 2;
    PushUndo(U_JOIN);
    DeleteCR();
    EXPECT_EQ(Text(), "acdef");
    NewCommandSerial();  // split_line
    pwinCurrent->dot.offset = 1;
    PushUndo(U_SPLIT);
    SplitLine();
    NewCommandSerial();  // enter
    PushUndo(U_NEWLINE);
    SplitLine();
    EXPECT_EQ(Text(), "a\n\ncdef");
    undo();
    EXPECT_EQ(Text(), "a\ncdef");
    undo();
    EXPECT_EQ(Text(), "acdef");
    undo();
    EXPECT_EQ(Text(), "ac\ndef");
    EXPECT_EQ(Offset(), 2);
    undo();
    EXPECT_EQ(Text(), "abc\ndef");
    EXPECT_EQ(Offset(), 1);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(UndoTest, IndentedNewLineAndReplacedCharacters) {
    NewDocument("    if x");
    pwinCurrent->dot.offset = 8;
    NewCommandSerial();  // enter with auto indent: split and copy 4 blanks
    PushUndo(U_INDENT, nullptr, 4);
    SplitLine();
    InsertChars("    ", 4);
    EXPECT_EQ(Text(), "    if x\n    ");
    NewCommandSerial();  // overwrite 'i' with 'I'
    RenumberLines();
    pwinCurrent->dot = {LineAt(pbufCurrent, 0), 4};
    PushUndo(U_REPLCHAR);
    pwinCurrent->dot.lpln->text[4] = 'I';
    undo();
    EXPECT_EQ(Text(), "    if x\n    ");
    undo();
    EXPECT_EQ(Text(), "    if x");
    EXPECT_EQ(pbufCurrent->lineCount, 1u);
}

TEST_F(UndoTest, ReplacementUndoLeavesTheCursorInsideTheLine) {
    NewDocument("a cat sat");
    pwinCurrent->dot.offset = 2;
    NewCommandSerial();
    // Replace "cat" by "elephant": delete, insert, then record the old text and the count.
    for (int i = 0; i < 3; ++i) {
        DeleteChar();
    }
    DWORD count = InsertText("elephant");
    char* saved = static_cast<char*>(xalloc(pbufCurrent, 4));
    std::memcpy(saved, "cat", 4);
    PushUndo(U_REPLACE, saved, count);
    EXPECT_EQ(Text(), "a elephant sat");
    EXPECT_EQ(Offset(), 10);
    undo();
    EXPECT_EQ(Text(), "a cat sat");
    EXPECT_LE(Offset(), pwinCurrent->dot.lpln->length);
    EXPECT_EQ(Offset(), 5);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
}

TEST_F(UndoTest, MovesRestoreTheCursorAndCountNoChange) {
    NewDocument("one\ntwo\nthree");
    NewCommandSerial();
    PushUndo(U_MOVE);
    pwinCurrent->dot = {LineAt(pbufCurrent, 2), 4};
    pbufCurrent->changes = 7;
    undo();
    EXPECT_EQ(LineNumber(), 0u);
    EXPECT_EQ(Offset(), 0);
    EXPECT_EQ(pbufCurrent->changes, 7);
    EXPECT_TRUE(pwinCurrent->redraw & RD_REFRAME);
}

TEST_F(UndoTest, OneUndoCountsAsOneChange) {
    NewDocument("");
    NewCommandSerial();
    for (char c : std::string("word")) {  // one command of several records (a macro)
        PushUndo(U_INSCHAR);
        InsertChars(&c, 1);
    }
    pbufCurrent->changes = 0;
    undo();
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(pbufCurrent->changes, 1);
}

TEST_F(UndoTest, LevelsLimitTheStackToWholeCommands) {
    NewDocument("");
    for (int i = 0; i < 101; ++i) {
        NewCommandSerial();
        PushUndo(U_MOVE);
        PushUndo(U_INSCHAR);
        InsertChars("x", 1);
    }
    EXPECT_EQ(pbufCurrent->ulevel, 100);
    EXPECT_EQ(pbufCurrent->udepth, 200);
    EXPECT_EQ(pbufCurrent->oldestUndo->older, nullptr);
    EXPECT_EQ(pbufCurrent->oldestUndo->kind, U_MOVE);
    SetUndoLevels(10);
    EXPECT_EQ(pbufCurrent->ulevel, 10);
    EXPECT_EQ(pbufCurrent->udepth, 20);
    for (int i = 0; i < 10; ++i) {
        undo();
    }
    EXPECT_EQ(Text(), std::string(91, 'x'));
    EXPECT_FALSE(UndoAvailable());
    SetUndoLevels(500);  // out of range: ignored
    EXPECT_EQ(editorSettings.undoLevels, 10);
}

TEST_F(UndoTest, LoweringLevelsTrimsEveryBufferWhateverItsWindows) {
    // Window order: a window on the first buffer, one on the second, then a second window on
    // the first buffer.
    EditWindow* first = NewDocument("");
    Buffer* one = first->buffer;
    Buffer* two = NewDocument("")->buffer;
    EditWindow* again = NewEditWindow(one);
    for (Buffer* buffer : {one, two}) {
        SetCurrentWindow(buffer == one ? again : pwinFirst->next);
        for (int i = 0; i < 5; ++i) {
            Type('x');
        }
        EXPECT_EQ(buffer->ulevel, 5);
    }
    SetUndoLevels(2);
    EXPECT_EQ(one->ulevel, 2);
    EXPECT_EQ(one->udepth, 2);
    EXPECT_EQ(two->ulevel, 2);
    EXPECT_EQ(two->udepth, 2);
}

TEST_F(UndoTest, ZeroLevelsDisableRecordingAndUndo) {
    NewDocument("");
    Type('a');
    SetUndoLevels(0);
    EXPECT_FALSE(UndoAvailable());
    Type('b');
    EXPECT_FALSE(UndoAvailable());
    undo();
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(ui.beeps, 0);
    SetUndoLevels(5);
    EXPECT_FALSE(UndoAvailable());  // starts from an empty stack
    Type('c');
    undo();
    EXPECT_EQ(Text(), "ab");
}

TEST_F(UndoTest, RecordsFlagMarkingAndMacroPlayback) {
    NewDocument("text");
    NewCommandSerial();
    pwinCurrent->marking = 1;
    pwinCurrent->dot.offset = 2;
    fMacroPlayback = 1;
    PushUndo(U_MOVE);
    fMacroPlayback = 0;
    EXPECT_EQ(pbufCurrent->newestUndo->flags, UF_MARKING | UF_MACRO);
    EXPECT_EQ(pbufCurrent->newestUndo->character, 'x');
    pwinCurrent->marking = 0;
    pwinCurrent->redraw = 0;
    undo();
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_TRUE(pwinCurrent->redraw & RD_ALL);
    pwinCurrent->dot.offset = 4;
    PushUndo(U_MOVE);
    EXPECT_EQ(pbufCurrent->newestUndo->character, '\r');  // at the end of the line
    PushUndo(U_RESET);
    EXPECT_FALSE(UndoAvailable());
}

TEST_F(UndoTest, InconsistentStackIsResetNotFollowed) {
    NewDocument("");
    Type('a');
    pbufCurrent->ulevel = 5;
    pbufCurrent->oldestUndo = nullptr;
    PurgeUndoStack(pbufCurrent, 1);
    EXPECT_EQ(pbufCurrent->ulevel, 0);
    EXPECT_EQ(pbufCurrent->udepth, 0);
    EXPECT_FALSE(UndoAvailable());
}

}  // namespace
