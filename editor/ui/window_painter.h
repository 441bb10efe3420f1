// Drawing document windows on the platform: rows of text with tabs expanded, the horizontal
// scroll and the block highlight, the scroll bars and the caret, as the display update asks.
#pragma once

#include "editor/ui/ui_state.h"
#include "editor/view/display_update.h"

namespace fvedit {

class WindowPainter : public ViewPainter {
public:
    void RepaintWindow(EditWindow* window) override;
    void RepaintDotLine(EditWindow* window) override;
    void UpdateVerticalScrollBar(EditWindow* window) override;
    void UpdateHorizontalScrollBar(EditWindow* window) override;
    void PlaceCaret(EditWindow* window, int x, int y) override;
    void RepaintStatus() override;
};

// Paints the rows of the window that the rectangle touches (a paint request).
void PaintDocument(HWND document, EditWindow* window, HDC dc, const RECT& area);
// Paints one row of the window (0-based from lplnTop).
void PaintRow(EditWindow* window, HDC dc, int row);
// Moves the window's pixels up by `lines` rows (down when negative) and paints the rows
// uncovered (scrolling by the scroll bar).
void ScrollDocumentRows(HWND document, int lines);
// Creates the caret of the current shape in the document window.
void CreateEditorCaret(HWND document);
// Reloads the four colours from the system.
void LoadSystemColours();

}  // namespace fvedit
