// What the Editor Preferences and Document Preferences dialogs do: the values their controls
// start with, what takes effect at once, and the checks and changes of OK. The user interface
// draws the dialogs, keeps the form in step with the controls and calls these.
#pragma once

#include <cstddef>

#include "editor/core/buffer.h"

// Dialog templates.
inline constexpr int IDD_DOCUMENT_PREFERENCES = 27;
inline constexpr int IDD_EDITOR_PREFERENCES = 28;

// Controls of the Editor Preferences.
inline constexpr int IDC_FONT_SYSTEM = 620, IDC_FONT_ANSI = 621, IDC_FONT_OEM = 622;
inline constexpr int IDC_CURSOR_BLOCK = 623, IDC_CURSOR_UNDERLINE = 624, IDC_CURSOR_BAR = 625;
inline constexpr int IDC_BLINKING = 626, IDC_AUTOSAVE_MINUTES = 693, IDC_AUTOSAVE_CHANGES = 694;
inline constexpr int IDC_UNDO_LEVELS = 691, IDC_RESTORE_SESSION = 687;
inline constexpr int IDC_TYPING_REPLACES = 684, IDC_MAKE_BACKUPS = 685, IDC_FILE_LOCKING = 695;
inline constexpr int IDC_CUT_COPY_LINE = 689, IDC_TRAILING_SPACES = 686;
// Controls of the Document Preferences.
inline constexpr int IDC_TAB_SPACING = 683, IDC_RIGHT_MARGIN = 688, IDC_WORD_WRAP = 720;
inline constexpr int IDC_AUTO_INDENT = 681, IDC_EXPAND_TABS = 682, IDC_SAVE_AS_DEFAULT = 698;
inline constexpr int IDC_PREFERENCES_HELP = 643;
inline constexpr int HELP_EDITOR_PREFERENCES = 26056;
inline constexpr int HELP_DOCUMENT_PREFERENCES = 26057;

inline constexpr std::size_t FORM_NUMBER_SIZE = 16;

struct EditorPreferencesForm {
    int screenFont;
    int cursorShape;
    BOOL blinking;
    char autosaveMinutes[FORM_NUMBER_SIZE];
    char autosaveChanges[FORM_NUMBER_SIZE];
    char undoLevels[FORM_NUMBER_SIZE];
    BOOL restoreSession;
    BOOL typingReplacesSelection;
    BOOL makeBackups;
    BOOL fileLocking;
    BOOL cutCopyCurrentLine;
    BOOL removeTrailingSpaces;
};

// The outcome of OK: closed, or kept open with a field to select.
struct PreferencesResult {
    bool closed;
    int focusControl;  // the field to select when kept open
    bool fontChanged;  // closed with another screen font: metrics and windows are redone
};

class EditorPreferencesDialog {
public:
    // Opening: the form shows the settings; font, cursor and blinking are remembered.
    EditorPreferencesDialog();

    // The radio buttons and the check box that take effect at once.
    void SelectFont(int font);
    void SelectCursor(int shape);
    void SetBlinking(BOOL blinking);
    // OK: stores what needs no check, then checks the numbers; a bad one is reported (warning
    // box) and keeps the dialog open. When valid the rest is stored and the dialog closes.
    PreferencesResult Ok();
    // Cancel: font, cursor and blinking go back to what they were.
    void Cancel();

    EditorPreferencesForm form;

private:
    int originalFont_;
    int originalCursor_;
    BOOL originalBlinking_;
};

struct DocumentPreferencesForm {
    char tabSpacing[FORM_NUMBER_SIZE];
    char rightMargin[FORM_NUMBER_SIZE];
    BOOL wordWrap;
    BOOL autoIndent;
    BOOL expandTabs;
    BOOL saveAsDefault;  // cleared when the dialog opens
};

// Opening for the buffer: its settings.
DocumentPreferencesForm OpenDocumentPreferences(const Buffer* buffer);
// OK: checks tab spacing (1-16) and right margin (32-512); when valid, stores them and the
// switches in the buffer, repaints its windows and, with "Save as Default", makes them the
// defaults for new documents.
PreferencesResult DocumentPreferencesOk(const DocumentPreferencesForm& form, Buffer* buffer);

// A dialog field as a number: blanks around decimal digits, nothing else. Returns false for
// anything else or a value past 2^31 - 1.
bool ParseFieldNumber(const char* text, long* value);
