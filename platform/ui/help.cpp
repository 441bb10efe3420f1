#include <map>
#include <sstream>

#include "platform/ui/gdi_api.h"
#include "platform/ui/help_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

struct Topic {
    std::string title;
    std::string text;
};

struct HelpState {
    std::map<std::string, std::map<DWORD, Topic>> files;
    std::map<std::string, DWORD> contents;
    HWND window = nullptr;
};

HelpState& Help() {
    static auto* state = new HelpState();
    return *state;
}

std::string FileKey(const std::string& helpFile) {
    std::string file = helpFile.substr(0, helpFile.find('>'));
    std::size_t slash = file.find_last_of("/\\");
    if (slash != std::string::npos) {
        file = file.substr(slash + 1);
    }
    return ToLower(file);
}

void Show(const std::string& title, const std::string& text) {
    HelpState& help = Help();
    if (!IsWindow(help.window)) {
        help.window =
            CreateWindowExA(0, kHelpWindowClassName, "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 480, 360, nullptr, nullptr, nullptr, nullptr);
        if (!help.window) {
            return;
        }
    }
    SetWindowTextA(help.window, title.c_str());
    Window* w = FindWindowObject(help.window);
    static std::string body;  // one help window, one topic at a time
    body = text;
    w->userData = reinterpret_cast<LONG_PTR>(&body);
    ShowWindow(help.window, SW_SHOWNORMAL);
    InvalidateRect(help.window, nullptr, TRUE);
}

}  // namespace

void RegisterHelpTopic(const std::string& helpFile, DWORD context, const std::string& title,
                       const std::string& text) {
    Help().files[FileKey(helpFile)][context] = Topic{title, text};
}

BOOL WinHelpA(HWND /*window*/, LPCSTR helpFile, UINT command, std::uintptr_t data) {
    HelpState& help = Help();
    if (command == HELP_QUIT) {
        if (IsWindow(help.window)) {
            DestroyWindow(help.window);
        }
        help.window = nullptr;
        return TRUE;
    }
    if (!helpFile) {
        return FALSE;
    }
    std::string key = FileKey(helpFile);
    if (command == HELP_SETCONTENTS) {
        help.contents[key] = static_cast<DWORD>(data);
        return TRUE;
    }
    DWORD context = static_cast<DWORD>(data);
    if (command == HELP_CONTENTS) {
        context = help.contents.count(key) ? help.contents[key] : 0;
    } else if (command != HELP_CONTEXT) {
        return FALSE;
    }
    auto file = help.files.find(key);
    if (file == help.files.end() || !file->second.count(context)) {
        Show("Help", "No help topic " + std::to_string(context) + " in " + key + ".");
        return FALSE;
    }
    const Topic& topic = file->second[context];
    Show(topic.title, topic.text);
    return TRUE;
}

HWND HelpWindow() {
    return IsWindow(Help().window) ? Help().window : nullptr;
}

LRESULT HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        auto* text = reinterpret_cast<const std::string*>(GetWindowLongPtrA(window, GWL_USERDATA));
        if (text) {
            std::istringstream lines(*text);
            std::string line;
            int y = 0;
            while (std::getline(lines, line)) {
                TextOutA(dc, 4, y, line.c_str(), static_cast<int>(line.size()));
                y += metrics.tmHeight;
            }
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY && Help().window == window) {
        Help().window = nullptr;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace farvane::ui
