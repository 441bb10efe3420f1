#include "editor/ui/editor_fonts.h"

#include "editor/core/editor_settings.h"
#include "editor/view/view_metrics.h"

namespace fvedit {

int StockFontOf(int screenFont) {
    switch (screenFont) {
        case FONT_ANSI_FIXED:
            return ANSI_FIXED_FONT;
        case FONT_OEM_FIXED:
            return OEM_FIXED_FONT;
        default:
            return SYSTEM_FIXED_FONT;
    }
}

void ApplyEditorFont() {
    ew.editorFont = static_cast<HFONT>(GetStockObject(StockFontOf(editorSettings.screenFont)));
    ew.statusFont = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
    HWND window = ew.frame != nullptr ? ew.frame : GetDesktopWindow();
    HDC dc = GetDC(window);
    TEXTMETRICA metrics;
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    // Without a device to measure on, the metrics stay as they were (never zero).
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0 && metrics.tmAveCharWidth > 0) {
        SetFontMetrics(metrics.tmHeight, metrics.tmAveCharWidth);
    }
    SelectObject(dc, ew.statusFont);
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0 && metrics.tmAveCharWidth > 0) {
        ew.statusHeight = metrics.tmHeight * 18 / 15;
        ew.statusCharWidth = metrics.tmAveCharWidth;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    viewMetrics.borderWidth = GetSystemMetrics(SM_CXBORDER);
    viewMetrics.borderHeight = GetSystemMetrics(SM_CYBORDER);
    viewMetrics.caret = static_cast<CaretShape>(editorSettings.cursorShape);
}

}  // namespace fvedit
