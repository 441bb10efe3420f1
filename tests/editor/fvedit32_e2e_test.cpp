// The real fvedit32 under its own Xvfb, driven by X key events as a person drives it.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "window_fixture.h"
#include "x_session.h"

namespace {

class Fvedit32Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) {
            GTEST_SKIP() << x.reason();
        }
        char pattern[] = "/tmp/fvedit32-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        for (const char* sub : {"/run", "/state", "/win"}) {
            mkdir((folder + sub).c_str(), 0700);
        }
    }
    void TearDown() override {
        if (!folder.empty()) {
            std::system(("rm -rf '" + folder + "'").c_str());
        }
    }
    std::vector<std::string> Environment() const {
        return {"DISPLAY=" + x.display(),
                "QT_QPA_PLATFORM=xcb",
                "FARVANE_UI=qt",
                "FARVANE_RUNTIME_DIR=" + folder + "/run",
                "XDG_RUNTIME_DIR=" + folder + "/run",
                "FVEDIT_STATE_DIR=" + folder + "/state",
                "FARVANE_WINDIR=" + folder + "/win",
                "HOME=" + folder};
    }
    // Keys to the focused window, with a pause for the editor to take them.
    void Keys(const std::string& keys) {
        x.Shell("xdotool key --delay 40 " + keys);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    void TypeText(const std::string& text) {
        x.Shell("xdotool type --delay 40 '" + text + "'");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    std::string StartedFrame() {
        std::string frame = x.WaitForWindow("Farvane Editor", 15000);
        if (!frame.empty()) {
            x.Shell("xdotool windowfocus --sync " + frame);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        return frame;
    }

    XSession x;
    std::string folder;
};

TEST_F(Fvedit32Test, TypeCutAndPasteALineSaveAndLeave) {
    std::string path = folder + "/doc.txt";
    WriteFile(path, "alpha\r\nbeta\r\ngamma\r\n");
    Program editor(FVEDIT32_PROGRAM, {path}, Environment());
    ASSERT_FALSE(StartedFrame().empty()) << "no editor window appeared";
    TypeText("new ");
    Keys("Home shift+Down ctrl+x Down ctrl+v F2");
    EXPECT_EQ(ReadFile(path), "beta\r\nnew alpha\r\ngamma\r\n");
    x.Screenshot(SCREENSHOT_DIR "/fvedit32_edited.png");
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
    EXPECT_EQ(ReadFile(path), "beta\r\nnew alpha\r\ngamma\r\n");
}

TEST_F(Fvedit32Test, ASecondStartHandsItsFilesToTheRunningEditor) {
    std::string first = folder + "/first.txt";
    std::string second = folder + "/second.txt";
    WriteFile(first, "one\r\n");
    WriteFile(second, "two\r\n");
    Program editor(FVEDIT32_PROGRAM, {first}, Environment());
    ASSERT_FALSE(StartedFrame().empty());
    {
        Program again(FVEDIT32_PROGRAM, {second}, Environment());
        EXPECT_EQ(again.Wait(15000), 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // The handed-over file is open and has the focus in the first editor.
    TypeText("X");
    Keys("F2");
    EXPECT_EQ(ReadFile(second), "Xtwo\r\n");
    EXPECT_EQ(ReadFile(first), "one\r\n");
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

// The names in a folder (files only).
std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            struct stat info;
            if (stat((folder + "/" + name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                names.insert(name);
            }
        }
        closedir(dir);
    }
    return names;
}

// The names of the files in the folder besides those of the documents and the backup: the
// temporary file of a save in progress.
std::set<std::string> TemporaryFiles(const std::string& folder) {
    std::set<std::string> names = FilesIn(folder);
    for (const char* name : {"big.txt", "big.bak", "second.txt", "second.bak"}) {
        names.erase(name);
    }
    return names;
}

// A second start while the first editor writes a large file (the first is held still in the
// middle of its save while the second starts): the hand-over waits in the channel until the
// save is done, the save is whole, the new file opens, and no temporary file is left.
TEST_F(Fvedit32Test, ASecondStartWhileTheFirstIsSavingLosesNeitherTheSaveNorTheFile) {
    std::string big = folder + "/big.txt";
    std::string second = folder + "/second.txt";
    std::string original;
    for (int line = 0; original.size() < (64u << 20); ++line) {
        original += std::string(78, static_cast<char>('a' + line % 26)) + "\r\n";
    }
    WriteFile(big, original);
    WriteFile(second, "two\r\n");
    Program editor(FVEDIT32_PROGRAM, {big}, Environment());
    ASSERT_FALSE(StartedFrame().empty());
    TypeText("X");
    x.Shell("xdotool key F2");
    bool saving = false;
    for (int i = 0; i < 20000 && !saving; ++i) {
        saving = !TemporaryFiles(folder).empty();
        if (!saving) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    ASSERT_TRUE(saving) << "the save did not start";
    kill(editor.pid(), SIGSTOP);
    bool stillSaving = !TemporaryFiles(folder).empty();
    int handedOver;
    {
        Program again(FVEDIT32_PROGRAM, {second}, Environment());
        handedOver = again.Wait(15000);
    }
    kill(editor.pid(), SIGCONT);
    EXPECT_TRUE(stillSaving) << "the second start came after the save";
    EXPECT_EQ(handedOver, 0) << "the second start hands its file over and ends";
    std::string expected = "X" + original;
    for (int i = 0; i < 300 && !TemporaryFiles(folder).empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The file is renamed into place, then the editor takes the waiting hand-over.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(ReadFile(big) == expected) << "the save is whole";
    // The handed-over file is open and has the focus.
    TypeText("Y");
    Keys("F2");
    EXPECT_EQ(ReadFile(second), "Ytwo\r\n");
    if (FilesIn(folder).contains("big.bak")) {
        EXPECT_TRUE(ReadFile(folder + "/big.bak") == original) << "the backup is the old file";
    }
    std::set<std::string> left = TemporaryFiles(folder);
    EXPECT_TRUE(left.empty()) << "left on disk: " << *left.begin();
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

}  // namespace

namespace {

// The picture of the README (two documents, a marked block, the status line), taken to be
// looked at.
TEST_F(Fvedit32Test, ScreenshotOfTwoDocumentsAndABlock) {
    std::string script = folder + "/greeting.scr";
    std::string notes = folder + "/notes.txt";
    WriteFile(script, "; greeting script\r\nsend \"hello\"\r\n\twait 5\r\nsend \"bye\"\r\nend\r\n");
    WriteFile(notes, "Notes\r\n\r\nTwo documents, one marked block.\r\n");
    Program editor(FVEDIT32_PROGRAM, {notes, script}, Environment());
    ASSERT_FALSE(StartedFrame().empty());
    Keys("alt+w t");  // Window, Tile
    Keys("Down shift+Down shift+Down shift+End");
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_two_documents.png", 1, "768x596"));
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

// Find takes its keys in the real program: the word typed into it, Enter finds it and closes
// the dialog, the dot is on the match (typing replaces the marked match), Escape closes it
// unanswered; a menu opened with Alt+letter opens the dialog too. The screenshot shows two
// documents, a marked block, the status line and the open Find dialog.
TEST_F(Fvedit32Test, FindFromItsKeyAndFromTheMenu) {
    std::string path = folder + "/find.txt";
    std::string notes = folder + "/notes.txt";
    WriteFile(path, "alpha\r\nbeta target\r\ngamma\r\n");
    WriteFile(notes, "Notes\r\n\r\nTwo documents, one marked block.\r\n");
    Program editor(FVEDIT32_PROGRAM, {path, notes}, Environment());  // the first is active
    ASSERT_FALSE(StartedFrame().empty()) << "no editor window appeared";
    Keys("ctrl+s");
    ASSERT_TRUE(x.Showing("Find")) << "Ctrl+S opened no Find dialog";
    TypeText("target");
    Keys("Return");
    EXPECT_FALSE(x.Showing("Find"));
    TypeText("hit!");
    Keys("F2");
    EXPECT_EQ(ReadFile(path), "alpha\r\nbeta hit!\r\ngamma\r\n");

    Keys("ctrl+s");
    ASSERT_TRUE(x.Showing("Find"));
    Keys("Escape");
    EXPECT_FALSE(x.Showing("Find")) << "Escape left the Find dialog open";

    Keys("alt+s Return");  // Search, Find...
    EXPECT_TRUE(x.Showing("Find")) << "the Search menu opened no Find dialog";
    Keys("Escape");
    EXPECT_FALSE(x.Showing("Find"));

    Keys("alt+w t");  // Window, Tile
    Keys("ctrl+Home Down shift+Down shift+End ctrl+s");
    TypeText("beta");  // replaces the last word, which the dialog marks
    // Moved off the marked block, which it would cover, for the picture.
    x.Shell("xdotool search --onlyvisible --name '^Find$' windowmove 320 330");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_find.png", 1, "768x596"));
    Keys("Escape alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

}  // namespace
