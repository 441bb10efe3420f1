#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include "editor/core/autosave.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/file_lock.h"
#include "editor/core/file_read.h"
#include "editor/core/file_save.h"
#include "editor/core/file_write.h"
#include "editor/core/text_primitives.h"
#include "editor_fixture.h"
#include "platform/kernel/share_lock.h"
#include "platform/kernel/tick.h"

namespace {

ssize_t FullDisk(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

// Runs check in a child process; returns its exit status (0 when check returned true).
int InChild(const std::function<bool()>& check) {
    pid_t child = fork();
    if (child == 0) {
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

bool ChildCanOpenExclusively(const std::string& path) {
    return InChild([&] {
               DWORD error = 0;
               int fd = ShareOpenFile(path.c_str(), O_RDONLY, ShareMode::Exclusive, &error);
               return fd > 0;
           }) == 0;
}

// "~", the tick count plus 1 taken between before and after, cut to 8 characters from the
// "~", then ".sav". A machine up for less than about 17 minutes has fewer than 7 digits.
bool IsAutosaveNameOfTick(const std::string& file, DWORD before, DWORD after) {
    for (DWORD tick = before; tick != after + 1; ++tick) {
        std::string stem = "~" + std::to_string(static_cast<DWORD>(tick + 1));
        if (file == stem.substr(0, 8) + ".sav") {
            return true;
        }
    }
    return false;
}

class AutosaveTest : public EditorTest {
protected:
    std::string StateFile() const { return std::string(pbufCurrent->autosaveName); }
};

TEST_F(AutosaveTest, AutosaveWritesHeaderAndTextInTheStateFolder) {
    WriteBytes(PathOf("doc.scr"), "line one\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("doc.scr").c_str(), 0, 0, true));
    InsertChars("new ", 4);
    pbufCurrent->changes = 4;
    DWORD before = GetTickCount();
    ASSERT_TRUE(Autosave(pbufCurrent));
    DWORD after = GetTickCount();
    std::string name = StateFile();
    ASSERT_EQ(name.rfind(PathOf("state/~"), 0), 0u) << name;
    std::string file = name.substr(name.rfind('/') + 1);
    EXPECT_TRUE(IsAutosaveNameOfTick(file, before, after)) << file;
    std::string content = ReadBytes(name);
    std::string header = "/* AUTOSAVE " + PathOf("doc.scr") + " ";
    ASSERT_EQ(content.rfind(header, 0), 0u) << content;
    std::size_t headerEnd = content.find(" */\r\n");
    ASSERT_NE(headerEnd, std::string::npos);
    EXPECT_EQ(content.substr(headerEnd + 5), "new line one\r\n");
    EXPECT_EQ(pbufCurrent->changes, 0);
    EXPECT_TRUE(pbufCurrent->state & BS_MODIFIED);  // an autosave is no save
    EXPECT_TRUE(ui.StatusShowed("Autosaving..."));

    InsertChars("x", 1);
    ASSERT_TRUE(Autosave(pbufCurrent));
    EXPECT_EQ(StateFile(), name);  // the same file is rewritten
    EXPECT_EQ(ReadBytes(name).substr(headerEnd + 5), "new xline one\r\n");

    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_FALSE(Exists(name));  // a save deletes it
    EXPECT_EQ(StateFile(), "");
}

TEST_F(AutosaveTest, UntitledBuffersAndClosingTheLastWindow) {
    NewDocument("draft");
    ASSERT_TRUE(Autosave(pbufCurrent));
    std::string name = StateFile();
    EXPECT_EQ(ReadBytes(name).rfind("/* AUTOSAVE UNTITLED ", 0), 0u);
    EditWindow* second = SecondWindow();
    FreeEditWindow(second);
    EXPECT_TRUE(Exists(name));  // another window still shows the buffer
    FreeEditWindow(pwinFirst);
    EXPECT_FALSE(Exists(name));
}

TEST_F(AutosaveTest, UniqueNamesNeverReplaceAFile) {
    char first[PATH_NAME_SIZE];
    char second[PATH_NAME_SIZE];
    int a = CreateUniqueFile(Folder().c_str(), ".tmp", 0600, first, sizeof first);
    int b = CreateUniqueFile(Folder().c_str(), ".tmp", 0600, second, sizeof second);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    close(a);
    close(b);
    EXPECT_STRNE(first, second);
    char temp[PATH_NAME_SIZE];
    ASSERT_TRUE(MakeTempName(PathOf("file.txt").c_str(), temp, sizeof temp));
    EXPECT_EQ(std::string(temp).rfind(Folder() + "/~", 0), 0u);  // beside the file
    EXPECT_FALSE(Exists(temp));
}

TEST_F(AutosaveTest, ChecksByChangesAndByTime) {
    editorSettings.autosaveChanges = 3;
    NewDocument("text");
    pbufCurrent->changes = 2;
    CheckAutosave();
    EXPECT_EQ(StateFile(), "");
    pbufCurrent->changes = 3;
    ui.inputWaiting = true;
    CheckAutosave();
    EXPECT_EQ(StateFile(), "");  // input first
    ui.inputWaiting = false;
    CheckAutosave();
    EXPECT_NE(StateFile(), "");
    EXPECT_EQ(pbufCurrent->changes, 0);

    editorSettings.autosaveChanges = 0;
    editorSettings.autosaveInterval = 60000;
    NewDocument("other");
    Buffer* timed = pbufCurrent;
    timed->lastSaveTick = GetTickCount() - 61000;
    CheckAutosave();
    EXPECT_EQ(std::string(timed->autosaveName), "");  // no change since: nothing to save
    timed->changes = 1;
    CheckAutosave();
    EXPECT_NE(std::string(timed->autosaveName), "");
    EXPECT_EQ(timed->changes, 0);
}

TEST_F(AutosaveTest, FailedAutosaveRemovesItsFile) {
    NewDocument("text");
    editorWriteHook = FullDisk;
    EXPECT_FALSE(Autosave(pbufCurrent));
    editorWriteHook = nullptr;
    EXPECT_TRUE(ui.Showed("Disk full"));
    EXPECT_EQ(StateFile(), "");
    EXPECT_EQ(ListFolder(PathOf("state")), "");
    SetStateFolder(PathOf("no/such/folder").c_str());
    EXPECT_FALSE(Autosave(pbufCurrent));
    EXPECT_TRUE(ui.Showed("Error creating autosave file"));
}

using LockTest = EditorTest;

TEST_F(LockTest, ShareModesConflictAcrossProcesses) {
    std::string path = PathOf("shared.txt");
    WriteBytes(path, "content");
    DWORD error = 0;
    int reader = ShareOpenFile(path.c_str(), O_RDONLY, ShareMode::DenyWrite, &error);
    ASSERT_GT(reader, 0);
    EXPECT_EQ(InChild([&] {  // another reader is admitted, a writer is not
                  DWORD childError = 0;
                  int again = ShareOpenFile(path.c_str(), O_RDONLY, ShareMode::DenyWrite, nullptr);
                  int writer = ShareOpenFile(path.c_str(), O_WRONLY | O_TRUNC, ShareMode::Exclusive,
                                             &childError);
                  return again > 0 && writer < 0 && childError == ERROR_SHARING_VIOLATION;
              }),
              0);
    EXPECT_EQ(ReadBytes(path), "content");  // the refused open did not truncate
    ShareCloseFile(reader);
    EXPECT_TRUE(ChildCanOpenExclusively(path));
    EXPECT_EQ(ShareOpenFile(PathOf("none").c_str(), O_RDONLY, ShareMode::Exclusive, &error), -1);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST_F(LockTest, LockedDocumentStaysLockedAcrossSaves) {
    editorSettings.fileLocking = 1;
    std::string path = PathOf("locked.scr");
    WriteBytes(path, "v1\r\n");
    ASSERT_TRUE(OpenDocument(path.c_str(), 0, 0, true));
    ASSERT_GT(pbufCurrent->lockHandle, 0);
    EXPECT_FALSE(ChildCanOpenExclusively(path));
    EXPECT_EQ(InChild([&] {
                  Buffer* buffer = AllocateBuffer();
                  return ReadFile(buffer, path.c_str()) == 0;  // "Unable to open"
              }),
              0);

    InsertChars("v2 ", 3);
    ASSERT_TRUE(SaveBuffer(pbufCurrent));
    EXPECT_EQ(ReadBytes(path), "v2 v1\r\n");
    ASSERT_GT(pbufCurrent->lockHandle, 0);
    EXPECT_FALSE(ChildCanOpenExclusively(path));  // the new file is locked again

    ASSERT_TRUE(UnlockFile(pbufCurrent));
    EXPECT_EQ(pbufCurrent->lockHandle, 0);
    EXPECT_TRUE(ChildCanOpenExclusively(path));
    EXPECT_FALSE(UnlockFile(pbufCurrent));  // nothing to release
    ASSERT_TRUE(LockBuffer(pbufCurrent));
    FreeEditWindow(pwinCurrent);  // destroying the buffer releases it
    EXPECT_TRUE(ChildCanOpenExclusively(path));
}

TEST_F(LockTest, FileLockedElsewhereCannotBeOpened) {
    std::string path = PathOf("busy.txt");
    WriteBytes(path, "x\r\n");
    int held = ShareOpenFile(path.c_str(), O_RDONLY, ShareMode::Exclusive, nullptr);
    ASSERT_GT(held, 0);
    EXPECT_FALSE(OpenDocument(path.c_str(), 0, 0, true));
    EXPECT_TRUE(ui.Showed("Unable to open " + path));
    ShareCloseFile(held);
    EXPECT_TRUE(OpenDocument(path.c_str(), 0, 0, true));
}

}  // namespace
