// What the text core asks of the user interface. The windowed editor implements it on the
// platform's windows; HeadlessUi (headless_ui.h) answers from a script and records what was
// shown, for tests and for replaying sessions.
#pragma once

#include <cstddef>
#include <functional>

#include "editor/core/history.h"

#include "platform/kernel/win_types.h"

struct EditWindow;

enum class UiButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class UiIcon { None, Warning, Question, Error, Information };
enum class UiAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    const char* title;
    const char* filter;  // "Name|pattern|Name|pattern|" (the last character separates)
    const char* initialDirectory;
    const char* initialName;  // may be null
    const char* defaultExtension;
    bool mustExist;
};

inline constexpr std::size_t SEARCH_TEXT_SIZE = 256;

// What the Find and Replace dialogs show and return. The editor fills it before showing the
// dialog (texts pre-filled, options as they are); OK stores the user's choices back.
struct SearchDialogData {
    char pattern[SEARCH_TEXT_SIZE];
    char replacement[SEARCH_TEXT_SIZE];
    const HistoryList* patternHistory;
    const HistoryList* replacementHistory;
    BOOL matchCase;
    BOOL regularExpression;
    BOOL confirmChanges;
    BOOL backward;  // Find: "Pre&vious" was pressed rather than "&Next"
};

// Called with the Goto Line field when OK is pressed: true closes the dialog, false keeps it
// open with the field selected again (the callee has said why).
using GotoLineAccept = std::function<bool(const char* text)>;

class EditorUi {
public:
    virtual ~EditorUi() = default;

    // A modal message box; systemModal for the out-of-memory report.
    virtual UiAnswer MessageBox(const char* text, const char* caption, UiButtons buttons,
                                UiIcon icon, bool systemModal) = 0;
    // The one-line status window; repaintNow asks for an immediate repaint.
    virtual void SetStatus(const char* text, bool repaintNow) = 0;
    virtual void ClearStatus() = 0;
    virtual void Beep() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // File dialogs: fill path (size bytes) and return 1, or return 0 when cancelled.
    virtual int OpenFileDialog(const FileDialogRequest& request, char* path, std::size_t size) = 0;
    virtual int SaveFileDialog(const FileDialogRequest& request, char* path, std::size_t size) = 0;

    // Plain text on the clipboard. GetClipboardText fills text (size bytes, NUL-terminated)
    // and returns the full length of the clipboard text, or -1 when it holds none.
    virtual int SetClipboardText(const char* text, std::size_t length) = 0;
    virtual long GetClipboardText(char* text, std::size_t size) = 0;

    // Whether an input message is waiting (autosave runs only when none is).
    virtual bool InputWaiting() = 0;

    // Window operations on document windows.
    virtual int CreateDocumentWindow(EditWindow* window, bool activate) = 0;
    virtual void CloseDocumentWindow(EditWindow* window) = 0;
    virtual void SetWindowTitle(EditWindow* window, const char* title) = 0;
    virtual void ActivateDocumentWindow(EditWindow* window) = 0;

    // The search dialogs. Return 1 for OK, 0 for Cancel or when the dialog cannot be shown.
    virtual int FindDialog(SearchDialogData& data) {
        (void)data;
        return 0;
    }
    virtual int ReplaceDialog(SearchDialogData& data) {
        (void)data;
        return 0;
    }
    // The modeless Confirm Replacement dialog: shown (or its question and check box updated)
    // and closed. Its buttons call the confirm_* procedures of find_replace.h.
    virtual void ShowConfirmDialog(const char* question, BOOL confirmChanges) {
        (void)question;
        (void)confirmChanges;
    }
    virtual void CloseConfirmDialog() {}
    // The Goto Line dialog with the field pre-filled. Returns 1 when accept closed it, 0 when
    // cancelled.
    virtual int GotoLineDialog(const char* initial, const GotoLineAccept& accept) {
        (void)initial;
        (void)accept;
        return 0;
    }
    // Runs the display update now (a command that shows an intermediate state, such as the
    // match a confirmed replace asks about). A user interface without a view does nothing.
    virtual void UpdateDisplay() {}
};

// The interface in use; a HeadlessUi that answers every question with its default until the
// program installs another. Installing null restores that default.
EditorUi& Ui();
void SetEditorUi(EditorUi* ui);
