// The preferences dialogs' checks and effects, and the history lists the dialogs share.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/core/editor_settings.h"
#include "editor/core/history_lists.h"
#include "editor/core/preferences_dialogs.h"
#include "editor/core/undo.h"
#include "editor_fixture.h"

namespace {

class PreferencesTest : public EditorTest {};

void SetField(char (&field)[FORM_NUMBER_SIZE], const char* text) {
    std::snprintf(field, sizeof field, "%s", text);
}

TEST_F(PreferencesTest, EditorPreferencesRefuseBadNumbersAndKeepTheDialogOpen) {
    EditorPreferencesDialog dialog;
    EXPECT_STREQ(dialog.form.undoLevels, "100");
    SetField(dialog.form.undoLevels, "301");
    dialog.form.restoreSession = 1;
    dialog.form.makeBackups = 0;
    PreferencesResult result = dialog.Ok();
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(result.focusControl, IDC_UNDO_LEVELS);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Undo levels must be in the range 0-300.");
    EXPECT_EQ(ui.messages[0].icon, UiIcon::Warning);
    EXPECT_EQ(editorSettings.restoreSession, 1) << "stored before the checks";
    EXPECT_EQ(editorSettings.makeBackups, 1) << "stored only when valid";

    SetField(dialog.form.undoLevels, " 300 ");
    SetField(dialog.form.autosaveMinutes, "5x");
    result = dialog.Ok();
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(result.focusControl, IDC_AUTOSAVE_MINUTES);
    EXPECT_TRUE(ui.Showed("Invalid entry"));
    SetField(dialog.form.autosaveMinutes, "99999999");
    EXPECT_FALSE(dialog.Ok().closed) << "minutes that overflow the interval are refused";
    SetField(dialog.form.autosaveMinutes, "5");
    SetField(dialog.form.autosaveChanges, "-1");
    EXPECT_EQ(dialog.Ok().focusControl, IDC_AUTOSAVE_CHANGES);
    SetField(dialog.form.autosaveChanges, "20");
    result = dialog.Ok();
    EXPECT_TRUE(result.closed);
    EXPECT_FALSE(result.fontChanged);
    EXPECT_EQ(editorSettings.undoLevels, 300);
    EXPECT_EQ(editorSettings.autosaveInterval, 300000u);
    EXPECT_EQ(editorSettings.autosaveChanges, 20u);
    EXPECT_EQ(editorSettings.makeBackups, 0);
}

TEST_F(PreferencesTest, FontAndCursorTakeEffectAtOnceAndCancelPutsThemBack) {
    EditorPreferencesDialog dialog;
    dialog.SelectFont(FONT_OEM_FIXED);
    dialog.SelectCursor(CURSOR_BLOCK);
    dialog.SetBlinking(0);
    EXPECT_EQ(editorSettings.screenFont, FONT_OEM_FIXED);
    EXPECT_EQ(editorSettings.cursorShape, CURSOR_BLOCK);
    dialog.Cancel();
    EXPECT_EQ(editorSettings.screenFont, FONT_SYSTEM_FIXED);
    EXPECT_EQ(editorSettings.cursorShape, CURSOR_VERTICAL_BAR);
    EXPECT_EQ(editorSettings.blinkingCursor, 1);

    EditorPreferencesDialog second;
    second.SelectFont(FONT_ANSI_FIXED);
    EXPECT_TRUE(second.Ok().fontChanged);
}

TEST_F(PreferencesTest, LowerUndoLevelsTrimOpenBuffers) {
    EditWindow* window = NewDocument("abc");
    for (int i = 0; i < 5; ++i) {
        NewCommandSerial();
        PushUndo(U_MOVE);
    }
    EditorPreferencesDialog dialog;
    SetField(dialog.form.undoLevels, "2");
    ASSERT_TRUE(dialog.Ok().closed);
    EXPECT_LE(window->buffer->ulevel, 2);
}

TEST_F(PreferencesTest, DocumentPreferencesCheckRangesAndSaveDefaults) {
    EditWindow* window = NewDocument("text");
    Buffer* buffer = window->buffer;
    DocumentPreferencesForm form = OpenDocumentPreferences(buffer);
    EXPECT_STREQ(form.tabSpacing, "8");
    EXPECT_STREQ(form.rightMargin, "65");

    SetField(form.tabSpacing, "17");
    PreferencesResult result = DocumentPreferencesOk(form, buffer);
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(result.focusControl, IDC_TAB_SPACING);
    EXPECT_TRUE(ui.Showed("Tab spacing must be in the range 1-16."));
    SetField(form.tabSpacing, "");
    EXPECT_FALSE(DocumentPreferencesOk(form, buffer).closed);
    EXPECT_TRUE(ui.Showed("Invalid entry"));
    SetField(form.tabSpacing, "4");
    SetField(form.rightMargin, "31");
    result = DocumentPreferencesOk(form, buffer);
    EXPECT_EQ(result.focusControl, IDC_RIGHT_MARGIN);
    EXPECT_TRUE(ui.Showed("Right margin must be in the range 32-512."));
    EXPECT_EQ(buffer->tabSize, 8) << "nothing stored while invalid";

    SetField(form.rightMargin, "512");
    form.wordWrap = 1;
    form.autoIndent = 1;
    window->redraw = 0;
    ASSERT_TRUE(DocumentPreferencesOk(form, buffer).closed);
    EXPECT_EQ(buffer->tabSize, 4);
    EXPECT_EQ(buffer->rightMargin, 512);
    EXPECT_EQ(buffer->options & (BF_WORDWRAP | BF_AUTOINDENT), BF_WORDWRAP | BF_AUTOINDENT);
    EXPECT_TRUE(window->redraw & RD_ALL);
    EXPECT_EQ(editorSettings.tabSize, 8) << "defaults only with Save as Default";

    form = OpenDocumentPreferences(buffer);
    EXPECT_FALSE(form.saveAsDefault);
    form.saveAsDefault = 1;
    form.expandTabs = 1;
    ASSERT_TRUE(DocumentPreferencesOk(form, buffer).closed);
    EXPECT_EQ(editorSettings.tabSize, 4);
    EXPECT_EQ(editorSettings.rightMargin, 512);
    EXPECT_EQ(editorSettings.wordWrap, 1);
    EXPECT_EQ(editorSettings.expandTabs, 1);
    EXPECT_EQ(editorSettings.autoIndent, 1);
}

TEST(HistoryListTest, MovesExistingEntriesUpAndCutsLongTexts) {
    HistoryList list{};
    for (int i = 9; i >= 0; --i) {
        AddToHistory(list, std::to_string(i).c_str());
    }
    AddToHistory(list, "4");
    const char* expected[] = {"4", "0", "1", "2", "3", "5", "6", "7", "8", "9"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(HistoryEntry(list, i), expected[i]) << i;
    }
    AddToHistory(list, "0");  // entry 1 moves up; nothing else changes
    EXPECT_STREQ(HistoryEntry(list, 0), "0");
    EXPECT_STREQ(HistoryEntry(list, 1), "4");
    EXPECT_STREQ(HistoryEntry(list, 9), "9");
    AddToHistory(list, "4");
    EXPECT_STREQ(HistoryEntry(list, 1), "0");
    AddToHistory(list, "new");
    EXPECT_STREQ(HistoryEntry(list, 0), "new");
    EXPECT_STREQ(HistoryEntry(list, 9), "8") << "the oldest is lost";

    std::string longText(200, 'x');
    AddToHistory(list, longText.c_str());
    EXPECT_EQ(std::string(HistoryEntry(list, 0)), longText.substr(0, 127));
    AddToHistory(list, longText.c_str());
    EXPECT_STREQ(HistoryEntry(list, 1), "new") << "the cut text counts as the same entry";
    EXPECT_STREQ(HistoryEntry(list, 10), "");
    EXPECT_STREQ(HistoryEntry(list, -1), "");
}

TEST(HistoryListTest, ComboItemsAreTheNonEmptyEntries) {
    HistoryList list{};
    AddToHistory(list, "a");
    AddToHistory(list, "b");
    std::vector<std::string> items = HistoryComboItems(list);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], "b");
    EXPECT_EQ(items[1], "a");
}

}  // namespace
