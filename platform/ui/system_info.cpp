// System metrics and colours, the beep, the screen saver settings, and the model's start-up and
// reset.
#include <algorithm>

#include "platform/ui/accelerator_object.h"
#include "platform/ui/device_context.h"
#include "platform/ui/drop_files.h"
#include "platform/ui/global_memory.h"
#include "platform/ui/internal.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/ui.h"

namespace farvane::ui {

namespace {

struct ScreenSaverSettings {
    BOOL active = TRUE;
    int timeoutSeconds = 600;
};

ScreenSaverSettings g_screenSaver;
bool g_initialised = false;

}  // namespace

void EnsureInitialised() {
    if (g_initialised) {
        return;
    }
    g_initialised = true;
    OnUiThread();
    CreateStockObjects();
    RegisterBuiltInClasses();
}

void ResetModel() {
    UiState& state = State();
    std::vector<HWND> tops = state.topLevel;
    for (HWND top : tops) {
        DestroyWindow(top);
    }
    for (std::uintptr_t value : state.windows.handles()) {
        state.windows.remove(value);
    }
    state.topLevel.clear();
    for (std::uintptr_t value : state.menus.handles()) {
        state.menus.remove(value);
    }
    for (std::uintptr_t value : state.deviceContexts.handles()) {
        state.deviceContexts.remove(value);
    }
    for (std::uintptr_t value : state.accelerators.handles()) {
        state.accelerators.remove(value);
    }
    for (std::uintptr_t value : state.drops.handles()) {
        state.drops.remove(value);
    }
    {
        std::lock_guard lock(state.queue.mutex);
        state.queue.messages.clear();
        state.queue.quitPosted = false;
    }
    state.timers.clear();
    state.focus = state.active = state.capture = nullptr;
    state.caret = CaretState{};
    state.keyState.fill(0);
    for (auto it = state.classes.begin(); it != state.classes.end();) {
        it = it->second->builtIn ? std::next(it) : state.classes.erase(it);
    }
    g_screenSaver = ScreenSaverSettings{};
}

int GetSystemMetrics(int index) {
    SIZE screen = CurrentBackend().screenSize();
    switch (index) {
        case SM_CXSCREEN:
            return screen.cx;
        case SM_CYSCREEN:
            return screen.cy;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 16;
        case SM_CYCAPTION:
            return 20;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CYMENU:
            return 20;
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CXMINIMIZED:
            return 160;
        case SM_CYMINIMIZED:
            return 24;
        default:
            return 0;
    }
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= COLOR_MAX) {
        return 0;
    }
    return State().sysColors[static_cast<std::size_t>(index)];
}

BOOL SetSysColors(int count, const int* elements, const COLORREF* colors) {
    if (count < 0 || (count > 0 && (!elements || !colors))) {
        return FALSE;
    }
    for (int i = 0; i < count; ++i) {
        if (elements[i] >= 0 && elements[i] < COLOR_MAX) {
            State().sysColors[static_cast<std::size_t>(elements[i])] = colors[i];
        }
    }
    for (HWND top : std::vector<HWND>(State().topLevel)) {
        PostMessageA(top, WM_SYSCOLORCHANGE, 0, 0);
    }
    return TRUE;
}

BOOL MessageBeep(UINT type) {
    CurrentBackend().beep(type);
    return TRUE;
}

BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni) {
    switch (action) {
        case SPI_GETSCREENSAVEACTIVE:
            if (!value) {
                return FALSE;
            }
            *static_cast<BOOL*>(value) = g_screenSaver.active;
            return TRUE;
        case SPI_SETSCREENSAVEACTIVE:
            g_screenSaver.active = param ? TRUE : FALSE;
            break;
        case SPI_GETSCREENSAVETIMEOUT:
            if (!value) {
                return FALSE;
            }
            *static_cast<int*>(value) = g_screenSaver.timeoutSeconds;
            return TRUE;
        case SPI_SETSCREENSAVETIMEOUT:
            if (param == 0) {
                return FALSE;
            }
            g_screenSaver.timeoutSeconds = static_cast<int>(param);
            break;
        default:
            return FALSE;
    }
    if (winIni & SPIF_SENDWININICHANGE) {
        for (HWND top : std::vector<HWND>(State().topLevel)) {
            PostMessageA(top, WM_WININICHANGE, action, 0);
        }
    }
    return TRUE;
}

}  // namespace farvane::ui
