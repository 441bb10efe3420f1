// The editor's dialogs on their templates, acted on as the user would: Goto Line, Find,
// Replace with its Confirm Replacement, the preferences, Key Assignments and About.
#include "editor/ui/editor_dialogs.h"
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/core/key_table.h"
#include "editor/core/preferences_dialogs.h"
#include "editor/ui/menu_ids.h"
#include "window_fixture.h"

using namespace farvane::ui;
using fvedit::ew;

namespace {

class DialogTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        std::string path = PathOf("dialogs.txt");
        WriteFile(path, "alpha beta\r\n\tgamma beta\r\ndelta\r\n");
        ASSERT_TRUE(Start(path));
    }
    static void Edit(HWND dialog, int id, const std::string& text) {
        UserEditText(GetDlgItem(dialog, id), text);
    }
    static void Press(HWND dialog, int id) { UserClickButton(GetDlgItem(dialog, id)); }
    static std::string Text(HWND dialog, int id) {
        char text[256];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
};

TEST_F(DialogTest, GotoLineRefusesABadNumberAndMovesToAGoodOne) {
    std::string caption;
    std::string initial;
    PushModalDialogHandler([&](HWND dialog) {
        char text[64];
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        initial = Text(dialog, fvedit::IDC_LINE_NUMBER);
        Edit(dialog, fvedit::IDC_LINE_NUMBER, "0");
        Press(dialog, IDOK);  // "Invalid line number", the dialog stays
        Edit(dialog, fvedit::IDC_LINE_NUMBER, "3");
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_GOTO_LINE);
    EXPECT_EQ(caption, "Goto Line");
    EXPECT_EQ(initial, "1");
    ASSERT_FALSE(backend->messageBoxes().empty());
    EXPECT_EQ(backend->messageBoxes()[0].text, EditorString(IDS_INVALID_LINE_NUMBER));
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 2u);
    EXPECT_EQ(StatusText().substr(0, 13), " Line 3 Col 1");
}

TEST_F(DialogTest, FindMarksTheMatchAndFindAgainGoesOn) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, fvedit::IDC_PATTERN, "beta");
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_FIND);
    EXPECT_TRUE(pwinCurrent->marking);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 0u);
    EXPECT_EQ(pwinCurrent->dot.offset, 10);
    EXPECT_TRUE(Highlighted(0, 7));
    EXPECT_TRUE(Highlighted(0, 10));
    EXPECT_FALSE(Highlighted(0, 11));
    Command(fvedit::IDM_FIND_AGAIN);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 1u);
    // The history fills the combo box next time.
    int items = -1;
    PushModalDialogHandler([&](HWND dialog) {
        items =
            static_cast<int>(SendDlgItemMessageA(dialog, fvedit::IDC_PATTERN, CB_GETCOUNT, 0, 0));
        Press(dialog, IDCANCEL);
    });
    Command(fvedit::IDM_FIND);
    EXPECT_EQ(items, 1);
}

TEST_F(DialogTest, ReplaceWithConfirmationAsksForEachMatch) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, fvedit::IDC_PATTERN, "beta");
        Edit(dialog, fvedit::IDC_REPLACEMENT, "B");
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_REPLACE);
    HWND confirm = fvedit::ConfirmReplacementDialog();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(Text(confirm, fvedit::IDC_CONFIRM_QUESTION), EditorString(IDS_CONFIRM_ONE));
    Press(confirm, IDYES);
    Pump();
    EXPECT_EQ(Row(0), " alpha B");
    Press(confirm, IDNO);  // the second is kept, and there is no third
    Pump();
    EXPECT_EQ(fvedit::ConfirmReplacementDialog(), nullptr);
    EXPECT_EQ(Row(1), "         gamma beta");
}

TEST_F(DialogTest, ReplaceAllWithoutConfirmation) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, fvedit::IDC_PATTERN, "beta");
        Edit(dialog, fvedit::IDC_REPLACEMENT, "b");
        Press(dialog, fvedit::IDC_CONFIRM_CHANGES);  // off
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_REPLACE);
    EXPECT_EQ(fvedit::ConfirmReplacementDialog(), nullptr);
    EXPECT_EQ(Row(0), " alpha b");
    EXPECT_EQ(Row(1), "         gamma b");
    EXPECT_EQ(StatusText(), " 2 occurrences changed");
}

TEST_F(DialogTest, DocumentPreferencesChangeTheTabSpacingOnScreen) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, IDC_TAB_SPACING, "40");  // out of range: a warning, the dialog stays
        Press(dialog, IDOK);
        Edit(dialog, IDC_TAB_SPACING, "4");
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_DOCUMENT_PREFERENCES);
    ASSERT_FALSE(backend->messageBoxes().empty());
    EXPECT_EQ(backend->messageBoxes()[0].text, "Tab spacing must be in the range 1-16.");
    EXPECT_EQ(pbufCurrent->tabSize, 4);
    EXPECT_EQ(Row(1), "     gamma beta");
}

TEST_F(DialogTest, EditorPreferencesKeepTheDialogOpenForABadNumber) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, IDC_UNDO_LEVELS, "400");
        Press(dialog, IDOK);
        Edit(dialog, IDC_UNDO_LEVELS, "50");
        Press(dialog, IDC_CURSOR_BLOCK);
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_EDITOR_PREFERENCES);
    ASSERT_FALSE(backend->messageBoxes().empty());
    EXPECT_EQ(backend->messageBoxes()[0].text, "Undo levels must be in the range 0-300.");
    EXPECT_EQ(editorSettings.undoLevels, 50);
    EXPECT_EQ(editorSettings.cursorShape, CURSOR_BLOCK);
}

TEST_F(DialogTest, KeyAssignmentsAssignAKeyThatThenWorks) {
    PushModalDialogHandler([](HWND dialog) {
        Edit(dialog, 700, "end_of_buffer");
        Edit(dialog, 702, "Alt+J");
        Press(dialog, 706);  // Assign
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_KEY_ASSIGNMENTS);
    EXPECT_TRUE(backend->messageBoxes().empty());
    KeyModifiers alt;
    alt.alt = true;
    Key('J', alt);
    EXPECT_EQ(pwinCurrent->dot.lpln->number, 2u);  // the last line
    EXPECT_EQ(pwinCurrent->dot.offset, 5);
}

TEST_F(DialogTest, AboutOpensAndCloses) {
    std::string caption;
    PushModalDialogHandler([&](HWND dialog) {
        char text[64];
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        Press(dialog, IDOK);
    });
    Command(fvedit::IDM_ABOUT);
    EXPECT_EQ(caption, "About");
}

TEST_F(DialogTest, EveryCommandNameIsBound) {
    int placeholders = 0;
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        const EditorCommand* command = CommandAt(i);
        if (command->function != nullptr && CommandIsPlaceholder(command)) {
            ++placeholders;
            std::string name = command->name;
            ADD_FAILURE() << name << " is still a placeholder";
        }
    }
    EXPECT_EQ(placeholders, 0);
}

}  // namespace
