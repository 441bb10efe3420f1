// What a user does to controls, as the backends report it and as headless tests act it out.
// Each call changes the control the way the user's action would and sends the parent the
// notification that action sends; programmatic changes (the control messages) send none.
#pragma once

#include <string>

#include "platform/ui/user_types.h"

namespace farvane::ui {

// The user replaced the text of an edit control or of a combo box's edit part.
BOOL UserEditText(HWND control, const std::string& text);
// The user chose an item of a list box or combo box (-1 for none).
BOOL UserSelectItem(HWND control, int index);
// The user double-clicked an item of a list box or a simple combo box.
BOOL UserDoubleClickItem(HWND control, int index);
// The user clicked a button (push, check box, radio button).
BOOL UserClickButton(HWND control);
// The user moved a window's scroll bar: sends WM_VSCROLL or WM_HSCROLL with the code.
BOOL UserScroll(HWND window, int bar, WORD code, int position = 0);

}  // namespace farvane::ui
