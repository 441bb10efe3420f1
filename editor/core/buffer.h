// The editor's document record: a Buffer holds a doubly linked list of Line records whose
// characters live in the buffer's private heap, together with the document's settings and its
// undo stack. Every open document has exactly one Buffer, shown by one or more EditWindows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/win_types.h"

// Offsets and lengths are 16-bit quantities: a line never holds more than this many characters.
inline constexpr DWORD MAX_LINE_LENGTH = 65535;
// Room for a Linux path and its terminating NUL.
inline constexpr std::size_t PATH_NAME_SIZE = 4096;

// Bits of Buffer::state.
inline constexpr WORD BS_MODIFIED = 0x01;

// Bits of Buffer::options.
inline constexpr WORD BF_AUTOINDENT = 0x02;
inline constexpr WORD BF_WORDWRAP = 0x04;
inline constexpr WORD BF_EXPANDTABS = 0x08;

struct Line {
    DWORD number;    // 0 for the first line; valid after RenumberLines
    DWORD capacity;  // bytes usable at text
    DWORD length;    // characters in the line, at most MAX_LINE_LENGTH
    Line* next;
    Line* prev;
    char* text;  // not NUL-terminated
};

struct Position {
    Line* lpln;
    WORD offset;  // 0 to the line's length
};

struct HeapChunk;
struct FreeBlock;
struct UndoRecord;

struct Buffer {
    BOOL autoIndent;
    int lockHandle;  // descriptor holding the file's share lock; 0 when not locked
    Line* lplnFirst;
    DWORD lineCount;
    Buffer* next;
    WORD state;
    WORD options;
    int windowCount;
    char pathName[PATH_NAME_SIZE];  // empty for an untitled buffer
    int untitledNumber;

    HeapChunk* chunks;       // head chunk: allocations are taken from it
    FreeBlock* freeList;     // largest first
    std::uint64_t heapSize;  // usable bytes of all chunks
    Line* lplnBuildTail;     // last line appended while the line table is being built

    int tabSize;
    int rightMargin;

    WORD serial;  // current command serial
    UndoRecord* oldestUndo;
    UndoRecord* newestUndo;
    int udepth;  // records on the stack
    int ulevel;  // distinct command serials on the stack

    char autosaveName[PATH_NAME_SIZE];
    WORD changes;  // changes since the last save or autosave
    DWORD lastSaveTick;
};

// The editor-wide list of buffers (new ones are appended) and the current window's buffer.
extern Buffer* pbufFirst;
extern Buffer* pbufCurrent;

// Allocates a buffer with the document defaults and one empty line, appended to the buffer
// list with a window count of 0. Returns null when memory runs out (nothing is reported).
Buffer* CreateBuffer();
// The same, but not linked into the buffer list (used to stage a re-read).
Buffer* AllocateBuffer();
// Closes the lock, unlinks the buffer, frees its heap and the record.
void DestroyBuffer(Buffer* buffer);

// Makes the buffer's line list a single empty line (capacity 0, a 16-byte text block).
int ResetToEmptyLine(Buffer* buffer);

// Exchanges the text of two buffers: lines, heap, lock and undo stack.
void SwapBufferText(Buffer* a, Buffer* b);
