// Compare and Find Files Containing in the real fvedit32 under its own Xvfb, driven by X key
// events; screenshots of the difference dialog over two documents side by side and of the
// search status window, taken to be looked at.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "window_fixture.h"
#include "x_session.h"

namespace {

class FileToolsProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) {
            GTEST_SKIP() << x.reason();
        }
        char pattern[] = "/tmp/fvedit32-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        for (const char* sub : {"/run", "/state", "/win"}) {
            mkdir((folder + sub).c_str(), 0700);
        }
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        // The editor starts in the test's folder, where relative file masks look.
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override {
        if (!folder.empty()) {
            EXPECT_EQ(chdir(previous), 0);
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
    void Keys(const std::string& keys) {
        x.Shell("xdotool key --delay 40 " + keys);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    void TypeText(const std::string& text) {
        x.Shell("xdotool type --delay 20 '" + text + "'");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    bool Started() {
        std::string frame = x.WaitForWindow("Farvane Editor", 15000);
        if (frame.empty()) {
            return false;
        }
        x.Shell("xdotool windowfocus --sync " + frame);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return true;
    }

    XSession x;
    std::string folder;
    char previous[4096] = {};
};

TEST_F(FileToolsProgramTest, DifferenceDialogOverTwoDocumentsSideBySide) {
    std::string one = folder + "/login.scr";
    std::string two = folder + "/login2.scr";
    WriteFile(one, "; log in\r\nsend \"user\"\r\nwait 5\r\nsend \"secret\"\r\nend\r\n");
    WriteFile(two, "; log in\r\nsend \"user\"\r\nwait 9\r\nsend \"secret\"\r\nend\r\n");
    Program editor(FVEDIT32_PROGRAM, {}, Environment());
    ASSERT_TRUE(Started()) << "no editor window appeared";
    Keys("alt+f e");  // File, Compare...
    ASSERT_TRUE(x.Showing("Compare")) << "File, Compare opened no dialog";
    TypeText(one);
    Keys("Tab");
    TypeText(two);
    // "&Vertical" (side by side) clicked where the dialog shows it, then OK.
    x.Shell(
        "xdotool search --onlyvisible --name '^Compare$' mousemove --window %1 145 131 "
        "click 1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Keys("Return");
    ASSERT_TRUE(x.Showing("Compare")) << "no difference dialog";
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_compare.png", 1, "768x596"));
    Keys("Return");  // Next Match
    Keys("Return");  // Next Difference: none is left, a message says so
    Keys("Return");  // its OK
    EXPECT_FALSE(x.Showing("Compare")) << "the compare did not end";
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

TEST_F(FileToolsProgramTest, SearchStatusWindowAnswersAndStops) {
    mkdir((folder + "/many").c_str(), 0700);
    for (int i = 0; i < 15000; ++i) {
        WriteFile(folder + "/many/file" + std::to_string(i) + ".txt",
                  i % 1000 == 7 ? "a needle\r\n" : "");
    }
    std::string fileMasks;
    while (fileMasks.size() + 7 <= 127) {
        fileMasks += "many/* ";
    }
    fileMasks.pop_back();
    Program editor(FVEDIT32_PROGRAM, {}, Environment());
    ASSERT_TRUE(Started()) << "no editor window appeared";
    // The dialog and the status window that follows it share their title; on a loaded
    // machine the status window maps a moment after the dialog goes.
    Keys("alt+s c");  // Search, Find Files Containing...
    const std::string dialog = x.WaitForShowing("Find Files Containing", 10000);
    ASSERT_FALSE(dialog.empty()) << "no Find Files Containing dialog";
    TypeText("needle");
    Keys("Tab");
    TypeText(fileMasks);
    Keys("Return");
    ASSERT_FALSE(x.WaitForShowing("Find Files Containing", 10000, dialog).empty())
        << "no status window while searching";
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_find_status.png", 1, "768x596"));
    Keys("Escape");  // the status window's Cancel
    EXPECT_FALSE(x.WaitForWindow("List Found Files", 10000).empty())
        << "the stopped search listed nothing";
    Keys("Escape");
    EXPECT_FALSE(x.Showing("Find Files Containing"));
    Keys("alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
}

}  // namespace
