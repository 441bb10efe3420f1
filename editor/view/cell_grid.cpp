#include "editor/view/cell_grid.h"

#include <memory>

#include "editor/view/block_highlight.h"
#include "editor/view/line_format.h"

std::string CellGrid::Text() const {
    std::string joined;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string row = text[i];
        row.erase(row.find_last_not_of(' ') + 1);
        joined += row;
        if (i + 1 < text.size()) {
            joined += '\n';
        }
    }
    return joined;
}

CellGrid RenderWindow(const EditWindow* window) {
    CellGrid grid;
    grid.rows = window->rows;
    grid.columns = window->columns + 1;
    if (grid.columns > MAX_ROW_CELLS) {
        grid.columns = MAX_ROW_CELLS;
    }
    const Line* line = window->lplnTop;
    std::string cells(static_cast<std::size_t>(grid.columns), ' ');
    std::unique_ptr<bool[]> flags(new bool[static_cast<std::size_t>(grid.columns)]);
    bool* flagData = flags.get();
    for (int row = 0; row < grid.rows; ++row) {
        FormatLine(line, grid.columns, window->hscroll, window->buffer->tabSize, cells.data());
        HighlightRow(window, line, grid.columns, flagData);
        std::string marks(static_cast<std::size_t>(grid.columns), '.');
        for (int i = 0; i < grid.columns; ++i) {
            if (flagData[i]) {
                marks[static_cast<std::size_t>(i)] = '#';
            }
        }
        grid.text.push_back(cells);
        grid.highlight.push_back(marks);
        if (line != nullptr) {
            line = line->next;
        }
    }
    return grid;
}
