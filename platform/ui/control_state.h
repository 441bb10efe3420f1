// State of the built-in controls beyond the common window fields.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_constants.h"
#include "platform/ui/window_object.h"

namespace farvane::ui {

struct ButtonState : ControlState {
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
};

struct EditState : ControlState {
    UINT limit = EDIT_DEFAULT_LIMIT;
    DWORD selStart = 0;
    DWORD selEnd = 0;
    bool modified = false;
};

struct ListItem {
    std::string text;
    std::uintptr_t data = 0;
    bool selected = false;
};

struct ListState : ControlState {
    std::vector<ListItem> items;
    int current = -1;
    int top = 0;
    UINT itemHeight = 16;
    std::vector<int> tabStops;
    // Combo boxes only: the edit part's limit and selection, and whether the list is open.
    UINT editLimit = EDIT_MAX_LIMIT;
    DWORD editSelStart = 0;
    DWORD editSelEnd = 0;
    bool dropped = false;
};

enum class ControlKind { None, Button, Static, Edit, ListBox, ComboBox, ScrollBar };

// The kind of built-in control a window is, from its class.
ControlKind KindOf(HWND window);

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace farvane::ui
