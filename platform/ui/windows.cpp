// Creating and destroying windows, their data, geometry and show state.
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

constexpr int kIconWidth = 160;
constexpr int kIconHeight = 24;

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
