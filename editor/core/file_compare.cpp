#include "editor/core/file_compare.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_strings.h"
#include "editor/core/file_tools_ui.h"
#include "editor/core/history_lists.h"
#include "editor/core/lines.h"
#include "editor/core/ui_services.h"
#include "editor/core/user_messages.h"

CompareState compareState;

namespace {

constexpr const char* kCompareCaption = "Compare";
constexpr const char* kNoDifferences = "No differences found";
constexpr const char* kNoMoreDifferences = "No more differences";
constexpr const char* kNoMatch = "No match found";
constexpr const char* kReachedEnd = "Reached end of file %d";
constexpr const char* kNextMatchButton = "&Next Match";
constexpr const char* kNextDifferenceButton = "&Next Difference";

void Advance(CompareCursor& cursor) {
    if (cursor.line != nullptr) {
        cursor.line = cursor.line->next;
        ++cursor.number;
    }
}

Line* After(const Line* line, int steps) {
    Line* at = const_cast<Line*>(line);
    for (int i = 0; i < steps && at != nullptr; ++i) {
        at = at->next;
    }
    return at;
}

// Whether the pair of lines starting at a equals the pair starting at b, and both files go on
// after it or both end with it.
bool PairMatches(const Line* a, const Line* b) {
    const Line* a2 = a->next;
    const Line* b2 = b->next;
    if (a2 == nullptr || b2 == nullptr || !CompareLinesEqual(a, b) || !CompareLinesEqual(a2, b2)) {
        return false;
    }
    return (a2->next == nullptr) == (b2->next == nullptr);
}

// What identifies a buffer's text as unchanged since the compare last looked: any edit pushes
// an undo record or runs a command, and a command renews the serial.
struct TextStamp {
    WORD serial;
    const void* newestUndo;
    int undoDepth;
    DWORD lineCount;
};

TextStamp stamps[2];

TextStamp StampOf(const Buffer* buffer) {
    return {buffer->serial, buffer->newestUndo, buffer->udepth, buffer->lineCount};
}

bool SameStamp(const TextStamp& a, const TextStamp& b) {
    return a.serial == b.serial && a.newestUndo == b.newestUndo && a.undoDepth == b.undoDepth &&
           a.lineCount == b.lineCount;
}

bool WindowStillOpen(const EditWindow* window) {
    for (EditWindow* w = pwinFirst; w != nullptr; w = w->next) {
        if (w == window) {
            return true;
        }
    }
    return false;
}

void RememberStamps() {
    for (int i = 0; i < 2; ++i) {
        stamps[i] = StampOf(compareState.window[i]->buffer);
    }
}

// The compare windows are still there and the cursors point at live lines: a document edited
// while the dialog was open has its cursor found again by line number.
bool RefreshCursors() {
    for (int i = 0; i < 2; ++i) {
        EditWindow* window = compareState.window[i];
        if (window == nullptr || !WindowStillOpen(window)) {
            return false;
        }
        if (!SameStamp(stamps[i], StampOf(window->buffer))) {
            CompareCursor& cursor = compareState.cursor[i];
            cursor.line = LineByNumber(window->buffer, cursor.number);
        }
    }
    return true;
}

// Shows a region from the start of line to position end as the window's block, with the dot
// at the region's start so that reframing brings the region into view.
void ShowRegion(EditWindow* window, Line* line, Position end) {
    window->dot = {line, 0};
    window->mark = end;
    window->startblock = window->dot;
    window->endblock = end;
    window->marking = end.lpln != line || end.offset != 0;
    window->redraw |= RD_ALL | RD_REFRAME;
}

// The end of a region that covers count lines from line: the start of the line after them,
// or the end of the last one when the file ends there.
Position RegionEnd(Line* line, int count) {
    Line* last = After(line, count - 1);
    if (last->next != nullptr) {
        return {last->next, 0};
    }
    return {last, static_cast<WORD>(last->length)};
}

// Runs the display update of both compare windows (it works on the current window), file 1
// ending current.
void UpdateBothWindows() {
    SetCurrentWindow(compareState.window[1]);
    Ui().UpdateDisplay();
    SetCurrentWindow(compareState.window[0]);
    Ui().UpdateDisplay();
}

void FormatLines(const char* single, const char* both) {
    unsigned long first = compareState.cursor[0].number + 1;
    unsigned long second = compareState.cursor[1].number + 1;
    if (first == second) {
        std::snprintf(compareState.message, sizeof compareState.message, single, first);
    } else {
        std::snprintf(compareState.message, sizeof compareState.message, both, first, second);
    }
}

void Tell(const char* text, UiIcon icon) {
    Ui().MessageBox(text, kCompareCaption, UiButtons::Ok, icon, false);
}

void TellEndOfFile(int endedFile) {
    std::snprintf(compareState.message, sizeof compareState.message, kReachedEnd, endedFile);
    Tell(compareState.message, UiIcon::Warning);
}

// Walks to the next difference from the compare lines and shows it.
DifferenceResult NextDifference(int& endedFile) {
    CompareState& s = compareState;
    DifferenceResult result = WalkToDifference(s.cursor[0], s.cursor[1], endedFile);
    s.endOfFile = result == DifferenceResult::EndOfFile;
    if (result == DifferenceResult::Difference) {
        for (int i = 0; i < 2; ++i) {
            ShowRegion(s.window[i], s.cursor[i].line, RegionEnd(s.cursor[i].line, 1));
        }
        FormatLines("Files differ at line %lu", "Files differ at line %lu (%lu)");
        UpdateBothWindows();
    }
    RememberStamps();
    return result;
}

bool NextMatch() {
    CompareState& s = compareState;
    if (!FindResynchronisation(s.cursor[0], s.cursor[1])) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        ShowRegion(s.window[i], s.cursor[i].line, RegionEnd(s.cursor[i].line, 2));
    }
    FormatLines("Match found at line %lu", "Match found at line %lu (%lu)");
    UpdateBothWindows();
    RememberStamps();
    return true;
}

// The window of the file with its dot at the start line; null when it could not be opened.
EditWindow* ShowFileAt(const char* path, WORD startLine) {
    DWORD line = startLine - 1u;
    if (EditWindow* window = WindowShowingPath(path)) {
        SetCurrentWindow(window);
        Ui().ActivateDocumentWindow(window);
        MoveDotToLine(line);
        window->dot.offset = 0;
        window->mark = window->dot;
        return window;
    }
    if (!OpenDocument(path, line, 0, true)) {
        return nullptr;
    }
    return pwinCurrent;
}

DWORD DotLineNumber(EditWindow* window) {
    DWORD number = 0;
    for (Line* line = window->buffer->lplnFirst; line != nullptr && line != window->dot.lpln;
         line = line->next) {
        ++number;
    }
    return number;
}

void Forget() {
    compareState.active = false;
    compareState.window[0] = compareState.window[1] = nullptr;
}

}  // namespace

EditWindow* WindowShowingPath(const char* path) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer->pathName[0] != '\0' && SameFile(window->buffer->pathName, path)) {
            return window;
        }
    }
    return nullptr;
}

bool CompareLinesEqual(const Line* a, const Line* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    return a->length == b->length && std::memcmp(a->text, b->text, a->length) == 0;
}

DifferenceResult WalkToDifference(CompareCursor& first, CompareCursor& second, int& endedFile) {
    while (first.line != nullptr && second.line != nullptr &&
           CompareLinesEqual(first.line, second.line)) {
        Advance(first);
        Advance(second);
    }
    if (first.line == nullptr && second.line == nullptr) {
        return DifferenceResult::None;
    }
    if (first.line == nullptr || second.line == nullptr) {
        endedFile = first.line == nullptr ? 1 : 2;
        return DifferenceResult::EndOfFile;
    }
    return DifferenceResult::Difference;
}

bool FindResynchronisation(CompareCursor& first, CompareCursor& second) {
    Line* a = first.line;
    for (int i = 0; i < COMPARE_LOOKAHEAD && a != nullptr; ++i, a = a->next) {
        Line* b = second.line;
        for (int k = 0; k < COMPARE_LOOKAHEAD && b != nullptr; ++k, b = b->next) {
            if (PairMatches(a, b)) {
                first = {a, first.number + static_cast<DWORD>(i)};
                second = {b, second.number + static_cast<DWORD>(k)};
                return true;
            }
        }
    }
    return false;
}

bool ParseStartLine(const char* text, WORD& line) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    unsigned long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        value = (value * 10 + static_cast<unsigned long>(*c - '0')) & 0xFFFFFFFFul;
    }
    if ((value & 0xFFFF) == 0) {
        return false;
    }
    line = static_cast<WORD>(value & 0xFFFF);
    return true;
}

void EndCompare() {
    for (EditWindow* window : compareState.window) {
        if (window != nullptr && WindowStillOpen(window) && window->marking) {
            window->marking = 0;
            window->mark = window->dot;
            window->redraw |= RD_ALL;
        }
    }
    bool wasOpen = compareState.active;
    Forget();
    if (wasOpen) {
        FileTools().CloseDifferenceDialog();
    }
    if (pwinCurrent != nullptr) {
        Ui().ActivateDocumentWindow(pwinCurrent);
        Ui().UpdateDisplay();
    }
}

int CompareFiles(const char* file1, const char* file2) {
    EndCompare();
    char paths[2][PATH_NAME_SIZE];
    const char* names[2] = {file1, file2};
    for (int i = 0; i < 2; ++i) {
        if (!FullPathName(names[i], paths[i], sizeof paths[i]) || !PathExists(paths[i]) ||
            IsDirectory(paths[i])) {
            EditorWarning(IDS_UNABLE_TO_OPEN, names[i]);
            return 0;
        }
    }
    CompareState& s = compareState;
    for (int i = 0; i < 2; ++i) {
        EditWindow* window = ShowFileAt(paths[i], s.startLine[i]);
        if (window == nullptr) {
            return 0;
        }
        s.window[i] = window;
        s.cursor[i] = {window->dot.lpln, DotLineNumber(window)};
    }
    FileTools().ArrangeCompareWindows(s.window[0], s.window[1], s.vertical);
    SetCurrentWindow(s.window[0]);
    Ui().ActivateDocumentWindow(s.window[0]);
    int endedFile = 0;
    switch (NextDifference(endedFile)) {
        case DifferenceResult::None:
            std::snprintf(s.message, sizeof s.message, "%s", kNoDifferences);
            Tell(kNoDifferences, UiIcon::Warning);
            Forget();
            return 0;
        case DifferenceResult::EndOfFile:
            TellEndOfFile(endedFile);
            Forget();
            return 0;
        case DifferenceResult::Difference:
            break;
    }
    s.active = true;
    s.stepState = 0;
    FileTools().ShowDifferenceDialog(s.message, kNextMatchButton);
    return 1;
}

void CompareNextStep() {
    CompareState& s = compareState;
    if (!s.active) {
        return;
    }
    if (!RefreshCursors()) {
        EndCompare();
        return;
    }
    if (s.stepState == 0) {
        if (!NextMatch()) {
            std::snprintf(s.message, sizeof s.message, "%s", kNoMatch);
            Tell(kNoMatch, UiIcon::Information);
            EndCompare();
            return;
        }
        s.stepState = 1;
        FileTools().ShowDifferenceDialog(s.message, kNextDifferenceButton);
        return;
    }
    int endedFile = 0;
    switch (NextDifference(endedFile)) {
        case DifferenceResult::Difference:
            s.stepState = 0;
            FileTools().ShowDifferenceDialog(s.message, kNextMatchButton);
            return;
        case DifferenceResult::None:
            std::snprintf(s.message, sizeof s.message, "%s", kNoMoreDifferences);
            Tell(kNoMoreDifferences, UiIcon::Information);
            break;
        case DifferenceResult::EndOfFile:
            TellEndOfFile(endedFile);
            break;
    }
    EndCompare();
}

void compare() {
    CompareDialogData data{};
    CompareState& s = compareState;
    std::snprintf(data.file1, sizeof data.file1, "%s",
                  HistoryEntry(historyLists[HISTORY_LIST_COMPARE_FILE1], 0));
    std::snprintf(data.file2, sizeof data.file2, "%s",
                  HistoryEntry(historyLists[HISTORY_LIST_COMPARE_FILE2], 0));
    data.history1 = &historyLists[HISTORY_LIST_COMPARE_FILE1];
    data.history2 = &historyLists[HISTORY_LIST_COMPARE_FILE2];
    data.startLine1 = s.startLine[0];
    data.startLine2 = s.startLine[1];
    data.vertical = s.vertical;
    if (!FileTools().CompareDialog(data) || data.file1[0] == '\0' || data.file2[0] == '\0') {
        return;
    }
    AddToHistory(historyLists[HISTORY_LIST_COMPARE_FILE1], data.file1);
    AddToHistory(historyLists[HISTORY_LIST_COMPARE_FILE2], data.file2);
    s.startLine[0] = data.startLine1 != 0 ? data.startLine1 : 1;
    s.startLine[1] = data.startLine2 != 0 ? data.startLine2 : 1;
    s.vertical = data.vertical;
    CompareFiles(data.file1, data.file2);
}
