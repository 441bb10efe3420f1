#include "services/gateway/gateway_resources.h"

#include <mutex>

#include "platform/ui/dialog_api.h"
#include "platform/ui/frame_bars.h"
#include "platform/ui/resources.h"

namespace {

using namespace farvane::ui;

constexpr UINT IDD_ABOUT_GATEWAY = 100;

MenuTemplate GatewayMenu() {
    MenuTemplateItem file{"&File", 0, MF_POPUP, {}};
    file.children = {{"&New\tCtrl+N", ID_FILE_NEW, 0, {}},
                     {"&Open...\tCtrl+O", ID_FILE_OPEN, 0, {}},
                     {"&Save\tCtrl+S", ID_FILE_SAVE, 0, {}},
                     {"Save &As...", ID_FILE_SAVE_AS, 0, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"&Print...\tCtrl+P", ID_FILE_PRINT, 0, {}},
                     {"Print Pre&view", ID_FILE_PRINT_PREVIEW, 0, {}},
                     {"P&rint Setup...", ID_FILE_PRINT_SETUP, 0, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"Recent File", ID_FILE_MRU_FILE1, MF_GRAYED, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"E&xit", ID_APP_EXIT, 0, {}}};
    MenuTemplateItem edit{"&Edit", 0, MF_POPUP, {}};
    edit.children = {{"&Undo\tCtrl+Z", ID_EDIT_UNDO, 0, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"Cu&t\tCtrl+X", ID_EDIT_CUT, 0, {}},
                     {"&Copy\tCtrl+C", ID_EDIT_COPY, 0, {}},
                     {"&Paste\tCtrl+V", ID_EDIT_PASTE, 0, {}}};
    MenuTemplateItem view{"&View", 0, MF_POPUP, {}};
    view.children = {{"&Toolbar", ID_VIEW_TOOLBAR, MF_CHECKED, {}},
                     {"&Status Bar", ID_VIEW_STATUS_BAR, MF_CHECKED, {}}};
    MenuTemplateItem help{"&Help", 0, MF_POPUP, {}};
    help.children = {{"&About fvgate...", ID_APP_ABOUT, 0, {}}};
    return {file, edit, view, help};
}

DialogTemplate AboutGateway() {
    DialogTemplate dialog;
    dialog.style |= WS_SYSMENU | DS_SETFONT;
    dialog.cx = 217;
    dialog.cy = 55;
    dialog.caption = "About fvgate";
    dialog.fontName = "MS Sans Serif";
    dialog.items = {LText("fvgate Version 1.0", IDC_STATIC, 40, 10, 119, 8),
                    DefPushButton("OK", IDOK, 178, 7, 32, 14)};
    return dialog;
}

HINSTANCE Register() {
    static const MenuTemplate menu = GatewayMenu();
    static const DialogTemplate about = AboutGateway();
    HINSTANCE module = RegisterResourceModule("fvgate");
    RegisterStringResource(module, IDR_GATEWAY_TEMPLATE,
                           "fvgate\n\nFvgate\nGateway Files (*.gwf)\n.GWF\nGatewayFile\n"
                           "Fvgate Document");
    RegisterStringResource(module, AFX_IDS_APP_TITLE, "fvgate");
    RegisterStringResource(module, AFX_IDS_IDLEMESSAGE, "Ready");
    // The framework's command prompts: status text, then the tool tip.
    RegisterStringResource(module, ID_FILE_NEW, "Create a new document\nNew");
    RegisterStringResource(module, ID_FILE_OPEN, "Open an existing document\nOpen");
    RegisterStringResource(module, ID_FILE_SAVE, "Save the active document\nSave");
    RegisterStringResource(module, ID_FILE_SAVE_AS,
                           "Save the active document with a new name\nSave As");
    RegisterStringResource(module, ID_FILE_PRINT, "Print the active document\nPrint");
    RegisterStringResource(module, ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview");
    RegisterStringResource(module, ID_FILE_PRINT_SETUP,
                           "Change the printer and printing options\nPrint Setup");
    RegisterStringResource(module, ID_APP_ABOUT,
                           "Display program information, version number and copyright\nAbout");
    RegisterStringResource(module, ID_APP_EXIT,
                           "Quit the application; prompts to save documents\nExit");
    RegisterStringResource(module, ID_EDIT_UNDO, "Undo the last action\nUndo");
    RegisterStringResource(module, ID_EDIT_CUT,
                           "Cut the selection and put it on the Clipboard\nCut");
    RegisterStringResource(module, ID_EDIT_COPY,
                           "Copy the selection and put it on the Clipboard\nCopy");
    RegisterStringResource(module, ID_EDIT_PASTE, "Insert Clipboard contents\nPaste");
    RegisterStringResource(module, ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar");
    RegisterStringResource(module, ID_VIEW_STATUS_BAR,
                           "Show or hide the status bar\nToggle StatusBar");
    RegisterMenuResource(module, MAKEINTRESOURCEA(IDR_GATEWAY_TEMPLATE), &menu);
    RegisterDialogResource(module, MAKEINTRESOURCEA(IDD_ABOUT_GATEWAY), &about);
    return module;
}

}  // namespace

HINSTANCE GatewayResources() {
    static std::once_flag once;
    static HINSTANCE module = nullptr;
    std::call_once(once, [] { module = Register(); });
    return module;
}
