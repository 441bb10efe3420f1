// Clipboard commands and case changes.
#include "command_fixture.h"
#include "editor/core/command_state.h"
#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/undo.h"

namespace {

TEST_F(CommandTest, CopyAcceptsBlocksUpTo65503BytesOfFlatText) {
    // Two lines: the flat text is both lines plus the carriage return and line feed.
    std::string first(40000, 'a');
    std::string second(25501, 'b');
    NewDocument(first + "\n" + second + "c");
    Mark(0, 0, 1, 25501);  // 40000 + 2 + 25501 = 65503
    Run(copy);
    EXPECT_EQ(ui.clipboard.size(), 65503u);
    EXPECT_EQ(ui.clipboard.substr(39998, 6), "aa\r\nbb");
    ui.clipboard.clear();
    Mark(0, 0, 1, 25502);  // 65504: refused
    Run(copy);
    EXPECT_TRUE(ui.clipboard.empty());
    EXPECT_EQ(ui.status, "Block too big");
    EXPECT_GE(ui.beeps, 1);
    Run(cut);
    EXPECT_EQ(pbufCurrent->lineCount, 2u);  // nothing deleted
}

TEST_F(CommandTest, CutAndPasteRoundTripWithOneUndoEach) {
    NewDocument("one\ntwo\nthree");
    Mark(0, 1, 2, 2);
    Run(cut);
    EXPECT_EQ(BufferText(pbufCurrent), "oree");
    EXPECT_EQ(ui.clipboard, "ne\r\ntwo\r\nth");
    PlaceDot(pwinCurrent, 0, 4);
    Run(paste);
    EXPECT_EQ(BufferText(pbufCurrent), "oreene\ntwo\nth");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "oree");
    EXPECT_EQ(DotAt(), "0:4");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "one\ntwo\nthree");
    EXPECT_TRUE(pwinCurrent->marking);
}

TEST_F(CommandTest, PasteRefusesHugeTextAndTakesBareLineFeedsAsBreaks) {
    NewDocument("");
    ui.SetClipboardText(std::string(65536, 'x').c_str(), 65536);
    Run(paste);
    EXPECT_EQ(ui.status, "Block too big");
    EXPECT_EQ(BufferText(pbufCurrent), "");
    ui.SetClipboardText("a\nb\r\nc", 6);
    Run(paste);
    EXPECT_EQ(BufferText(pbufCurrent), "a\nb\nc");
}

TEST_F(CommandTest, TheWaitCursorGoesAwayByEveryReturn) {
    NewDocument("abc");
    ui.SetClipboardText(std::string(65536, 'x').c_str(), 65536);
    Run(paste);  // refused after the cursor was shown
    EXPECT_EQ(ui.waitCursorUses, 1);
    Type("d");
    Run(undo);
    EXPECT_EQ(ui.waitCursorUses, 2);
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(CommandTest, CopyAndCutWithoutABlockUseTheLinePreference) {
    NewDocument("alpha\nbeta");
    Run(copy);
    EXPECT_EQ(ui.status, "No block marked");
    fCutCopyCurrentLine = 1;
    Run(copy);
    EXPECT_EQ(ui.clipboard, "alpha\r\n");
    EXPECT_EQ(DotAt(), "0:0");
    PlaceDot(pwinCurrent, 1, 2);
    WORD changes = pbufCurrent->changes;
    Run(cut);  // the last line: the dot stays at its start, so there is nothing to cut
    EXPECT_EQ(BufferText(pbufCurrent), "alpha\nbeta");
    EXPECT_EQ(DotAt(), "1:0");
    EXPECT_FALSE(pwinCurrent->marking);
    EXPECT_EQ(ui.clipboard, "alpha\r\n") << "the clipboard keeps what it held";
    EXPECT_EQ(pbufCurrent->changes, changes);
    PlaceDot(pwinCurrent, 0, 3);
    Run(cut);  // another line: all of it and its line break
    EXPECT_EQ(BufferText(pbufCurrent), "beta");
    EXPECT_EQ(DotAt(), "0:0");
}

TEST_F(CommandTest, CaseChangesOverABlockSpanningLines) {
    NewDocument("abc Def\nGhi jkl\nMNO");
    Mark(0, 2, 2, 1);
    Run(uppercase);
    EXPECT_EQ(BufferText(pbufCurrent), "abC DEF\nGHI JKL\nMNO");
    EXPECT_EQ(DotAt(), "2:1");  // the dot is kept
    Mark(0, 0, 2, 3);
    Run(change_case);
    EXPECT_EQ(BufferText(pbufCurrent), "ABc def\nghi jkl\nmno");
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "abC DEF\nGHI JKL\nMNO");
    // Without a block: the character at the dot, which stays.
    pwinCurrent->marking = 0;
    PlaceDot(pwinCurrent, 0, 2);
    Run(lowercase);
    EXPECT_EQ(BufferText(pbufCurrent), "abc DEF\nGHI JKL\nMNO");
    EXPECT_EQ(DotAt(), "0:2");
    Run(lowercase);  // already lower: nothing to undo
    PlaceDot(pwinCurrent, 0, 7);
    Run(uppercase);  // the end of a line is left alone
    EXPECT_EQ(BufferText(pbufCurrent), "abc DEF\nGHI JKL\nMNO");
}

}  // namespace
