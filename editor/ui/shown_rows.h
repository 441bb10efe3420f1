// What each row of a document window shows on its surface, as last drawn: the row's cells
// and which of them are highlighted, under the fonts, colours and size of that drawing. A
// whole-window repaint compares each row with it and draws only the rows that differ, after
// moving the pixels when the view scrolled by fewer lines than the window has rows.
#pragma once

#include <string>
#include <vector>

#include "editor/ui/ui_state.h"

namespace fvedit {

struct RowLook {
    std::string cells;
    std::vector<bool> highlighted;  // empty: no cell highlighted
    bool operator==(const RowLook&) const = default;
};

// Everything besides the cells that decides a row's pixels.
struct PaintStyle {
    int leftMargin = 0;
    int lineHeight = 0;
    int charWidth = 0;
    HFONT font = nullptr;
    COLORREF colours[4] = {};
    int width = 0;
    int height = 0;
    bool operator==(const PaintStyle&) const = default;
};

class ShownRows {
public:
    // The record of a document window; a new one (nothing known) when the style changed.
    static ShownRows& Of(HWND document, const PaintStyle& style);
    static void Forget(HWND document);

    // The row as drawn (or unknown when it was drawn only in part).
    void Drawn(int row, const RowLook& look);
    void Unknown(int row);
    bool Shows(int row, const RowLook& look) const;
    // The pixels moved up by `lines` rows (down when negative).
    void Scrolled(int lines);

    DWORD topNumber = 0;  // number of the window's top line at the last drawing
    bool topKnown = false;

private:
    std::vector<RowLook> rows_;
    std::vector<bool> known_;
    PaintStyle style_;
    HWND document_ = nullptr;
};

}  // namespace fvedit
