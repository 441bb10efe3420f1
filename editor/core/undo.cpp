#include "editor/core/undo.h"

#include <cstring>

#include "editor/core/edit_window.h"
#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/trace.h"

namespace {

WORD commandSerialCounter = 0;
WORD lastPushedSerial = 0;
bool anyPushed = false;

void FillRecord(UndoRecord* record, DWORD kind, char* text, DWORD count) {
    std::memset(record, 0, sizeof *record);
    record->kind = kind;
    record->serial = pbufCurrent->serial;
    const Position& dot = pwinCurrent->dot;
    const Position& mark = pwinCurrent->mark;
    record->dotLine = dot.lpln->number;
    record->dotOffset = dot.offset;
    record->markLine = mark.lpln != nullptr ? mark.lpln->number : 0;
    record->markOffset = mark.offset;
    record->flags = static_cast<BYTE>((pbufCurrent->state & BS_MODIFIED ? UF_MODIFIED : 0) |
                                      (pwinCurrent->marking ? UF_MARKING : 0) |
                                      (fMacroPlayback ? UF_MACRO : 0));
    record->character =
        dot.offset < dot.lpln->length ? static_cast<BYTE>(dot.lpln->text[dot.offset]) : '\r';
    record->count = count;
    record->text = text;
}

UndoRecord* Push(DWORD kind, char* text, DWORD count) {
    if (editorSettings.undoLevels == 0 || pbufCurrent == nullptr || pwinCurrent == nullptr) {
        return nullptr;
    }
    if (kind == U_RESET) {
        ResetUndo(pbufCurrent);
        return nullptr;
    }
    RenumberIfNeeded();
    UndoRecord* record = static_cast<UndoRecord*>(xalloc(pbufCurrent, sizeof(UndoRecord)));
    if (record == nullptr) {
        return nullptr;
    }
    FillRecord(record, kind, text, count);
    record->older = pbufCurrent->newestUndo;
    if (pbufCurrent->newestUndo != nullptr) {
        pbufCurrent->newestUndo->newer = record;
    } else {
        pbufCurrent->oldestUndo = record;
    }
    pbufCurrent->newestUndo = record;
    ++pbufCurrent->udepth;
    if (!anyPushed || record->serial != lastPushedSerial) {
        anyPushed = true;
        lastPushedSerial = record->serial;
        ++pbufCurrent->ulevel;
    }
    PurgeUndoStack(pbufCurrent, editorSettings.undoLevels);
    return record;
}

}  // namespace

int PushUndo(DWORD kind, char* text, DWORD count) {
    return Push(kind, text, count) != nullptr;
}

int PushUndoCharacter(DWORD kind, char character) {
    UndoRecord* record = Push(kind, nullptr, 0);
    if (record == nullptr) {
        return 0;
    }
    record->character = static_cast<BYTE>(character);
    return 1;
}

void FreeUndoRecord(Buffer* buffer, UndoRecord* record) {
    if (record == nullptr) {
        return;
    }
    if (record->text != nullptr) {
        xfree(buffer, record->text, static_cast<DWORD>(std::strlen(record->text)) + 1);
    }
    xfree(buffer, record, sizeof(UndoRecord));
}

void ResetUndo(Buffer* buffer) {
    UndoRecord* record = buffer->oldestUndo;
    while (record != nullptr) {
        UndoRecord* newer = record->newer;
        FreeUndoRecord(buffer, record);
        record = newer;
    }
    buffer->oldestUndo = nullptr;
    buffer->newestUndo = nullptr;
    buffer->udepth = 0;
    buffer->ulevel = 0;
}

void PurgeUndoStack(Buffer* buffer, int levels) {
    while (buffer->ulevel > levels) {
        UndoRecord* oldest = buffer->oldestUndo;
        if (oldest == nullptr) {
            EditorTrace("PurgeUndoStack: can't happen");
            EditorTrace("udepth = %d   ulevel = %d", buffer->udepth, buffer->ulevel);
            buffer->newestUndo = nullptr;
            buffer->udepth = 0;
            buffer->ulevel = 0;
            return;
        }
        WORD serial = oldest->serial;
        while (oldest != nullptr && oldest->serial == serial) {
            UndoRecord* newer = oldest->newer;
            FreeUndoRecord(buffer, oldest);
            --buffer->udepth;
            oldest = newer;
        }
        buffer->oldestUndo = oldest;
        if (oldest != nullptr) {
            oldest->older = nullptr;
        } else {
            buffer->newestUndo = nullptr;
        }
        --buffer->ulevel;
    }
}

UndoRecord* PopUndoRecord() {
    UndoRecord* record = pbufCurrent->newestUndo;
    if (record == nullptr) {
        return nullptr;
    }
    pbufCurrent->newestUndo = record->older;
    if (record->older != nullptr) {
        record->older->newer = nullptr;
    } else {
        if (pbufCurrent->oldestUndo != record) {
            EditorTrace("PopUndoRecord: can't happen");
        }
        pbufCurrent->oldestUndo = nullptr;
    }
    record->older = nullptr;
    --pbufCurrent->udepth;
    return record;
}

void DiscardNewestUndo() {
    UndoRecord* record = PopUndoRecord();
    if (record == nullptr) {
        return;
    }
    UndoRecord* newest = pbufCurrent->newestUndo;
    if ((newest == nullptr || newest->serial != record->serial) && pbufCurrent->ulevel > 0) {
        --pbufCurrent->ulevel;
        anyPushed = newest != nullptr;
        lastPushedSerial = newest != nullptr ? newest->serial : 0;
    }
    FreeUndoRecord(pbufCurrent, record);
}

BOOL UndoAvailable() {
    return pbufCurrent != nullptr && pbufCurrent->newestUndo != nullptr;
}

void SetUndoLevels(int levels) {
    if (levels == editorSettings.undoLevels || levels < 0 || levels > MAX_UNDO_LEVELS) {
        return;
    }
    if (levels < editorSettings.undoLevels) {
        EditorTrace("Resetting undo stacks...");
        for (Buffer* buffer = pbufFirst; buffer != nullptr; buffer = buffer->next) {
            PurgeUndoStack(buffer, levels);
        }
    }
    editorSettings.undoLevels = levels;
}

void NewCommandSerial() {
    if (pbufCurrent == nullptr || fMacroPlayback) {
        return;
    }
    pbufCurrent->serial = ++commandSerialCounter;
}
