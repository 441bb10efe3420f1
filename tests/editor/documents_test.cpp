#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "editor/core/documents.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_read.h"
#include "editor/core/lines.h"
#include "editor/core/recent_files.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

class DocumentsTest : public EditorTest {
protected:
    void Mark(DWORD a, WORD x, DWORD b, WORD y) {
        pwinCurrent->mark = {LineAt(pbufCurrent, a), x};
        pwinCurrent->dot = {LineAt(pbufCurrent, b), y};
        pwinCurrent->marking = 1;
    }
};

TEST_F(DocumentsTest, OpenPlacesTheDotAndTakesOverTheStartupWindow) {
    NewDocument("");
    EditWindow* startup = pwinCurrent;
    fStartupBuffer = 1;
    WriteBytes(PathOf("doc.txt"), "first\r\nsecond line\r\nthird\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("doc.txt").c_str(), 1, 4, true));
    EXPECT_EQ(pwinCurrent, startup);  // the untitled start-up buffer is replaced
    EXPECT_EQ(pwinFirst->next, nullptr);
    EXPECT_EQ(pbufFirst->next, nullptr);
    EXPECT_FALSE(fStartupBuffer);
    EXPECT_EQ(pwinCurrent->dot.lpln, LineAt(pbufCurrent, 1));
    EXPECT_EQ(pwinCurrent->dot.offset, 4);
    EXPECT_EQ(std::string(pwinCurrent->title), PathOf("doc.txt"));
    EXPECT_STREQ(recentFiles[0], PathOf("doc.txt").c_str());

    ASSERT_TRUE(OpenDocument(PathOf("doc.txt").c_str(), 9, 99, false));  // clamped
    EXPECT_NE(pwinCurrent, startup);
    EXPECT_EQ(pwinCurrent->dot.lpln, LineAt(pbufCurrent, 2));
    EXPECT_EQ(pwinCurrent->dot.offset, 5);
    EXPECT_FALSE(pwinCurrent->painting);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));

    EXPECT_FALSE(OpenDocument(PathOf("none.txt").c_str(), 0, 0, true));
    EXPECT_TRUE(ui.Showed("Unable to open " + PathOf("none.txt")));
    WriteBytes(PathOf("binary"), std::string(1000, '\0'));
    int buffers = 0;
    for (Buffer* b = pbufFirst; b != nullptr; b = b->next) {
        ++buffers;
    }
    EXPECT_FALSE(OpenDocument(PathOf("binary").c_str(), 0, 0, true));
    int after = 0;
    for (Buffer* b = pbufFirst; b != nullptr; b = b->next) {
        ++after;
    }
    EXPECT_EQ(after, buffers);  // the failed buffer is destroyed
}

TEST_F(DocumentsTest, OpenFileBringsAnOpenDocumentForwardInsteadOfOpeningItTwice) {
    WriteBytes(PathOf("Same.txt"), "x\r\n");
    WriteBytes(PathOf("same.txt"), "y\r\n");
    ui.QueuePath(PathOf("Same.txt"));
    ASSERT_TRUE(open_file());
    EditWindow* first = pwinCurrent;
    ui.QueuePath(PathOf("same.txt"));  // another file on Linux: opened
    ASSERT_TRUE(open_file());
    EXPECT_NE(pwinCurrent, first);
    ui.QueuePath(PathOf("./Same.txt"));
    ASSERT_TRUE(open_file());
    EXPECT_EQ(pwinCurrent, first);
    EXPECT_EQ(ui.dialogs.back().title, "Open File");
    EXPECT_EQ(ui.windowLog.back(), "activate " + PathOf("Same.txt"));
}

TEST_F(DocumentsTest, InsertFileBreaksLinesAtLineFeedsOnlyAndUndoesAsOne) {
    NewDocument("<>");
    pwinCurrent->dot.offset = 1;
    WriteBytes(PathOf("ins.txt"), "a\r\nb\nc\n\rd\re");
    ui.QueuePath(PathOf("ins.txt"));
    ASSERT_TRUE(insert_file());
    EXPECT_EQ(BufferText(pbufCurrent), "<a\nb\nc\nde>");
    EXPECT_EQ(pbufCurrent->changes, 1);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));
    undo();
    EXPECT_EQ(BufferText(pbufCurrent), "<>");
    EXPECT_EQ(pwinCurrent->dot.offset, 1);

    ui.QueuePath(PathOf("missing.txt"));
    EXPECT_FALSE(insert_file());
    EXPECT_TRUE(ui.Showed("Unable to open " + PathOf("missing.txt")));
    EXPECT_EQ(ui.dialogs.front().title, "Insert File");
}

TEST_F(DocumentsTest, InsertFileLargerThanItsReadBuffer) {
    std::string bytes;
    std::string expected;
    for (int i = 0; bytes.size() < 70000; ++i) {
        bytes += "row " + std::to_string(i) + "\n";
        expected += "row " + std::to_string(i) + "\n";
    }
    WriteBytes(PathOf("big.txt"), bytes);
    NewDocument("");
    EXPECT_EQ(InsertFileText(PathOf("big.txt").c_str()), static_cast<long>(expected.size()));
    EXPECT_EQ(BufferText(pbufCurrent), expected);
}

TEST_F(DocumentsTest, WriteBlockWritesExactlyTheBlock) {
    NewDocument("0123456789\nabc\nxyz");
    Mark(0, 2, 0, 5);
    ui.QueuePath(PathOf("one.txt"));
    ASSERT_TRUE(write_block());
    EXPECT_EQ(ReadBytes(PathOf("one.txt")), "234");
    Mark(0, 8, 2, 1);
    ui.QueuePath(PathOf("one.txt"));
    ui.QueueAnswer(UiAnswer::No);
    ui.QueuePath(PathOf("many.txt"));
    ASSERT_TRUE(write_block());
    EXPECT_EQ(ReadBytes(PathOf("many.txt")), "89\r\nabc\r\nx");
    EXPECT_EQ(ReadBytes(PathOf("one.txt")), "234");
    EXPECT_EQ(ui.dialogs.back().title, "Write Block");
    EXPECT_EQ(ui.dialogs.back().filter, "Script Files (*.SCR)|*.scr|All Files (*.*)|*.*|");
    ui.QueuePath(PathOf("one.txt"));
    ui.QueueAnswer(UiAnswer::Cancel);
    EXPECT_FALSE(write_block());
    EXPECT_EQ(ListFolder(Folder()), "many.txt one.txt state");

    pwinCurrent->marking = 0;
    EXPECT_FALSE(write_block());  // only while marking
}

TEST_F(DocumentsTest, RevertReadsTheFileAgainOrLeavesTheBufferAlone) {
    WriteBytes(PathOf("r.txt"), "disk\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("r.txt").c_str(), 0, 0, true));
    InsertChars("edit ", 5);
    ui.QueueAnswer(UiAnswer::Cancel);
    EXPECT_FALSE(revert());
    EXPECT_EQ(ui.status, "Command cancelled");
    EXPECT_TRUE(ui.Showed("Abandon changes to " + PathOf("r.txt") + "?"));
    EXPECT_EQ(BufferText(pbufCurrent), "edit disk");

    // The file is no text any more: the buffer keeps its text.
    WriteBytes(PathOf("r.txt"), std::string(3000, '\0'));
    ui.QueueAnswer(UiAnswer::Ok);
    EXPECT_FALSE(revert());
    EXPECT_EQ(BufferText(pbufCurrent), "edit disk");
    EXPECT_TRUE(BufferConsistent(pbufCurrent));

    WriteBytes(PathOf("r.txt"), "changed\r\non disk\r\n");
    EditWindow* other = SecondWindow();
    PlaceDot(other, 0, 3);
    other->marking = 1;
    ui.QueueAnswer(UiAnswer::Ok);
    ASSERT_TRUE(revert());
    EXPECT_EQ(BufferText(pbufCurrent), "changed\non disk");
    EXPECT_FALSE(pbufCurrent->state & BS_MODIFIED);
    EXPECT_FALSE(UndoAvailable());
    EXPECT_EQ(other->dot.offset, 0);
    EXPECT_FALSE(other->marking);
    EXPECT_TRUE(BufferConsistent(pbufCurrent));

    unlink(PathOf("r.txt").c_str());
    EXPECT_FALSE(revert());
    EXPECT_TRUE(ui.Showed("Can't open " + PathOf("r.txt")));
    EXPECT_EQ(BufferText(pbufCurrent), "changed\non disk");
}

TEST_F(DocumentsTest, RevertOfALockedBufferKeepsTheLock) {
    editorSettings.fileLocking = 1;
    WriteBytes(PathOf("l.txt"), "one\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("l.txt").c_str(), 0, 0, true));
    EXPECT_GT(pbufCurrent->lockHandle, 0);
    WriteBytes(PathOf("l.txt"), "two\r\n");
    ASSERT_TRUE(revert());
    EXPECT_EQ(BufferText(pbufCurrent), "two");
    EXPECT_GT(pbufCurrent->lockHandle, 0);
    // Still locked: another open with exclusive sharing is refused.
    Buffer* probe = AllocateBuffer();
    EXPECT_FALSE(ReadFile(probe, PathOf("l.txt").c_str()));
    DestroyBuffer(probe);
}

TEST_F(DocumentsTest, RecentFilesMoveToTheFront) {
    AddToRecentFiles("/a");
    AddToRecentFiles("/b");
    AddToRecentFiles("/c");
    AddToRecentFiles("/d");
    AddToRecentFiles("/e");
    EXPECT_STREQ(recentFiles[0], "/e");
    EXPECT_STREQ(recentFiles[3], "/b");
    AddToRecentFiles("/c");
    EXPECT_STREQ(recentFiles[0], "/c");
    EXPECT_STREQ(recentFiles[1], "/e");
    EXPECT_STREQ(recentFiles[2], "/d");
    EXPECT_STREQ(recentFiles[3], "/b");
    std::string tooLong = "/" + std::string(RECENT_FILE_SIZE, 'x');
    AddToRecentFiles(tooLong.c_str());  // would be cut to another name: not recorded
    EXPECT_STREQ(recentFiles[0], "/c");
    char text[100];
    ASSERT_TRUE(RecentFileMenuText(1, text, sizeof text));
    EXPECT_STREQ(text, "&2 /e");
}

TEST_F(DocumentsTest, NewFileNumbersUntitledBuffersAndTitlesWindows) {
    ASSERT_TRUE(new_file());
    ASSERT_TRUE(new_file());
    EXPECT_EQ(std::string(pwinCurrent->title), "Untitled-" + std::to_string(untitledCounter));
    EditWindow* second = SecondWindow();
    EXPECT_EQ(std::string(second->title), "Untitled-" + std::to_string(untitledCounter) + ":2");
    FreeEditWindow(second);
    EXPECT_EQ(std::string(pwinFirst->next->title), "Untitled-" + std::to_string(untitledCounter));
}

}  // namespace
