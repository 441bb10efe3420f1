// The host pilot's user-interface resources: the driver load failure dialog (129) with its
// procedure, the host menu (130), the host selection dialog (131) and the string table. The
// host pilot's own code shows none of them; callers load them by id from the module that
// HostPilotResourceModule() returns.
#pragma once

#include <cstdint>

#include "platform/ui/ui.h"

namespace farvane::hostpilot {

inline constexpr int IDD_DRIVER_LOAD_FAILURE = 129;
inline constexpr int IDM_HOST = 130;
inline constexpr int IDD_HOST_SELECTION = 131;

// Controls of dialog 129.
inline constexpr int IDC_DRIVER_ERROR_NUMBER = 1000;
inline constexpr int IDC_DRIVER_NAME = 1001;
// Buttons of dialog 131.
inline constexpr int IDC_HOST_WAIT = 1002;
inline constexpr int IDC_HOST_CALL = 1003;
inline constexpr int IDC_HOST_EXIT = 1004;
inline constexpr int IDC_HOST_HELP = 1005;
inline constexpr int IDC_HOST_OFFLINE = 1006;
// Items of menu 130 (the Param values of the host menu command action).
inline constexpr UINT IDM_HOST_WAIT = 1;
inline constexpr UINT IDM_HOST_CALL = 2;
inline constexpr UINT IDM_HOST_EXIT = 3;
inline constexpr UINT IDM_HOST_HELP = 4;

// String resources.
inline constexpr UINT IDS_NO_WINDOWS_30 = 2082;
inline constexpr UINT IDS_DRIVER_LOAD_ERROR = 2083;
inline constexpr UINT IDS_DRIVER_OUT_OF_MEMORY = 2084;
inline constexpr UINT IDS_DRIVER_VIDEO_UNSUPPORTED = 2085;
inline constexpr UINT IDS_DRIVER_BAD_PARAMETERS = 2086;
inline constexpr UINT IDS_DRIVER_NAME_NO_MEMORY = 2087;
inline constexpr UINT IDS_DRIVER_VIDEO_UNKNOWN = 2088;
inline constexpr UINT IDS_DRIVER_UNKNOWN_ERROR = 2089;
inline constexpr UINT IDS_DRIVER_DSP41 = 2100;
inline constexpr UINT IDS_DRIVER_DSP18 = 2101;
inline constexpr UINT IDS_DRIVER_DSPBW = 2102;
inline constexpr UINT IDS_DRIVER_MOUSE_DLL = 2103;
inline constexpr UINT IDS_DRIVER_KEYBOARD_DLL = 2104;
inline constexpr UINT IDS_DRIVER_MOUSE5_DRV = 2106;
inline constexpr UINT IDS_DRIVER_FVMOUSE_DRV = 2107;
inline constexpr UINT IDS_DRIVER_FV_MOUSE_DRV = 2108;
inline constexpr UINT IDS_DRIVER_MOUSE_DRV = 2109;
inline constexpr UINT IDS_DRIVER_BOOT_SECTION = 2110;
inline constexpr UINT IDS_DRIVER_SYSTEM_INI = 2111;
inline constexpr UINT IDS_OLDER_VERSION = 2112;
inline constexpr UINT IDS_OFFLINE = 2113;

// The module that carries these resources; they are registered on the first call.
HINSTANCE HostPilotResourceModule();

}  // namespace farvane::hostpilot

extern "C" {

// The failure record a caller hands dialog 129 as its creation parameter.
struct DriverLoadFailure {
    const char* driverName;    // may be null
    std::int32_t errorNumber;  // shown in decimal
};

// Procedure of dialog 129: fills in the driver name and error number, and ends the dialog with
// OK or Cancel. Returns 1 for the messages it handles, 0 for the others.
__attribute__((visibility("default"))) farvane::ui::INT_PTR DriverLoadFailureProc(HWND dialog,
                                                                                  UINT message,
                                                                                  WPARAM wParam,
                                                                                  LPARAM lParam);
}
