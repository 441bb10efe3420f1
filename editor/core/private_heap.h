// The private heap of a buffer: chunks of memory handed out by bumping a used count, plus a
// best-fit list of freed blocks sorted largest first. Nothing is returned to the system before the
// whole heap is freed, so destroying a buffer costs one pass over its chunks.
//
// Sizes are kept in multiples of HEAP_ALIGN so that records placed in reused blocks stay
// aligned: requests are rounded up, freed sizes rounded down (the few bytes lost come back
// when the buffer is destroyed).
#pragma once

#include "editor/core/buffer.h"

inline constexpr DWORD HEAP_ALIGN = 8;
inline constexpr DWORD MIN_FREE_BLOCK = 24;  // smaller freed blocks are simply dropped
inline constexpr DWORD MIN_CHUNK_SIZE = 16384;
inline constexpr DWORD MAX_CHUNK_SIZE = 1u << 20;  // growth limit; a larger request gets its own

struct HeapChunk {
    HeapChunk* next;
    DWORD used;
    DWORD size;
    // the usable area follows the header
};

struct FreeBlock {
    DWORD size;
    FreeBlock* next;
};

// Adds a chunk of the given usable size at the head of the chunk list. Returns 1 or 0.
int GetPrivateHeap(Buffer* buffer, DWORD size);
// n bytes of the buffer's heap, or null when no memory can be had.
void* xalloc(Buffer* buffer, DWORD n);
// Gives a block of known size back to the free list; blocks below MIN_FREE_BLOCK are dropped.
void xfree(Buffer* buffer, void* block, DWORD size);
// Releases every chunk and empties both lists.
void FreePrivateHeap(Buffer* buffer);

// Test hook: when non-zero, GetPrivateHeap fails once this many more chunks have been made.
extern int heapChunkFailureCountdown;
