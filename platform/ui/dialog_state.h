// What a dialog window keeps beyond a plain window.
#pragma once

#include "platform/ui/user_types.h"

namespace farvane::ui {

struct DialogState {
    DLGPROC proc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR user = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    int baseUnitX = 6;   // average character width of the dialog font
    int baseUnitY = 13;  // character height of the dialog font
    HWND lastFocus = nullptr;
    UINT defaultId = 1;  // IDOK unless the template or DM_SETDEFID says otherwise
    HFONT font = nullptr;
    bool ownsFont = false;
};

}  // namespace farvane::ui
