// The headless rendering of a document window: a grid of character cells, each with a
// highlight flag, as the window would show it.
#pragma once

#include <string>
#include <vector>

#include "editor/core/edit_window.h"

struct CellGrid {
    int rows = 0;
    int columns = 0;  // cells per row: the window's columns + 1 (a partial last column)
    std::vector<std::string> text;       // one string of `columns` characters per row
    std::vector<std::string> highlight;  // per cell: '#' highlighted, '.' normal

    // Rows joined with '\n', trailing spaces removed: what a reader sees.
    std::string Text() const;
};

// Renders window from its state (lines numbered, block normalised by the display update).
CellGrid RenderWindow(const EditWindow* window);
