// The Key Assignments dialog's buttons, boxes and checks.
#include <gtest/gtest.h>

#include <string>

#include "editor/core/editor_settings.h"
#include "editor/core/key_assign_dialog.h"
#include "editor/core/key_file.h"
#include "editor_fixture.h"

namespace {

class KeyDialogTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
        ASSERT_TRUE(dialog.Open());
    }
    void TearDown() override {
        editorSettings.keyboardMode = 1;
        ApplyKeyboardMode();
        ResetKeyTable();
        EditorTest::TearDown();
    }
    static std::string CommandOf(const char* key) {
        KeySlot* slot = FindKeySlot(key);
        return slot != nullptr ? CommandNameOf(slot->command) : "<no slot>";
    }
    KeyAssignmentsDialog dialog;
};

TEST_F(KeyDialogTest, BoxesListCommandsAndKeys) {
    std::vector<std::string> functions = dialog.FunctionItems();
    ASSERT_EQ(functions.size(), 93u);
    EXPECT_TRUE(std::is_sorted(functions.begin(), functions.end()));
    std::vector<std::string> keys = dialog.KeyItems();
    EXPECT_EQ(keys.size(), 180u) << "every key of accelerator table 5";
    EXPECT_EQ(keys.front(), "Alt+0");

    dialog.SelectFunction("copy");
    ASSERT_EQ(dialog.currentKeys.size(), 3u);
    EXPECT_EQ(dialog.currentKeys[0], "Ctrl+C");
    EXPECT_EQ(dialog.currentKeys[1], "Ctrl+Ins");
    EXPECT_EQ(dialog.currentKeys[2], "Num +");
    dialog.SelectCurrentKey(1);
    EXPECT_EQ(dialog.keyText, "Ctrl+Ins");
    EXPECT_EQ(dialog.currentFunction, "copy");
    dialog.SelectKey("Alt+Q");
    EXPECT_EQ(dialog.currentFunction, "");
}

TEST_F(KeyDialogTest, ButtonsAreEnabledByTheBoxes) {
    EXPECT_FALSE(dialog.AssignEnabled());
    EXPECT_FALSE(dialog.UnassignEnabled());
    dialog.keyText = "F9";
    EXPECT_TRUE(dialog.UnassignEnabled());
    EXPECT_FALSE(dialog.AssignEnabled());
    dialog.functionText = "tile";
    EXPECT_TRUE(dialog.AssignEnabled());
    dialog.fileName.clear();
    EXPECT_FALSE(dialog.LoadSaveEnabled());
    dialog.fileName = "x.key";
    EXPECT_TRUE(dialog.LoadSaveEnabled());
    EXPECT_FALSE(dialog.BrowseEnabled());
    dialog.fileNameHasFocus = true;
    EXPECT_TRUE(dialog.BrowseEnabled());
}

TEST_F(KeyDialogTest, AssignChecksBothNames) {
    dialog.keyText = "Hyper+Q";
    dialog.functionText = "tile";
    EXPECT_EQ(dialog.Assign(), KeyDialogFocus::KeyBox);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Invalid key name");
    EXPECT_EQ(ui.messages[0].caption, "Error");
    dialog.keyText = "f9";
    dialog.functionText = "test_batch";
    EXPECT_EQ(dialog.Assign(), KeyDialogFocus::FunctionBox);
    EXPECT_EQ(ui.messages.back().text, "Invalid function name");
    dialog.functionText = "tile";
    EXPECT_EQ(dialog.Assign(), KeyDialogFocus::None);
    EXPECT_EQ(CommandOf("F9"), "tile");
    EXPECT_EQ(dialog.currentFunction, "tile");
    ASSERT_EQ(dialog.currentKeys.size(), 1u);
    dialog.Unassign();
    EXPECT_EQ(CommandOf("F9"), "");
    EXPECT_TRUE(dialog.currentKeys.empty());
}

TEST_F(KeyDialogTest, CancelPutsTheTableAndModeBack) {
    dialog.SelectKey("Up");
    dialog.Unassign();
    dialog.menuAccelerators = false;
    dialog.fileName = PathOf("c.key");
    ASSERT_EQ(dialog.Save(), KeyDialogFocus::None);
    EXPECT_EQ(editorSettings.keyboardMode, 0);
    dialog.Cancel();
    EXPECT_EQ(CommandOf("Up"), "cursor_up");
    EXPECT_EQ(editorSettings.keyboardMode, 1);
}

TEST_F(KeyDialogTest, LoadAndSaveCheckTheFileName) {
    dialog.fileName.clear();
    EXPECT_EQ(dialog.Load(), KeyDialogFocus::FileName);
    EXPECT_TRUE(ui.Showed("No file name specified"));
    dialog.fileName = PathOf("missing/folder/x.key");
    EXPECT_EQ(dialog.Save(), KeyDialogFocus::FileName);
    EXPECT_TRUE(ui.Showed("Invalid file name"));
    dialog.fileName = std::string(140, 'k') + ".key";
    EXPECT_EQ(dialog.Load(), KeyDialogFocus::FileName) << "longer than the setting holds";
    dialog.fileName = Folder();
    EXPECT_EQ(dialog.Load(), KeyDialogFocus::FileName) << "a folder";

    // Save with accelerators off, change a binding, load it back.
    dialog.fileName = PathOf("mine.key");
    dialog.menuAccelerators = false;
    dialog.keyText = "Alt+E";
    dialog.functionText = "tile";
    ASSERT_EQ(dialog.Save(), KeyDialogFocus::None);
    EXPECT_STREQ(editorSettings.keyFileName, PathOf("mine.key").c_str());
    dialog.keyText = "F9";
    ASSERT_EQ(dialog.Assign(), KeyDialogFocus::None);
    dialog.menuAccelerators = true;
    ui.Clear();
    EXPECT_EQ(dialog.Load(), KeyDialogFocus::LoadButton);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(CommandOf("F9"), "") << "the file's table replaced the change";
    EXPECT_FALSE(dialog.menuAccelerators) << "the check box shows the loaded mode";
    EXPECT_EQ(CurrentAcceleratorTable(), ACCEL_NO_MNEMONICS);

    dialog.fileName = PathOf("absent.key");
    dialog.Load();
    EXPECT_TRUE(ui.Showed("File does not exist"));
}

TEST_F(KeyDialogTest, BrowseAndOk) {
    ui.QueuePath(PathOf("chosen.key"));
    dialog.Browse();
    EXPECT_EQ(dialog.fileName, PathOf("chosen.key"));
    EXPECT_TRUE(dialog.okIsDefault);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].title, "Key Assignments");
    EXPECT_EQ(ui.dialogs[0].filter, "Kbd. Config. Files|*.key|All Files (*.*)|*.*|");

    dialog.menuAccelerators = false;
    dialog.fileName = PathOf("no/such/dir/x.key");
    EXPECT_FALSE(dialog.Ok());
    EXPECT_TRUE(ui.Showed("Invalid file name"));
    dialog.fileName.clear();
    EXPECT_TRUE(dialog.Ok()) << "an empty name is allowed: no key file";
    EXPECT_STREQ(editorSettings.keyFileName, "");
    EXPECT_EQ(CurrentAcceleratorTable(), ACCEL_NO_MNEMONICS);
}

}  // namespace
