// The answer a message box gets when nobody is there to press a button: the headless
// windowing backend and the editor's headless interface both use it. Only a box that asks (has
// more than one button) takes a scripted answer, and it counts when it is one of the box's
// buttons; otherwise the box takes the answer that changes nothing: Cancel, else No, else the
// box's default button (OK for a box with only OK).
#pragma once

#include <array>

#include "platform/ui/user_constants.h"

namespace farvane::ui {

// The buttons of a box of this type, in their order on the box; 0 fills the unused places.
inline std::array<int, 3> MessageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL, 0};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO, 0};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL, 0};
        default:
            return {IDOK, 0, 0};
    }
}

inline bool MessageBoxHasButton(UINT type, int answer) {
    for (int button : MessageBoxButtons(type)) {
        if (button != 0 && button == answer) {
            return true;
        }
    }
    return false;
}

// A box with a single button asks nothing: it takes no scripted answer.
inline bool MessageBoxAsks(UINT type) {
    return MessageBoxButtons(type)[1] != 0;
}

// scripted: the answer a test or script gave for this box, or 0 for none.
inline int UnattendedMessageBoxAnswer(UINT type, int scripted) {
    if (scripted != 0 && MessageBoxHasButton(type, scripted)) {
        return scripted;
    }
    for (int safe : {IDCANCEL, IDNO}) {
        if (MessageBoxHasButton(type, safe)) {
            return safe;
        }
    }
    std::array<int, 3> buttons = MessageBoxButtons(type);
    auto index = static_cast<std::size_t>((type & MB_DEFMASK) >> 8);
    return index < buttons.size() && buttons[index] != 0 ? buttons[index] : buttons[0];
}

}  // namespace farvane::ui
