// Registered window classes: the built-in control classes and those a program registers.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/user_types.h"

namespace farvane::ui {

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    HCURSOR cursor = nullptr;
    HICON icon = nullptr;
    std::string menuName;
    ATOM atom = 0;
    bool builtIn = false;
};

// The class of that name (case-insensitive), or null.
std::shared_ptr<WindowClass> FindWindowClass(const std::string& name);
// Registers the built-in control, dialog and multiple-document client classes once.
void RegisterBuiltInClasses();

inline constexpr const char* kDialogClassName = "#32770";

}  // namespace farvane::ui
