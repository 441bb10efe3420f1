#include "editor/core/preferences_dialogs.h"

#include <cctype>
#include <cstdio>

#include "editor/core/edit_window.h"
#include "editor/core/editor_settings.h"
#include "editor/core/settings_texts.h"
#include "editor/core/state_file.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/window_positions.h"

namespace {

constexpr long kMaxAutosaveMinutes = 0xFFFFFFFFu / 60000u;

void PutNumber(char (&field)[FORM_NUMBER_SIZE], long value) {
    std::snprintf(field, sizeof field, "%ld", value);
}

PreferencesResult KeepOpen(const char* message, int control) {
    Ui().MessageBox(message, EditorTitle(), UiButtons::Ok, UiIcon::Warning, false);
    return {false, control, false};
}

}  // namespace

bool ParseFieldNumber(const char* text, long* value) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (!std::isdigit(static_cast<unsigned char>(*p))) {
        return false;
    }
    long number = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        number = number * 10 + (*p - '0');
        if (number > 0x7FFFFFFFL) {
            return false;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (*p != '\0') {
        return false;
    }
    *value = number;
    return true;
}

EditorPreferencesDialog::EditorPreferencesDialog()
    : form{},
      originalFont_(editorSettings.screenFont),
      originalCursor_(editorSettings.cursorShape),
      originalBlinking_(editorSettings.blinkingCursor) {
    const EditorSettings& s = editorSettings;
    form.screenFont = s.screenFont;
    form.cursorShape = s.cursorShape;
    form.blinking = s.blinkingCursor;
    PutNumber(form.autosaveMinutes, static_cast<long>(s.autosaveInterval / 60000));
    PutNumber(form.autosaveChanges, static_cast<long>(s.autosaveChanges));
    PutNumber(form.undoLevels, s.undoLevels);
    form.restoreSession = s.restoreSession;
    form.typingReplacesSelection = s.typingReplacesSelection;
    form.makeBackups = s.makeBackups;
    form.fileLocking = s.fileLocking;
    form.cutCopyCurrentLine = s.cutCopyCurrentLine;
    form.removeTrailingSpaces = s.removeTrailingSpaces;
}

void EditorPreferencesDialog::SelectFont(int font) {
    if (font >= FONT_SYSTEM_FIXED && font <= FONT_OEM_FIXED) {
        form.screenFont = editorSettings.screenFont = font;
    }
}

void EditorPreferencesDialog::SelectCursor(int shape) {
    if (shape >= CURSOR_BLOCK && shape <= CURSOR_VERTICAL_BAR) {
        form.cursorShape = editorSettings.cursorShape = shape;
    }
}

void EditorPreferencesDialog::SetBlinking(BOOL blinking) {
    form.blinking = editorSettings.blinkingCursor = blinking ? 1 : 0;
}

PreferencesResult EditorPreferencesDialog::Ok() {
    EditorSettings& s = editorSettings;
    s.blinkingCursor = form.blinking ? 1 : 0;
    s.typingReplacesSelection = form.typingReplacesSelection ? 1 : 0;
    s.cutCopyCurrentLine = form.cutCopyCurrentLine ? 1 : 0;
    s.restoreSession = form.restoreSession ? 1 : 0;
    long undoLevels = 0;
    if (!ParseFieldNumber(form.undoLevels, &undoLevels) || undoLevels > MAX_UNDO_LEVELS) {
        return KeepOpen(TXT_UNDO_LEVELS_RANGE, IDC_UNDO_LEVELS);
    }
    long minutes = 0;
    if (!ParseFieldNumber(form.autosaveMinutes, &minutes) || minutes > kMaxAutosaveMinutes) {
        return KeepOpen(TXT_INVALID_ENTRY, IDC_AUTOSAVE_MINUTES);
    }
    long changes = 0;
    if (!ParseFieldNumber(form.autosaveChanges, &changes)) {
        return KeepOpen(TXT_INVALID_ENTRY, IDC_AUTOSAVE_CHANGES);
    }
    SetUndoLevels(static_cast<int>(undoLevels));
    s.makeBackups = form.makeBackups ? 1 : 0;
    s.removeTrailingSpaces = form.removeTrailingSpaces ? 1 : 0;
    s.autosaveInterval = static_cast<DWORD>(minutes) * 60000u;
    s.autosaveChanges = static_cast<DWORD>(changes);
    s.fileLocking = form.fileLocking ? 1 : 0;
    ApplySettingsToCommands();
    return {true, 0, s.screenFont != originalFont_};
}

void EditorPreferencesDialog::Cancel() {
    editorSettings.screenFont = originalFont_;
    editorSettings.cursorShape = originalCursor_;
    editorSettings.blinkingCursor = originalBlinking_;
}

DocumentPreferencesForm OpenDocumentPreferences(const Buffer* buffer) {
    DocumentPreferencesForm form{};
    PutNumber(form.tabSpacing, buffer->tabSize);
    PutNumber(form.rightMargin, buffer->rightMargin);
    form.wordWrap = (buffer->options & BF_WORDWRAP) != 0;
    form.autoIndent = (buffer->options & BF_AUTOINDENT) != 0;
    form.expandTabs = (buffer->options & BF_EXPANDTABS) != 0;
    form.saveAsDefault = 0;
    return form;
}

PreferencesResult DocumentPreferencesOk(const DocumentPreferencesForm& form, Buffer* buffer) {
    long tab = 0;
    if (!ParseFieldNumber(form.tabSpacing, &tab)) {
        return KeepOpen(TXT_INVALID_ENTRY, IDC_TAB_SPACING);
    }
    if (tab < 1 || tab > 16) {
        return KeepOpen(TXT_TAB_SPACING_RANGE, IDC_TAB_SPACING);
    }
    long margin = 0;
    if (!ParseFieldNumber(form.rightMargin, &margin)) {
        return KeepOpen(TXT_INVALID_ENTRY, IDC_RIGHT_MARGIN);
    }
    if (margin < 32 || margin > 512) {
        return KeepOpen(TXT_RIGHT_MARGIN_RANGE, IDC_RIGHT_MARGIN);
    }
    WORD options = buffer->options & ~(BF_WORDWRAP | BF_AUTOINDENT | BF_EXPANDTABS);
    options |= form.wordWrap ? BF_WORDWRAP : 0;
    options |= form.autoIndent ? BF_AUTOINDENT : 0;
    options |= form.expandTabs ? BF_EXPANDTABS : 0;
    buffer->options = options;
    buffer->autoIndent = form.autoIndent ? 1 : 0;
    buffer->tabSize = static_cast<int>(tab);
    buffer->rightMargin = static_cast<int>(margin);
    ForEachWindowOn(buffer, [](EditWindow* window) { window->redraw |= RD_ALL; });
    if (form.saveAsDefault) {
        editorSettings.tabSize = buffer->tabSize;
        editorSettings.expandTabs = form.expandTabs ? 1 : 0;
        editorSettings.autoIndent = form.autoIndent ? 1 : 0;
        editorSettings.rightMargin = buffer->rightMargin;
        editorSettings.wordWrap = form.wordWrap ? 1 : 0;
    }
    return {true, 0, false};
}
