// Menus: menu bars, pop-ups and the system menu, as objects and as data.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
// Returns the previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED) or -1 when there is no
// such item.
int EnableMenuItem(HMENU menu, UINT item, UINT flags);
// Returns the previous check state (MF_CHECKED or MF_UNCHECKED) or -1.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
BOOL SetMenu(HWND window, HMENU menu);
HMENU GetMenu(HWND window);
BOOL DrawMenuBar(HWND window);
HMENU GetSystemMenu(HWND window, BOOL revert);
// Shows a pop-up at a screen position; the headless backend chooses nothing and returns 0.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect);

// A menu held as data: pop-ups have children; a separator has the MF_SEPARATOR flag.
struct MenuTemplateItem {
    std::string text;
    UINT id = 0;
    UINT flags = 0;
    std::vector<MenuTemplateItem> children;
};
using MenuTemplate = std::vector<MenuTemplateItem>;
// Builds a menu bar from the data.
HMENU LoadMenuIndirectA(const MenuTemplate& menu);

// Acts as the user choosing a command from a window's menu bar (or its system menu when
// `systemMenu`): the window gets WM_INITMENU and WM_INITMENUPOPUP for the pop-up holding the
// item, and then WM_COMMAND (WM_SYSCOMMAND) unless the item is disabled or grayed. Returns
// FALSE when the window has no such enabled item.
BOOL ChooseMenuCommand(HWND window, UINT id, bool systemMenu = false);
// Acts as the user opening the pop-up at `position` of a window's menu bar.
BOOL OpenMenuPopup(HWND window, int position);

}  // namespace farvane::ui
