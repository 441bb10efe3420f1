// Which cells of a window row the marked block highlights.
#pragma once

#include "editor/core/edit_window.h"

// Sets highlight[0..width) for the row showing line in window (its startblock and endblock
// normalised, line numbers current). Rows outside the block are all false.
void HighlightRow(const EditWindow* window, const Line* line, int width, bool* highlight);
