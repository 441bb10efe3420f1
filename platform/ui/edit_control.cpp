// The edit control: single-line and multi-line text with a selection and a length limit.
#include <algorithm>
#include <cctype>

#include "platform/ui/clipboard_api.h"
#include "platform/ui/control_input.h"
#include "platform/ui/control_state.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

EditState& EditOf(Window& w) {
    if (!w.control) {
        w.control = std::make_unique<EditState>();
    }
    return static_cast<EditState&>(*w.control);
}

std::string Converted(const Window& w, std::string text) {
    if (w.style & ES_UPPERCASE) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    } else if (w.style & ES_LOWERCASE) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    return text;
}

void Changed(HWND window, bool notify) {
    NotifyChange(window, WindowChange::ControlContent);
    if (notify) {
        NotifyParent(window, EN_UPDATE);
        NotifyParent(window, EN_CHANGE);
    }
}

// Replaces the selection with text, cutting what does not fit under the limit.
void ReplaceSelection(HWND window, std::string text, bool notify) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return;
    }
    EditState& edit = EditOf(*w);
    DWORD start = std::min(edit.selStart, edit.selEnd);
    DWORD end = std::max(edit.selStart, edit.selEnd);
    start = std::min<DWORD>(start, static_cast<DWORD>(w->text.size()));
    end = std::min<DWORD>(end, static_cast<DWORD>(w->text.size()));
    std::size_t remaining = w->text.size() - (end - start);
    bool cut = false;
    if (remaining + text.size() > edit.limit) {
        std::size_t room = edit.limit > remaining ? edit.limit - remaining : 0;
        text.resize(room);
        cut = true;
    }
    text = Converted(*w, text);
    w->text.replace(start, end - start, text);
    edit.selStart = edit.selEnd = start + static_cast<DWORD>(text.size());
    edit.modified = true;
    Changed(window, notify);
    if (cut && notify) {
        NotifyParent(window, EN_MAXTEXT);
    }
}

LRESULT TypeCharacter(HWND window, Window& w, char ch) {
    EditState& edit = EditOf(w);
    if (w.style & ES_READONLY) {
        MessageBeep(0);
        return 0;
    }
    if (ch == '\b') {
        if (edit.selStart == edit.selEnd && edit.selStart > 0) {
            --edit.selStart;
        }
        ReplaceSelection(window, "", true);
        return 0;
    }
    if (ch == '\r' && !(w.style & ES_MULTILINE)) {
        return 0;
    }
    if (static_cast<unsigned char>(ch) < ' ' && ch != '\r' && ch != '\t') {
        return 0;
    }
    if ((w.style & ES_NUMBER) && !std::isdigit(static_cast<unsigned char>(ch))) {
        MessageBeep(0);
        return 0;
    }
    ReplaceSelection(window, ch == '\r' ? std::string("\r\n") : std::string(1, ch), true);
    return 0;
}

}  // namespace

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    EditState& edit = EditOf(*w);
    switch (message) {
        case WM_NCCREATE: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            w->text = Converted(*w, w->text);
            return result;
        }
        case WM_SETTEXT: {
            std::string text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            if (text.size() > edit.limit) {
                return FALSE;  // too long for the control: refused, text unchanged
            }
            w->text = Converted(*w, text);
            edit.selStart = edit.selEnd = 0;
            edit.modified = false;
            NotifyChange(window, WindowChange::Text);
            // A single-line edit reports the change as the platform's does.
            Changed(window, !(w->style & ES_MULTILINE));
            return TRUE;
        }
        case EM_LIMITTEXT:
            edit.limit = wParam == 0 ? EDIT_MAX_LIMIT
                                     : static_cast<UINT>(std::min<WPARAM>(wParam, EDIT_MAX_LIMIT));
            return 0;
        case EM_GETLIMITTEXT:
            return edit.limit;
        case EM_SETSEL: {
            auto size = static_cast<long long>(w->text.size());
            long long start = static_cast<long long>(static_cast<std::intptr_t>(wParam));
            long long end = static_cast<long long>(lParam);
            if (start == -1) {
                edit.selStart = edit.selEnd =
                    std::min<DWORD>(edit.selEnd, static_cast<DWORD>(size));
            } else {
                if (end == -1 || end > size) {
                    end = size;
                }
                start = std::clamp<long long>(start, 0, size);
                end = std::clamp<long long>(end, 0, size);
                edit.selStart = static_cast<DWORD>(start);
                edit.selEnd = static_cast<DWORD>(end);
            }
            NotifyChange(window, WindowChange::ControlSelection);
            return 0;
        }
        case EM_GETSEL: {
            DWORD start = std::min(edit.selStart, edit.selEnd);
            DWORD end = std::max(edit.selStart, edit.selEnd);
            if (wParam) {
                *reinterpret_cast<DWORD*>(wParam) = start;
            }
            if (lParam) {
                *reinterpret_cast<DWORD*>(lParam) = end;
            }
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(std::min<DWORD>(start, 0xFFFF)),
                                                 static_cast<WORD>(std::min<DWORD>(end, 0xFFFF))));
        }
        case EM_REPLACESEL:
            ReplaceSelection(window, lParam ? reinterpret_cast<const char*>(lParam) : "", true);
            return 0;
        case EM_GETMODIFY:
            return edit.modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            edit.modified = wParam != 0;
            return 0;
        case EM_SETREADONLY:
            if (wParam) {
                w->style |= ES_READONLY;
            } else {
                w->style &= ~ES_READONLY;
            }
            NotifyChange(window, WindowChange::Style);
            return TRUE;
        case EM_GETLINECOUNT:
            return 1 + static_cast<LRESULT>(std::count(w->text.begin(), w->text.end(), '\n'));
        case EM_CANUNDO:
            return FALSE;
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if ((w->style & ES_MULTILINE) && (w->style & ES_WANTRETURN)) {
                code |= DLGC_WANTALLKEYS;
            }
            return code;
        }
        case WM_CHAR:
            return TypeCharacter(window, *w, static_cast<char>(wParam));
        case WM_SETFOCUS:
            NotifyChange(window, WindowChange::Caret);
            NotifyParent(window, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(window, EN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        case WM_COPY:
        case WM_CUT: {
            DWORD start = std::min(edit.selStart, edit.selEnd);
            DWORD end = std::max(edit.selStart, edit.selEnd);
            if (end > start && end <= w->text.size() && !(w->style & ES_PASSWORD)) {
                SetClipboardTextForControls(w->text.substr(start, end - start));
                if (message == WM_CUT && !(w->style & ES_READONLY)) {
                    ReplaceSelection(window, "", true);
                }
            }
            return 0;
        }
        case WM_CLEAR:
            if (!(w->style & ES_READONLY)) {
                ReplaceSelection(window, "", true);
            }
            return 0;
        case WM_PASTE: {
            std::string text;
            if (!(w->style & ES_READONLY) && ClipboardTextForControls(&text)) {
                if (!(w->style & ES_MULTILINE)) {
                    text = text.substr(0, text.find_first_of("\r\n"));
                }
                ReplaceSelection(window, text, true);
            }
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL UserEditText(HWND control, const std::string& text) {
    Window* w = FindWindowObject(control);
    if (!w || !IsWindowEnabled(control)) {
        return FALSE;
    }
    ControlKind kind = KindOf(control);
    if (kind == ControlKind::Edit) {
        if (w->style & ES_READONLY) {
            return FALSE;
        }
        EditState& edit = EditOf(*w);
        edit.selStart = 0;
        edit.selEnd = static_cast<DWORD>(w->text.size());
        ReplaceSelection(control, text, true);
        return TRUE;
    }
    if (kind == ControlKind::ComboBox && (w->style & 0x3) != CBS_DROPDOWNLIST) {
        auto* list = static_cast<ListState*>(w->control.get());
        std::string value =
            list ? text.substr(0, std::min<std::size_t>(text.size(), list->editLimit)) : text;
        w->text = value;
        if (list) {
            list->editSelStart = list->editSelEnd = static_cast<DWORD>(value.size());
        }
        NotifyChange(control, WindowChange::Text);
        NotifyParent(control, CBN_EDITUPDATE);
        NotifyParent(control, CBN_EDITCHANGE);
        return TRUE;
    }
    return FALSE;
}

}  // namespace farvane::ui
