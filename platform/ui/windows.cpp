// Creating and destroying windows, and the window tree.
#include <algorithm>
#include <cstring>

#include "platform/ui/dialog_state.h"
#include "platform/ui/internal.h"
#include "platform/ui/interprocess.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

HWND ToHandle(std::uintptr_t value) {
    return reinterpret_cast<HWND>(value);
}

std::shared_ptr<WindowClass> ClassFromName(LPCSTR className) {
    if (!className) {
        return nullptr;
    }
    if (IS_INTRESOURCE(className)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(className));
        for (auto& [key, cls] : State().classes) {
            if (cls->atom == atom) {
                return cls;
            }
        }
        return nullptr;
    }
    return FindWindowClass(className);
}

RECT DefaultTopLevelRect(int x, int y, int width, int height) {
    SIZE screen = CurrentBackend().screenSize();
    int count = static_cast<int>(State().topLevel.size());
    if (x == CW_USEDEFAULT) {
        x = 24 * (count % 8);
        y = 24 * (count % 8);
    }
    if (width == CW_USEDEFAULT) {
        width = screen.cx * 3 / 4;
        height = screen.cy * 3 / 4;
    }
    return RECT{x, y, x + width, y + height};
}

void SendParentNotify(HWND child, UINT event) {
    Window* w = FindWindowObject(child);
    if (!w || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY) || !w->parent) {
        return;
    }
    SendMessageA(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(event), LOWORD(w->id)),
                 reinterpret_cast<LPARAM>(child));
}

void CollectSubtree(HWND window, std::vector<HWND>& out) {
    out.push_back(window);
    if (Window* w = FindWindowObject(window)) {
        std::vector<HWND> children = w->children;
        for (HWND child : children) {
            CollectSubtree(child, out);
        }
    }
}

void SendDestroyTopDown(HWND window) {
    SendMessageA(window, WM_DESTROY, 0, 0);
    Window* w = FindWindowObject(window);
    if (!w) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        SendDestroyTopDown(child);
    }
}

void Unlink(Window& w) {
    UiState& state = State();
    if (w.parent) {
        if (Window* parent = FindWindowObject(w.parent)) {
            auto& list = parent->children;
            list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
            if (parent->mdiClient) {
                MdiChildGone(w.parent, w.handle);
            }
        }
    } else {
        auto& list = state.topLevel;
        list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
    }
}

void FinalDestroyBottomUp(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return;
    }
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        FinalDestroyBottomUp(child);
    }
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    w = FindWindowObject(window);
    if (!w) {
        return;
    }
    UiState& state = State();
    KillTimersOf(window);
    if (state.caret.owner == window) {
        state.caret = CaretState{};
    }
    if (state.capture == window) {
        state.capture = nullptr;
    }
    if (state.focus == window) {
        state.focus = nullptr;
    }
    if (state.active == window) {
        state.active = nullptr;
    }
    Unlink(*w);
    if (state.backend) {
        state.backend->windowDestroyed(window);
    }
    HMENU menu = w->menu;
    HMENU systemMenu = w->systemMenu;
    bool child = (w->style & WS_CHILD) != 0;
    std::unique_ptr<Window> record = state.windows.remove(reinterpret_cast<std::uintptr_t>(window));
    // A top-level window owns its menu bar and system menu; a child's "menu" is its id.
    if (!child && menu) {
        DestroyMenu(menu);
    }
    if (systemMenu) {
        DestroyMenuTree(systemMenu);
    }
    ForgetWindowInQueue(window);
    if (!child) {
        RepublishWindows();
    }
}

}  // namespace

SIZE ClientSize(const Window& window) {
    return SIZE{std::max<LONG>(0, window.rect.right - window.rect.left - window.clientInset.cx),
                std::max<LONG>(0, window.rect.bottom - window.rect.top - window.clientInset.cy)};
}

HWND TopLevelOf(HWND window) {
    Window* w = FindWindowObject(window);
    while (w && w->parent) {
        window = w->parent;
        w = FindWindowObject(window);
    }
    return w ? window : nullptr;
}

bool IsDescendantOrSelf(HWND ancestor, HWND window) {
    while (window) {
        if (window == ancestor) {
            return true;
        }
        Window* w = FindWindowObject(window);
        if (!w) {
            return false;
        }
        window = w->parent;
    }
    return false;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param) {
    if (!OnUiThread()) {
        return nullptr;
    }
    EnsureInitialised();
    std::shared_ptr<WindowClass> cls = ClassFromName(className);
    if (!cls) {
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !FindWindowObject(parent)) {
        return nullptr;
    }
    if (!child && parent && !FindWindowObject(parent)) {
        return nullptr;
    }
    if (!child && menuOrId && !FindMenuObject(menuOrId)) {
        return nullptr;
    }

    auto record = std::make_unique<Window>();
    record->windowClass = cls;
    record->proc = cls->proc;
    record->instance = instance;
    record->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    record->exStyle = exStyle;
    if (cls->windowExtra > 0) {
        record->extraBytes.assign(static_cast<std::size_t>(cls->windowExtra), 0);
    }
    if (child) {
        record->parent = parent;
        record->id = reinterpret_cast<UINT_PTR>(menuOrId);
        if (x == CW_USEDEFAULT) {
            x = y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = height = 0;
        }
        record->rect = RECT{x, y, x + width, y + height};
    } else {
        record->owner = parent ? TopLevelOf(parent) : nullptr;
        record->menu = menuOrId;
        record->rect = DefaultTopLevelRect(x, y, width, height);
    }
    record->normalRect = record->rect;
    if (cls->name == kDialogClassName) {
        record->dialog = std::make_unique<DialogState>();
    }
    Window* w = record.get();
    HWND handle = ToHandle(State().windows.insert(std::move(record)));
    w->handle = handle;
    if (child) {
        FindWindowObject(parent)->children.insert(FindWindowObject(parent)->children.begin(),
                                                  handle);
    } else {
        State().topLevel.insert(State().topLevel.begin(), handle);
    }
    if ((style & WS_SYSMENU) || !child) {
        w->systemMenu = CreateStandardSystemMenu(handle);
    }
    CurrentBackend().windowCreated(handle);
    ResizeSurface(handle);

    CREATESTRUCTA create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.x = w->rect.left;
    create.y = w->rect.top;
    create.cx = w->rect.right - w->rect.left;
    create.cy = w->rect.bottom - w->rect.top;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        FinalDestroyBottomUp(handle);
        return nullptr;
    }
    if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    w = FindWindowObject(handle);
    if (!w) {
        return nullptr;
    }
    SIZE size = ClientSize(*w);
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
    if ((w = FindWindowObject(handle)) != nullptr) {
        SendMessageA(handle, WM_MOVE, 0,
                     MAKELPARAM(static_cast<WORD>(w->rect.left), static_cast<WORD>(w->rect.top)));
    }
    SendParentNotify(handle, WM_CREATE);
    if (!FindWindowObject(handle)) {
        return nullptr;
    }
    if (!child) {
        RepublishWindows();
    }
    if (style & WS_MAXIMIZE) {
        ShowWindow(handle, (style & WS_VISIBLE) ? SW_SHOWMAXIMIZED : SW_MAXIMIZE);
    } else if (style & WS_MINIMIZE) {
        ShowWindow(handle, SW_SHOWMINNOACTIVE);
    } else if (style & WS_VISIBLE) {
        ShowWindow(handle, SW_SHOW);
    }
    return FindWindowObject(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND window) {
    if (!OnUiThread()) {
        return FALSE;
    }
    Window* w = FindWindowObject(window);
    if (!w || w->destroying) {
        return FALSE;
    }
    UiState& state = State();
    // Owned windows (dialogs, pop-ups) go first.
    std::vector<HWND> owned;
    for (HWND top : state.topLevel) {
        Window* t = FindWindowObject(top);
        if (t && t->owner == window) {
            owned.push_back(top);
        }
    }
    for (HWND o : owned) {
        DestroyWindow(o);
    }
    std::vector<HWND> subtree;
    CollectSubtree(window, subtree);
    for (HWND h : subtree) {
        if (Window* x = FindWindowObject(h)) {
            x->destroying = true;
        }
    }
    if (state.focus && IsDescendantOrSelf(window, state.focus)) {
        HWND old = state.focus;
        state.focus = nullptr;
        SendMessageA(old, WM_KILLFOCUS, 0, 0);
        NotifyChange(old, WindowChange::Focus);
    }
    if (state.active == window) {
        ActivateNextAfter(window);
        if (state.active == window) {
            state.active = nullptr;
            SendMessageA(window, WM_ACTIVATE, WA_INACTIVE, 0);
        }
    }
    if (state.capture && IsDescendantOrSelf(window, state.capture)) {
        state.capture = nullptr;
    }
    SendParentNotify(window, WM_DESTROY);
    SendDestroyTopDown(window);
    FinalDestroyBottomUp(window);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return FindWindowObject(window) != nullptr;
}

BOOL IsChild(HWND parent, HWND window) {
    if (!FindWindowObject(parent) || parent == window) {
        return FALSE;
    }
    Window* w = FindWindowObject(window);
    return w && (w->style & WS_CHILD) && IsDescendantOrSelf(parent, window);
}

HWND GetParent(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND SetParent(HWND child, HWND newParent) {
    Window* w = FindWindowObject(child);
    if (!w || !(w->style & WS_CHILD) || !FindWindowObject(newParent) ||
        IsDescendantOrSelf(child, newParent)) {
        return nullptr;
    }
    HWND old = w->parent;
    Unlink(*w);
    w->parent = newParent;
    auto& list = FindWindowObject(newParent)->children;
    list.insert(list.begin(), child);
    NotifyChange(child, WindowChange::Geometry);
    return old;
}

HWND GetWindow(HWND window, UINT relation) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    if (relation == GW_CHILD) {
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (relation == GW_OWNER) {
        return w->owner;
    }
    const std::vector<HWND>* siblings = &State().topLevel;
    if (w->parent) {
        Window* parent = FindWindowObject(w->parent);
        if (!parent) {
            return nullptr;
        }
        siblings = &parent->children;
    }
    auto it = std::find(siblings->begin(), siblings->end(), window);
    switch (relation) {
        case GW_HWNDFIRST:
            return siblings->front();
        case GW_HWNDLAST:
            return siblings->back();
        case GW_HWNDNEXT:
            return (it != siblings->end() && it + 1 != siblings->end()) ? *(it + 1) : nullptr;
        case GW_HWNDPREV:
            return (it != siblings->begin() && it != siblings->end()) ? *(it - 1) : nullptr;
        default:
            return nullptr;
    }
}

HWND GetTopWindow(HWND window) {
    if (!window) {
        return State().topLevel.empty() ? nullptr : State().topLevel.front();
    }
    return GetWindow(window, GW_CHILD);
}

HWND GetDesktopWindow() {
    return nullptr;
}

int GetClassNameA(HWND window, LPSTR buffer, int size) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    return CopyOut(w->windowClass->name, buffer, size);
}

HWND FindLocalWindow(LPCSTR className, LPCSTR windowName) {
    for (HWND top : State().topLevel) {
        Window* w = FindWindowObject(top);
        if (!w) {
            continue;
        }
        if (className && ToLower(w->windowClass->name) != ToLower(className)) {
            continue;
        }
        if (windowName && w->text != windowName) {
            continue;
        }
        return top;
    }
    return nullptr;
}

}  // namespace farvane::ui
