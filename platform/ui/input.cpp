#include "platform/ui/input.h"

#include <cctype>

#include "platform/ui/drop_files.h"
#include "platform/ui/internal.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

void SetKeyDown(WORD key, bool down) {
    BYTE& state = State().keyState[key & 0xFF];
    if (down) {
        if (!(state & 0x80)) {
            state ^= 0x01;  // toggle bit, as the lock keys keep it
        }
        state |= 0x80;
    } else {
        state &= static_cast<BYTE>(~0x80);
    }
}

}  // namespace

char TypedCharFor(WORD key, KeyModifiers modifiers) {
    if (key >= 'A' && key <= 'Z') {
        if (modifiers.control) {
            return static_cast<char>(key - 'A' + 1);
        }
        return static_cast<char>(modifiers.shift ? key : std::tolower(key));
    }
    if (modifiers.control) {
        return 0;
    }
    if (key >= '0' && key <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return modifiers.shift ? shifted[key - '0'] : static_cast<char>(key);
    }
    switch (key) {
        case VK_SPACE:
            return ' ';
        case VK_RETURN:
            return '\r';
        case VK_BACK:
            return '\b';
        case VK_TAB:
            return '\t';
        case VK_ESCAPE:
            return 0x1B;
        case VK_MULTIPLY:
            return '*';
        case VK_ADD:
            return '+';
        case VK_SUBTRACT:
            return '-';
        case VK_DIVIDE:
            return '/';
        default:
            return 0;
    }
}

BOOL PostKeyEvent(WORD key, bool down, KeyModifiers modifiers, char typed) {
    if (!OnUiThread()) {
        return FALSE;
    }
    SetKeyDown(VK_SHIFT, modifiers.shift);
    SetKeyDown(VK_CONTROL, modifiers.control);
    SetKeyDown(VK_MENU, modifiers.alt);
    SetKeyDown(key, down);
    HWND target = GetFocus();
    if (!target) {
        target = GetActiveWindow();
    }
    if (!target) {
        return FALSE;
    }
    bool system = modifiers.alt && !modifiers.control;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1;
    if (modifiers.alt) {
        lParam |= LPARAM{1} << 29;
    }
    if (!down) {
        lParam |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    }
    MSG msg;
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = key;
    msg.lParam = lParam;
    msg.pt = State().cursorPos;
    if (down) {
        char ch = typed == -1 ? TypedCharFor(key, modifiers) : typed;
        msg.typedChar = static_cast<unsigned char>(ch);
    }
    {
        PostedQueue& queue = State().queue;
        std::lock_guard lock(queue.mutex);
        queue.messages.push_back(msg);
    }
    CurrentBackend().wake();
    return TRUE;
}

BOOL PostMouseEvent(HWND window, UINT message, int x, int y, KeyModifiers modifiers) {
    if (!OnUiThread()) {
        return FALSE;
    }
    HWND capture = GetCapture();
    if (capture && capture != window && FindWindowObject(window)) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        ScreenToClient(capture, &p);
        x = p.x;
        y = p.y;
        window = capture;
    }
    if (!FindWindowObject(window)) {
        return FALSE;
    }
    UiState& state = State();
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        SetKeyDown(VK_LBUTTON, true);
    } else if (message == WM_LBUTTONUP) {
        SetKeyDown(VK_LBUTTON, false);
    } else if (message == WM_RBUTTONDOWN) {
        SetKeyDown(VK_RBUTTON, true);
    } else if (message == WM_RBUTTONUP) {
        SetKeyDown(VK_RBUTTON, false);
    }
    SetKeyDown(VK_SHIFT, modifiers.shift);
    SetKeyDown(VK_CONTROL, modifiers.control);
    WPARAM keys = 0;
    if (state.keyState[VK_LBUTTON] & 0x80) {
        keys |= MK_LBUTTON;
    }
    if (state.keyState[VK_RBUTTON] & 0x80) {
        keys |= MK_RBUTTON;
    }
    if (modifiers.shift) {
        keys |= MK_SHIFT;
    }
    if (modifiers.control) {
        keys |= MK_CONTROL;
    }
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    state.cursorPos = screen;
    bool press = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
                 message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK;
    if (press && !capture && MdiMouseActivate(window, message)) {
        return TRUE;  // the click only activated its window
    }
    return PostMessageA(window, message, keys,
                        MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

BOOL PostDroppedFiles(HWND window, const std::vector<std::string>& paths) {
    Window* w = FindWindowObject(window);
    // The files go to the nearest window that accepts them.
    while (w && !(w->exStyle & WS_EX_ACCEPTFILES)) {
        w = FindWindowObject(w->parent);
    }
    if (!w || paths.empty()) {
        return FALSE;
    }
    auto drop = std::make_unique<DropFiles>();
    drop->paths = paths;
    auto handle = reinterpret_cast<HDROP>(State().drops.insert(std::move(drop)));
    if (!PostMessageA(w->handle, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) {
        DragFinish(handle);
        return FALSE;
    }
    return TRUE;
}

void DragAcceptFiles(HWND window, BOOL accept) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return;
    }
    if (accept) {
        w->exStyle |= WS_EX_ACCEPTFILES;
    } else {
        w->exStyle &= ~WS_EX_ACCEPTFILES;
    }
    NotifyChange(window, WindowChange::Style);
}

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size) {
    DropFiles* files = State().drops.find(reinterpret_cast<std::uintptr_t>(drop));
    if (!files) {
        return 0;
    }
    if (index == 0xFFFFFFFF) {
        return static_cast<UINT>(files->paths.size());
    }
    if (index >= files->paths.size()) {
        return 0;
    }
    const std::string& path = files->paths[index];
    if (!buffer) {
        return static_cast<UINT>(path.size());
    }
    return static_cast<UINT>(CopyOut(path, buffer, static_cast<int>(size)));
}

void DragFinish(HDROP drop) {
    State().drops.remove(reinterpret_cast<std::uintptr_t>(drop));
}

}  // namespace farvane::ui
