// The undo stack of a buffer. Each editing primitive is preceded (or, for insertions of text,
// followed) by a record saying how to reverse it; records pushed while handling one message
// share a command serial and are undone together.
#pragma once

#include "editor/core/buffer.h"

enum UndoKind : DWORD {
    U_RESET = 0,  // not a record: pushing it discards the whole stack
    U_MOVE = 1,
    U_INSCHAR = 2,
    U_DELCHAR = 3,
    U_INSTEXT = 4,
    U_DELBLOCK = 5,
    U_INDENT = 6,
    U_JOIN = 7,
    U_SPLIT = 9,
    U_REPLCHAR = 10,
    U_REPLACE = 11,
    U_NEWLINE = 12,
};

// Bits of UndoRecord::flags.
inline constexpr BYTE UF_MODIFIED = 0x01;
inline constexpr BYTE UF_MARKING = 0x02;
inline constexpr BYTE UF_MACRO = 0x04;

inline constexpr int MAX_UNDO_LEVELS = 300;

struct UndoRecord {
    DWORD kind;
    WORD serial;
    WORD dotOffset;
    DWORD dotLine;
    DWORD markLine;
    WORD markOffset;
    BYTE character;
    BYTE flags;
    DWORD count;
    char* text;  // NUL-terminated, in the buffer's heap; null when none
    UndoRecord* newer;
    UndoRecord* older;
};

// Records the current window's state with the kind, text and count. text must be a block of
// the current buffer's heap; the record owns it from then on. Returns 1 when a record was
// pushed; 0 when undo is off or no memory could be had (the caller still owns text).
int PushUndo(DWORD kind, char* text = nullptr, DWORD count = 0);
// The same with the character to save instead of the one at the dot.
int PushUndoCharacter(DWORD kind, char character);
// Discards the buffer's whole stack.
void ResetUndo(Buffer* buffer);
// Drops whole oldest commands until at most levels remain.
void PurgeUndoStack(Buffer* buffer, int levels);
// Unlinks and returns the current buffer's newest record, or null.
UndoRecord* PopUndoRecord();
// Gives the record and its text back to the buffer's heap.
void FreeUndoRecord(Buffer* buffer, UndoRecord* record);
// Takes back the record just pushed (its change did not happen), keeping the level count.
void DiscardNewestUndo();

// Reverses one record of the current buffer.
void Undo1();
// The undo command: reverses the newest command.
void undo();
BOOL UndoAvailable();
// Changes the undo levels setting (0 to 300), trimming every open buffer's stack.
void SetUndoLevels(int levels);

// Gives the current buffer a new command serial (the editor-wide counter advances once per
// handled document-window message, not during macro playback).
void NewCommandSerial();
