// The suite's shared resource library: the menus, About dialog and strings of the remote
// control and online modules, registered once under one module handle.
#include <mutex>

#include "platform/ui/dialog_api.h"
#include "platform/ui/frame_bars.h"
#include "platform/ui/resources.h"
#include "suite/fvcomm32/fvcomm32.h"
#include "suite/fvcomm32/resource_library.h"

namespace {

using namespace farvane::ui;

MenuTemplate DocumentMenu() {
    MenuTemplateItem file{"&File", 0, MF_POPUP, {}};
    file.children = {{"&New\tCtrl+N", ID_FILE_NEW, 0, {}},
                     {"&Open...\tCtrl+O", ID_FILE_OPEN, 0, {}},
                     {"&Save\tCtrl+S", ID_FILE_SAVE, 0, {}},
                     {"Save &As...", ID_FILE_SAVE_AS, 0, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"Session &File", ID_SESSION_DOCUMENT, 0, {}},
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
    help.children = {{"&Index", ID_HELP_INDEX, 0, {}},
                     {"", 0, MF_SEPARATOR, {}},
                     {"&About...", ID_APP_ABOUT, 0, {}}};
    return {file, edit, view, help};
}

DialogTemplate AboutBox() {
    DialogTemplate dialog;
    dialog.style |= WS_SYSMENU | DS_SETFONT;
    dialog.cx = 200;
    dialog.cy = 58;
    dialog.caption = "About Farvane";
    dialog.fontName = "MS Sans Serif";
    dialog.items = {LText("Farvane service programs", IDC_STATIC, 12, 10, 140, 8),
                    LText("Remote control and online service", IDC_STATIC, 12, 24, 140, 8),
                    DefPushButton("OK", IDOK, 150, 8, 40, 14)};
    return dialog;
}

HINSTANCE RegisterLibrary() {
    static const MenuTemplate menu = DocumentMenu();
    static const DialogTemplate about = AboutBox();
    HINSTANCE library = RegisterResourceModule("fvres32");
    RegisterStringResource(library, IDS_SETTINGS_KEY, "Farvane");
    RegisterStringResource(library, IDS_HELP_FILE_SUFFIX, ">Main");
    RegisterStringResource(library, IDR_REMOTE_TEMPLATE,
                           "fvrem32\n\nFvrem32\nCallhost Files (*.chf)\n.CHF\nCallhostFile\n"
                           "Callhost File");
    RegisterStringResource(library, IDR_ONLINE_TEMPLATE,
                           "fvonl32\n\nFvonl32\nOnlSvc Files (*.osf)\n.OSF\nOnlSvcFile\n"
                           "OnlSvc File");
    RegisterStringResource(library, AFX_IDS_IDLEMESSAGE, "Ready");
    RegisterMenuResource(library, MAKEINTRESOURCEA(IDR_REMOTE_TEMPLATE), &menu);
    RegisterMenuResource(library, MAKEINTRESOURCEA(IDR_ONLINE_TEMPLATE), &menu);
    RegisterDialogResource(library, MAKEINTRESOURCEA(IDD_ABOUT_BOX), &about);
    return library;
}

}  // namespace

HINSTANCE GetResourceInstance() {
    static std::once_flag once;
    static HINSTANCE library = nullptr;
    std::call_once(once, [] { library = RegisterLibrary(); });
    return library;
}
