// The procedure of the driver load failure dialog.
#include <cstdio>

#include "hostpilot/host_resources.h"

using namespace farvane::ui;
using farvane::hostpilot::IDC_DRIVER_ERROR_NUMBER;
using farvane::hostpilot::IDC_DRIVER_NAME;

INT_PTR DriverLoadFailureProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* failure = reinterpret_cast<const DriverLoadFailure*>(lParam);
            if (!failure) {
                return 1;
            }
            if (failure->driverName) {
                SendDlgItemMessageA(dialog, IDC_DRIVER_NAME, WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(failure->driverName));
            }
            char number[16];  // "-2147483648" and the terminator fit
            std::snprintf(number, sizeof number, "%d", static_cast<int>(failure->errorNumber));
            SendDlgItemMessageA(dialog, IDC_DRIVER_ERROR_NUMBER, WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(number));
            return 1;
        }
        case WM_COMMAND: {
            WORD id = LOWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                EndDialog(dialog, id);
            }
            return 1;
        }
        default:
            return 0;
    }
}
