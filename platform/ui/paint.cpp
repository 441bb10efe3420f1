// Update regions, WM_PAINT bookkeeping, window scrolling, scroll bars and the caret.
#include <algorithm>

#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

RECT ClientRectOf(const Window& w) {
    SIZE size = ClientSize(w);
    return RECT{0, 0, size.cx, size.cy};
}

ScrollBarState* BarOf(HWND window, int bar) {
    Window* w = FindWindowObject(window);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) {
        return nullptr;
    }
    return &w->scroll[bar];
}

}  // namespace

Surface* SurfaceOf(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    if (!w->surface) {
        SIZE size = ClientSize(*w);
        w->surface = CurrentBackend().createSurface(window, size.cx, size.cy);
    }
    return w->surface.get();
}

void ResizeSurface(HWND window) {
    Window* w = FindWindowObject(window);
    if (w && w->surface) {
        SIZE size = ClientSize(*w);
        w->surface->resize(size.cx, size.cy);
    }
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (!window) {
        for (HWND top : State().topLevel) {
            InvalidateRect(top, rect, erase);
        }
        return TRUE;
    }
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    RECT client = ClientRectOf(*w);
    RECT area = rect ? IntersectRects(*rect, client) : client;
    if (IsRectEmptyValue(area)) {
        return TRUE;
    }
    w->invalid = UnionRects(w->invalid, area);
    if (erase) {
        w->eraseBackground = true;
    }
    CurrentBackend().wake();
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    if (!rect) {
        w->invalid = RECT{};
        w->eraseBackground = false;
        return TRUE;
    }
    // The update region is kept as one rectangle: validating a part that covers it whole
    // (or a full band of it) shrinks it; anything else leaves it to be painted.
    RECT& inv = w->invalid;
    if (rect->left <= inv.left && rect->right >= inv.right) {
        if (rect->top <= inv.top && rect->bottom >= inv.bottom) {
            inv = RECT{};
        } else if (rect->top <= inv.top && rect->bottom > inv.top) {
            inv.top = rect->bottom;
        } else if (rect->bottom >= inv.bottom && rect->top < inv.bottom) {
            inv.bottom = rect->top;
        }
    }
    if (IsRectEmptyValue(inv)) {
        inv = RECT{};
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL /*erase*/) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    if (rect) {
        *rect = w->invalid;
    }
    return !IsRectEmptyValue(w->invalid);
}

BOOL UpdateWindow(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w || !OnUiThread()) {
        return FALSE;
    }
    if (!IsRectEmptyValue(w->invalid) && IsWindowVisible(window)) {
        SendMessageA(window, WM_PAINT, 0, 0);
        if ((w = FindWindowObject(window)) != nullptr) {
            w->invalid = RECT{};
        }
    }
    if ((w = FindWindowObject(window)) != nullptr) {
        std::vector<HWND> children = w->children;
        for (HWND child : children) {
            UpdateWindow(child);
        }
    }
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, void* /*region*/, UINT flags) {
    if (!FindWindowObject(window)) {
        return FALSE;
    }
    if (flags & RDW_INVALIDATE) {
        InvalidateRect(window, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
        if (flags & RDW_ALLCHILDREN) {
            for (HWND child : FindWindowObject(window)->children) {
                RedrawWindow(child, nullptr, nullptr, flags & ~RDW_UPDATENOW);
            }
        }
    }
    if (flags & RDW_UPDATENOW) {
        UpdateWindow(window);
    }
    return TRUE;
}

BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scrollRect, const RECT* clipRect) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    RECT client = ClientRectOf(*w);
    RECT area = scrollRect ? IntersectRects(*scrollRect, client) : client;
    if (clipRect) {
        area = IntersectRects(area, *clipRect);
    }
    if (IsRectEmptyValue(area) || (dx == 0 && dy == 0)) {
        return TRUE;
    }
    bool caretHidden = false;
    if (State().caret.owner == window) {
        HideCaret(window);
        caretHidden = true;
    }
    if (Surface* surface = SurfaceOf(window)) {
        surface->scroll(dx, dy, area);
        CurrentBackend().surfaceScrolled(window, dx, dy, area);
    }
    // An update region moves with the contents.
    if (!IsRectEmptyValue(w->invalid)) {
        RECT moved = w->invalid;
        moved.left += dx;
        moved.right += dx;
        moved.top += dy;
        moved.bottom += dy;
        w->invalid = UnionRects(w->invalid, IntersectRects(moved, area));
    }
    // The uncovered strips need painting.
    RECT uncovered = area;
    if (dy > 0) {
        uncovered.bottom = std::min(area.bottom, area.top + dy);
        InvalidateRect(window, &uncovered, TRUE);
    } else if (dy < 0) {
        uncovered.top = std::max(area.top, area.bottom + dy);
        InvalidateRect(window, &uncovered, TRUE);
    }
    uncovered = area;
    if (dx > 0) {
        uncovered.right = std::min(area.right, area.left + dx);
        InvalidateRect(window, &uncovered, TRUE);
    } else if (dx < 0) {
        uncovered.left = std::max(area.left, area.right + dx);
        InvalidateRect(window, &uncovered, TRUE);
    }
    if (State().caret.owner == window && caretHidden) {
        ShowCaret(window);
    }
    return TRUE;
}

int SetScrollPos(HWND window, int bar, int pos, BOOL /*redraw*/) {
    ScrollBarState* state = BarOf(window, bar);
    if (!state) {
        return 0;
    }
    int old = state->pos;
    state->pos =
        std::clamp(pos, std::min(state->min, state->max), std::max(state->min, state->max));
    NotifyChange(window, WindowChange::ScrollBars);
    return old;
}

int GetScrollPos(HWND window, int bar) {
    ScrollBarState* state = BarOf(window, bar);
    return state ? state->pos : 0;
}

BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL /*redraw*/) {
    ScrollBarState* state = BarOf(window, bar);
    if (!state || max - static_cast<long long>(min) > 0x7FFF) {
        return FALSE;  // the platform limits a range to 32767
    }
    state->min = min;
    state->max = max;
    state->pos = std::clamp(state->pos, std::min(min, max), std::max(min, max));
    state->shown = min != max;
    NotifyChange(window, WindowChange::ScrollBars);
    return TRUE;
}

BOOL GetScrollRange(HWND window, int bar, int* min, int* max) {
    ScrollBarState* state = BarOf(window, bar);
    if (!state || !min || !max) {
        return FALSE;
    }
    *min = state->min;
    *max = state->max;
    return TRUE;
}

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL /*redraw*/) {
    ScrollBarState* state = BarOf(window, bar);
    if (!state || !info) {
        return 0;
    }
    if (info->fMask & SIF_RANGE) {
        state->min = info->nMin;
        state->max = info->nMax;
        state->shown = info->nMin != info->nMax;
    }
    if (info->fMask & SIF_PAGE) {
        state->page = info->nPage;
    }
    if (info->fMask & SIF_POS) {
        state->pos = info->nPos;
    }
    state->pos =
        std::clamp(state->pos, std::min(state->min, state->max), std::max(state->min, state->max));
    NotifyChange(window, WindowChange::ScrollBars);
    return state->pos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
    ScrollBarState* state = BarOf(window, bar);
    if (!state || !info) {
        return FALSE;
    }
    if (info->fMask & SIF_RANGE) {
        info->nMin = state->min;
        info->nMax = state->max;
    }
    if (info->fMask & SIF_PAGE) {
        info->nPage = state->page;
    }
    if (info->fMask & SIF_POS) {
        info->nPos = state->pos;
    }
    if (info->fMask & SIF_TRACKPOS) {
        info->nTrackPos = state->trackPos;
    }
    return TRUE;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar == b || bar == SB_BOTH) {
            w->scroll[b].shown = show != FALSE;
        }
    }
    NotifyChange(window, WindowChange::ScrollBars);
    return TRUE;
}

BOOL CreateCaret(HWND window, HGDIOBJ /*bitmap*/, int width, int height) {
    if (!FindWindowObject(window) || width < 0 || height < 0) {
        return FALSE;
    }
    HWND old = State().caret.owner;
    State().caret = CaretState{window, std::max(width, 1), std::max(height, 1), POINT{}, 1};
    NotifyChange(old, WindowChange::Caret);
    NotifyChange(window, WindowChange::Caret);
    return TRUE;
}

BOOL DestroyCaret() {
    HWND old = State().caret.owner;
    if (!old) {
        return FALSE;
    }
    State().caret = CaretState{};
    NotifyChange(old, WindowChange::Caret);
    return TRUE;
}

BOOL ShowCaret(HWND window) {
    CaretState& caret = State().caret;
    if (!caret.owner || (window && window != caret.owner)) {
        return FALSE;
    }
    if (caret.hideCount > 0) {
        --caret.hideCount;
    }
    NotifyChange(caret.owner, WindowChange::Caret);
    return TRUE;
}

BOOL HideCaret(HWND window) {
    CaretState& caret = State().caret;
    if (!caret.owner || (window && window != caret.owner)) {
        return FALSE;
    }
    ++caret.hideCount;
    NotifyChange(caret.owner, WindowChange::Caret);
    return TRUE;
}

BOOL SetCaretPos(int x, int y) {
    CaretState& caret = State().caret;
    if (!caret.owner) {
        return FALSE;
    }
    caret.position = POINT{x, y};
    NotifyChange(caret.owner, WindowChange::Caret);
    return TRUE;
}

BOOL GetCaretPos(POINT* point) {
    if (!point || !State().caret.owner) {
        return FALSE;
    }
    *point = State().caret.position;
    return TRUE;
}

UINT GetCaretBlinkTime() {
    return State().caretBlinkTime;
}

BOOL SetCaretBlinkTime(UINT milliseconds) {
    State().caretBlinkTime = milliseconds;
    if (State().caret.owner) {
        NotifyChange(State().caret.owner, WindowChange::Caret);
    }
    return TRUE;
}

}  // namespace farvane::ui
