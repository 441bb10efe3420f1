#include "hostpilot/host_resources.h"

#include <mutex>

namespace farvane::hostpilot {

namespace {

using namespace farvane::ui;

DialogTemplate MakeDriverLoadFailureDialog() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    dialog.cx = 282;
    dialog.cy = 94;
    dialog.caption = "Farvane";
    dialog.fontName = "Helv";
    dialog.pointSize = 8;
    dialog.items = {
        DefPushButton("OK", IDOK, 231, 7, 42, 14),
        GroupBox("ERROR:", IDC_STATIC, 9, 7, 206, 80),
        LText("Failure loading:", IDC_STATIC, 21, 23, 177, 8),
        LText("Static", IDC_DRIVER_NAME, 21, 37, 177, 8),
        LText("Host will not be able to proceed.", IDC_STATIC, 21, 50, 177, 8),
        RText("", IDC_DRIVER_ERROR_NUMBER, 181, 72, 30, 9),
    };
    return dialog;
}

DialogTemplate MakeHostSelectionDialog() {
    DialogTemplate dialog;
    dialog.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    dialog.cx = 178;
    dialog.cy = 124;
    dialog.caption = "Farvane ";
    dialog.fontName = "MS Sans Serif";
    dialog.pointSize = 8;
    dialog.items = {
        CText("Farvane Host - Please Make a Selection", IDC_STATIC, 13, 6, 152, 8),
        PushButton("Wait for Connection", IDC_HOST_WAIT, 38, 22, 102, 14),
        PushButton("Call Remote", IDC_HOST_CALL, 38, 41, 102, 14),
        PushButton("Exit Host", IDC_HOST_EXIT, 38, 79, 102, 14),
        PushButton("Help", IDC_HOST_HELP, 38, 98, 102, 14),
        PushButton("Go Offline", IDC_HOST_OFFLINE, 38, 60, 102, 14),
    };
    return dialog;
}

MenuTemplate MakeHostMenu() {
    return MenuTemplate{{"Farvane",
                         0,
                         MF_POPUP,
                         {{"Wait for Connection", IDM_HOST_WAIT, 0, {}},
                          {"Call Remote", IDM_HOST_CALL, 0, {}},
                          {"Exit Host", IDM_HOST_EXIT, 0, {}},
                          {"Help", IDM_HOST_HELP, 0, {}}}}};
}

struct StringEntry {
    UINT id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {IDS_NO_WINDOWS_30,
     "Farvane does not support Micosoft Windows 3.0. Please upgrade to Microsoft Windows 3.1 or "
     "above."},
    {IDS_DRIVER_LOAD_ERROR, "Farvane - Driver Load Error"},
    {IDS_DRIVER_OUT_OF_MEMORY,
     "An out of memory error has occurred. Please close some applications and try this "
     "operation again."},
    {IDS_DRIVER_VIDEO_UNSUPPORTED,
     "Farvane does not support the video driver that is currently loaded."},
    {IDS_DRIVER_BAD_PARAMETERS, "Bad parameters passed to driver loader."},
    {IDS_DRIVER_NAME_NO_MEMORY, "Not enough memory to hold the name of driver."},
    {IDS_DRIVER_VIDEO_UNKNOWN,
     "An error has occurred trying to determine which video driver to load."},
    {IDS_DRIVER_UNKNOWN_ERROR,
     "An unknown error has occurred while trying to load Farvane drivers."},
    {IDS_DRIVER_DSP41, "fvdsp41.dll"},
    {IDS_DRIVER_DSP18, "fvdsp18.dll"},
    {IDS_DRIVER_DSPBW, "fvdspbw.dll"},
    {IDS_DRIVER_MOUSE_DLL, "fvmouse.dll"},
    {IDS_DRIVER_KEYBOARD_DLL, "fvkbd.dll"},
    {IDS_DRIVER_MOUSE5_DRV, "fv5mouse.drv"},
    {IDS_DRIVER_FVMOUSE_DRV, "fvmouse.drv"},
    {IDS_DRIVER_FV_MOUSE_DRV, "fv_mouse.drv"},
    {IDS_DRIVER_MOUSE_DRV, "mouse.drv"},
    {IDS_DRIVER_BOOT_SECTION, "boot"},
    {IDS_DRIVER_SYSTEM_INI, "system.ini"},
    {IDS_OLDER_VERSION,
     "An older version of Farvane has been installed.  Please re-install this version or use "
     "the older version's main program to start host operation."},
    {IDS_OFFLINE, "Farvane Offline"},
};

}  // namespace

HINSTANCE HostPilotResourceModule() {
    static std::once_flag once;
    static HINSTANCE module = nullptr;
    std::call_once(once, [] {
        static const DialogTemplate driverLoadFailure = MakeDriverLoadFailureDialog();
        static const DialogTemplate hostSelection = MakeHostSelectionDialog();
        static const MenuTemplate hostMenu = MakeHostMenu();
        module = RegisterResourceModule("fvhpilot");
        RegisterDialogResource(module, MAKEINTRESOURCEA(IDD_DRIVER_LOAD_FAILURE),
                               &driverLoadFailure);
        RegisterDialogResource(module, MAKEINTRESOURCEA(IDD_HOST_SELECTION), &hostSelection);
        RegisterMenuResource(module, MAKEINTRESOURCEA(IDM_HOST), &hostMenu);
        for (const StringEntry& entry : kStrings) {
            RegisterStringResource(module, entry.id, entry.text);
        }
    });
    return module;
}

}  // namespace farvane::hostpilot
