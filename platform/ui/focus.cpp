// Keyboard focus, activation of top-level windows, mouse capture and dropped files.
#include <algorithm>

#include "platform/ui/dialog_state.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

bool CanActivate(HWND window) {
    Window* w = FindWindowObject(window);
    return w && !(w->style & WS_CHILD) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) &&
           !w->destroying;
}

}  // namespace

HWND SetFocus(HWND window) {
    if (!OnUiThread()) {
        return nullptr;
    }
    UiState& state = State();
    if (window) {
        Window* w = FindWindowObject(window);
        if (!w || (w->style & WS_DISABLED) || w->destroying) {
            return nullptr;
        }
        HWND top = TopLevelOf(window);
        if (top != state.active) {
            ActivateTopLevel(top, WA_ACTIVE);
            if (!FindWindowObject(window)) {
                return nullptr;
            }
        }
    }
    HWND old = state.focus;
    if (old == window) {
        return old;
    }
    state.focus = window;
    if (old && FindWindowObject(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
        NotifyChange(old, WindowChange::Focus);
    }
    if (window && State().focus == window && FindWindowObject(window)) {
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
        NotifyChange(window, WindowChange::Focus);
    }
    return FindWindowObject(old) ? old : nullptr;
}

HWND GetFocus() {
    return FindWindowObject(State().focus) ? State().focus : nullptr;
}

void ActivateTopLevel(HWND window, WORD how) {
    UiState& state = State();
    if (window) {
        window = TopLevelOf(window);
    }
    if (state.active == window) {
        return;
    }
    HWND old = state.active;
    state.active = window;
    if (old && FindWindowObject(old)) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0),
                     reinterpret_cast<LPARAM>(window));
        NotifyChange(old, WindowChange::Activation);
    }
    if (window && state.active == window && FindWindowObject(window)) {
        BringWindowToTop(window);
        SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(window) ? 1 : 0),
                     reinterpret_cast<LPARAM>(old));
        NotifyChange(window, WindowChange::Activation);
    }
}

void ActivateNextAfter(HWND leaving) {
    UiState& state = State();
    Window* w = FindWindowObject(leaving);
    HWND next = nullptr;
    if (w && w->owner && CanActivate(w->owner)) {
        next = w->owner;
    } else {
        for (HWND top : state.topLevel) {
            if (top != leaving && CanActivate(top) && !IsIconic(top)) {
                next = top;
                break;
            }
        }
    }
    ActivateTopLevel(next, WA_ACTIVE);
    if (!next && state.focus && IsDescendantOrSelf(leaving, state.focus)) {
        SetFocus(nullptr);
    }
}

HWND SetActiveWindow(HWND window) {
    if (!OnUiThread()) {
        return nullptr;
    }
    HWND old = State().active;
    if (window && !CanActivate(window)) {
        return nullptr;
    }
    ActivateTopLevel(window, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    return FindWindowObject(State().active) ? State().active : nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    return SetActiveWindow(window) || GetActiveWindow() == window;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

HWND SetCapture(HWND window) {
    HWND old = State().capture;
    if (!FindWindowObject(window)) {
        return nullptr;
    }
    State().capture = window;
    return old;
}

BOOL ReleaseCapture() {
    State().capture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    return FindWindowObject(State().capture) ? State().capture : nullptr;
}

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return 0;
    }
    BYTE state = State().keyState[static_cast<std::size_t>(virtualKey)];
    SHORT result = 0;
    if (state & 0x80) {
        result = static_cast<SHORT>(0x8000);
    }
    if (state & 0x01) {
        result = static_cast<SHORT>(result | 1);
    }
    return result;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) {
        return FALSE;
    }
    *point = State().cursorPos;
    return TRUE;
}

}  // namespace farvane::ui
