// The model's record of a menu: a list of items, each a command, a separator or a pop-up.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

struct MenuItem {
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR, MF_POPUP, ...
    UINT_PTR id = 0;
    std::string text;
    HMENU popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
    bool isPopup = false;
    HWND systemMenuOf = nullptr;  // the window whose system menu this is
};

// The menu bars and pop-ups that show `menu` need refreshing.
void NotifyMenuChanged(HMENU menu);
// Finds the item with the command id in the menu or its pop-ups; returns the menu holding it.
MenuItem* FindMenuCommand(HMENU menu, UINT_PTR id, HMENU* holder = nullptr);
// Builds the system menu of a window with the standard commands.
HMENU CreateStandardSystemMenu(HWND window);
void DestroyMenuTree(HMENU menu);

}  // namespace farvane::ui
