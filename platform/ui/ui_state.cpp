#include "platform/ui/ui_state.h"

#include <algorithm>

#include "platform/ui/device_context.h"
#include "platform/ui/dialog_state.h"
#include "platform/ui/headless_backend.h"
#include "platform/ui/mdi_state.h"
#include "platform/ui/menu_object.h"
#include "platform/ui/user_constants.h"

namespace farvane::ui {

namespace {

std::array<COLORREF, 19> DefaultSystemColors() {
    std::array<COLORREF, 19> colors{};
    colors[COLOR_SCROLLBAR] = RGB(192, 192, 192);
    colors[COLOR_BACKGROUND] = RGB(0, 128, 128);
    colors[COLOR_ACTIVECAPTION] = RGB(0, 0, 128);
    colors[COLOR_MENU] = RGB(192, 192, 192);
    colors[COLOR_WINDOW] = RGB(255, 255, 255);
    colors[COLOR_WINDOWFRAME] = RGB(0, 0, 0);
    colors[COLOR_MENUTEXT] = RGB(0, 0, 0);
    colors[COLOR_WINDOWTEXT] = RGB(0, 0, 0);
    colors[COLOR_CAPTIONTEXT] = RGB(255, 255, 255);
    colors[COLOR_APPWORKSPACE] = RGB(128, 128, 128);
    colors[COLOR_HIGHLIGHT] = RGB(0, 0, 128);
    colors[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
    colors[COLOR_BTNFACE] = RGB(192, 192, 192);
    colors[COLOR_BTNSHADOW] = RGB(128, 128, 128);
    colors[COLOR_GRAYTEXT] = RGB(128, 128, 128);
    colors[COLOR_BTNTEXT] = RGB(0, 0, 0);
    return colors;
}

}  // namespace

UiState::UiState() : sysColors(DefaultSystemColors()) {}
UiState::~UiState() = default;

UiState& State() {
    static UiState* state = new UiState();  // lives until exit; windows may outlive statics
    return *state;
}

bool OnUiThread() {
    UiState& state = State();
    if (!state.uiThreadSet) {
        state.uiThread = std::this_thread::get_id();
        state.uiThreadSet = true;
    }
    return state.uiThread == std::this_thread::get_id();
}

Backend& CurrentBackend() {
    UiState& state = State();
    if (!state.backend) {
        state.backend = std::make_unique<HeadlessBackend>();
    }
    return *state.backend;
}

Window* FindWindowObject(HWND window) {
    return State().windows.find(reinterpret_cast<std::uintptr_t>(window));
}

Menu* FindMenuObject(HMENU menu) {
    return State().menus.find(reinterpret_cast<std::uintptr_t>(menu));
}

void NotifyChange(HWND window, WindowChange change) {
    if (FindWindowObject(window) && State().backend) {
        State().backend->windowChanged(window, change);
    }
}

bool IsRectEmptyValue(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

RECT UnionRects(const RECT& a, const RECT& b) {
    if (IsRectEmptyValue(a)) {
        return b;
    }
    if (IsRectEmptyValue(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (IsRectEmptyValue(result)) {
        return RECT{};
    }
    return result;
}

}  // namespace farvane::ui
