// Device contexts, GDI objects and text output.
#include "platform/ui/device_context.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

HDC ToDc(std::uintptr_t value) {
    return reinterpret_cast<HDC>(value);
}

LOGFONTA StockLogFont(int id) {
    LOGFONTA font;
    auto face = [&](const char* name) { std::strncpy(font.lfFaceName, name, LF_FACESIZE - 1); };
    font.lfWeight = FW_NORMAL;
    switch (id) {
        case OEM_FIXED_FONT:
            font.lfHeight = 16;
            font.lfCharSet = OEM_CHARSET;
            font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            face("Terminal");
            break;
        case ANSI_FIXED_FONT:
            font.lfHeight = 16;
            font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            face("Courier");
            break;
        case SYSTEM_FIXED_FONT:
            font.lfHeight = 16;
            font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            face("Fixedsys");
            break;
        case DEFAULT_GUI_FONT:
        case ANSI_VAR_FONT:
            font.lfHeight = -11;
            font.lfPitchAndFamily = VARIABLE_PITCH;
            face("MS Sans Serif");
            break;
        default:  // SYSTEM_FONT, DEVICE_DEFAULT_FONT
            font.lfHeight = 16;
            font.lfWeight = FW_BOLD;
            font.lfPitchAndFamily = VARIABLE_PITCH;
            face("System");
            break;
    }
    return font;
}

HGDIOBJ InsertObject(std::unique_ptr<GdiObject> object) {
    return reinterpret_cast<HGDIOBJ>(State().gdiObjects.insert(std::move(object)));
}

HDC NewWindowDc(HWND window, bool fromBeginPaint) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return nullptr;
    }
    auto dc = std::make_unique<DeviceContext>();
    dc->window = window;
    SIZE size = ClientSize(*w);
    dc->clip = RECT{0, 0, size.cx, size.cy};
    dc->font = w->font ? w->font : GetStockObject(SYSTEM_FONT);
    dc->brush = GetStockObject(WHITE_BRUSH);
    dc->textColor = GetSysColor(COLOR_WINDOWTEXT);
    dc->backColor = GetSysColor(COLOR_WINDOW);
    dc->fromBeginPaint = fromBeginPaint;
    return ToDc(State().deviceContexts.insert(std::move(dc)));
}

COLORREF BrushColor(HBRUSH brush, bool* hollow) {
    GdiObject* object = FindGdiObject(brush);
    *hollow = false;
    if (!object) {
        // Win32 lets a system colour index + 1 stand for a brush.
        auto value = reinterpret_cast<std::uintptr_t>(brush);
        if (value >= 1 && value <= COLOR_MAX) {
            return GetSysColor(static_cast<int>(value - 1));
        }
        *hollow = true;
        return 0;
    }
    if (object->kind != GdiObject::Kind::Brush || object->hollow) {
        *hollow = true;
        return 0;
    }
    return object->systemColor >= 0 ? GetSysColor(object->systemColor) : object->color;
}

void Shown(DeviceContext& dc, const RECT& rect) {
    if (dc.window && !dc.printer && State().backend) {
        RECT visible = IntersectRects(rect, dc.clip);
        if (!IsRectEmptyValue(visible)) {
            State().backend->surfaceUpdated(dc.window, visible);
        }
    }
}

}  // namespace

DeviceContext* FindDc(HDC dc) {
    return State().deviceContexts.find(reinterpret_cast<std::uintptr_t>(dc));
}

GdiObject* FindGdiObject(HGDIOBJ object) {
    return State().gdiObjects.find(reinterpret_cast<std::uintptr_t>(object));
}

void CreateStockObjects() {
    UiState& state = State();
    if (state.stockObjects[0]) {
        return;
    }
    auto brush = [](COLORREF color, bool hollow, int id) {
        auto object = std::make_unique<GdiObject>();
        object->kind = GdiObject::Kind::Brush;
        object->color = color;
        object->hollow = hollow;
        object->stockId = id;
        return InsertObject(std::move(object));
    };
    state.stockObjects[WHITE_BRUSH] = brush(RGB(255, 255, 255), false, WHITE_BRUSH);
    state.stockObjects[LTGRAY_BRUSH] = brush(RGB(192, 192, 192), false, LTGRAY_BRUSH);
    state.stockObjects[GRAY_BRUSH] = brush(RGB(128, 128, 128), false, GRAY_BRUSH);
    state.stockObjects[DKGRAY_BRUSH] = brush(RGB(64, 64, 64), false, DKGRAY_BRUSH);
    state.stockObjects[BLACK_BRUSH] = brush(RGB(0, 0, 0), false, BLACK_BRUSH);
    state.stockObjects[NULL_BRUSH] = brush(0, true, NULL_BRUSH);
    for (int id : {WHITE_PEN, BLACK_PEN, NULL_PEN}) {
        auto pen = std::make_unique<GdiObject>();
        pen->kind = GdiObject::Kind::Pen;
        pen->color = id == WHITE_PEN ? RGB(255, 255, 255) : 0;
        pen->hollow = id == NULL_PEN;
        pen->stockId = id;
        state.stockObjects[static_cast<std::size_t>(id)] = InsertObject(std::move(pen));
    }
    for (int id : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                   SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT}) {
        auto font = std::make_unique<GdiObject>();
        font->kind = GdiObject::Kind::Font;
        font->logFont = StockLogFont(id);
        font->stockId = id;
        state.stockObjects[static_cast<std::size_t>(id)] = InsertObject(std::move(font));
    }
}

HGDIOBJ GetStockObject(int index) {
    EnsureInitialised();
    if (index < 0 || index > STOCK_OBJECT_LAST) {
        return nullptr;
    }
    return State().stockObjects[static_cast<std::size_t>(index)];
}

FontSpec ResolveScreenFont(HFONT font) {
    GdiObject* object = FindGdiObject(font);
    if (!object || object->kind != GdiObject::Kind::Font) {
        object = FindGdiObject(GetStockObject(SYSTEM_FONT));
    }
    return CurrentBackend().resolveFont(object->logFont, object->stockId);
}

FontSpec ResolvedFont(DeviceContext& dc) {
    if (dc.printer) {
        GdiObject* object = FindGdiObject(dc.font);
        LOGFONTA logFont;
        if (object && object->kind == GdiObject::Kind::Font && object->stockId < 0) {
            logFont = object->logFont;
        } else {
            // The printer's default font: 10 points, fixed pitch.
            logFont.lfHeight = -MulDiv(10, dc.printer->deviceCaps(LOGPIXELSY), 72);
            logFont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            std::strncpy(logFont.lfFaceName, "Courier", LF_FACESIZE - 1);
        }
        return dc.printer->resolveFont(logFont);
    }
    return ResolveScreenFont(dc.font);
}

Surface* TargetOf(DeviceContext& dc) {
    if (dc.printer) {
        return dc.pageStarted ? dc.printer->page() : nullptr;
    }
    return SurfaceOf(dc.window);
}

HDC GetDC(HWND window) {
    if (!OnUiThread()) {
        return nullptr;
    }
    return NewWindowDc(window, false);
}

HDC GetWindowDC(HWND window) {
    return GetDC(window);
}

int ReleaseDC(HWND /*window*/, HDC dc) {
    DeviceContext* context = FindDc(dc);
    if (!context || context->printer) {
        return 0;
    }
    State().deviceContexts.remove(reinterpret_cast<std::uintptr_t>(dc));
    return 1;
}

BOOL DeleteDC(HDC dc) {
    DeviceContext* context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (context->printer && context->docStarted) {
        context->printer->abortDoc();
    }
    State().deviceContexts.remove(reinterpret_cast<std::uintptr_t>(dc));
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Window* w = FindWindowObject(window);
    if (!w || !paint || !OnUiThread()) {
        return nullptr;
    }
    SIZE size = ClientSize(*w);
    RECT client{0, 0, size.cx, size.cy};
    RECT area = IsRectEmptyValue(w->invalid) ? RECT{} : IntersectRects(w->invalid, client);
    bool erase = w->eraseBackground;
    w->invalid = RECT{};
    w->eraseBackground = false;
    bool caretHidden = false;
    if (State().caret.owner == window) {
        HideCaret(window);
        caretHidden = true;
    }
    HDC dc = NewWindowDc(window, true);
    DeviceContext* context = FindDc(dc);
    context->clip = area;
    context->caretHidden = caretHidden;
    paint->hdc = dc;
    paint->rcPaint = area;
    paint->fErase = erase ? TRUE : FALSE;
    if (erase) {
        paint->fErase =
            SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint) {
        return FALSE;
    }
    DeviceContext* context = FindDc(paint->hdc);
    if (!context || !context->fromBeginPaint) {
        return FALSE;
    }
    bool caretHidden = context->caretHidden;
    State().deviceContexts.remove(reinterpret_cast<std::uintptr_t>(paint->hdc));
    if (caretHidden && FindWindowObject(window)) {
        ShowCaret(window);
    }
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    DeviceContext* context = FindDc(dc);
    if (!context || !text || count < 0) {
        return FALSE;
    }
    Surface* surface = TargetOf(*context);
    if (!surface) {
        return FALSE;
    }
    FontSpec font = ResolvedFont(*context);
    TextStyle style{context->textColor, context->backColor, context->backMode == OPAQUE};
    std::string_view run(text, static_cast<std::size_t>(count));
    surface->drawText(x, y, run, font, style, context->clip);
    int width = surface->textWidth(run, font);
    Shown(*context, RECT{x, y, x + width, y + font.metrics.tmHeight});
    return TRUE;
}

int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format) {
    DeviceContext* context = FindDc(dc);
    if (!context || !text || !rect) {
        return 0;
    }
    std::string run =
        count < 0 ? std::string(text) : std::string(text, static_cast<std::size_t>(count));
    if (!(format & DT_NOPREFIX)) {
        run = StripMnemonic(run);
    }
    Surface* surface = TargetOf(*context);
    FontSpec font = ResolvedFont(*context);
    if (!surface) {
        return 0;
    }
    int width = surface->textWidth(run, font);
    int x = rect->left;
    if (format & DT_CENTER) {
        x = rect->left + (rect->right - rect->left - width) / 2;
    } else if (format & DT_RIGHT) {
        x = rect->right - width;
    }
    int y = rect->top;
    if ((format & DT_VCENTER) && (format & DT_SINGLELINE)) {
        y = rect->top + (rect->bottom - rect->top - font.metrics.tmHeight) / 2;
    }
    TextStyle style{context->textColor, context->backColor, context->backMode == OPAQUE};
    surface->drawText(x, y, run, font, style, IntersectRects(context->clip, *rect));
    Shown(*context, *rect);
    return font.metrics.tmHeight;
}

// FillRect and FrameRect: paint `rect` with the brush's colour through `paint`; a hollow
// brush paints nothing but still succeeds.
static int PaintWithBrush(HDC dc, const RECT* rect, HBRUSH brush,
                          void (Surface::*paint)(const RECT&, COLORREF, const RECT&)) {
    DeviceContext* context = FindDc(dc);
    if (!context || !rect) {
        return 0;
    }
    bool hollow = false;
    COLORREF color = BrushColor(brush, &hollow);
    Surface* surface = TargetOf(*context);
    if (!surface) {
        return 0;
    }
    if (!hollow) {
        (surface->*paint)(*rect, color, context->clip);
        Shown(*context, *rect);
    }
    return 1;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return PaintWithBrush(dc, rect, brush, &Surface::fillRect);
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    return PaintWithBrush(dc, rect, brush, &Surface::drawFrame);
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    DeviceContext* context = FindDc(dc);
    if (!context || !rect) {
        return FALSE;
    }
    Surface* surface = TargetOf(*context);
    if (!surface) {
        return FALSE;
    }
    surface->invertRect(*rect, context->clip);
    Shown(*context, *rect);
    return TRUE;
}

BOOL DrawPixels(HDC dc, const RECT* dest, const std::uint32_t* pixels, int width, int height,
                const RECT* source) {
    DeviceContext* context = FindDc(dc);
    if (!context || !dest || !pixels || !source || width <= 0 || height <= 0 || source->left < 0 ||
        source->top < 0 || source->right > width || source->bottom > height ||
        source->left >= source->right || source->top >= source->bottom) {
        return FALSE;
    }
    Surface* surface = TargetOf(*context);
    if (!surface) {
        return FALSE;
    }
    surface->drawPixels(*dest, pixels, width, height, *source, context->clip);
    Shown(*context, *dest);
    return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    DeviceContext* context = FindDc(dc);
    if (!context || !rect) {
        return FALSE;
    }
    Surface* surface = TargetOf(*context);
    if (!surface) {
        return FALSE;
    }
    surface->drawFrame(*rect, RGB(128, 128, 128), context->clip);
    Shown(*context, *rect);
    return TRUE;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDc(dc);
    if (!context) {
        return 0xFFFFFFFF;  // CLR_INVALID
    }
    COLORREF old = context->backColor;
    context->backColor = color;
    return old;
}

COLORREF GetBkColor(HDC dc) {
    DeviceContext* context = FindDc(dc);
    return context ? context->backColor : 0xFFFFFFFF;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    DeviceContext* context = FindDc(dc);
    if (!context) {
        return 0xFFFFFFFF;
    }
    COLORREF old = context->textColor;
    context->textColor = color;
    return old;
}

COLORREF GetTextColor(HDC dc) {
    DeviceContext* context = FindDc(dc);
    return context ? context->textColor : 0xFFFFFFFF;
}

int SetBkMode(HDC dc, int mode) {
    DeviceContext* context = FindDc(dc);
    if (!context || (mode != OPAQUE && mode != TRANSPARENT)) {
        return 0;
    }
    int old = context->backMode;
    context->backMode = mode;
    return old;
}

int GetBkMode(HDC dc) {
    DeviceContext* context = FindDc(dc);
    return context ? context->backMode : 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = FindDc(dc);
    GdiObject* record = FindGdiObject(object);
    if (!context || !record) {
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (record->kind) {
        case GdiObject::Kind::Font:
            old = context->font;
            context->font = object;
            break;
        case GdiObject::Kind::Brush:
            old = context->brush;
            context->brush = object;
            break;
        case GdiObject::Kind::Pen:
            old = GetStockObject(BLACK_PEN);
            break;
    }
    return old;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* record = FindGdiObject(object);
    if (!record) {
        return FALSE;
    }
    if (record->stockId >= 0 || record->systemColor >= 0) {
        return TRUE;  // stock and system-colour objects live for the whole program
    }
    State().gdiObjects.remove(reinterpret_cast<std::uintptr_t>(object));
    return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto brush = std::make_unique<GdiObject>();
    brush->kind = GdiObject::Kind::Brush;
    brush->color = color;
    return InsertObject(std::move(brush));
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= COLOR_MAX) {
        return nullptr;
    }
    static std::array<HBRUSH, COLOR_MAX> brushes{};
    auto& slot = brushes[static_cast<std::size_t>(index)];
    if (!FindGdiObject(slot)) {
        auto brush = std::make_unique<GdiObject>();
        brush->kind = GdiObject::Kind::Brush;
        brush->systemColor = index;
        slot = InsertObject(std::move(brush));
    }
    return slot;
}

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
    if (!logFont) {
        return nullptr;
    }
    auto font = std::make_unique<GdiObject>();
    font->kind = GdiObject::Kind::Font;
    font->logFont = *logFont;
    font->logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return InsertObject(std::move(font));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) {
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectA(&font);
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
    GdiObject* record = FindGdiObject(object);
    if (!record || record->kind != GdiObject::Kind::Font) {
        return 0;
    }
    if (!out) {
        return sizeof(LOGFONTA);
    }
    int copied = std::min<int>(size, sizeof(LOGFONTA));
    if (copied <= 0) {
        return 0;
    }
    std::memcpy(out, &record->logFont, static_cast<std::size_t>(copied));
    return copied;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    DeviceContext* context = FindDc(dc);
    if (!context || !metrics) {
        return FALSE;
    }
    *metrics = ResolvedFont(*context).metrics;
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    DeviceContext* context = FindDc(dc);
    if (!context || !size || (!text && count > 0) || count < 0) {
        return FALSE;
    }
    FontSpec font = ResolvedFont(*context);
    std::string_view run(text ? text : "", static_cast<std::size_t>(count));
    Surface* surface = TargetOf(*context);
    if (surface) {
        size->cx = surface->textWidth(run, font);
    } else {
        size->cx = static_cast<LONG>(run.size()) * font.metrics.tmAveCharWidth;
    }
    size->cy = font.metrics.tmHeight;
    return TRUE;
}

int GetTextFaceA(HDC dc, int size, LPSTR face) {
    DeviceContext* context = FindDc(dc);
    if (!context) {
        return 0;
    }
    FontSpec font = ResolvedFont(*context);
    return CopyOut(font.logFont.lfFaceName, face, size);
}

int GetDeviceCaps(HDC dc, int index) {
    DeviceContext* context = FindDc(dc);
    if (!context) {
        return 0;
    }
    if (context->printer) {
        return context->printer->deviceCaps(index);
    }
    SIZE screen = CurrentBackend().screenSize();
    switch (index) {
        case HORZRES:
            return screen.cx;
        case VERTRES:
            return screen.cy;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case BITSPIXEL:
            return 24;
        case PLANES:
            return 1;
        case HORZSIZE:
            return screen.cx * 254 / 960;
        case VERTSIZE:
            return screen.cy * 254 / 960;
        default:
            return 0;
    }
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    // Rounds half away from zero, as the platform's call does.
    long long product = static_cast<long long>(number) * numerator;
    long long quotient = product / denominator;
    long long remainder = product % denominator;
    if (2 * (remainder < 0 ? -remainder : remainder) >=
        (denominator < 0 ? -static_cast<long long>(denominator) : denominator)) {
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    }
    if (quotient > 0x7FFFFFFF || quotient < -0x7FFFFFFFLL - 1) {
        return -1;
    }
    return static_cast<int>(quotient);
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect) {
        return FALSE;
    }
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(RECT* to, const RECT* from) {
    if (!to || !from) {
        return FALSE;
    }
    *to = *from;
    return TRUE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
    if (!rect) {
        return FALSE;
    }
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) {
        return FALSE;
    }
    *out = IntersectRects(*a, *b);
    return !IsRectEmptyValue(*out);
}

BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) {
        return FALSE;
    }
    *out = UnionRects(*a, *b);
    return !IsRectEmptyValue(*out);
}

BOOL IsRectEmpty(const RECT* rect) {
    return !rect || IsRectEmptyValue(*rect);
}

BOOL PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
           a->bottom == b->bottom;
}

}  // namespace farvane::ui
