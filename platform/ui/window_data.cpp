// Window data: the common fields, extra bytes, text and properties.
#include <algorithm>
#include <cstring>

#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

bool ExtraRange(const Window& w, int index, std::size_t bytes) {
    return index >= 0 && static_cast<std::size_t>(index) + bytes <= w.extraBytes.size();
}

bool DialogField(Window& w, int index, LONG_PTR** field, DLGPROC** proc) {
    if (!w.dialog) {
        return false;
    }
    switch (index) {
        case DWL_MSGRESULT:
            *field = &w.dialog->msgResult;
            return true;
        case DWL_DLGPROC:
            *proc = &w.dialog->proc;
            return true;
        case DWL_USER:
            *field = &w.dialog->user;
            return true;
        default:
            return false;
    }
}

LONG_PTR GetCommonField(const Window& w, int index, bool* known) {
    *known = true;
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w.proc);
        case GWL_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w.instance);
        case GWL_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w.parent ? w.parent : w.owner);
        case GWL_ID:
            return static_cast<LONG_PTR>(w.id);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w.style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w.exStyle);
        case GWL_USERDATA:
            return w.userData;
        default:
            *known = false;
            return 0;
    }
}

LONG_PTR SetCommonField(Window& w, int index, LONG_PTR value, bool* known) {
    *known = true;
    LONG_PTR old = GetCommonField(w, index, known);
    switch (index) {
        case GWL_WNDPROC:
            if (!value) {
                return 0;
            }
            w.proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_HINSTANCE:
            w.instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWL_ID:
            w.id = static_cast<UINT_PTR>(value);
            break;
        case GWL_STYLE:
            w.style = static_cast<DWORD>(value);
            NotifyChange(w.handle, WindowChange::Style);
            break;
        case GWL_EXSTYLE:
            w.exStyle = static_cast<DWORD>(value);
            break;
        case GWL_USERDATA:
            w.userData = value;
            break;
        default:
            *known = false;
            return 0;
    }
    return old;
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    LONG_PTR* field = nullptr;
    DLGPROC* proc = nullptr;
    if (DialogField(*w, index, &field, &proc)) {
        return field ? *field : reinterpret_cast<LONG_PTR>(*proc);
    }
    bool known = false;
    LONG_PTR value = GetCommonField(*w, index, &known);
    if (known) {
        return value;
    }
    if (!ExtraRange(*w, index, sizeof(LONG_PTR))) {
        return 0;
    }
    std::memcpy(&value, w->extraBytes.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    LONG_PTR* field = nullptr;
    DLGPROC* proc = nullptr;
    if (DialogField(*w, index, &field, &proc)) {
        LONG_PTR old = field ? *field : reinterpret_cast<LONG_PTR>(*proc);
        if (field) {
            *field = value;
        } else if (value) {
            *proc = reinterpret_cast<DLGPROC>(value);
        }
        return old;
    }
    bool known = false;
    LONG_PTR old = SetCommonField(*w, index, value, &known);
    if (known) {
        return old;
    }
    if (!ExtraRange(*w, index, sizeof(LONG_PTR))) {
        return 0;
    }
    std::memcpy(&old, w->extraBytes.data() + index, sizeof old);
    std::memcpy(w->extraBytes.data() + index, &value, sizeof value);
    return old;
}

LONG GetWindowLongA(HWND window, int index) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    if (index < 0 || w->dialog) {
        return static_cast<LONG>(GetWindowLongPtrA(window, index));
    }
    if (!ExtraRange(*w, index, sizeof(LONG))) {
        return 0;
    }
    LONG value;
    std::memcpy(&value, w->extraBytes.data() + index, sizeof value);
    return value;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    if (index < 0 || w->dialog) {
        return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
    }
    if (!ExtraRange(*w, index, sizeof(LONG))) {
        return 0;
    }
    LONG old;
    std::memcpy(&old, w->extraBytes.data() + index, sizeof old);
    std::memcpy(w->extraBytes.data() + index, &value, sizeof value);
    return old;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!FindWindowObject(window)) {
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
    if (!FindWindowObject(window) || !buffer || size <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND window) {
    if (!FindWindowObject(window)) {
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
    Window* w = FindWindowObject(window);
    if (!w || !name) {
        return FALSE;
    }
    for (auto& [key, value] : w->properties) {
        if (key == name) {
            value = data;
            return TRUE;
        }
    }
    w->properties.emplace_back(name, data);
    return TRUE;
}

HANDLE GetPropA(HWND window, LPCSTR name) {
    Window* w = FindWindowObject(window);
    if (!w || !name) {
        return nullptr;
    }
    for (auto& [key, value] : w->properties) {
        if (key == name) {
            return value;
        }
    }
    return nullptr;
}

HANDLE RemovePropA(HWND window, LPCSTR name) {
    Window* w = FindWindowObject(window);
    if (!w || !name) {
        return nullptr;
    }
    for (auto it = w->properties.begin(); it != w->properties.end(); ++it) {
        if (it->first == name) {
            HANDLE value = it->second;
            w->properties.erase(it);
            return value;
        }
    }
    return nullptr;
}
}  // namespace farvane::ui
