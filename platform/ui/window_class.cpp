// The class registry.
#include "platform/ui/window_class.h"

#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

std::shared_ptr<WindowClass> FindWindowClass(const std::string& name) {
    auto& classes = State().classes;
    auto it = classes.find(ToLower(name));
    return it == classes.end() ? nullptr : it->second;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    EnsureInitialised();
    if (!windowClass || !windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName) ||
        !windowClass->lpfnWndProc || windowClass->cbWndExtra < 0 ||
        windowClass->cbWndExtra > 4096) {
        return 0;
    }
    std::string key = ToLower(windowClass->lpszClassName);
    if (key.empty() || State().classes.count(key)) {
        return 0;  // ERROR_CLASS_ALREADY_EXISTS
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = windowClass->lpszClassName;
    cls->style = windowClass->style;
    cls->proc = windowClass->lpfnWndProc;
    cls->classExtra = windowClass->cbClsExtra;
    cls->windowExtra = windowClass->cbWndExtra;
    cls->instance = windowClass->hInstance;
    cls->background = windowClass->hbrBackground;
    cls->cursor = windowClass->hCursor;
    cls->icon = windowClass->hIcon;
    if (windowClass->lpszMenuName && !IS_INTRESOURCE(windowClass->lpszMenuName)) {
        cls->menuName = windowClass->lpszMenuName;
    }
    cls->atom = State().nextAtom++;
    State().classes[key] = cls;
    return cls->atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE /*instance*/) {
    if (!className || IS_INTRESOURCE(className)) {
        return FALSE;
    }
    auto& classes = State().classes;
    auto it = classes.find(ToLower(className));
    if (it == classes.end() || it->second->builtIn) {
        return FALSE;
    }
    // Windows of the class keep it alive through their shared pointer.
    for (std::uintptr_t value : State().windows.handles()) {
        Window* w = FindWindowObject(reinterpret_cast<HWND>(value));
        if (w && w->windowClass == it->second) {
            return FALSE;  // ERROR_CLASS_HAS_WINDOWS
        }
    }
    classes.erase(it);
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE /*instance*/, LPCSTR className, WNDCLASSA* out) {
    EnsureInitialised();
    if (!className || IS_INTRESOURCE(className) || !out) {
        return FALSE;
    }
    std::shared_ptr<WindowClass> cls = FindWindowClass(className);
    if (!cls) {
        return FALSE;
    }
    out->style = cls->style;
    out->lpfnWndProc = cls->proc;
    out->cbClsExtra = cls->classExtra;
    out->cbWndExtra = cls->windowExtra;
    out->hInstance = cls->instance;
    out->hbrBackground = cls->background;
    out->lpszClassName = cls->name.c_str();
    return TRUE;
}

}  // namespace farvane::ui
