// The display update that runs after every command on the current window: renumbering,
// reframing, the cursor position and horizontal scroll, the mark following the dot, and the
// repaint, scroll bar and caret requests that the redraw bits ask for.
#pragma once

#include "editor/core/edit_window.h"

// What the window system is asked to do. The windowed editor paints; the headless view only
// counts (RenderWindow draws from the window's state whenever asked).
class ViewPainter {
public:
    virtual ~ViewPainter() = default;
    virtual void RepaintWindow(EditWindow* window) = 0;  // invalidate and paint all of it
    virtual void RepaintDotLine(EditWindow* window) = 0;
    virtual void UpdateVerticalScrollBar(EditWindow* window) = 0;
    virtual void UpdateHorizontalScrollBar(EditWindow* window) = 0;
    virtual void PlaceCaret(EditWindow* window, int x, int y) = 0;
    virtual void RepaintStatus() = 0;
};

// Counts of the requests, for tests and the headless view.
struct DisplayCounts {
    int windowRepaints = 0;
    int lineRepaints = 0;
    int otherWindowRepaints = 0;
    int verticalScrollUpdates = 0;
    int horizontalScrollUpdates = 0;
    int statusRepaints = 0;
    int caretX = 0;
    int caretY = 0;
};

class CountingPainter : public ViewPainter {
public:
    DisplayCounts counts;
    void RepaintWindow(EditWindow* window) override;
    void RepaintDotLine(EditWindow* window) override;
    void UpdateVerticalScrollBar(EditWindow*) override { ++counts.verticalScrollUpdates; }
    void UpdateHorizontalScrollBar(EditWindow*) override { ++counts.horizontalScrollUpdates; }
    void PlaceCaret(EditWindow*, int x, int y) override;
    void RepaintStatus() override { ++counts.statusRepaints; }
};

// The painter in use (a CountingPainter until another is installed; null restores it).
ViewPainter& Painter();
void SetViewPainter(ViewPainter* painter);

// A mouse selection is in progress (the button is down): the mark does not follow the dot.
extern BOOL fMouseSelecting;

// Computes the cursor row and column of the current window, changing the horizontal scroll
// (with RD_ALL and RD_HSCROLL) when the dot's column is outside the shown columns.
void ComputeCursorPosition();
// The whole display update on the current window.
void DisplayUpdate();
// The tail of every handled document-window message: a new undo command serial (not during
// macro playback), the goal-column flags, the display update, then the autosave checks.
void CommandTail();
