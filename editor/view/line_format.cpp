#include "editor/view/line_format.h"

#include <cstring>

int FormatLine(const Line* line, int width, int hscroll, int tabSize, char* cells) {
    if (width > MAX_ROW_CELLS) {
        width = MAX_ROW_CELLS;
    }
    if (width <= 0) {
        return 0;
    }
    std::memset(cells, ' ', static_cast<std::size_t>(width));
    if (line == nullptr) {
        return width;
    }
    if (tabSize <= 0) {
        tabSize = 1;
    }
    int column = 0;
    int end = hscroll + width;
    for (DWORD i = 0; i < line->length && column < end; ++i) {
        char c = line->text[i];
        if (c == '\t') {
            column = (column / tabSize + 1) * tabSize;
            continue;
        }
        if (column >= hscroll) {
            cells[column - hscroll] = c;
        }
        ++column;
    }
    return width;
}
