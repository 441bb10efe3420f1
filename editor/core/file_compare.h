// Comparing two documents line by line: the compare command, the steps of the difference
// dialog (next difference, next match) and the line walks behind them. The line walks work on
// line lists alone; the rest keeps the two windows and shows each difference and match as the
// windows' blocks.
#pragma once

#include "editor/core/edit_window.h"

// How far a resynchronisation looks ahead in each file for a pair of equal lines.
inline constexpr int COMPARE_LOOKAHEAD = 50;
inline constexpr std::size_t COMPARE_MESSAGE_SIZE = 96;

// A place in one file: the line (null once the file has ended) and its 0-based number.
struct CompareCursor {
    Line* line;
    DWORD number;
};

enum class DifferenceResult { None, Difference, EndOfFile };

// Lines are equal with the same length and bytes; two missing lines are equal, a missing line
// never equals an existing one.
bool CompareLinesEqual(const Line* a, const Line* b);
// Moves both cursors past equal lines. Difference: they stop at the differing lines;
// EndOfFile: one file ended (endedFile 1 or 2) while the other goes on; None: both ended.
DifferenceResult WalkToDifference(CompareCursor& first, CompareCursor& second, int& endedFile);
// Looks for the nearest pair of equal lines, each followed by the same line, from the cursors
// on (up to COMPARE_LOOKAHEAD lines into each file). A pair counts only when both files go on
// after it or both end with it. Moves the cursors there and returns true, or returns false.
bool FindResynchronisation(CompareCursor& first, CompareCursor& second);

struct CompareState {
    WORD startLine[2] = {1, 1};  // 1-based; kept between compares
    bool vertical = false;       // file 1 left of file 2 rather than above it
    EditWindow* window[2] = {};
    CompareCursor cursor[2] = {};
    bool active = false;  // the difference dialog is open
    int stepState = 0;    // 0: a difference is shown; 1: a match is shown
    bool endOfFile = false;
    char message[COMPARE_MESSAGE_SIZE] = {};
};

extern CompareState compareState;

// The compare command: asks for the two files, then compares them.
void compare();
// Opens (or finds) both files, moves to the start lines, arranges the windows and shows the
// first difference. Returns 1 when the difference dialog opened.
int CompareFiles(const char* file1, const char* file2);
// The difference dialog's button: the next match in step state 0, the next difference in 1.
void CompareNextStep();
// Cancel or closing of the difference dialog: blocks hidden, windows forgotten.
void EndCompare();
// The window that shows the file (the same file by any name), or null.
EditWindow* WindowShowingPath(const char* path);
// A start line field: a number whose low 16 bits are not 0. False for anything else.
bool ParseStartLine(const char* text, WORD& line);
