// Pixel metrics of the editor font and the window geometry derived from them.
#pragma once

#include "editor/core/edit_window.h"

enum class CaretShape { Block, Underline, VerticalBar };

struct ViewMetrics {
    int lineHeight = 16;  // the editor font's height
    int charWidth = 8;    // its average character width
    int leftMargin = 8;   // lineHeight / 2: text starts there
    int borderWidth = 1;  // the system's border metrics, for the caret
    int borderHeight = 1;
    CaretShape caret = CaretShape::Block;
};

extern ViewMetrics viewMetrics;

// Sets the font metrics (the left margin follows the line height).
void SetFontMetrics(int lineHeight, int charWidth);
// A document window's client area changed: rows and columns that fit.
void SizeWindow(EditWindow* window, int width, int height);
// Caret width and height of the current shape.
int CaretWidth();
int CaretHeight();
