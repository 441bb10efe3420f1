#include "editor/core/buffer.h"

#include <unistd.h>

#include <new>
#include <utility>

#include "editor/core/editor_settings.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/trace.h"
#include "editor/core/undo.h"
#include "platform/kernel/tick.h"

Buffer* pbufFirst = nullptr;
Buffer* pbufCurrent = nullptr;

namespace {

constexpr DWORD EMPTY_LINE_TEXT_SIZE = 16;

void ApplyDocumentDefaults(Buffer* buffer) {
    const EditorSettings& defaults = editorSettings;
    if (defaults.autoIndent) {
        buffer->autoIndent = 1;
        buffer->options |= BF_AUTOINDENT;
    }
    if (defaults.expandTabs) {
        buffer->options |= BF_EXPANDTABS;
    }
    if (defaults.wordWrap && editorMode != EditorMode::ScriptBuilder) {
        buffer->options |= BF_WORDWRAP;
    }
    buffer->tabSize = defaults.tabSize;
    buffer->rightMargin = defaults.rightMargin;
    buffer->lastSaveTick = GetTickCount();
}

}  // namespace

int ResetToEmptyLine(Buffer* buffer) {
    Line* line = NewLine(buffer);
    if (line == nullptr) {
        return 0;
    }
    char* text = static_cast<char*>(xalloc(buffer, EMPTY_LINE_TEXT_SIZE));
    if (text == nullptr) {
        return 0;
    }
    line->text = text;
    buffer->lplnFirst = line;
    buffer->lplnBuildTail = line;
    buffer->lineCount = 1;
    return 1;
}

Buffer* AllocateBuffer() {
    Buffer* buffer = new (std::nothrow) Buffer{};
    if (buffer == nullptr) {
        return nullptr;
    }
    ApplyDocumentDefaults(buffer);
    if (!ResetToEmptyLine(buffer)) {
        FreePrivateHeap(buffer);
        delete buffer;
        return nullptr;
    }
    return buffer;
}

Buffer* CreateBuffer() {
    Buffer* buffer = AllocateBuffer();
    if (buffer == nullptr) {
        return nullptr;
    }
    Buffer** link = &pbufFirst;
    while (*link != nullptr) {
        link = &(*link)->next;
    }
    *link = buffer;
    return buffer;
}

void DestroyBuffer(Buffer* buffer) {
    if (buffer == nullptr) {
        return;
    }
    if (buffer->lockHandle > 0) {
        close(buffer->lockHandle);
    } else if (buffer->lockHandle < 0) {
        EditorTrace("Buffer destructor: can't happen: 1");
    }
    Buffer** link = &pbufFirst;
    while (*link != nullptr && *link != buffer) {
        link = &(*link)->next;
    }
    if (*link == buffer) {
        *link = buffer->next;
    }
    FreePrivateHeap(buffer);
    if (pbufCurrent == buffer) {
        pbufCurrent = nullptr;
    }
    delete buffer;
}

void SwapBufferText(Buffer* a, Buffer* b) {
    std::swap(a->lplnFirst, b->lplnFirst);
    std::swap(a->lineCount, b->lineCount);
    std::swap(a->chunks, b->chunks);
    std::swap(a->freeList, b->freeList);
    std::swap(a->heapSize, b->heapSize);
    std::swap(a->lplnBuildTail, b->lplnBuildTail);
    std::swap(a->lockHandle, b->lockHandle);
    std::swap(a->oldestUndo, b->oldestUndo);
    std::swap(a->newestUndo, b->newestUndo);
    std::swap(a->udepth, b->udepth);
    std::swap(a->ulevel, b->ulevel);
}
