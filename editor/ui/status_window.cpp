// StatusWndProc: the one-line status window under the document area.
#include <string>

#include "editor/core/macro.h"
#include "editor/ui/status_text.h"
#include "editor/ui/window_procedures.h"

namespace fvedit {

namespace {

void PaintStatus(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (pwinCurrent != nullptr) {
        std::string text = TheStatusLine().Paint(pwinCurrent, ew.statusWidthChars, macro.recording);
        HGDIOBJ old = SelectObject(dc, ew.statusFont);
        SetBkColor(dc, RGB(192, 192, 192));
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, old);
    }
    EndPaint(window, &paint);
}

}  // namespace

LRESULT StatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            ew.statusWidthChars =
                LOWORD(lParam) / (ew.statusCharWidth > 0 ? ew.statusCharWidth : 8);
            return 0;
        case WM_PAINT:
            PaintStatus(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace fvedit
