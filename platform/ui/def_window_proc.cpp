// The default handling of window messages.
#include <algorithm>
#include <cstring>

#include "platform/ui/gdi_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/interprocess.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

LRESULT EraseBackground(HWND window, HDC dc) {
    Window* w = FindWindowObject(window);
    if (!w || !w->windowClass->background) {
        return 0;
    }
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, w->windowClass->background);
    return 1;
}

LRESULT SystemCommand(HWND window, WPARAM command) {
    switch (command & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(window, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(window, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(window, SW_RESTORE);
            return 0;
        default:
            return 0;
    }
}

}  // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    switch (message) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            if (create && create->lpszName && !IS_INTRESOURCE(create->lpszName)) {
                w->text = create->lpszName;
                NotifyChange(window, WindowChange::Text);
            }
            return TRUE;
        }
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            NotifyChange(window, WindowChange::Text);
            if (!(w->style & WS_CHILD)) {
                RepublishWindows();
            }
            return TRUE;
        case WM_GETTEXT:
            return CopyOut(w->text, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return EraseBackground(window, reinterpret_cast<HDC>(wParam));
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SYSCOMMAND:
            return SystemCommand(window, wParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
                HWND focus = GetFocus();
                if (!focus || !IsDescendantOrSelf(window, focus)) {
                    SetFocus(window);
                }
            }
            return 0;
        case WM_SETFONT:
            w->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) {
                InvalidateRect(window, nullptr, TRUE);
            }
            NotifyChange(window, WindowChange::Style);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(w->font);
        case WM_QUERYENDSESSION:
        case WM_QUERYOPEN:
        case WM_NCACTIVATE:
            return TRUE;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (LPARAM{1} << 29))) {
                SendMessageA(TopLevelOf(window), WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_MOUSEACTIVATE:
            return 1;  // MA_ACTIVATE
        default:
            return 0;
    }
}

std::string StripMnemonic(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                result += '&';
                ++i;
            }
            continue;
        }
        result += text[i];
    }
    return result;
}

char MnemonicOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] == '&') {
                ++i;
                continue;
            }
            return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
        }
    }
    return 0;
}

std::string ToLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    std::size_t count = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

}  // namespace farvane::ui
