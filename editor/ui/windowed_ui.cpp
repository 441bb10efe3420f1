#include "editor/ui/windowed_ui.h"

#include <cstring>
#include <string>

#include "editor/core/editor_settings.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/status_text.h"
#include "editor/view/display_update.h"

namespace fvedit {

namespace {

UINT ButtonsOf(UiButtons buttons) {
    switch (buttons) {
        case UiButtons::OkCancel:
            return MB_OKCANCEL;
        case UiButtons::YesNo:
            return MB_YESNO;
        case UiButtons::YesNoCancel:
            return MB_YESNOCANCEL;
        default:
            return MB_OK;
    }
}

UINT IconOf(UiIcon icon) {
    switch (icon) {
        case UiIcon::Warning:
            return MB_ICONEXCLAMATION;
        case UiIcon::Question:
            return MB_ICONQUESTION;
        case UiIcon::Error:
            return MB_ICONHAND;
        case UiIcon::Information:
            return MB_ICONASTERISK;
        default:
            return 0;
    }
}

UiAnswer AnswerOf(int id) {
    switch (id) {
        case IDYES:
            return UiAnswer::Yes;
        case IDNO:
            return UiAnswer::No;
        case IDOK:
            return UiAnswer::Ok;
        default:
            return UiAnswer::Cancel;
    }
}

}  // namespace

std::string CommonDialogFilter(const char* filter) {
    std::string result = filter != nullptr ? filter : "";
    if (result.empty()) {
        return std::string(2, '\0');
    }
    char separator = result.back();
    for (char& c : result) {
        if (c == separator) {
            c = '\0';
        }
    }
    result.push_back('\0');
    return result;
}

UiAnswer WindowedUi::MessageBox(const char* text, const char* caption, UiButtons buttons,
                                UiIcon icon, bool systemModal) {
    UINT type = ButtonsOf(buttons) | IconOf(icon) | (systemModal ? MB_SYSTEMMODAL : 0);
    return AnswerOf(MessageBoxA(ew.frame, text, caption, type));
}

void WindowedUi::SetStatus(const char* text, bool repaintNow) {
    TheStatusLine().SetMessage(text);
    if (repaintNow) {
        Painter().RepaintStatus();
    }
}

void WindowedUi::ClearStatus() {
    TheStatusLine().Clear();
}

void WindowedUi::Beep() {
    MessageBeep(0);
}

// Long operations nest (a save inside the exit): the outermost shows the wait cursor and
// puts back the cursor that was shown before.
void WindowedUi::BeginWaitCursor() {
    if (waitDepth_++ == 0) {
        if (waitCursor_ == nullptr) {
            waitCursor_ = LoadCursorA(nullptr, IDC_WAIT);
        }
        cursorBeforeWait_ = SetCursor(waitCursor_);
    }
}

void WindowedUi::EndWaitCursor() {
    if (waitDepth_ > 0 && --waitDepth_ == 0) {
        SetCursor(cursorBeforeWait_);
    }
}

int WindowedUi::FileDialog(const FileDialogRequest& request, char* path, std::size_t size,
                           bool save) {
    std::string filter = CommonDialogFilter(request.filter);
    OPENFILENAMEA dialog;
    dialog.hwndOwner = ew.frame;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    std::string file = request.initialName != nullptr ? request.initialName : "";
    file.resize(size > file.size() + 1 ? size : file.size() + 1, '\0');
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = request.initialDirectory;
    dialog.lpstrTitle = request.title;
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                   (request.mustExist ? OFN_FILEMUSTEXIST : 0) | (save ? OFN_OVERWRITEPROMPT : 0);
    BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen || std::strlen(file.c_str()) + 1 > size) {
        return 0;
    }
    std::strcpy(path, file.c_str());
    return 1;
}

int WindowedUi::OpenFileDialog(const FileDialogRequest& request, char* path, std::size_t size) {
    return FileDialog(request, path, size, false);
}

int WindowedUi::SaveFileDialog(const FileDialogRequest& request, char* path, std::size_t size) {
    return FileDialog(request, path, size, true);
}

int WindowedUi::SetClipboardText(const char* text, std::size_t length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (block == nullptr) {
        return 0;
    }
    auto* bytes = static_cast<char*>(GlobalLock(block));
    std::memcpy(bytes, text, length);
    bytes[length] = '\0';
    GlobalUnlock(block);
    if (!OpenClipboard(ew.frame)) {
        GlobalFree(block);
        return 0;
    }
    EmptyClipboard();
    bool set = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!set) {
        GlobalFree(block);
    }
    return set ? 1 : 0;
}

long WindowedUi::GetClipboardText(char* text, std::size_t size) {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(ew.frame)) {
        return -1;
    }
    long length = -1;
    if (auto block = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT))) {
        const auto* bytes = static_cast<const char*>(GlobalLock(block));
        std::size_t limit = GlobalSize(block);
        std::size_t full = bytes != nullptr ? strnlen(bytes, limit) : 0;
        if (size > 0) {
            std::size_t copied = full < size - 1 ? full : size - 1;
            std::memcpy(text, bytes, copied);
            text[copied] = '\0';
        }
        GlobalUnlock(block);
        length = static_cast<long>(full);
    }
    CloseClipboard();
    return length;
}

bool WindowedUi::InputWaiting() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
           PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE);
}

int WindowedUi::CreateDocumentWindow(EditWindow* window, bool activate) {
    (void)activate;
    HWND active = ActiveDocument();
    bool maximised =
        (active == nullptr && ew.childrenMaximised) || (active != nullptr && IsZoomed(active));
    MDICREATESTRUCTA create;
    create.szClass = CurrentModeNames().documentClass;
    create.szTitle = window->title;
    create.hOwner = ew.instance;
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    create.style = WS_VSCROLL | WS_HSCROLL | (maximised ? WS_MAXIMIZE : 0);
    create.lParam = reinterpret_cast<LPARAM>(window);
    if (active != nullptr && IsZoomed(active)) {
        SendMessageA(ew.frame, WM_SETREDRAW, FALSE, 0);
    }
    auto document = reinterpret_cast<HWND>(
        SendMessageA(ew.client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    if (active != nullptr && IsZoomed(active)) {
        SendMessageA(ew.frame, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(ew.frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    if (document == nullptr) {
        window->view = nullptr;
        return 0;
    }
    window->redraw |= RD_ALL | RD_VSCROLL | RD_HSCROLL;
    return 1;
}

void WindowedUi::CloseDocumentWindow(EditWindow* window) {
    if (HWND document = DocumentWindowOf(window)) {
        SendMessageA(ew.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(document), 0);
    } else {
        FreeEditWindow(window);
    }
}

void WindowedUi::SetWindowTitle(EditWindow* window, const char* title) {
    if (HWND document = DocumentWindowOf(window)) {
        SetWindowTextA(document, title);
    }
}

void WindowedUi::ActivateDocumentWindow(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr) {
        return;
    }
    if (IsIconic(document)) {
        SendMessageA(ew.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(document), 0);
    }
    SendMessageA(ew.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(document), 0);
    if (GetFocus() != document) {
        SetFocus(document);
    }
}

int WindowedUi::FindDialog(SearchDialogData& data) {
    return RunSearchDialog(data, false);
}

int WindowedUi::ReplaceDialog(SearchDialogData& data) {
    return RunSearchDialog(data, true);
}

void WindowedUi::ShowConfirmDialog(const char* question, BOOL confirmChanges) {
    ShowConfirmReplacement(question, confirmChanges);
}

void WindowedUi::CloseConfirmDialog() {
    CloseConfirmReplacement();
}

int WindowedUi::GotoLineDialog(const char* initial, const GotoLineAccept& accept) {
    return RunGotoLineDialog(initial, accept);
}

void WindowedUi::UpdateDisplay() {
    DisplayUpdate();
}

}  // namespace fvedit
