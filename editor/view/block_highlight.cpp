#include "editor/view/block_highlight.h"

#include "editor/core/lines.h"

namespace {

void Fill(bool* highlight, int from, int to, bool value, int width) {
    if (from < 0) {
        from = 0;
    }
    for (int i = from; i < to && i < width; ++i) {
        highlight[i] = value;
    }
}

}  // namespace

void HighlightRow(const EditWindow* window, const Line* line, int width, bool* highlight) {
    Fill(highlight, 0, width, false, width);
    if (line == nullptr || !window->marking) {
        return;
    }
    const Position& start = window->startblock;
    const Position& end = window->endblock;
    DWORD s = start.lpln->number;
    DWORD e = end.lpln->number;
    DWORD l = line->number;
    int h = window->hscroll;
    int sc = ColumnOf(window, start.lpln, start.offset);
    int ec = ColumnOf(window, end.lpln, end.offset);
    if (l > s && l < e) {
        Fill(highlight, 0, width, true, width);
    } else if (l == s && l == e) {
        if (ec > h) {
            Fill(highlight, sc - h, ec - h, true, width);
        }
    } else if (l == s) {
        Fill(highlight, sc - h, width, true, width);
    } else if (l == e) {
        if (ec > h) {
            Fill(highlight, 0, ec - h, true, width);
        }
    }
}
