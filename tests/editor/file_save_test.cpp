#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/file_save.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

std::size_t bytesBeforeFailure = 0;

// A disk that fills up after bytesBeforeFailure bytes.
ssize_t FillingDisk(int descriptor, const void* data, std::size_t size) {
    if (bytesBeforeFailure == 0) {
        errno = ENOSPC;
        return -1;
    }
    std::size_t n = size < bytesBeforeFailure ? size : bytesBeforeFailure;
    bytesBeforeFailure -= n;
    return write(descriptor, data, n);
}

class FileSaveTest : public EditorTest {
protected:
    EditWindow* Open(const std::string& name, const std::string& bytes) {
        WriteBytes(PathOf(name), bytes);
        EXPECT_TRUE(OpenDocument(PathOf(name).c_str(), 0, 0, true));
        return pwinCurrent;
    }
    void Type(const char* text) {
        PushUndo(U_MOVE);
        InsertChars(text, static_cast<DWORD>(std::strlen(text)));
    }
};

TEST_F(FileSaveTest, UnmodifiedBufferIsOnlyReported) {
    Open("a.txt", "same\r\n");
    struct stat before;
    stat(PathOf("a.txt").c_str(), &before);
    EXPECT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ui.status, "Buffer not modified");
    struct stat after;
    stat(PathOf("a.txt").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST_F(FileSaveTest, SaveReplacesTheFileAndKeepsTheOldOneAsBackup) {
    Open("NAME.SCR", "old\nline\n");
    Type("new ");
    pbufCurrent->changes = 5;
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(PathOf("NAME.SCR")), "new old\r\nline\r\n");
    EXPECT_EQ(ReadBytes(PathOf("NAME.bak")), "old\nline\n");
    EXPECT_EQ(ListFolder(Folder()), "NAME.SCR NAME.bak state");  // no temporary file left
    EXPECT_FALSE(pbufCurrent->state & BS_MODIFIED);
    EXPECT_FALSE(UndoAvailable());
    EXPECT_EQ(pbufCurrent->changes, 0);
    EXPECT_TRUE(ui.StatusShowed("Writing " + PathOf("NAME.SCR")));
    EXPECT_EQ(ui.status, "");
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(FileSaveTest, BackupNamesStayBesideTheFile) {
    char name[PATH_NAME_SIZE];
    ASSERT_TRUE(MakeBackupName("/home/u/a.b/NAME.SCR", name, sizeof name));
    EXPECT_STREQ(name, "/home/u/a.b/NAME.bak");
    ASSERT_TRUE(MakeBackupName("/home/u/a.b/NAME", name, sizeof name));
    EXPECT_STREQ(name, "/home/u/a.b/NAME.bak");
    ASSERT_TRUE(MakeBackupName("/home/u/archive.tar.gz", name, sizeof name));
    EXPECT_STREQ(name, "/home/u/archive.bak");
    ASSERT_TRUE(MakeBackupName("/home/u/.profile", name, sizeof name));
    EXPECT_STREQ(name, "/home/u/.profile.bak");
    ASSERT_TRUE(MakeBackupName("/home/u/x.bak", name, sizeof name));
    EXPECT_STREQ(name, "/home/u/x.bak.bak");

    // Saving a file that is itself named .bak keeps it and its backup apart.
    Open("x.bak", "first\r\n");
    Type("second ");
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(PathOf("x.bak")), "second first\r\n");
    EXPECT_EQ(ReadBytes(PathOf("x.bak.bak")), "first\r\n");

    mkdir(PathOf("a.b").c_str(), 0755);
    Open("a.b/NAME", "v1\r\n");
    Type("v2 ");
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(PathOf("a.b/NAME.bak")), "v1\r\n");
    EXPECT_FALSE(Exists(PathOf("a.bak")));
}

TEST_F(FileSaveTest, WithoutBackupsOnlyTheFileRemains) {
    editorSettings.makeBackups = 0;
    Open("plain.txt", "x\n");
    Type("y");
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ListFolder(Folder()), "plain.txt state");
    EXPECT_EQ(ReadBytes(PathOf("plain.txt")), "yx\r\n");
}

TEST_F(FileSaveTest, RoundTripsWriteCarriageReturnLineFeedAfterEveryLine) {
    editorSettings.removeTrailingSpaces = 1;
    std::string longLine(40000, 'w');  // longer than the staging buffer
    Open("t.txt", "a  \nb\t\n\n" + longLine + "\nlast");
    Type("");
    pbufCurrent->state |= BS_MODIFIED;
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(PathOf("t.txt")), "a\r\nb\r\n\r\n" + longLine + "\r\nlast\r\n");
}

TEST_F(FileSaveTest, LargeBufferSavesExactly) {
    std::string bytes;
    for (int i = 0; bytes.size() < 300000; ++i) {
        bytes += std::to_string(i) + std::string(i % 131, '-') + "\r\n";
    }
    Open("big.txt", bytes);
    pbufCurrent->state |= BS_MODIFIED;
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(PathOf("big.txt")), bytes);
}

TEST_F(FileSaveTest, FullDiskLeavesFileAndBufferAsTheyWere) {
    Open("keep.txt", "precious\r\ntext\r\n");
    Type("edited ");
    editorWriteHook = FillingDisk;
    bytesBeforeFailure = 5;
    EXPECT_FALSE(SaveBuffer(pbufCurrent));
    editorWriteHook = nullptr;
    EXPECT_TRUE(ui.Showed("Disk full"));
    EXPECT_EQ(ui.status, "Save failed");
    EXPECT_EQ(ReadBytes(PathOf("keep.txt")), "precious\r\ntext\r\n");
    EXPECT_EQ(ListFolder(Folder()), "keep.txt state");  // the partial temporary is gone
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);
    EXPECT_TRUE(UndoAvailable());
    EXPECT_EQ(ui.waitCursorDepth, 0);
    // A new file that cannot be written completely is removed again.
    pbufCurrent->pathName[0] = '\0';
    std::strcpy(pbufCurrent->pathName, PathOf("new.txt").c_str());
    editorWriteHook = FillingDisk;
    bytesBeforeFailure = 3;
    EXPECT_FALSE(SaveBuffer(pbufCurrent));
    editorWriteHook = nullptr;
    EXPECT_FALSE(Exists(PathOf("new.txt")));
}

TEST_F(FileSaveTest, FullTmpfsLeavesTheOriginalIntact) {
    std::string mountPoint = PathOf("small");
    mkdir(mountPoint.c_str(), 0755);
    if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    }
    std::string original(20000, 'o');
    WriteBytes(mountPoint + "/f.txt", original + "\r\n");
    WriteBytes(mountPoint + "/filler", std::string(36000, 'f'));
    EXPECT_TRUE(OpenDocument((mountPoint + "/f.txt").c_str(), 0, 0, true));
    std::string more(30000, 'm');
    InsertChars(more.data(), static_cast<DWORD>(more.size()));
    int saved = SaveBuffer(pbufCurrent);
    std::string after = ReadBytes(mountPoint + "/f.txt");
    std::string listing = ListFolder(mountPoint);
    while (pwinFirst != nullptr) {
        FreeEditWindow(pwinFirst);
    }
    umount2(mountPoint.c_str(), MNT_DETACH);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(ui.Showed("Disk full"));
    EXPECT_EQ(after, original + "\r\n");
    EXPECT_EQ(listing, "f.txt filler");
}

TEST_F(FileSaveTest, FailedBackupKeepsTheFileAndTheTemporary) {
    Open("doc.txt", "old\r\n");
    mkdir(PathOf("doc.bak").c_str(), 0755);
    WriteBytes(PathOf("doc.bak/inside"), "x");  // a folder in the backup's place
    Type("new ");
    EXPECT_FALSE(SaveBuffer(pbufCurrent));
    EXPECT_TRUE(ui.Showed("Error renaming backup file"));
    EXPECT_EQ(ReadBytes(PathOf("doc.txt")), "old\r\n");
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);
    std::string listing = ListFolder(Folder());
    EXPECT_NE(listing.find(".tmp"), std::string::npos) << listing;
}

TEST_F(FileSaveTest, PermissionsAndSymbolicLinksSurviveASave) {
    WriteBytes(PathOf("real.txt"), "r\r\n");
    chmod(PathOf("real.txt").c_str(), 0640);
    symlink(PathOf("real.txt").c_str(), PathOf("link.txt").c_str());
    EXPECT_TRUE(OpenDocument(PathOf("link.txt").c_str(), 0, 0, true));
    Type("s");
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    struct stat info;
    ASSERT_EQ(lstat(PathOf("link.txt").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(PathOf("real.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadBytes(PathOf("real.txt")), "sr\r\n");
}

TEST_F(FileSaveTest, SaveAsAsksBeforeReplacingAndWritesEvenUnchangedText) {
    NewDocument("text");
    WriteBytes(PathOf("exists.txt"), "old");
    ui.QueuePath(Folder());  // a folder is no file name
    ui.QueuePath(PathOf("exists.txt"));
    ui.QueueAnswer(UiAnswer::No);  // ask again
    ui.QueuePath(PathOf("exists.txt"));
    ui.QueueAnswer(UiAnswer::Yes);
    ASSERT_TRUE(SaveAs(pwinCurrent));
    EXPECT_TRUE(ui.Showed("Invalid file name"));
    EXPECT_TRUE(ui.Showed("Replace existing " + PathOf("exists.txt") + "?"));
    EXPECT_EQ(ReadBytes(PathOf("exists.txt")), "text\r\n");
    EXPECT_EQ(std::string(pbufCurrent->pathName), PathOf("exists.txt"));
    EXPECT_EQ(ui.dialogs.at(0).title, "Save As");
    EXPECT_EQ(std::string(pwinCurrent->title), PathOf("exists.txt"));

    ui.QueuePath(PathOf("other.txt"));
    ASSERT_TRUE(SaveAs(pwinCurrent));  // unchanged buffer: still written
    EXPECT_EQ(ReadBytes(PathOf("other.txt")), "text\r\n");
    ui.QueuePath(PathOf("exists.txt"));
    ui.QueueAnswer(UiAnswer::Cancel);
    EXPECT_FALSE(SaveAs(pwinCurrent));
    EXPECT_FALSE(SaveAs(pwinCurrent));  // dialog cancelled
}

TEST_F(FileSaveTest, SaveAllSavesEveryModifiedBufferOnce) {
    Open("one.txt", "1\r\n");
    Type("a");
    SecondWindow();
    Open("two.txt", "2\r\n");
    NewDocument("untitled");
    pbufCurrent->state |= BS_MODIFIED;
    ui.QueuePath(PathOf("three.txt"));
    EXPECT_TRUE(save_all());
    EXPECT_EQ(ReadBytes(PathOf("one.txt")), "a1\r\n");
    EXPECT_EQ(ReadBytes(PathOf("two.txt")), "2\r\n");  // unmodified: untouched
    EXPECT_EQ(ReadBytes(PathOf("three.txt")), "untitled\r\n");
    EXPECT_EQ(ui.dialogs.size(), 1u);
    NewDocument("again");
    pbufCurrent->state |= BS_MODIFIED;
    EXPECT_FALSE(save_all());  // the Save As is cancelled
}

TEST_F(FileSaveTest, AskToSaveFollowsTheAnswer) {
    Open("ask.txt", "q\r\n");
    EXPECT_TRUE(AskToSave(pbufCurrent, pwinCurrent));  // not modified: no question
    EXPECT_TRUE(ui.messages.empty());
    Type("z");
    ui.QueueAnswer(UiAnswer::Cancel);
    EXPECT_FALSE(AskToSave(pbufCurrent, pwinCurrent));
    EXPECT_EQ(ui.messages.back().text,
              PathOf("ask.txt") + " has been changed.  Save before closing?");
    EXPECT_EQ(ui.messages.back().icon, UiIcon::Question);
    ui.QueueAnswer(UiAnswer::No);
    EXPECT_TRUE(AskToSave(pbufCurrent, pwinCurrent));
    EXPECT_EQ(ReadBytes(PathOf("ask.txt")), "q\r\n");
    SecondWindow();
    std::size_t asked = ui.messages.size();
    EXPECT_TRUE(AskToSave(pbufCurrent, pwinCurrent));  // another window still shows it
    EXPECT_EQ(ui.messages.size(), asked);
    ui.QueueAnswer(UiAnswer::Yes);
    EXPECT_TRUE(AskToSaveAll());
    EXPECT_EQ(ReadBytes(PathOf("ask.txt")), "zq\r\n");

    NewDocument("");
    pbufCurrent->state |= BS_MODIFIED;
    ui.QueueAnswer(UiAnswer::Yes);  // Save As, then cancelled: the close stops
    EXPECT_FALSE(AskToSaveAll());
    EXPECT_EQ(ui.messages.back().text.rfind("Untitled-", 0), 0u);
}

TEST_F(FileSaveTest, SaveAndCloseClosesOnlyAfterASuccessfulSave) {
    Open("close.txt", "c\r\n");
    Type("d");
    editorWriteHook = FillingDisk;
    bytesBeforeFailure = 0;
    EXPECT_FALSE(save_file_close_window());
    editorWriteHook = nullptr;
    EXPECT_NE(pwinFirst, nullptr);
    EXPECT_TRUE(save_file_close_window());
    EXPECT_EQ(pwinFirst, nullptr);
    EXPECT_EQ(pbufFirst, nullptr);
}

TEST_F(FileSaveTest, ToggleBackupReportsTheNewSetting) {
    toggle_backup();
    EXPECT_FALSE(editorSettings.makeBackups);
    EXPECT_EQ(ui.status, "Backup files will not be created");
    toggle_backup();
    EXPECT_EQ(ui.status, "Backup files will be created");
}

}  // namespace
