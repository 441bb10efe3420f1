// The real fvedit32 under its own Xvfb: the script builder's Reference dialog with an
// assistant open, and print mode writing a PDF without showing a window.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "window_fixture.h"
#include "x_session.h"

namespace {

class Fvedit32ToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x.ok()) {
            GTEST_SKIP() << x.reason();
        }
        char pattern[] = "/tmp/fvedit32-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        for (const char* sub : {"/run", "/state", "/win", "/pdf"}) {
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
                "FARVANE_PRINT_PDF=" + folder + "/pdf",
                "HOME=" + folder};
    }
    void Keys(const std::string& keys) {
        x.Shell("xdotool key --delay 40 " + keys);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    void TypeText(const std::string& text) {
        x.Shell("xdotool type --delay 40 '" + text + "'");
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }

    XSession x;
    std::string folder;
};

// Alt+R opens the Reference; "Dial Number" is picked with the arrow keys, Assist opens the
// Dial assistant on its Number command, and OK inserts the line into the document.
TEST_F(Fvedit32ToolsTest, ReferenceDialogWithTheDialAssistant) {
    std::string path = folder + "/dial.scr";
    WriteFile(path, "");
    Program editor(FVEDIT32_PROGRAM, {"/b", path}, Environment());
    std::string frame = x.WaitForWindow("Farvane Editor", 15000);
    ASSERT_FALSE(frame.empty()) << "no editor window appeared";
    x.Shell("xdotool windowfocus --sync " + frame);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Keys("alt+r");
    ASSERT_FALSE(x.WaitForWindow("Reference", 5000).empty()) << "Alt+R opened no Reference";
    x.Shell("xdotool search --onlyvisible --name '^Reference$' windowmove 20 60");
    Keys("--repeat 29 Down");  // the sorted list: "Dial Number" is the 30th entry
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_reference.png", 1, "768x596"));
    Keys("alt+t");
    ASSERT_FALSE(x.WaitForWindow("Dial Commands", 5000).empty()) << "Assist opened nothing";
    // Kept clear of the Reference: under Xvfb a window over another of the same program reads
    // back black.
    x.Shell("xdotool search --onlyvisible --name '^Dial Commands$' windowmove 340 330");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    TypeText("5551234");
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_reference_assistant.png", 1, "768x596"));
    Keys("Return");
    EXPECT_FALSE(x.Showing("Dial Commands"));

    // Session Dial, 69 entries further down, with its defaults and a host typed.
    Keys("--repeat 69 Down");
    Keys("alt+t");
    ASSERT_FALSE(x.WaitForWindow("Session Dial", 5000).empty()) << "no Session Dial";
    x.Shell("xdotool search --onlyvisible --name '^Session Dial$' windowmove 20 310");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    TypeText("ACME");
    EXPECT_TRUE(x.Screenshot(SCREENSHOT_DIR "/fvedit32_session_assistant.png", 1, "768x596"));
    Keys("Escape");  // Cancel: nothing inserted
    EXPECT_FALSE(x.Showing("Session Dial"));
    Keys("Escape");  // Close hides the Reference
    x.Shell("xdotool windowfocus --sync " + frame);
    Keys("F2 alt+x");
    EXPECT_EQ(editor.Wait(15000), 0);
    // The line ends in a line break, so the empty line after it is saved too.
    EXPECT_EQ(ReadFile(path), "DIAL NUMBER \"5551234\"\r\n\r\n");
}

// Print mode prints every file named and ends; with FARVANE_PRINT_PDF each becomes a PDF.
TEST_F(Fvedit32ToolsTest, PrintModeWritesAPdfPerFileAndEnds) {
    std::string one = folder + "/one.scr";
    std::string two = folder + "/two.scr";
    WriteFile(one, "first file\r\n");
    WriteFile(two, "second file\r\n");
    // Print mode shows nothing a user looks at, so it needs no X server of its own.
    std::vector<std::string> environment = Environment();
    environment[0] = "DISPLAY=";
    environment[1] = "QT_QPA_PLATFORM=offscreen";
    Program editor(FVEDIT32_PROGRAM, {"/p", one, two}, environment);
    EXPECT_EQ(editor.Wait(20000), 0);
    struct stat info {};
    EXPECT_EQ(stat((folder + "/pdf/one.scr.pdf").c_str(), &info), 0);
    EXPECT_EQ(stat((folder + "/pdf/two.scr.pdf").c_str(), &info), 0);
    if (std::system("command -v pdftotext >/dev/null") == 0) {
        std::string text = x.Output("pdftotext " + folder + "/pdf/two.scr.pdf -");
        EXPECT_NE(text.find("second file"), std::string::npos) << text;
    }
}

}  // namespace
