// Scroll bar ranges and positions, and what scroll bar input does to the view.
#pragma once

#include "editor/core/edit_window.h"

struct ScrollInfo {
    int minimum;
    int maximum;
    int position;
};

// Vertical: 0 to the line count, position the number of lplnTop, both halved together until
// the range fits 32,767.
ScrollInfo VerticalScrollInfo(const EditWindow* window);
// Horizontal: 0 to 512, position the horizontal scroll.
ScrollInfo HorizontalScrollInfo(const EditWindow* window);

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, Thumb, End };

// Vertical scroll bar input on the current window: moves lplnTop without moving the dot and
// sets the scrolled-away flag. Line scrolling grows by one line per repeat up to 3; End resets
// the step. Returns the lines the view moved.
int VerticalScroll(ScrollAction action, int thumbPosition = 0);
// Horizontal scroll bar input: line 1 column, page 16, thumb sets it; clamped to 0..512; the
// cursor column follows.
void HorizontalScroll(ScrollAction action, int thumbPosition = 0);
// The current step of line scrolling by the scroll bar.
int ScrollBarStep();
