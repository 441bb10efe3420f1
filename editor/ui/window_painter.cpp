#include "editor/ui/window_painter.h"

#include <cstdlib>
#include <vector>

#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/ui/shown_rows.h"
#include "editor/view/block_highlight.h"
#include "editor/view/line_format.h"
#include "editor/view/scroll_bars.h"
#include "editor/view/view_metrics.h"

namespace fvedit {

namespace {

// The line `row` rows below the window's top line, or null past the buffer's end.
const Line* LineAtRow(const EditWindow* window, int row) {
    const Line* line = window->lplnTop;
    for (int i = 0; i < row && line != nullptr; ++i) {
        line = line->next;
    }
    return line;
}

void DrawCells(HDC dc, int x, int y, const char* cells, int count, bool highlighted) {
    SetBkColor(dc, highlighted ? ew.highlightColour : ew.windowColour);
    SetTextColor(dc, highlighted ? ew.highlightTextColour : ew.textColour);
    TextOutA(dc, x, y, cells, count);
}

// The cells of the row showing `line` (null past the buffer's end) and, for the current
// window while marking, which of them the block highlights.
RowLook LookOf(EditWindow* window, const Line* line) {
    static char cells[MAX_ROW_CELLS + 1];
    static bool highlight[MAX_ROW_CELLS + 1];
    int width =
        FormatLine(line, window->columns + 1, window->hscroll, window->buffer->tabSize, cells);
    RowLook look;
    look.cells.assign(cells, static_cast<std::size_t>(width));
    if (window == pwinCurrent && window->marking && line != nullptr) {
        HighlightRow(window, line, width, highlight);
        look.highlighted.assign(highlight, highlight + width);
    }
    return look;
}

void DrawLook(HDC dc, int row, const RowLook& look) {
    const ViewMetrics& m = viewMetrics;
    int y = row * m.lineHeight;
    int width = static_cast<int>(look.cells.size());
    if (look.highlighted.empty()) {
        DrawCells(dc, m.leftMargin, y, look.cells.data(), width, false);
        return;
    }
    int start = 0;
    while (start < width) {
        int end = start;
        while (end < width && look.highlighted[static_cast<std::size_t>(end)] ==
                                  look.highlighted[static_cast<std::size_t>(start)]) {
            ++end;
        }
        DrawCells(dc, m.leftMargin + start * m.charWidth, y, look.cells.data() + start, end - start,
                  look.highlighted[static_cast<std::size_t>(start)]);
        start = end;
    }
}

void FillMargin(HDC dc, const RECT& area) {
    RECT margin{0, area.top, viewMetrics.leftMargin, area.bottom};
    HBRUSH brush = CreateSolidBrush(ew.windowColour);
    FillRect(dc, &margin, brush);
    DeleteObject(brush);
}

PaintStyle StyleOf(HWND document) {
    const ViewMetrics& m = viewMetrics;
    RECT client;
    GetClientRect(document, &client);
    return PaintStyle{m.leftMargin,
                      m.lineHeight,
                      m.charWidth,
                      ew.editorFont,
                      {ew.windowColour, ew.textColour, ew.highlightColour, ew.highlightTextColour},
                      client.right,
                      client.bottom};
}

// Notes what a row shows after it was drawn; a row cut by the window's bottom edge or by
// the paint rectangle is not known whole.
void NoteDrawn(ShownRows& shown, const PaintStyle& style, int row, const RowLook& look,
               const RECT& area) {
    int top = row * style.lineHeight;
    int bottom = top + style.lineHeight;
    bool whole = bottom <= style.height && area.left <= 0 && area.right >= style.width &&
                 area.top <= top && area.bottom >= bottom;
    if (whole) {
        shown.Drawn(row, look);
    } else {
        shown.Unknown(row);
    }
}

int RowsOnSurface(const PaintStyle& style) {
    return style.lineHeight > 0 ? (style.height + style.lineHeight - 1) / style.lineHeight : 0;
}

// Full repaint through the window's paint request.
void InvalidateAndPaint(HWND document) {
    InvalidateRect(document, nullptr, FALSE);
    UpdateWindow(document);
}

}  // namespace

void PaintRow(EditWindow* window, HDC dc, int row) {
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    const Line* line = LineAtRow(window, row);
    RowLook look = LookOf(window, line);
    DrawLook(dc, row, look);
    SelectObject(dc, old);
    if (HWND document = DocumentWindowOf(window)) {
        PaintStyle style = StyleOf(document);
        NoteDrawn(ShownRows::Of(document, style), style, row, look,
                  RECT{0, 0, style.width, style.height});
    }
}

void PaintDocument(HWND document, EditWindow* window, HDC dc, const RECT& area) {
    const ViewMetrics& m = viewMetrics;
    PaintStyle style = StyleOf(document);
    ShownRows& shown = ShownRows::Of(document, style);
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    FillMargin(dc, area);
    int first = area.top / m.lineHeight;
    int last = (area.bottom + m.lineHeight - 1) / m.lineHeight;
    const Line* line = LineAtRow(window, first);
    for (int row = first; row < last; ++row) {
        RowLook look = LookOf(window, line);
        DrawLook(dc, row, look);
        NoteDrawn(shown, style, row, look, area);
        if (line != nullptr) {
            line = line->next;
        }
    }
    SelectObject(dc, old);
    shown.topNumber = window->lplnTop->number;
    shown.topKnown = true;
}

// Draws only the rows whose look changed since they were drawn, after moving the pixels
// when the top line moved by fewer lines than the window shows. A window with a pending
// paint request, or one not shown, is repainted whole.
void WindowPainter::RepaintWindow(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr) {
        return;
    }
    RECT pending;
    if (!window->painting || window->lplnTop == nullptr || !IsWindowVisible(document) ||
        IsIconic(document) || GetUpdateRect(document, &pending, FALSE)) {
        InvalidateAndPaint(document);
        return;
    }
    PaintStyle style = StyleOf(document);
    ShownRows& shown = ShownRows::Of(document, style);
    int rows = RowsOnSurface(style);
    HideCaret(document);
    if (shown.topKnown) {
        long moved =
            static_cast<long>(window->lplnTop->number) - static_cast<long>(shown.topNumber);
        if (moved != 0 && std::labs(moved) < rows) {
            ScrollWindow(document, 0, static_cast<int>(-moved) * style.lineHeight, nullptr,
                         nullptr);
            shown.Scrolled(static_cast<int>(moved));
        }
    }
    HDC dc = GetDC(document);
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    RECT whole{0, 0, style.width, style.height};
    const Line* line = window->lplnTop;
    for (int row = 0; row < rows; ++row) {
        RowLook look = LookOf(window, line);
        if (!shown.Shows(row, look)) {
            FillMargin(dc, RECT{0, row * style.lineHeight, 0, (row + 1) * style.lineHeight});
            DrawLook(dc, row, look);
            NoteDrawn(shown, style, row, look, whole);
        }
        if (line != nullptr) {
            line = line->next;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(document, dc);
    shown.topNumber = window->lplnTop->number;
    shown.topKnown = true;
    // Everything the scroll uncovered has been drawn.
    ValidateRect(document, nullptr);
    ShowCaret(document);
}

void WindowPainter::RepaintDotLine(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr || !window->painting || IsIconic(document)) {
        return;
    }
    HideCaret(document);
    HDC dc = GetDC(document);
    PaintRow(window, dc, window->cursorRow);
    ReleaseDC(document, dc);
    ShowCaret(document);
}

void ScrollDocumentRows(HWND document, int lines) {
    HideCaret(document);
    ScrollWindow(document, 0, -lines * viewMetrics.lineHeight, nullptr, nullptr);
    ShownRows::Of(document, StyleOf(document)).Scrolled(lines);
    UpdateWindow(document);
    ShowCaret(document);
}

void WindowPainter::UpdateVerticalScrollBar(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr) {
        return;
    }
    ScrollInfo info = VerticalScrollInfo(window);
    SetScrollRange(document, SB_VERT, info.minimum, info.maximum, FALSE);
    SetScrollPos(document, SB_VERT, info.position, TRUE);
}

void WindowPainter::UpdateHorizontalScrollBar(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr) {
        return;
    }
    ScrollInfo info = HorizontalScrollInfo(window);
    SetScrollRange(document, SB_HORZ, info.minimum, info.maximum, FALSE);
    SetScrollPos(document, SB_HORZ, info.position, TRUE);
}

void WindowPainter::PlaceCaret(EditWindow* window, int x, int y) {
    if (DocumentWindowOf(window) == GetFocus()) {
        SetCaretPos(x, y);
    }
}

void WindowPainter::RepaintStatus() {
    if (ew.status != nullptr) {
        InvalidateRect(ew.status, nullptr, FALSE);
        UpdateWindow(ew.status);
    }
}

void CreateEditorCaret(HWND document) {
    CreateCaret(document, nullptr, CaretWidth(), CaretHeight());
    SetCaretBlinkTime(editorSettings.blinkingCursor ? ew.systemBlinkTime : INFINITE);
}

void LoadSystemColours() {
    ew.windowColour = GetSysColor(COLOR_WINDOW);
    ew.textColour = GetSysColor(COLOR_WINDOWTEXT);
    ew.highlightColour = GetSysColor(COLOR_HIGHLIGHT);
    ew.highlightTextColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
}

}  // namespace fvedit
