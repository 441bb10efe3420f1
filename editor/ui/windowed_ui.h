// The text core's user interface on the platform's windows: message boxes owned by the frame,
// the status window, the common file dialogs, the desktop clipboard, document windows in the
// document area and the editor's dialogs.
#pragma once

#include "editor/core/ui_services.h"
#include "editor/ui/ui_state.h"

namespace fvedit {

class WindowedUi : public EditorUi {
public:
    UiAnswer MessageBox(const char* text, const char* caption, UiButtons buttons, UiIcon icon,
                        bool systemModal) override;
    void SetStatus(const char* text, bool repaintNow) override;
    void ClearStatus() override;
    void Beep() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    int OpenFileDialog(const FileDialogRequest& request, char* path, std::size_t size) override;
    int SaveFileDialog(const FileDialogRequest& request, char* path, std::size_t size) override;
    int SetClipboardText(const char* text, std::size_t length) override;
    long GetClipboardText(char* text, std::size_t size) override;
    bool InputWaiting() override;
    int CreateDocumentWindow(EditWindow* window, bool activate) override;
    void CloseDocumentWindow(EditWindow* window) override;
    void SetWindowTitle(EditWindow* window, const char* title) override;
    void ActivateDocumentWindow(EditWindow* window) override;
    int FindDialog(SearchDialogData& data) override;
    int ReplaceDialog(SearchDialogData& data) override;
    void ShowConfirmDialog(const char* question, BOOL confirmChanges) override;
    void CloseConfirmDialog() override;
    int GotoLineDialog(const char* initial, const GotoLineAccept& accept) override;
    void UpdateDisplay() override;

private:
    int FileDialog(const FileDialogRequest& request, char* path, std::size_t size, bool save);
    int waitDepth_ = 0;
    HCURSOR waitCursor_ = nullptr;
    HCURSOR cursorBeforeWait_ = nullptr;
};

// "Name|pattern|..." (the last character separates) as the NUL-separated pairs the common
// dialogs take, ended by an empty text.
std::string CommonDialogFilter(const char* filter);

}  // namespace fvedit
