// The model's records behind HDC and HGDIOBJ handles.
#pragma once

#include <memory>

#include "platform/ui/backend.h"
#include "platform/ui/gdi_api.h"
#include "platform/ui/surface.h"

namespace farvane::ui {

struct GdiObject {
    enum class Kind { Font, Brush, Pen } kind = Kind::Brush;
    LOGFONTA logFont;
    int stockId = -1;  // stock objects are never deleted
    COLORREF color = 0;
    bool hollow = false;
    int systemColor = -1;  // brushes of a system colour follow colour changes
};

struct DeviceContext {
    HWND window = nullptr;
    std::unique_ptr<PrinterTarget> printer;  // printer contexts only
    RECT clip;                               // in surface coordinates
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
    bool fromBeginPaint = false;
    bool caretHidden = false;
    ABORTPROC abortProc = nullptr;
    bool docStarted = false;
    bool pageStarted = false;
};

// The surface a context draws into now (the window's surface, the printer's page), or null.
Surface* TargetOf(DeviceContext& dc);
// The font selected into the context, resolved for its device.
FontSpec ResolvedFont(DeviceContext& dc);
// Resolves a font object (or the default when null) on the screen.
FontSpec ResolveScreenFont(HFONT font);
void CreateStockObjects();
DeviceContext* FindDc(HDC dc);
GdiObject* FindGdiObject(HGDIOBJ object);
// A new printer device context on the target (black text, transparent background).
HDC AdoptPrinter(std::unique_ptr<PrinterTarget> printer);

}  // namespace farvane::ui
