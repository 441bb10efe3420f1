#include "suite/fvses32/session_window.h"

#include "platform/ui/menu_api.h"
#include "platform/ui/ui_state.h"
#include "platform/ui/window_api.h"

namespace ui = farvane::ui;

namespace {

// The commands a host session window does without: the host is not closed, resized or
// minimised from its own window.
constexpr UINT kRemovedCommands[] = {ui::SC_MAXIMIZE, ui::SC_MINIMIZE, ui::SC_CLOSE,
                                     ui::SC_RESTORE};

void StripSystemMenu(HWND window) {
    ui::HMENU menu = ui::GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return;
    }
    for (UINT command : kRemovedCommands) {
        ui::RemoveMenu(menu, command, ui::MF_BYCOMMAND);
    }
    ui::InsertMenuA(menu, 0, ui::MF_BYPOSITION | ui::MF_SEPARATOR, 0, nullptr);
    ui::DrawMenuBar(window);
}

LRESULT SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_FV_SESSION_SHOW:
            ui::ShowWindow(window, static_cast<int>(wParam));
            return 0;
        case WM_FV_SESSION_STRIP_MENU:
            StripSystemMenu(window);
            return 0;
        case WM_FV_SESSION_DESTROY:
            ui::DestroyWindow(window);
            return 0;
        default:
            return ui::DefWindowProcA(window, message, wParam, lParam);
    }
}

// Registers the class on first use; true when it is (or already was) registered.
bool RegisterSessionClass() {
    ui::WNDCLASSA existing;
    if (ui::GetClassInfoA(nullptr, FV_SESSION_WINDOW_CLASS, &existing)) {
        return true;
    }
    ui::WNDCLASSA windowClass;
    windowClass.lpfnWndProc = SessionWindowProc;
    windowClass.lpszClassName = FV_SESSION_WINDOW_CLASS;
    return ui::RegisterClassA(&windowClass) != 0;
}

}  // namespace

HWND CreateSessionWindow(const char* title) {
    // Without a backend nothing shows windows; asking OnUiThread first would make this thread
    // the UI thread of a process that has none.
    if (!ui::State().backend || !ui::OnUiThread()) {
        return nullptr;
    }
    if (!RegisterSessionClass()) {
        return nullptr;
    }
    return ui::CreateWindowExA(0, FV_SESSION_WINDOW_CLASS, title, ui::WS_OVERLAPPEDWINDOW,
                               ui::CW_USEDEFAULT, ui::CW_USEDEFAULT, ui::CW_USEDEFAULT,
                               ui::CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

void DestroySessionWindow(HWND window) {
    if (window == nullptr) {
        return;
    }
    if (ui::OnUiThread()) {
        ui::DestroyWindow(window);
    } else {
        ui::PostMessageA(window, WM_FV_SESSION_DESTROY, 0, 0);
    }
}
