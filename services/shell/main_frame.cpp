#include "services/shell/main_frame.h"

#include <cstdint>
#include <vector>

#include "platform/ui/ui.h"
#include "services/shell/service_app.h"

using namespace farvane::ui;

namespace {

std::vector<ToolBarButton> ToolBarOf(const ServiceModule& module) {
    std::vector<ToolBarButton> buttons = {
        {ID_FILE_NEW, "New"},     {ID_FILE_OPEN, "Open"}, {ID_FILE_SAVE, "Save"},   {0, ""},
        {ID_EDIT_CUT, "Cut"},     {ID_EDIT_COPY, "Copy"}, {ID_EDIT_PASTE, "Paste"}, {0, ""},
        {ID_FILE_PRINT, "Print"}, {ID_APP_ABOUT, "About"}};
    if (module.contextHelpButton) {
        buttons.push_back({ID_CONTEXT_HELP, "Help"});
    }
    return buttons;
}

CServiceApp* AppOf(HWND window) {
    return reinterpret_cast<CServiceApp*>(GetWindowLongPtrA(window, GWL_USERDATA));
}

void EnableMenuCommands(CServiceApp& app, HMENU popup) {
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id != 0 && id != static_cast<UINT>(-1)) {
            EnableMenuItem(popup, id, app.CommandEnabled(id) ? MF_ENABLED : MF_GRAYED);
        }
    }
}

void OpenDroppedFile(CServiceApp& app, HDROP drop) {
    char path[1024] = {};
    UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length > 0) {
        app.OpenDocumentFile(path);
    }
}

LRESULT MainFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CServiceApp* app = AppOf(window);
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            app = static_cast<CServiceApp*>(create->lpCreateParams);
            SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(app));
            UINT templateId = app->Module().templateId;
            if (HMENU menu = LoadMenuA(app->Resources(), MAKEINTRESOURCEA(templateId))) {
                SetMenu(window, menu);
            }
            CreateToolBar(window, ToolBarOf(app->Module()));
            HWND status = CreateStatusBar(window, {StatusPane::Message, StatusPane::CapsLock,
                                                   StatusPane::NumLock, StatusPane::ScrollLock});
            std::string ready = LoadStringText(app->Resources(), AFX_IDS_IDLEMESSAGE);
            SetStatusPaneText(status, 0, ready.empty() ? "Ready" : ready.c_str());
            return 0;
        }
        case WM_SIZE:
            LayoutFrameBars(window);
            return 0;
        case WM_INITMENUPOPUP:
            if (app) {
                EnableMenuCommands(*app, reinterpret_cast<HMENU>(wParam));
            }
            return 0;
        case WM_COMMAND:
            if (app) {
                app->OnCommand(LOWORD(wParam));
            }
            return 0;
        case kShowCreationErrorMessage:
            if (app) {
                app->ShowCreationError();
            }
            return 0;
        case WM_DROPFILES:
            if (app) {
                OpenDroppedFile(*app, reinterpret_cast<HDROP>(wParam));
            }
            return 0;
        case WM_CLOSE:
            if (app) {
                app->CloseDocument();
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            // A frame dropped with its failed document ends nothing.
            if (app) {
                app->MainWindowDestroyed();
                PostQuitMessage(0);
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateMainFrame(CServiceApp& app, const char* title) {
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kMainFrameClassName, &existing)) {
        WNDCLASSA cls;
        cls.lpfnWndProc = MainFrameProc;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
        cls.lpszClassName = kMainFrameClassName;
        if (!RegisterClassA(&cls)) {
            return nullptr;
        }
    }
    return CreateWindowExA(0, kMainFrameClassName, title, WS_OVERLAPPEDWINDOW, 60, 60, 640, 400,
                           nullptr, nullptr, nullptr, &app);
}
