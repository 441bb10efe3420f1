// The button and static controls.
#include <algorithm>

#include "platform/ui/control_input.h"
#include "platform/ui/control_state.h"
#include "platform/ui/gdi_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

ButtonState* StateOfButton(HWND window) {
    Window* w = FindWindowObject(window);
    return w ? dynamic_cast<ButtonState*>(w->control.get()) : nullptr;
}

DWORD ButtonType(HWND window) {
    Window* w = FindWindowObject(window);
    return w ? (w->style & BS_TYPEMASK) : 0;
}

bool IsRadio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// Unchecks the other auto radio buttons of the button's group.
void UncheckGroupSiblings(HWND button) {
    Window* w = FindWindowObject(button);
    Window* parent = w ? FindWindowObject(w->parent) : nullptr;
    if (!parent) {
        return;
    }
    // Children are kept topmost first; the group runs in creation (tab) order.
    std::vector<HWND> order(parent->children.rbegin(), parent->children.rend());
    auto self = std::find(order.begin(), order.end(), button);
    if (self == order.end()) {
        return;
    }
    auto first = self;
    while (first != order.begin()) {
        Window* c = FindWindowObject(*first);
        if (c && (c->style & WS_GROUP)) {
            break;
        }
        --first;
    }
    for (auto it = first; it != order.end(); ++it) {
        Window* c = FindWindowObject(*it);
        if (!c) {
            continue;
        }
        if (it != first && (c->style & WS_GROUP)) {
            break;
        }
        if (*it != button && KindOf(*it) == ControlKind::Button &&
            (c->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
            SendMessageA(*it, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void Click(HWND window) {
    if (!IsWindowEnabled(window)) {
        return;
    }
    DWORD type = ButtonType(window);
    if (type == BS_AUTOCHECKBOX) {
        ButtonState* state = StateOfButton(window);
        SendMessageA(window, BM_SETCHECK, state && state->check ? BST_UNCHECKED : BST_CHECKED, 0);
    } else if (type == BS_AUTO3STATE) {
        ButtonState* state = StateOfButton(window);
        SendMessageA(window, BM_SETCHECK, state ? (state->check + 1) % 3 : 0, 0);
    } else if (type == BS_AUTORADIOBUTTON) {
        SendMessageA(window, BM_SETCHECK, BST_CHECKED, 0);
        UncheckGroupSiblings(window);
    }
    if (type != BS_GROUPBOX) {
        NotifyParent(window, BN_CLICKED);
    }
}

}  // namespace

void NotifyParent(HWND control, WORD code) {
    Window* w = FindWindowObject(control);
    if (!w || !w->parent) {
        return;
    }
    SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(LOWORD(w->id), code),
                 reinterpret_cast<LPARAM>(control));
}

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    if (!w->control) {
        w->control = std::make_unique<ButtonState>();
    }
    auto* state = static_cast<ButtonState*>(w->control.get());
    DWORD type = w->style & BS_TYPEMASK;
    switch (message) {
        case BM_GETCHECK:
            return static_cast<LRESULT>(state->check);
        case BM_SETCHECK:
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX) {
                return 0;
            }
            state->check = (type == BS_3STATE || type == BS_AUTO3STATE)
                               ? std::min<WPARAM>(wParam, 2)
                               : (wParam ? 1 : 0);
            NotifyChange(window, WindowChange::ControlContent);
            return 0;
        case BM_GETSTATE:
            return static_cast<LRESULT>(state->check | (state->pushed ? 4 : 0) |
                                        (GetFocus() == window ? BST_FOCUS : 0));
        case BM_SETSTATE:
            state->pushed = wParam != 0;
            return 0;
        case BM_SETSTYLE:
            w->style = (w->style & ~0xFFFF) | (static_cast<DWORD>(wParam) & 0xFFFF);
            NotifyChange(window, WindowChange::Style);
            if (LOWORD(lParam)) {
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case BM_CLICK:
            Click(window);
            return 0;
        case WM_GETDLGCODE:
            if (type == BS_GROUPBOX) {
                return DLGC_STATIC;
            }
            if (IsRadio(type)) {
                return DLGC_BUTTON | DLGC_RADIOBUTTON;
            }
            if (type == BS_DEFPUSHBUTTON) {
                return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            }
            if (type == BS_PUSHBUTTON) {
                return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            }
            return DLGC_BUTTON;
        case WM_CHAR:
            if (wParam == ' ') {
                Click(window);
            }
            return 0;
        case WM_LBUTTONUP:
            Click(window);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_LBUTTONDOWN: {
            Window* w = FindWindowObject(window);
            if (w && (w->style & SS_NOTIFY)) {
                NotifyParent(window, 0);  // STN_CLICKED
            }
            return 0;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT ScrollBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL UserClickButton(HWND control) {
    if (KindOf(control) != ControlKind::Button || !IsWindowEnabled(control)) {
        return FALSE;
    }
    SendMessageA(control, BM_CLICK, 0, 0);
    return TRUE;
}

BOOL UserScroll(HWND window, int bar, WORD code, int position) {
    Window* w = FindWindowObject(window);
    if (!w || (bar != SB_HORZ && bar != SB_VERT)) {
        return FALSE;
    }
    if (code == SB_THUMBTRACK) {
        w->scroll[bar].trackPos = position;
    }
    SendMessageA(window, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(code, static_cast<WORD>(position)), 0);
    return TRUE;
}

}  // namespace farvane::ui
