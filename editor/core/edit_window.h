// The view state of an edit window: which buffer it shows, its cursor (dot), block anchor
// (mark), first visible line and the redraw bits that the display update acts on. Records are
// kept in the editor-wide window list in creation order.
#pragma once

#include "editor/core/buffer.h"

// Redraw bits.
inline constexpr WORD RD_REFRAME = 0x02;
inline constexpr WORD RD_LINE = 0x04;
inline constexpr WORD RD_ALL = 0x08;
inline constexpr WORD RD_VSCROLL = 0x20;
inline constexpr WORD RD_HSCROLL = 0x40;
inline constexpr WORD RD_RENUMBER = 0x80;

// Geometry of a window until the user interface sizes it.
inline constexpr int DEFAULT_WINDOW_ROWS = 24;
inline constexpr int DEFAULT_WINDOW_COLUMNS = 80;
inline constexpr int MAX_HSCROLL = 512;

inline constexpr std::size_t WINDOW_TITLE_SIZE = PATH_NAME_SIZE + 16;

struct EditWindow {
    EditWindow* next;
    Buffer* buffer;
    Line* lplnTop;
    Position dot;
    Position mark;
    Position startblock;
    Position endblock;
    BOOL marking;
    WORD redraw;
    int reframeHint;
    BOOL painting;
    // Geometry and cursor placement, kept by the display update.
    int rows;          // whole text rows that fit
    int columns;       // whole character columns that fit
    int cursorRow;     // row of the dot counted from lplnTop
    int cursorColumn;  // display column of the dot minus the horizontal scroll
    int hscroll;       // first display column shown, 0 to MAX_HSCROLL
    char title[WINDOW_TITLE_SIZE];
    void* view;  // the user interface's window for this record, null until created
};

extern EditWindow* pwinFirst;
extern EditWindow* pwinCurrent;

// A zero-filled record on the buffer (window count + 1) with lplnTop, dot and mark at offset 0
// of the first line and the full set of redraw bits, appended to the window list.
EditWindow* NewEditWindow(Buffer* buffer);
// Unlinks and frees the record; when the buffer's last window goes, its autosave file is
// deleted and the buffer destroyed.
void FreeEditWindow(EditWindow* window);
// Makes the window and its buffer current (null clears both).
void SetCurrentWindow(EditWindow* window);
// Recomputes the titles of every window on the buffer and hands them to the user interface.
void RefreshTitles(Buffer* buffer);
// Number of windows, counting from 1 in list order, of this window among its buffer's.
int WindowIndexOnBuffer(const EditWindow* window);
