// Menus as objects.
#include <algorithm>

#include "platform/ui/internal.h"
#include "platform/ui/menu_api.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

HMENU NewMenu(bool popup) {
    auto menu = std::make_unique<Menu>();
    menu->isPopup = popup;
    return reinterpret_cast<HMENU>(State().menus.insert(std::move(menu)));
}

// The item at a position or with a command id (searched through pop-ups), with its menu.
MenuItem* Locate(HMENU menu, UINT item, UINT flags, HMENU* holder = nullptr,
                 std::size_t* index = nullptr) {
    Menu* m = FindMenuObject(menu);
    if (!m) {
        return nullptr;
    }
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size()) {
            return nullptr;
        }
        if (holder) {
            *holder = menu;
        }
        if (index) {
            *index = item;
        }
        return &m->items[item];
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& entry = m->items[i];
        if (!(entry.flags & MF_POPUP) && !(entry.flags & MF_SEPARATOR) && entry.id == item) {
            if (holder) {
                *holder = menu;
            }
            if (index) {
                *index = i;
            }
            return &entry;
        }
        if (entry.flags & MF_POPUP) {
            if (MenuItem* found = Locate(entry.popup, item, flags, holder, index)) {
                return found;
            }
        }
    }
    return nullptr;
}

bool MakeItem(UINT flags, UINT_PTR idOrPopup, LPCSTR text, MenuItem* out) {
    out->flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP |
                          MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP | MF_OWNERDRAW);
    if (flags & MF_POPUP) {
        auto popup = reinterpret_cast<HMENU>(idOrPopup);
        if (!FindMenuObject(popup)) {
            return false;
        }
        out->popup = popup;
        FindMenuObject(popup)->isPopup = true;
    } else {
        out->id = idOrPopup;
    }
    if (!(flags & MF_SEPARATOR) && !(flags & MF_OWNERDRAW) && text) {
        out->text = text;
    }
    return true;
}

void AddStandardItems(HMENU menu, bool mdiChild) {
    AppendMenuA(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenuA(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenuA(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenuA(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenuA(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, SC_CLOSE, mdiChild ? "&Close\tCtrl+F4" : "&Close\tAlt+F4");
    if (mdiChild) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, SC_NEXTWINDOW, "Nex&t\tCtrl+F6");
    }
}

HMENU MenuOf(HWND window, bool systemMenu) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    return systemMenu ? w->systemMenu : ((w->style & WS_CHILD) ? nullptr : w->menu);
}

}  // namespace

void DestroyMenuTree(HMENU menu) {
    std::unique_ptr<Menu> record = State().menus.remove(reinterpret_cast<std::uintptr_t>(menu));
    if (!record) {
        return;
    }
    for (MenuItem& item : record->items) {
        if (item.flags & MF_POPUP) {
            DestroyMenuTree(item.popup);
        }
    }
}

HMENU CreateStandardSystemMenu(HWND window) {
    HMENU menu = NewMenu(true);
    Window* w = FindWindowObject(window);
    bool mdiChild = w && (w->exStyle & WS_EX_MDICHILD);
    AddStandardItems(menu, mdiChild);
    FindMenuObject(menu)->systemMenuOf = window;
    return menu;
}

void NotifyMenuChanged(HMENU /*menu*/) {}

MenuItem* FindMenuCommand(HMENU menu, UINT_PTR id, HMENU* holder) {
    return Locate(menu, static_cast<UINT>(id), MF_BYCOMMAND, holder);
}

HMENU CreateMenu() {
    return NewMenu(false);
}
HMENU CreatePopupMenu() {
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU menu) {
    if (!FindMenuObject(menu)) {
        return FALSE;
    }
    DestroyMenuTree(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    return FindMenuObject(menu) != nullptr;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    Menu* m = FindMenuObject(menu);
    MenuItem item;
    if (!m || !MakeItem(flags, idOrPopup, text, &item)) {
        return FALSE;
    }
    m->items.push_back(item);
    return TRUE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    Menu* m = FindMenuObject(menu);
    MenuItem item;
    if (!m || !MakeItem(flags, idOrPopup, text, &item)) {
        return FALSE;
    }
    if (flags & MF_BYPOSITION) {
        if (position >= m->items.size()) {
            m->items.push_back(item);  // -1 and positions past the end append
        } else {
            m->items.insert(m->items.begin() + position, item);
        }
        return TRUE;
    }
    HMENU holder = nullptr;
    std::size_t index = 0;
    if (!Locate(menu, position, MF_BYCOMMAND, &holder, &index)) {
        m->items.push_back(item);
        return TRUE;
    }
    Menu* h = FindMenuObject(holder);
    h->items.insert(h->items.begin() + static_cast<long>(index), item);
    return TRUE;
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    MenuItem* item = Locate(menu, position, flags & MF_BYPOSITION);
    MenuItem replacement;
    if (!item || !MakeItem(flags, idOrPopup, text, &replacement)) {
        return FALSE;
    }
    if ((item->flags & MF_POPUP) && item->popup != replacement.popup) {
        DestroyMenuTree(item->popup);
    }
    *item = replacement;
    return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    HMENU holder = nullptr;
    std::size_t index = 0;
    if (!Locate(menu, position, flags & MF_BYPOSITION, &holder, &index)) {
        return FALSE;
    }
    Menu* h = FindMenuObject(holder);
    h->items.erase(h->items.begin() + static_cast<long>(index));
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    HMENU holder = nullptr;
    std::size_t index = 0;
    MenuItem* item = Locate(menu, position, flags & MF_BYPOSITION, &holder, &index);
    if (!item) {
        return FALSE;
    }
    HMENU popup = (item->flags & MF_POPUP) ? item->popup : nullptr;
    Menu* h = FindMenuObject(holder);
    h->items.erase(h->items.begin() + static_cast<long>(index));
    if (popup) {
        DestroyMenuTree(popup);
    }
    return TRUE;
}

int EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuItem* entry = Locate(menu, item, flags & MF_BYPOSITION);
    if (!entry) {
        return -1;
    }
    int old = static_cast<int>(entry->flags & (MF_GRAYED | MF_DISABLED));
    entry->flags =
        (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return old;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuItem* entry = Locate(menu, item, flags & MF_BYPOSITION);
    if (!entry) {
        return static_cast<DWORD>(-1);
    }
    DWORD old = entry->flags & MF_CHECKED;
    entry->flags = (entry->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuItem* entry = Locate(menu, item, flags & MF_BYPOSITION);
    if (!entry) {
        return static_cast<UINT>(-1);
    }
    if (entry->flags & MF_POPUP) {
        Menu* popup = FindMenuObject(entry->popup);
        UINT count = popup ? static_cast<UINT>(popup->items.size()) : 0;
        return (count << 8) | (entry->flags & 0xFF);
    }
    return entry->flags;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenuObject(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenuObject(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return static_cast<UINT>(-1);
    }
    const MenuItem& item = m->items[static_cast<std::size_t>(position)];
    if (item.flags & MF_POPUP) {
        return static_cast<UINT>(-1);
    }
    return static_cast<UINT>(item.id);
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = FindMenuObject(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return nullptr;
    }
    const MenuItem& item = m->items[static_cast<std::size_t>(position)];
    return (item.flags & MF_POPUP) ? item.popup : nullptr;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
    MenuItem* entry = Locate(menu, item, flags & MF_BYPOSITION);
    if (!entry) {
        return 0;
    }
    if (!buffer || size <= 0) {
        return static_cast<int>(entry->text.size());
    }
    return CopyOut(entry->text, buffer, size);
}

BOOL SetMenu(HWND window, HMENU menu) {
    Window* w = FindWindowObject(window);
    if (!w || (w->style & WS_CHILD) || (menu && !FindMenuObject(menu))) {
        return FALSE;
    }
    w->menu = menu;
    ++w->menuBarDraws;
    NotifyChange(window, WindowChange::Menu);
    return TRUE;
}

HMENU GetMenu(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w || (w->style & WS_CHILD)) {
        return nullptr;
    }
    return FindMenuObject(w->menu) ? w->menu : nullptr;
}

BOOL DrawMenuBar(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return FALSE;
    }
    ++w->menuBarDraws;
    NotifyChange(window, WindowChange::Menu);
    return TRUE;
}

HMENU GetSystemMenu(HWND window, BOOL revert) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    if (revert) {
        if (w->systemMenu) {
            DestroyMenuTree(w->systemMenu);
        }
        w->systemMenu = CreateStandardSystemMenu(window);
        return nullptr;
    }
    if (!FindMenuObject(w->systemMenu)) {
        w->systemMenu = CreateStandardSystemMenu(window);
    }
    return w->systemMenu;
}

BOOL TrackPopupMenu(HMENU menu, UINT /*flags*/, int /*x*/, int /*y*/, int /*reserved*/, HWND owner,
                    const RECT* /*rect*/) {
    if (!FindMenuObject(menu) || !FindWindowObject(owner)) {
        return FALSE;
    }
    SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    return FALSE;
}

namespace {

HMENU BuildFromTemplate(const std::vector<MenuTemplateItem>& items, bool popup) {
    HMENU menu = NewMenu(popup);
    for (const MenuTemplateItem& item : items) {
        if (!item.children.empty() || (item.flags & MF_POPUP)) {
            HMENU sub = BuildFromTemplate(item.children, true);
            AppendMenuA(menu, (item.flags | MF_POPUP) & ~MF_SEPARATOR,
                        reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
        } else if (item.flags & MF_SEPARATOR) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, item.flags, item.id, item.text.c_str());
        }
    }
    return menu;
}

}  // namespace

HMENU LoadMenuIndirectA(const MenuTemplate& menu) {
    return BuildFromTemplate(menu, false);
}

BOOL ChooseMenuCommand(HWND window, UINT id, bool systemMenu) {
    HMENU root = MenuOf(window, systemMenu);
    if (!FindMenuObject(root)) {
        return FALSE;
    }
    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(root), 0);
    HMENU holder = nullptr;
    if (!Locate(root, id, MF_BYCOMMAND, &holder)) {
        return FALSE;
    }
    if (holder != root || systemMenu) {
        // Which position the pop-up has in its parent does not matter to the callers here.
        SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(holder),
                     MAKELPARAM(0, systemMenu ? 1 : 0));
    }
    // The handlers may have changed or removed the item.
    MenuItem* item = Locate(root, id, MF_BYCOMMAND);
    if (!FindWindowObject(window) || !item || (item->flags & (MF_GRAYED | MF_DISABLED))) {
        return FALSE;
    }
    if (systemMenu) {
        SendMessageA(window, WM_SYSCOMMAND, id, 0);
    } else {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        PumpPendingMessages();
    }
    return TRUE;
}

BOOL OpenMenuPopup(HWND window, int position) {
    HMENU root = MenuOf(window, false);
    HMENU popup = GetSubMenu(root, position);
    if (!popup) {
        return FALSE;
    }
    SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(root), 0);
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(static_cast<WORD>(position), 0));
    return TRUE;
}

}  // namespace farvane::ui
