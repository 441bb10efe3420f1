#include "ui_test_support.h"

#include <map>

namespace farvane::ui::testing {

namespace {

LRESULT RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Received{window, message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

std::string MessageName(UINT message) {
    static const std::map<UINT, std::string> names = {
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_CREATE, "WM_CREATE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_PAINT, "WM_PAINT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_CHAR, "WM_CHAR"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_INITMENU, "WM_INITMENU"},
        {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
        {WM_USER, "WM_USER"},
        {WM_USER + 1, "WM_USER+1"},
        {WM_USER + 2, "WM_USER+2"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_GETTEXT, "WM_GETTEXT"},
    };
    auto it = names.find(message);
    return it == names.end() ? std::to_string(message) : it->second;
}

std::vector<std::string> LoggedNames(HWND window) {
    std::vector<std::string> names;
    for (const Received& r : Log()) {
        if (!window || r.window == window) {
            names.push_back(MessageName(r.message));
        }
    }
    return names;
}

void HeadlessTest::SetUp() {
    backend = &UseHeadlessBackend();
    Log().clear();
    WNDCLASSA cls;
    cls.lpfnWndProc = RecorderProc;
    cls.lpszClassName = kRecorderClass;
    cls.hbrBackground = GetStockObject(WHITE_BRUSH);
    cls.cbWndExtra = 16;
    ASSERT_NE(RegisterClassA(&cls), 0);
}

void HeadlessTest::TearDown() {
    UseHeadlessBackend();
}

HWND HeadlessTest::CreateRecorder(const char* title, DWORD style, HWND parent, UINT id) {
    return CreateWindowExA(0, kRecorderClass, title, style, 10, 20, 320, 160, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

}  // namespace farvane::ui::testing
