// Goto Line and moving the dot to a line number.
#include <cstdio>
#include <cstdlib>

#include "editor/core/cursor_commands.h"
#include "editor/core/lines.h"
#include "editor/core/trace.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"

WORD lastGotoLine = 1;

BOOL MoveToLineNumber(DWORD number) {
    RenumberIfNeeded();
    Line* line = pwinCurrent->dot.lpln != nullptr ? pwinCurrent->dot.lpln : pbufCurrent->lplnFirst;
    while (line->number < number && line->next != nullptr) {
        line = line->next;
    }
    while (line->number > number && line->prev != nullptr) {
        line = line->prev;
    }
    if (line != pwinCurrent->dot.lpln) {
        pwinCurrent->redraw |= RD_REFRAME;
    }
    pwinCurrent->dot = {line, 0};
    if (line->number != number) {
        Ui().Beep();
        EditorTrace("gotoline failed: dwTarget = %lu", static_cast<unsigned long>(number));
        return 0;
    }
    return 1;
}

WORD ParseGotoLineField(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (*p < '0' || *p > '9') {
        return 0;
    }
    // Only the low 16 bits are kept, as the field's value always was.
    unsigned value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = (value * 10 + static_cast<unsigned>(*p - '0')) & 0xFFFFu;
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (*p != '\0') {
        return 0;
    }
    return static_cast<WORD>(value);
}

void goto_line() {
    char initial[16];
    std::snprintf(initial, sizeof initial, "%u", static_cast<unsigned>(lastGotoLine));
    Ui().GotoLineDialog(initial, [](const char* text) {
        WORD number = ParseGotoLineField(text);
        if (number == 0) {
            EditorWarning(IDS_INVALID_LINE_NUMBER);
            return false;
        }
        PushUndo(U_MOVE);
        MoveToLineNumber(static_cast<DWORD>(number) - 1);
        lastGotoLine = number;
        pwinCurrent->dot.offset = 0;
        return true;
    });
}
