// Replay scripts run in process: the state a replay starts with, and macro recording and
// playback (key presses and typed characters go through the recorder as a document window's
// messages do).
#include <gtest/gtest.h>

#include <sstream>

#include "editor/core/documents.h"
#include "editor/core/key_table.h"
#include "editor/core/macro.h"
#include "editor/view/display_update.h"
#include "editor_fixture.h"
#include "replay_script.h"
#include "replay_ui.h"

namespace {

class ReplayMacroTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetEditorUi(&replayUi);
        ResetKeyTable();
        ResetMacro();
    }
    void TearDown() override {
        ResetMacro();
        ResetKeyTable();
        EditorTest::TearDown();
    }
    ScriptError Run(const std::string& script) {
        std::ostringstream out;
        return RunScript(ParseScript(script), replayUi, out, false);
    }
    ReplayUi replayUi;
};

TEST_F(ReplayMacroTest, RecordedTypingAndKeysPlayBack) {
    WriteBytes(PathOf("a.txt"), "one\r\ntwo\r\n");
    ASSERT_TRUE(OpenDocument(PathOf("a.txt").c_str(), 0, 0, true));
    DisplayUpdate();
    ScriptError error = Run("macro record\ntype >\nkey Down\nkey Home\nmacro record\nmacro play\n");
    EXPECT_EQ(error.line, 0) << error.message;
    EXPECT_EQ(macro.length, 3);
    EXPECT_EQ(BufferText(pwinCurrent->buffer), ">one\n>two");
}

TEST_F(ReplayMacroTest, BadLinesAreRefused) {
    NewDocument("x");
    EXPECT_EQ(Run("key Hyper+Q").message, "no key named Hyper+Q");
    EXPECT_EQ(Run("macro loop").message, "macro wants record or play");
    UnassignKey("F8");
    EXPECT_EQ(Run("macro play").message, "no key runs play_macro");
}

TEST_F(ReplayMacroTest, TypingReplacesTheSelectionAsThePreferenceDefaultsSay) {
    NewDocument("abcdef");
    DisplayUpdate();
    ResetReplayState();
    ScriptError error = Run("select_char_right 3\ntype X\n");
    EXPECT_EQ(error.line, 0) << error.message;
    EXPECT_EQ(BufferText(pwinCurrent->buffer), "Xdef");
    error = Run("set typing-replaces off\nselect_char_right 2\ntype Y\n");
    EXPECT_EQ(error.line, 0) << error.message;
    EXPECT_EQ(BufferText(pwinCurrent->buffer), "XYdef") << "unmarked to the block's start";
}

TEST_F(ReplayMacroTest, APlayedBackEmptyBlockDeletesNothing) {
    NewDocument("abc");
    DisplayUpdate();
    // While recording, the display update ends the emptied block before Backspace; during
    // playback the mark does not follow the dot, so Backspace meets an empty block.
    ScriptError error =
        Run("macro record\nkey Shift+Right\nkey Shift+Left\nkey Backspace\nmacro record\n");
    EXPECT_EQ(error.line, 0) << error.message;
    pbufCurrent->changes = 0;
    error = Run("macro play\n");
    EXPECT_EQ(error.line, 0) << error.message;
    EXPECT_EQ(BufferText(pwinCurrent->buffer), "abc");
    EXPECT_EQ(pbufCurrent->changes, 0);
}

}  // namespace
