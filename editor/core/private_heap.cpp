#include "editor/core/private_heap.h"

#include <cstdint>
#include <cstdlib>

#include "editor/core/trace.h"

int heapChunkFailureCountdown = 0;

namespace {

DWORD RoundUp(DWORD n, DWORD unit) {
    return (n + unit - 1) / unit * unit;
}

// Chunks grow with the heap (a quarter of what it holds, up to MAX_CHUNK_SIZE), so that a
// large file costs few allocations and its memory is reused from one buffer to the next.
DWORD NewChunkSize(const Buffer* buffer) {
    std::uint64_t quarter = buffer->heapSize / 4;
    if (quarter > MAX_CHUNK_SIZE) {
        quarter = MAX_CHUNK_SIZE;
    }
    DWORD size = RoundUp(static_cast<DWORD>(quarter), 16);
    return size > MIN_CHUNK_SIZE ? size : MIN_CHUNK_SIZE;
}

char* UsableArea(HeapChunk* chunk) {
    return reinterpret_cast<char*>(chunk + 1);
}

// Takes the best-fitting block off the free list: the exact fit, or else the smallest block
// that still holds n bytes. The caller has checked that the first (largest) block fits.
FreeBlock* UnlinkBestFit(Buffer* buffer, DWORD n) {
    FreeBlock** link = &buffer->freeList;
    FreeBlock* block = buffer->freeList;
    while (block->size != n && block->next != nullptr && block->next->size >= n) {
        link = &block->next;
        block = block->next;
    }
    *link = block->next;
    return block;
}

}  // namespace

int GetPrivateHeap(Buffer* buffer, DWORD size) {
    if (heapChunkFailureCountdown > 0 && --heapChunkFailureCountdown == 0) {
        EditorTrace("GetPrivateHeap(): GlobalAlloc failed");
        return 0;
    }
    // Nothing handed out relies on zeroed memory: records are cleared when they are made.
    void* memory = std::malloc(sizeof(HeapChunk) + size);
    if (memory == nullptr) {
        EditorTrace("GetPrivateHeap(): GlobalAlloc failed");
        return 0;
    }
    HeapChunk* chunk = static_cast<HeapChunk*>(memory);
    chunk->size = size;
    chunk->used = 0;
    chunk->next = buffer->chunks;
    buffer->chunks = chunk;
    buffer->heapSize += size;
    return 1;
}

void* xalloc(Buffer* buffer, DWORD n) {
    n = RoundUp(n == 0 ? 1 : n, HEAP_ALIGN);
    if (buffer->freeList != nullptr && buffer->freeList->size >= n) {
        FreeBlock* block = UnlinkBestFit(buffer, n);
        if (block->size > n + MIN_FREE_BLOCK) {
            xfree(buffer, reinterpret_cast<char*>(block) + n, block->size - n);
        }
        return block;
    }
    HeapChunk* chunk = buffer->chunks;
    if (chunk == nullptr || chunk->used + n > chunk->size) {
        DWORD size = RoundUp(n, 16);
        if (size < NewChunkSize(buffer)) {
            size = NewChunkSize(buffer);
        }
        if (!GetPrivateHeap(buffer, size)) {
            EditorTrace("xalloc: GetPrivateHeap failed");
            return nullptr;
        }
        chunk = buffer->chunks;
    }
    char* block = UsableArea(chunk) + chunk->used;
    chunk->used += n;
    return block;
}

void xfree(Buffer* buffer, void* block, DWORD size) {
    if (block == nullptr) {
        return;
    }
    // Line texts may start anywhere inside a file image: skip to an aligned start.
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(block);
    DWORD skip = static_cast<DWORD>((HEAP_ALIGN - address % HEAP_ALIGN) % HEAP_ALIGN);
    if (size <= skip) {
        return;
    }
    size = (size - skip) / HEAP_ALIGN * HEAP_ALIGN;
    if (size < MIN_FREE_BLOCK) {
        return;
    }
    FreeBlock* freed = reinterpret_cast<FreeBlock*>(static_cast<char*>(block) + skip);
    freed->size = size;
    FreeBlock** link = &buffer->freeList;
    while (*link != nullptr && (*link)->size > size) {
        link = &(*link)->next;
    }
    freed->next = *link;
    *link = freed;
}

void FreePrivateHeap(Buffer* buffer) {
    HeapChunk* chunk = buffer->chunks;
    while (chunk != nullptr) {
        HeapChunk* next = chunk->next;
        std::free(chunk);
        chunk = next;
    }
    buffer->chunks = nullptr;
    buffer->freeList = nullptr;
    buffer->heapSize = 0;
}
