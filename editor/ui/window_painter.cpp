#include "editor/ui/window_painter.h"

#include <vector>

#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
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

void DrawRow(EditWindow* window, HDC dc, int row, const Line* line) {
    const ViewMetrics& m = viewMetrics;
    static char cells[MAX_ROW_CELLS + 1];
    static bool highlight[MAX_ROW_CELLS + 1];
    int width =
        FormatLine(line, window->columns + 1, window->hscroll, window->buffer->tabSize, cells);
    int y = row * m.lineHeight;
    if (window != pwinCurrent || !window->marking || line == nullptr) {
        DrawCells(dc, m.leftMargin, y, cells, width, false);
        return;
    }
    HighlightRow(window, line, width, highlight);
    int start = 0;
    while (start < width) {
        int end = start;
        while (end < width && highlight[end] == highlight[start]) {
            ++end;
        }
        DrawCells(dc, m.leftMargin + start * m.charWidth, y, cells + start, end - start,
                  highlight[start]);
        start = end;
    }
}

void FillMargin(HDC dc, const RECT& area) {
    RECT margin{0, area.top, viewMetrics.leftMargin, area.bottom};
    HBRUSH brush = CreateSolidBrush(ew.windowColour);
    FillRect(dc, &margin, brush);
    DeleteObject(brush);
}

}  // namespace

void PaintRow(EditWindow* window, HDC dc, int row) {
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    DrawRow(window, dc, row, LineAtRow(window, row));
    SelectObject(dc, old);
}

void PaintDocument(HWND document, EditWindow* window, HDC dc, const RECT& area) {
    (void)document;
    const ViewMetrics& m = viewMetrics;
    HGDIOBJ old = SelectObject(dc, ew.editorFont);
    FillMargin(dc, area);
    int first = area.top / m.lineHeight;
    int last = (area.bottom + m.lineHeight - 1) / m.lineHeight;
    const Line* line = LineAtRow(window, first);
    for (int row = first; row < last; ++row) {
        DrawRow(window, dc, row, line);
        if (line != nullptr) {
            line = line->next;
        }
    }
    SelectObject(dc, old);
}

void WindowPainter::RepaintWindow(EditWindow* window) {
    HWND document = DocumentWindowOf(window);
    if (document == nullptr) {
        return;
    }
    InvalidateRect(document, nullptr, FALSE);
    UpdateWindow(document);
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
