#include "editor/core/block_ops.h"

#include <cstring>

#include "editor/core/cursor_steps.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/trace.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/window_positions.h"

void NormalizeBlock() {
    if (!pwinCurrent->marking) {
        return;
    }
    RenumberIfNeeded();
    if (PositionBefore(pwinCurrent->mark, pwinCurrent->dot)) {
        pwinCurrent->startblock = pwinCurrent->mark;
        pwinCurrent->endblock = pwinCurrent->dot;
    } else {
        pwinCurrent->startblock = pwinCurrent->dot;
        pwinCurrent->endblock = pwinCurrent->mark;
    }
}

DWORD BlockSize() {
    const Position& start = pwinCurrent->startblock;
    const Position& end = pwinCurrent->endblock;
    if (start.lpln == end.lpln) {
        return end.offset - start.offset;
    }
    DWORD size = start.lpln->length - start.offset + 2;
    for (Line* line = start.lpln->next; line != nullptr && line != end.lpln; line = line->next) {
        size += line->length + 2;
    }
    return size + end.offset;
}

void BlockText(char* destination) {
    const Position& start = pwinCurrent->startblock;
    const Position& end = pwinCurrent->endblock;
    if (start.lpln == end.lpln) {
        DWORD n = end.offset - start.offset;
        std::memcpy(destination, start.lpln->text + start.offset, n);
        destination[n] = '\0';
        return;
    }
    DWORD n = start.lpln->length - start.offset;
    std::memcpy(destination, start.lpln->text + start.offset, n);
    destination += n;
    for (Line* line = start.lpln->next; line != nullptr; line = line->next) {
        *destination++ = '\r';
        *destination++ = '\n';
        n = line == end.lpln ? end.offset : line->length;
        std::memcpy(destination, line->text, n);
        destination += n;
        if (line == end.lpln) {
            break;
        }
    }
    *destination = '\0';
}

namespace {

void DeleteWithinLine(const Position& start, const Position& end) {
    Line* line = start.lpln;
    WORD removed = static_cast<WORD>(end.offset - start.offset);
    std::memmove(line->text + start.offset, line->text + end.offset, line->length - end.offset);
    line->length -= removed;
    pwinCurrent->dot.offset = start.offset;
    NotifyViews(RD_LINE);
    MovePositionsForDeletion(pbufCurrent, line, start.offset, end.offset);
}

int DeleteAcrossLines(const Position& start, const Position& end) {
    Line* first = start.lpln;
    Line* last = end.lpln;
    DWORD tailLength = last->length - end.offset;
    DWORD newLength = start.offset + tailLength;
    if (newLength > MAX_LINE_LENGTH) {
        RefuseEdit(IDS_LINE_TOO_LONG);
        return 0;
    }
    if (first->capacity < newLength) {
        DWORD size = (newLength + 16) & ~15u;
        char* grown = static_cast<char*>(xalloc(pbufCurrent, size));
        if (grown == nullptr) {
            ReportOutOfMemory();
            return 0;
        }
        std::memcpy(grown, first->text, start.offset);
        xfree(pbufCurrent, first->text, first->capacity);
        first->text = grown;
        first->capacity = size;
    }
    MovePositionsOutOfBlock(pbufCurrent, pwinCurrent, start, end);
    pwinCurrent->redraw |= RD_RENUMBER;
    while (first->next != last) {
        FreeLine(pbufCurrent, first->next);
    }
    std::memmove(first->text + start.offset, last->text + end.offset, tailLength);
    first->length = newLength;
    pwinCurrent->dot = start;
    pwinCurrent->mark = start;
    FreeLine(pbufCurrent, last);
    NotifyViews(RD_ALL | RD_REFRAME);
    RenumberLines();
    return 1;
}

}  // namespace

int DeleteBlock() {
    Position start = pwinCurrent->startblock;
    Position end = pwinCurrent->endblock;
    if (start.lpln == end.lpln) {
        if (start.offset != end.offset) {
            DeleteWithinLine(start, end);
        }
        return 1;
    }
    return DeleteAcrossLines(start, end);
}

int DeleteMarkedBlock() {
    if (!pwinCurrent->marking) {
        return 0;
    }
    NormalizeBlock();
    if (PositionsEqual(pwinCurrent->startblock, pwinCurrent->endblock)) {
        // Nothing to delete: no undo record and no change, the block just ends.
        EndMarking();
        return 0;
    }
    DWORD size = BlockSize() + 1;
    if (size > MAX_BLOCK_TEXT) {
        RefuseEdit(IDS_BLOCK_TOO_BIG);
        return 0;
    }
    char* text = static_cast<char*>(xalloc(pbufCurrent, size));
    if (text == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    BlockText(text);
    bool recorded = PushUndo(U_DELBLOCK, text, size) != 0;
    if (!DeleteBlock()) {
        if (recorded) {
            FreeUndoRecord(pbufCurrent, PopUndoRecord());
        } else {
            xfree(pbufCurrent, text, size);
        }
        return 0;
    }
    if (!recorded) {
        xfree(pbufCurrent, text, size);
    }
    pwinCurrent->marking = 0;
    pwinCurrent->redraw |= RD_ALL;
    PushUndo(U_MOVE);
    ++pbufCurrent->changes;
    return 1;
}
