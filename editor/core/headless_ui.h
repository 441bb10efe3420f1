// A user interface without windows: questions are answered from queues (or a script of
// answers), and everything shown is recorded. Used by the tests and by replay tools.
//
// Queued answers go to the message boxes that ask a question, in order (a box with only OK
// takes none). With nothing queued, a box takes the answer that changes nothing (Cancel, else
// No, else OK) and file dialogs are cancelled.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "editor/core/ui_services.h"

class HeadlessUi : public EditorUi {
public:
    struct ShownMessage {
        std::string text;
        std::string caption;
        UiButtons buttons;
        UiIcon icon;
        bool systemModal;
        UiAnswer answer;
    };
    struct ShownDialog {
        std::string title;
        std::string filter;
        std::string initialDirectory;
        std::string answer;  // empty when cancelled
    };

    // The answer a Find or Replace dialog gives: OK with the texts and options set here (an
    // option left at -1 keeps what the dialog showed), or Cancel.
    struct SearchAnswer {
        bool ok = true;
        std::string pattern;
        std::string replacement;
        int matchCase = -1;
        int regularExpression = -1;
        int confirmChanges = -1;
        bool backward = false;
    };

    void QueueAnswer(UiAnswer answer) { answers_.push_back(answer); }
    void QueueSearch(const SearchAnswer& answer) { searches_.push_back(answer); }
    // Each text is typed into the Goto Line field and OK pressed; the dialog is cancelled
    // when the queue runs out while it is open.
    void QueueGotoLine(const std::string& text) { gotoLines_.push_back(text); }
    // An empty path cancels the dialog.
    void QueuePath(const std::string& path) { paths_.push_back(path); }
    // Lines of "answer ok|cancel|yes|no", "path PATH", "cancel" (a cancelled dialog),
    // "input-waiting on|off", "clipboard TEXT"; blank lines and lines starting with # are
    // skipped. Returns the number of the first line not understood, or 0.
    int LoadScript(const std::string& script);
    void Clear();

    // What was shown.
    std::vector<ShownMessage> messages;
    std::vector<ShownDialog> dialogs;
    std::vector<std::string> statusHistory;  // every status text set, cleared ones as ""
    std::string status;
    int beeps = 0;
    int waitCursorDepth = 0;
    int waitCursorUses = 0;
    std::string clipboard;
    bool clipboardHasText = false;
    bool inputWaiting = false;
    std::vector<std::string> windowLog;  // "create TITLE", "close TITLE", "title TITLE", ...
    // The last Find or Replace dialog as it was shown, and the Goto Line field's pre-fill.
    SearchDialogData lastSearchDialog{};
    std::string lastGotoLineInitial;
    int lastGotoLineResult = 0;  // 1 when the last Goto Line dialog was closed by OK
    // The Confirm Replacement dialog: open, its question and check box.
    bool confirmOpen = false;
    std::string confirmQuestion;
    bool confirmChanges = false;

    // Returns true when a message box with exactly this text was shown.
    bool Showed(const std::string& text) const;
    bool StatusShowed(const std::string& text) const;

    UiAnswer MessageBox(const char* text, const char* caption, UiButtons buttons, UiIcon icon,
                        bool systemModal) override;
    void SetStatus(const char* text, bool repaintNow) override;
    void ClearStatus() override;
    void Beep() override { ++beeps; }
    void BeginWaitCursor() override;
    void EndWaitCursor() override { --waitCursorDepth; }
    int OpenFileDialog(const FileDialogRequest& request, char* path, std::size_t size) override;
    int SaveFileDialog(const FileDialogRequest& request, char* path, std::size_t size) override;
    int SetClipboardText(const char* text, std::size_t length) override;
    long GetClipboardText(char* text, std::size_t size) override;
    bool InputWaiting() override { return inputWaiting; }
    int CreateDocumentWindow(EditWindow* window, bool activate) override;
    void CloseDocumentWindow(EditWindow* window) override;
    void SetWindowTitle(EditWindow* window, const char* title) override;
    void ActivateDocumentWindow(EditWindow* window) override;
    int FindDialog(SearchDialogData& data) override;
    int ReplaceDialog(SearchDialogData& data) override;
    void ShowConfirmDialog(const char* question, BOOL confirm) override;
    void CloseConfirmDialog() override;
    int GotoLineDialog(const char* initial, const GotoLineAccept& accept) override;

private:
    int AnswerSearch(SearchDialogData& data, bool replace);

    int AnswerDialog(const FileDialogRequest& request, char* path, std::size_t size);

    std::deque<UiAnswer> answers_;
    std::deque<std::string> paths_;
    std::deque<SearchAnswer> searches_;
    std::deque<std::string> gotoLines_;
};
