// Reversing undo records: Undo1 and the undo command.
#include <algorithm>

#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/core/text_primitives.h"
#include "editor/core/trace.h"
#include "editor/core/ui_services.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"

namespace {

void SetDotOffset(WORD offset) {
    Position& dot = pwinCurrent->dot;
    dot.offset = static_cast<WORD>(std::min<DWORD>(offset, dot.lpln->length));
}

void RestoreDot(const UndoRecord* record) {
    MoveDotToLine(record->dotLine);
    SetDotOffset(record->dotOffset);
}

Position SavedMark(const UndoRecord* record) {
    RenumberIfNeeded();
    Line* line = LineByNumber(pbufCurrent, record->markLine);
    if (line == nullptr) {
        line = LastLine(pbufCurrent);
    }
    return {line, static_cast<WORD>(std::min<DWORD>(record->markOffset, line->length))};
}

// Deletes count positions backwards from the dot: a character, or a line break.
void DeleteBackwards(DWORD count) {
    for (; count > 0; --count) {
        Position& dot = pwinCurrent->dot;
        if (dot.offset > 0) {
            --dot.offset;
            DeleteChar();
        } else if (dot.lpln->prev != nullptr) {
            dot.lpln = dot.lpln->prev;
            dot.offset = static_cast<WORD>(dot.lpln->length);
            DeleteCR();
        } else {
            break;
        }
    }
}

// Deletes count characters forward from the dot, joining lines at line ends.
void DeleteForwards(DWORD count) {
    for (; count > 0; --count) {
        const Position& dot = pwinCurrent->dot;
        if (dot.offset < dot.lpln->length) {
            DeleteChar();
        } else if (!DeleteCR()) {
            break;
        }
    }
}

void UndoDeletedBlock(const UndoRecord* record) {
    RenumberIfNeeded();
    Position mark = SavedMark(record);
    Line* dotLine = LineByNumber(pbufCurrent, record->dotLine);
    bool dotFirst = dotLine == nullptr                    ? false
                    : record->dotLine != record->markLine ? record->dotLine < record->markLine
                                                          : record->dotOffset <= record->markOffset;
    if (dotFirst) {
        RestoreDot(record);
    } else {
        pwinCurrent->dot = mark;
    }
    InsertText(record->text);
    RenumberLines();
    RestoreDot(record);
    pwinCurrent->mark = SavedMark(record);
    pwinCurrent->marking = 1;
    pwinCurrent->redraw |= RD_ALL;
}

void Reverse(const UndoRecord* record) {
    switch (record->kind) {
        case U_MOVE:
            RestoreDot(record);
            break;
        case U_INSCHAR:
            RestoreDot(record);
            DeleteChar();
            break;
        case U_DELCHAR: {
            RestoreDot(record);
            char character = static_cast<char>(record->character);
            InsertChars(&character, 1);
            SetDotOffset(record->dotOffset);
            break;
        }
        case U_INSTEXT:
            RestoreDot(record);
            DeleteBackwards(record->count);
            break;
        case U_DELBLOCK:
            UndoDeletedBlock(record);
            break;
        case U_INDENT:
            RestoreDot(record);
            DeleteCR();
            DeleteForwards(record->count);
            RenumberLines();
            break;
        case U_JOIN:
            RestoreDot(record);
            SplitLine();
            RenumberLines();
            RestoreDot(record);
            break;
        case U_SPLIT:
        case U_NEWLINE:
            RestoreDot(record);
            DeleteCR();
            RenumberLines();
            break;
        case U_REPLCHAR: {
            RestoreDot(record);
            Position& dot = pwinCurrent->dot;
            if (dot.offset < dot.lpln->length) {
                dot.lpln->text[dot.offset] = static_cast<char>(record->character);
                NotifyViews(RD_LINE);
            }
            break;
        }
        case U_REPLACE:
            // The saved dot lies after the replacement; the cursor ends after the restored
            // text, which is always inside the line.
            RestoreDot(record);
            DeleteBackwards(record->count);
            InsertText(record->text);
            RenumberLines();
            pwinCurrent->redraw |= RD_ALL;
            break;
        default:
            EditorTrace("Undo1: can't happen");
            break;
    }
}

}  // namespace

void Undo1() {
    UndoRecord* record = PopUndoRecord();
    if (record == nullptr) {
        RefuseEdit(IDS_NOTHING_TO_UNDO);
        return;
    }
    Reverse(record);
    if (record->flags & UF_MODIFIED) {
        pbufCurrent->state |= BS_MODIFIED;
    } else {
        pbufCurrent->state &= static_cast<WORD>(~BS_MODIFIED);
    }
    if (record->flags & UF_MARKING) {
        pwinCurrent->mark = SavedMark(record);
        pwinCurrent->marking = 1;
        pwinCurrent->redraw |= RD_ALL;
    } else {
        if (pwinCurrent->marking) {
            pwinCurrent->marking = 0;
            pwinCurrent->redraw |= RD_ALL;
        }
        pwinCurrent->mark = pwinCurrent->dot;
    }
    if (record->flags & UF_MACRO) {
        pwinCurrent->redraw |= RD_ALL;
    }
    if (record->kind != U_MOVE) {
        ++pbufCurrent->changes;
    }
    FreeUndoRecord(pbufCurrent, record);
}

void undo() {
    if (editorSettings.undoLevels == 0 || pbufCurrent == nullptr) {
        return;
    }
    if (pbufCurrent->newestUndo == nullptr) {
        RefuseEdit(IDS_NOTHING_TO_UNDO);
        return;
    }
    WaitCursor wait;
    WORD changes = pbufCurrent->changes;
    WORD serial = pbufCurrent->newestUndo->serial;
    while (pbufCurrent->newestUndo != nullptr && pbufCurrent->newestUndo->serial == serial) {
        Undo1();
    }
    if (pbufCurrent->ulevel > 0) {
        --pbufCurrent->ulevel;
    }
    if (pbufCurrent->changes != changes) {
        pbufCurrent->changes = static_cast<WORD>(changes + 1);
    }
}
