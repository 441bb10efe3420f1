// The toolbar and status bar of a main frame, made of the model's own buttons and statics so
// that every backend shows them without knowing about bars.
#include "platform/ui/frame_bars.h"

#include <algorithm>
#include <cstdint>

#include "platform/ui/user_constants.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

constexpr int kToolBarHeight = 28;
constexpr int kButtonWidth = 52;
constexpr int kSeparatorWidth = 8;
constexpr int kStatusBarHeight = 22;
constexpr int kIndicatorWidth = 48;
// The first child id of a status bar's panes; pane i has id kFirstPaneId + i.
constexpr UINT kFirstPaneId = 100;

HBRUSH FaceBrush() {
    return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
}

LRESULT ToolBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        // A button click: the frame handles it as if chosen from its menu.
        return SendMessageA(GetParent(window), WM_COMMAND, LOWORD(wParam), 0);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureClass(const char* name) {
    WNDCLASSA existing;
    if (GetClassInfoA(nullptr, name, &existing)) {
        return;
    }
    WNDCLASSA cls;
    cls.lpfnWndProc = name == kToolBarClassName ? ToolBarProc : DefWindowProcA;
    cls.hbrBackground = FaceBrush();
    cls.lpszClassName = name;
    RegisterClassA(&cls);
}

HWND Bar(HWND frame, UINT id) {
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (static_cast<UINT>(GetWindowLongA(child, GWL_ID)) == id) {
            return child;
        }
    }
    return nullptr;
}

// The bar's own visibility, whether or not its frame is shown yet.
bool Shown(HWND bar) {
    return (static_cast<DWORD>(GetWindowLongA(bar, GWL_STYLE)) & WS_VISIBLE) != 0;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    // The newest child comes first in that order: the bar's entries are wanted as created.
    std::reverse(children.begin(), children.end());
    return children;
}

const char* IndicatorText(StatusPane pane) {
    switch (pane) {
        case StatusPane::CapsLock:
            return "CAP";
        case StatusPane::NumLock:
            return "NUM";
        case StatusPane::ScrollLock:
            return "SCRL";
        case StatusPane::Message:
            break;
    }
    return "";
}

int IndicatorKey(StatusPane pane) {
    switch (pane) {
        case StatusPane::CapsLock:
            return VK_CAPITAL;
        case StatusPane::NumLock:
            return VK_NUMLOCK;
        case StatusPane::ScrollLock:
            return VK_SCROLL;
        case StatusPane::Message:
            break;
    }
    return 0;
}

}  // namespace

HWND CreateToolBar(HWND frame, const std::vector<ToolBarButton>& buttons) {
    EnsureClass(kToolBarClassName);
    HWND bar = CreateWindowExA(
        0, kToolBarClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, kToolBarHeight, frame,
        reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(AFX_IDW_TOOLBAR)), nullptr, nullptr);
    if (!bar) {
        return nullptr;
    }
    int x = 2;
    for (const ToolBarButton& button : buttons) {
        if (button.command == 0) {
            // A gap, kept as a window of its own so the bar lists every entry in order.
            CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, x, 2, kSeparatorWidth - 2,
                            kToolBarHeight - 4, bar, nullptr, nullptr, nullptr);
            x += kSeparatorWidth;
            continue;
        }
        CreateWindowExA(0, "Button", button.label.c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x,
                        2, kButtonWidth, kToolBarHeight - 4, bar,
                        reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(button.command)),
                        nullptr, nullptr);
        x += kButtonWidth + 1;
    }
    return bar;
}

std::vector<HWND> ToolBarButtons(HWND toolBar) {
    return Children(toolBar);
}

HWND CreateStatusBar(HWND frame, const std::vector<StatusPane>& panes) {
    EnsureClass(kStatusBarClassName);
    HWND bar = CreateWindowExA(
        0, kStatusBarClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, kStatusBarHeight, frame,
        reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(AFX_IDW_STATUS_BAR)), nullptr, nullptr);
    if (!bar) {
        return nullptr;
    }
    for (std::size_t i = 0; i < panes.size(); ++i) {
        HWND pane =
            CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_SUNKEN, 0, 2,
                            kIndicatorWidth, kStatusBarHeight - 4, bar,
                            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kFirstPaneId + i)),
                            nullptr, nullptr);
        SetWindowLongPtrA(pane, GWL_USERDATA, static_cast<LONG_PTR>(panes[i]));
    }
    UpdateStatusIndicators(bar);
    return bar;
}

int StatusBarPaneCount(HWND statusBar) {
    return static_cast<int>(Children(statusBar).size());
}

BOOL SetStatusPaneText(HWND statusBar, int index, LPCSTR text) {
    std::vector<HWND> panes = Children(statusBar);
    if (index < 0 || index >= static_cast<int>(panes.size())) {
        return FALSE;
    }
    return SetWindowTextA(panes[index], text);
}

std::string StatusPaneText(HWND statusBar, int index) {
    std::vector<HWND> panes = Children(statusBar);
    if (index < 0 || index >= static_cast<int>(panes.size())) {
        return {};
    }
    char text[256] = {};
    GetWindowTextA(panes[index], text, sizeof text);
    return text;
}

void UpdateStatusIndicators(HWND statusBar) {
    for (HWND pane : Children(statusBar)) {
        auto kind = static_cast<StatusPane>(GetWindowLongPtrA(pane, GWL_USERDATA));
        if (kind == StatusPane::Message) {
            continue;
        }
        bool toggled = (GetKeyState(IndicatorKey(kind)) & 1) != 0;
        SetWindowTextA(pane, toggled ? IndicatorText(kind) : "");
    }
}

RECT LayoutFrameBars(HWND frame) {
    RECT client{};
    GetClientRect(frame, &client);
    int width = client.right - client.left;
    if (HWND toolBar = Bar(frame, AFX_IDW_TOOLBAR); toolBar && Shown(toolBar)) {
        MoveWindow(toolBar, 0, client.top, width, kToolBarHeight, TRUE);
        client.top += kToolBarHeight;
    }
    if (HWND statusBar = Bar(frame, AFX_IDW_STATUS_BAR); statusBar && Shown(statusBar)) {
        client.bottom -= kStatusBarHeight;
        MoveWindow(statusBar, 0, client.bottom, width, kStatusBarHeight, TRUE);
        // The message pane takes what the indicators leave.
        std::vector<HWND> panes = Children(statusBar);
        int right = width - 2;
        for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
            auto kind = static_cast<StatusPane>(GetWindowLongPtrA(*it, GWL_USERDATA));
            int left = kind == StatusPane::Message ? 2 : right - kIndicatorWidth;
            MoveWindow(*it, left, 2, right - left, kStatusBarHeight - 4, TRUE);
            right = left - 2;
        }
    }
    return client;
}

}  // namespace farvane::ui
