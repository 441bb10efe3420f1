// Geometry, show state and placement (normal, minimised, maximised) of windows.
#include <algorithm>
#include <cstring>

#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

constexpr int kIconWidth = 160;
constexpr int kIconHeight = 24;

void PlaceMinimised(Window& w) {
    int index = 0;
    if (w.parent) {
        if (Window* parent = FindWindowObject(w.parent)) {
            for (HWND sibling : parent->children) {
                Window* s = FindWindowObject(sibling);
                if (s && s != &w && s->placement == Placement::Minimized) {
                    ++index;
                }
            }
        }
    }
    SIZE area = CurrentBackend().screenSize();
    if (w.parent) {
        if (Window* parent = FindWindowObject(w.parent)) {
            area = ClientSize(*parent);
        }
    }
    int perRow = std::max(1, static_cast<int>(area.cx / kIconWidth));
    int x = (index % perRow) * kIconWidth;
    int y = area.cy - kIconHeight * (1 + index / perRow);
    w.rect = RECT{x, y, x + kIconWidth, y + kIconHeight};
}

void PlaceMaximised(Window& w) {
    SIZE area = CurrentBackend().screenSize();
    if (w.parent) {
        if (Window* parent = FindWindowObject(w.parent)) {
            area = ClientSize(*parent);
        }
    }
    w.rect = RECT{0, 0, area.cx, area.cy};
}

// Moves a window to a new placement and tells it its new size.
void ChangePlacement(HWND window, Placement placement) {
    Window* w = FindWindowObject(window);
    if (!w || w->placement == placement) {
        return;
    }
    if (w->placement == Placement::Normal) {
        w->normalRect = w->rect;
    }
    w->placement = placement;
    w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    WPARAM sizeKind = SIZE_RESTORED;
    switch (placement) {
        case Placement::Minimized:
            w->style |= WS_MINIMIZE;
            PlaceMinimised(*w);
            sizeKind = SIZE_MINIMIZED;
            break;
        case Placement::Maximized:
            w->style |= WS_MAXIMIZE;
            PlaceMaximised(*w);
            sizeKind = SIZE_MAXIMIZED;
            break;
        case Placement::Normal:
            w->rect = w->normalRect;
            break;
    }
    SIZE size = ClientSize(*w);
    ResizeSurface(window);
    NotifyChange(window, WindowChange::Placement);
    NotifyChange(window, WindowChange::Geometry);
    SendMessageA(window, WM_SIZE, sizeKind,
                 MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

BOOL GetWindowRect(HWND window, RECT* rect) {
    Window* w = FindWindowObject(window);
    if (!w || !rect) {
        return FALSE;
    }
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    *rect = RECT{origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
                 origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    Window* w = FindWindowObject(window);
    if (!w || !rect) {
        return FALSE;
    }
    SIZE size = ClientSize(*w);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (!FindWindowObject(window) || !point) {
        return FALSE;
    }
    for (Window* w = FindWindowObject(window); w; w = FindWindowObject(w->parent)) {
        point->x += w->rect.left;
        point->y += w->rect.top;
        if (!w->parent) {
            break;
        }
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    POINT origin{0, 0};
    if (!point || !ClientToScreen(window, &origin)) {
        return FALSE;
    }
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND /*insertAfter*/, int x, int y, int width, int height,
                  UINT flags) {
    Window* w = FindWindowObject(window);
    if (!w || !OnUiThread()) {
        return FALSE;
    }
    RECT old = w->rect;
    RECT next = old;
    if (!(flags & SWP_NOMOVE)) {
        next.right = x + (old.right - old.left);
        next.bottom = y + (old.bottom - old.top);
        next.left = x;
        next.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        next.right = next.left + std::max(0, width);
        next.bottom = next.top + std::max(0, height);
    }
    if (!(flags & SWP_NOZORDER)) {
        BringWindowToTop(window);
        w = FindWindowObject(window);
    }
    bool moved = next.left != old.left || next.top != old.top;
    bool sized = (next.right - next.left) != (old.right - old.left) ||
                 (next.bottom - next.top) != (old.bottom - old.top);
    w->rect = next;
    if (w->placement == Placement::Normal) {
        w->normalRect = next;
    }
    if (sized) {
        ResizeSurface(window);
    }
    if (moved || sized) {
        NotifyChange(window, WindowChange::Geometry);
    }
    if (sized) {
        SIZE size = ClientSize(*w);
        WPARAM kind = w->placement == Placement::Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
        SendMessageA(window, WM_SIZE, kind,
                     MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
    }
    if (moved && FindWindowObject(window)) {
        SendMessageA(window, WM_MOVE, 0,
                     MAKELPARAM(static_cast<WORD>(next.left), static_cast<WORD>(next.top)));
    }
    if (sized && !(flags & SWP_NOREDRAW)) {
        InvalidateRect(window, nullptr, TRUE);
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(window, SW_HIDE);
    }
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND window, int command) {
    Window* w = FindWindowObject(window);
    if (!w || !OnUiThread()) {
        return FALSE;
    }
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    if (command == SW_HIDE) {
        if (!wasVisible) {
            return FALSE;
        }
        SendMessageA(window, WM_SHOWWINDOW, FALSE, 0);
        if (!(w = FindWindowObject(window))) {
            return TRUE;
        }
        w->style &= ~WS_VISIBLE;
        NotifyChange(window, WindowChange::Visibility);
        UiState& state = State();
        if (state.focus && IsDescendantOrSelf(window, state.focus)) {
            HWND old = state.focus;
            state.focus = nullptr;
            SendMessageA(old, WM_KILLFOCUS, 0, 0);
        }
        if (!child && state.active == window) {
            ActivateNextAfter(window);
        }
        return TRUE;
    }
    Placement target = w->placement;
    bool activate = !child;
    switch (command) {
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            target = Placement::Normal;
            break;
        case SW_SHOWMINIMIZED:
            target = Placement::Minimized;
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
            target = Placement::Minimized;
            activate = false;
            break;
        case SW_SHOWMAXIMIZED:
            target = Placement::Maximized;
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
            activate = false;
            break;
        default:
            break;
    }
    if (!wasVisible) {
        SendMessageA(window, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = FindWindowObject(window))) {
            return FALSE;
        }
        w->style |= WS_VISIBLE;
        NotifyChange(window, WindowChange::Visibility);
        InvalidateRect(window, nullptr, TRUE);
    }
    ChangePlacement(window, target);
    if (!FindWindowObject(window)) {
        return wasVisible;
    }
    if (activate && !child) {
        ActivateTopLevel(window, WA_ACTIVE);
    } else if (!child && (command == SW_MINIMIZE) && State().active == window) {
        ActivateNextAfter(window);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    while (w) {
        if (!(w->style & WS_VISIBLE)) {
            return FALSE;
        }
        if (!w->parent) {
            break;
        }
        w = FindWindowObject(w->parent);
    }
    return TRUE;
}

BOOL IsIconic(HWND window) {
    Window* w = FindWindowObject(window);
    return w && w->placement == Placement::Minimized;
}

BOOL IsZoomed(HWND window) {
    Window* w = FindWindowObject(window);
    return w && w->placement == Placement::Maximized;
}

BOOL BringWindowToTop(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    std::vector<HWND>* list = &State().topLevel;
    if (w->parent) {
        Window* parent = FindWindowObject(w->parent);
        if (!parent) {
            return FALSE;
        }
        list = &parent->children;
    }
    list->erase(std::remove(list->begin(), list->end(), window), list->end());
    list->insert(list->begin(), window);
    NotifyChange(window, WindowChange::ZOrder);
    return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    Window* w = FindWindowObject(window);
    if (!w || !placement) {
        return FALSE;
    }
    placement->showCmd = w->placement == Placement::Minimized   ? SW_SHOWMINIMIZED
                         : w->placement == Placement::Maximized ? SW_SHOWMAXIMIZED
                                                                : SW_SHOWNORMAL;
    placement->rcNormalPosition = w->placement == Placement::Normal ? w->rect : w->normalRect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    Window* w = FindWindowObject(window);
    if (!w || !placement) {
        return FALSE;
    }
    const RECT& r = placement->rcNormalPosition;
    if (w->placement == Placement::Normal) {
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        w->normalRect = r;
    }
    ShowWindow(window, static_cast<int>(placement->showCmd));
    return TRUE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        if (State().focus && IsDescendantOrSelf(window, State().focus)) {
            SetFocus(nullptr);
        }
    }
    NotifyChange(window, WindowChange::Enabled);
    SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    Window* w = FindWindowObject(window);
    return w && !(w->style & WS_DISABLED);
}

BOOL CloseWindow(HWND window) {
    return ShowWindow(window, SW_MINIMIZE), IsWindow(window);
}

BOOL OpenIcon(HWND window) {
    return ShowWindow(window, SW_RESTORE), IsWindow(window);
}

}  // namespace farvane::ui
