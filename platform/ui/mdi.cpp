// The multiple-document client, and the default frame and child procedures.
#include <algorithm>
#include <cmath>

#include "platform/ui/internal.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

constexpr int kCascadeStep = 24;
constexpr UINT kMaxWindowMenuEntries = 9;

MdiClientState* ClientState(HWND client) {
    Window* w = FindWindowObject(client);
    return w ? w->mdiClient.get() : nullptr;
}

HWND ClientOf(HWND child) {
    Window* w = FindWindowObject(child);
    if (!w || !(w->exStyle & WS_EX_MDICHILD)) {
        return nullptr;
    }
    return ClientState(w->parent) ? w->parent : nullptr;
}

// Removes the child entries (and their separator) that the client added to its window menu.
void ClearWindowMenu(MdiClientState& state) {
    if (!IsMenu(state.windowMenu)) {
        return;
    }
    for (int i = GetMenuItemCount(state.windowMenu) - 1; i >= 0; --i) {
        UINT id = GetMenuItemID(state.windowMenu, i);
        if (id >= state.firstChildId && id < state.firstChildId + kMaxWindowMenuEntries) {
            RemoveMenu(state.windowMenu, static_cast<UINT>(i), MF_BYPOSITION);
            int last = GetMenuItemCount(state.windowMenu) - 1;
            if (last >= 0 &&
                (GetMenuState(state.windowMenu, static_cast<UINT>(last), MF_BYPOSITION) &
                 MF_SEPARATOR) &&
                i == last + 1 && GetMenuItemID(state.windowMenu, last) == 0) {
                // The separator goes with the last entry.
            }
        }
    }
    int count = GetMenuItemCount(state.windowMenu);
    if (count > 0 && (GetMenuState(state.windowMenu, static_cast<UINT>(count - 1), MF_BYPOSITION) &
                      MF_SEPARATOR)) {
        RemoveMenu(state.windowMenu, static_cast<UINT>(count - 1), MF_BYPOSITION);
    }
}

void RefreshWindowMenu(HWND client) {
    MdiClientState* state = ClientState(client);
    if (!state || !IsMenu(state->windowMenu)) {
        return;
    }
    ClearWindowMenu(*state);
    if (state->children.empty()) {
        return;
    }
    AppendMenuA(state->windowMenu, MF_SEPARATOR, 0, nullptr);
    UINT n = 0;
    for (HWND child : state->children) {
        if (n == kMaxWindowMenuEntries) {
            break;
        }
        Window* w = FindWindowObject(child);
        std::string label = "&" + std::to_string(n + 1) + " " + (w ? w->text : std::string());
        AppendMenuA(state->windowMenu, MF_STRING | (child == state->active ? MF_CHECKED : 0),
                    state->firstChildId + n, label.c_str());
        ++n;
    }
}

void Renumber(MdiClientState& state) {
    UINT id = state.firstChildId;
    for (HWND child : state.children) {
        if (Window* w = FindWindowObject(child)) {
            w->id = id++;
        }
    }
}

void Activate(HWND client, HWND child) {
    MdiClientState* state = ClientState(client);
    if (!state) {
        return;
    }
    HWND old = state->active;
    if (old == child) {
        if (child) {
            SetFocus(child);
        }
        return;
    }
    bool wasMaximized = old && IsZoomed(old);
    state->active = child;
    if (old && IsWindow(old)) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old),
                     reinterpret_cast<LPARAM>(child));
        NotifyChange(old, WindowChange::Activation);
    }
    if (child && IsWindow(child)) {
        BringWindowToTop(child);
        if (wasMaximized && !IsIconic(child)) {
            ShowWindow(child, SW_SHOWMAXIMIZED);
            if (IsWindow(old)) {
                ShowWindow(old, SW_RESTORE);
            }
        }
        SendMessageA(child, WM_NCACTIVATE, TRUE, 0);
        SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old),
                     reinterpret_cast<LPARAM>(child));
        NotifyChange(child, WindowChange::Activation);
        if (IsWindow(child) && ClientState(client) && ClientState(client)->active == child) {
            HWND focus = GetFocus();
            if (!focus || !IsDescendantOrSelf(child, focus)) {
                SetFocus(child);
            }
        }
    } else if (!child) {
        HWND focus = GetFocus();
        if (focus && IsDescendantOrSelf(client, focus) && focus != client) {
            SetFocus(client);
        }
    }
    RefreshWindowMenu(client);
}

HWND NextChild(MdiClientState& state, HWND from, bool previous) {
    auto& list = state.children;
    if (list.empty()) {
        return nullptr;
    }
    auto it = std::find(list.begin(), list.end(), from);
    long index = it == list.end() ? 0 : static_cast<long>(it - list.begin());
    auto count = static_cast<long>(list.size());
    index = previous ? (index - 1 + count) % count : (index + 1) % count;
    return list[static_cast<std::size_t>(index)];
}

void ArrangeIcons(HWND client) {
    MdiClientState* state = ClientState(client);
    RECT area;
    if (!state || !GetClientRect(client, &area)) {
        return;
    }
    int width = GetSystemMetrics(SM_CXMINIMIZED);
    int height = GetSystemMetrics(SM_CYMINIMIZED);
    int perRow = std::max(1, static_cast<int>(area.right / width));
    int n = 0;
    for (HWND child : state->children) {
        if (!IsIconic(child)) {
            continue;
        }
        Window* w = FindWindowObject(child);
        int x = (n % perRow) * width;
        int y = area.bottom - height * (1 + n / perRow);
        w->rect = RECT{x, y, x + width, y + height};
        NotifyChange(child, WindowChange::Geometry);
        ++n;
    }
}

bool HasIcons(const MdiClientState& state) {
    return std::any_of(state.children.begin(), state.children.end(),
                       [](HWND child) { return IsIconic(child) != FALSE; });
}

std::vector<HWND> Arrangeable(MdiClientState& state, UINT how) {
    std::vector<HWND> result;
    for (HWND child : state.children) {
        if (IsIconic(child) || !IsWindowVisible(child)) {
            continue;
        }
        if ((how & MDITILE_SKIPDISABLED) && !IsWindowEnabled(child)) {
            continue;
        }
        result.push_back(child);
    }
    return result;
}

void RestoreMaximized(MdiClientState& state) {
    for (HWND child : state.children) {
        if (IsZoomed(child)) {
            ShowWindow(child, SW_RESTORE);
        }
    }
}

LRESULT Cascade(HWND client, UINT how) {
    MdiClientState* state = ClientState(client);
    RECT area;
    if (!state || !GetClientRect(client, &area)) {
        return FALSE;
    }
    RestoreMaximized(*state);
    ArrangeIcons(client);
    std::vector<HWND> windows = Arrangeable(*state, how);
    if (HasIcons(*state)) {
        area.bottom -= GetSystemMetrics(SM_CYMINIMIZED);
    }
    int count = static_cast<int>(windows.size());
    int width = std::max(area.right * 3 / 4, 100);
    int height = std::max(area.bottom * 3 / 4, 60);
    // The active window ends on top: the cascade runs from the bottom of the z-order.
    for (int i = 0; i < count; ++i) {
        HWND child = windows[static_cast<std::size_t>(i)];
        int offset = (i % 10) * kCascadeStep;
        SetWindowPos(child, nullptr, offset, offset, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (state->active) {
        BringWindowToTop(state->active);
    }
    return count > 0;
}

LRESULT Tile(HWND client, UINT how) {
    MdiClientState* state = ClientState(client);
    RECT area;
    if (!state || !GetClientRect(client, &area)) {
        return FALSE;
    }
    RestoreMaximized(*state);
    ArrangeIcons(client);
    std::vector<HWND> windows = Arrangeable(*state, how);
    if (windows.empty()) {
        return FALSE;
    }
    if (HasIcons(*state)) {
        area.bottom -= GetSystemMetrics(SM_CYMINIMIZED);
    }
    int count = static_cast<int>(windows.size());
    int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    int rows = (count + columns - 1) / columns;
    if (how & MDITILE_HORIZONTAL) {
        std::swap(columns, rows);
    }
    int index = 0;
    for (int c = 0; c < columns && index < count; ++c) {
        // The last columns take the remainder, so every window is placed.
        int inColumn = (count - index) / (columns - c);
        int width = area.right / columns;
        int height = area.bottom / std::max(inColumn, 1);
        for (int r = 0; r < inColumn; ++r, ++index) {
            HWND child = windows[static_cast<std::size_t>(index)];
            if (how & MDITILE_HORIZONTAL) {
                SetWindowPos(child, nullptr, r * (area.right / inColumn),
                             c * (area.bottom / columns), area.right / inColumn,
                             area.bottom / columns, SWP_NOZORDER | SWP_NOACTIVATE);
            } else {
                SetWindowPos(child, nullptr, c * width, r * height, width, height,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
    }
    return TRUE;
}

HWND CreateChild(HWND client, const MDICREATESTRUCTA* create) {
    MdiClientState* state = ClientState(client);
    if (!state || !create) {
        return nullptr;
    }
    RECT area;
    GetClientRect(client, &area);
    int n = static_cast<int>(state->children.size());
    int x = create->x == CW_USEDEFAULT ? (n % 10) * kCascadeStep : create->x;
    int y = create->x == CW_USEDEFAULT ? (n % 10) * kCascadeStep : create->y;
    int width = create->cx == CW_USEDEFAULT ? std::max(area.right * 3 / 4, 100) : create->cx;
    int height = create->cx == CW_USEDEFAULT ? std::max(area.bottom * 3 / 4, 60) : create->cy;
    bool maximize = (create->style & WS_MAXIMIZE) || (state->active && IsZoomed(state->active));
    DWORD style = (create->style & ~(WS_MAXIMIZE | WS_VISIBLE | WS_POPUP)) | WS_CHILD | WS_CAPTION |
                  WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPSIBLINGS;
    UINT id = state->firstChildId + static_cast<UINT>(state->children.size());
    HWND child =
        CreateWindowExA(WS_EX_MDICHILD, create->szClass, create->szTitle, style, x, y, width,
                        height, client, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                        create->hOwner, const_cast<MDICREATESTRUCTA*>(create));
    if (!child) {
        return nullptr;
    }
    if (!(create->style & WS_MINIMIZE)) {
        ShowWindow(child, maximize ? SW_SHOWMAXIMIZED : SW_SHOW);
    } else {
        ShowWindow(child, SW_SHOWMINNOACTIVE);
    }
    if (IsWindow(child) && !(create->style & WS_MINIMIZE)) {
        Activate(client, child);
    }
    return IsWindow(child) ? child : nullptr;
}

}  // namespace

void MdiChildCreated(HWND client, HWND child) {
    MdiClientState* state = ClientState(client);
    if (!state ||
        std::find(state->children.begin(), state->children.end(), child) != state->children.end()) {
        return;
    }
    state->children.push_back(child);
    RefreshWindowMenu(client);
}

void MdiChildGone(HWND client, HWND child) {
    MdiClientState* state = ClientState(client);
    if (!state) {
        return;
    }
    auto& list = state->children;
    auto it = std::find(list.begin(), list.end(), child);
    if (it == list.end()) {
        return;
    }
    bool wasMaximized = IsZoomed(child);
    list.erase(it);
    Renumber(*state);
    if (state->active == child) {
        state->active = nullptr;
        // The next window to come up is the topmost remaining one that is not minimised.
        HWND next = nullptr;
        if (Window* w = FindWindowObject(client)) {
            for (HWND sibling : w->children) {
                if (sibling != child &&
                    std::find(list.begin(), list.end(), sibling) != list.end() &&
                    !IsIconic(sibling)) {
                    next = sibling;
                    break;
                }
            }
        }
        if (next && wasMaximized) {
            ShowWindow(next, SW_SHOWMAXIMIZED);
        }
        Activate(client, next);
    }
    RefreshWindowMenu(client);
}

bool MdiMouseActivate(HWND window, UINT buttonMessage) {
    HWND child = window;
    while (child && !ClientOf(child)) {
        Window* w = FindWindowObject(child);
        child = w && (w->style & WS_CHILD) ? w->parent : nullptr;
    }
    if (!child) {
        return false;
    }
    HWND client = ClientOf(child);
    if (ClientState(client)->active == child) {
        return false;
    }
    LRESULT answer =
        SendMessageA(child, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(TopLevelOf(child)),
                     MAKELPARAM(HTCLIENT, static_cast<WORD>(buttonMessage)));
    if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && IsWindow(child)) {
        SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    }
    return answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT;
}

LRESULT MdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            w->mdiClient = std::make_unique<MdiClientState>();
            if (create && create->lpCreateParams) {
                auto* client = static_cast<const CLIENTCREATESTRUCT*>(create->lpCreateParams);
                w->mdiClient->windowMenu = client->hWindowMenu;
                w->mdiClient->firstChildId = client->idFirstChild;
            }
            return 0;
        }
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_CREATE) {
                Window* child = FindWindowObject(reinterpret_cast<HWND>(lParam));
                if (child && (child->exStyle & WS_EX_MDICHILD)) {
                    MdiChildCreated(window, reinterpret_cast<HWND>(lParam));
                }
            }
            return 0;
        case WM_MDICREATE:
            return reinterpret_cast<LRESULT>(
                CreateChild(window, reinterpret_cast<const MDICREATESTRUCTA*>(lParam)));
        case WM_MDIDESTROY: {
            auto child = reinterpret_cast<HWND>(wParam);
            if (ClientOf(child) == window) {
                DestroyWindow(child);
            }
            return 0;
        }
        case WM_MDIACTIVATE: {
            auto child = reinterpret_cast<HWND>(wParam);
            if (ClientOf(child) == window) {
                Activate(window, child);
            }
            return 0;
        }
        case WM_MDIGETACTIVE: {
            HWND active = w->mdiClient->active;
            if (lParam) {
                *reinterpret_cast<BOOL*>(lParam) = active && IsZoomed(active);
            }
            return reinterpret_cast<LRESULT>(active);
        }
        case WM_MDIMAXIMIZE: {
            auto child = reinterpret_cast<HWND>(wParam);
            if (ClientOf(child) == window) {
                ShowWindow(child, SW_SHOWMAXIMIZED);
                Activate(window, child);
            }
            return 0;
        }
        case WM_MDIRESTORE: {
            auto child = reinterpret_cast<HWND>(wParam);
            if (ClientOf(child) == window) {
                ShowWindow(child, SW_RESTORE);
            }
            return 0;
        }
        case WM_MDINEXT: {
            HWND from = wParam ? reinterpret_cast<HWND>(wParam) : w->mdiClient->active;
            HWND next = NextChild(*w->mdiClient, from, lParam != 0);
            if (next) {
                if (IsIconic(next)) {
                    ShowWindow(next, SW_RESTORE);
                }
                Activate(window, next);
            }
            return 0;
        }
        case WM_MDICASCADE:
            return Cascade(window, static_cast<UINT>(wParam));
        case WM_MDITILE:
            return Tile(window, static_cast<UINT>(wParam));
        case WM_MDIICONARRANGE:
            ArrangeIcons(window);
            return 0;
        case WM_MDISETMENU: {
            HWND frame = w->parent ? w->parent : w->owner;
            HMENU old = GetMenu(TopLevelOf(frame));
            auto frameMenu = reinterpret_cast<HMENU>(wParam);
            auto windowMenu = reinterpret_cast<HMENU>(lParam);
            if (windowMenu && windowMenu != w->mdiClient->windowMenu) {
                ClearWindowMenu(*w->mdiClient);
                w->mdiClient->windowMenu = windowMenu;
            }
            if (frameMenu) {
                SetMenu(TopLevelOf(window), frameMenu);
            }
            RefreshWindowMenu(window);
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_MDIREFRESHMENU:
            RefreshWindowMenu(window);
            return reinterpret_cast<LRESULT>(GetMenu(TopLevelOf(window)));
        case WM_SIZE: {
            HWND active = w->mdiClient->active;
            if (active && IsZoomed(active)) {
                SetWindowPos(active, nullptr, 0, 0, LOWORD(static_cast<WPARAM>(lParam)),
                             HIWORD(static_cast<WPARAM>(lParam)), SWP_NOZORDER | SWP_NOACTIVATE);
            }
            ArrangeIcons(window);
            return 0;
        }
        case WM_SETFOCUS:
            if (w->mdiClient->active && IsWindow(w->mdiClient->active) &&
                !IsIconic(w->mdiClient->active)) {
                SetFocus(w->mdiClient->active);
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT DefFrameProcA(HWND frame, HWND mdiClient, UINT message, WPARAM wParam, LPARAM lParam) {
    MdiClientState* state = ClientState(mdiClient);
    switch (message) {
        case WM_COMMAND:
            if (state && LOWORD(wParam) >= state->firstChildId &&
                LOWORD(wParam) < state->firstChildId + state->children.size()) {
                HWND child = state->children[LOWORD(wParam) - state->firstChildId];
                if (IsIconic(child)) {
                    ShowWindow(child, SW_RESTORE);
                }
                SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
                return 0;
            }
            break;
        case WM_SIZE:
            if (state) {
                MoveWindow(mdiClient, 0, 0, LOWORD(static_cast<WPARAM>(lParam)),
                           HIWORD(static_cast<WPARAM>(lParam)), TRUE);
            }
            return 0;
        case WM_SETFOCUS:
            if (state) {
                SetFocus(mdiClient);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_NEXTWINDOW && state) {
                SendMessageA(mdiClient, WM_MDINEXT, 0, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

LRESULT DefMDIChildProcA(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND client = ClientOf(child);
    if (!client) {
        return DefWindowProcA(child, message, wParam, lParam);
    }
    switch (message) {
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MAXIMIZE:
                    SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
                    return 0;
                case SC_RESTORE:
                    SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
                    return 0;
                case SC_MINIMIZE: {
                    ShowWindow(child, SW_MINIMIZE);
                    MdiClientState* state = ClientState(client);
                    if (state && state->active == child) {
                        HWND next = nullptr;
                        for (HWND other : FindWindowObject(client)->children) {
                            if (other != child && !IsIconic(other) &&
                                std::find(state->children.begin(), state->children.end(), other) !=
                                    state->children.end()) {
                                next = other;
                                break;
                            }
                        }
                        if (next) {
                            SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(next), 0);
                        }
                    }
                    return 0;
                }
                case SC_CLOSE:
                    SendMessageA(child, WM_CLOSE, 0, 0);
                    return 0;
                case SC_NEXTWINDOW:
                    SendMessageA(client, WM_MDINEXT, reinterpret_cast<WPARAM>(child), 0);
                    return 0;
                case SC_PREVWINDOW:
                    SendMessageA(client, WM_MDINEXT, reinterpret_cast<WPARAM>(child), 1);
                    return 0;
                default:
                    return DefWindowProcA(child, message, wParam, lParam);
            }
        case WM_CLOSE:
            SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
            return 0;
        case WM_SETFOCUS:
        case WM_CHILDACTIVATE: {
            MdiClientState* state = ClientState(client);
            if (state && state->active != child) {
                Activate(client, child);
            }
            return 0;
        }
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(child, message, wParam, lParam);
            RefreshWindowMenu(client);
            return result;
        }
        default:
            return DefWindowProcA(child, message, wParam, lParam);
    }
}

BOOL TranslateMDISysAccel(HWND mdiClient, MSG* msg) {
    MdiClientState* state = ClientState(mdiClient);
    if (!state || !msg || msg->message != WM_KEYDOWN || !state->active ||
        !(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) {
        return FALSE;
    }
    if (msg->wParam == VK_F4) {
        SendMessageA(state->active, WM_SYSCOMMAND, SC_CLOSE, 0);
        return TRUE;
    }
    if (msg->wParam == VK_F6) {
        bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        SendMessageA(state->active, WM_SYSCOMMAND, back ? SC_PREVWINDOW : SC_NEXTWINDOW, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace farvane::ui
