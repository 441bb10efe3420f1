// The classes every program has: controls, dialogs, the multiple-document client and the
// help window.
#include "platform/ui/control_state.h"
#include "platform/ui/dialog_api.h"
#include "platform/ui/help_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

void AddBuiltIn(const char* name, WNDPROC proc, UINT style, HBRUSH background) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->proc = proc;
    cls->style = style;
    cls->background = background;
    cls->builtIn = true;
    cls->atom = State().nextAtom++;
    State().classes[ToLower(name)] = cls;
}

LRESULT DialogClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefDlgProcA(window, message, wParam, lParam);
}

}  // namespace

void RegisterBuiltInClasses() {
    if (FindWindowClass("Button")) {
        return;
    }
    auto face = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    auto window = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    auto workspace = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_APPWORKSPACE + 1));
    AddBuiltIn("Button", ButtonProc, CS_DBLCLKS, face);
    AddBuiltIn("Static", StaticProc, 0, face);
    AddBuiltIn("Edit", EditProc, CS_DBLCLKS, window);
    AddBuiltIn("ListBox", ListBoxProc, CS_DBLCLKS, window);
    AddBuiltIn("ComboBox", ComboBoxProc, CS_DBLCLKS, window);
    AddBuiltIn("ScrollBar", ScrollBarProc, 0, face);
    AddBuiltIn(kDialogClassName, DialogClassProc, CS_DBLCLKS, face);
    AddBuiltIn(kMdiClientClassName, MdiClientProc, 0, workspace);
    AddBuiltIn(kHelpWindowClassName, HelpWindowProc, 0, window);
}

ControlKind KindOf(HWND window) {
    Window* w = FindWindowObject(window);
    if (!w || !w->windowClass->builtIn) {
        return ControlKind::None;
    }
    const std::string& name = w->windowClass->name;
    if (name == "Button") {
        return ControlKind::Button;
    }
    if (name == "Static") {
        return ControlKind::Static;
    }
    if (name == "Edit") {
        return ControlKind::Edit;
    }
    if (name == "ListBox") {
        return ControlKind::ListBox;
    }
    if (name == "ComboBox") {
        return ControlKind::ComboBox;
    }
    if (name == "ScrollBar") {
        return ControlKind::ScrollBar;
    }
    return ControlKind::None;
}

}  // namespace farvane::ui
