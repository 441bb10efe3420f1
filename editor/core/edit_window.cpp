#include "editor/core/edit_window.h"

#include <cstdio>
#include <new>

#include "editor/core/autosave.h"
#include "editor/core/editor_strings.h"
#include "editor/core/ui_services.h"

EditWindow* pwinFirst = nullptr;
EditWindow* pwinCurrent = nullptr;

EditWindow* NewEditWindow(Buffer* buffer) {
    EditWindow* window = new (std::nothrow) EditWindow{};
    if (window == nullptr) {
        return nullptr;
    }
    window->buffer = buffer;
    window->lplnTop = buffer->lplnFirst;
    window->dot = {buffer->lplnFirst, 0};
    window->mark = window->dot;
    window->startblock = window->dot;
    window->endblock = window->dot;
    window->redraw = RD_ALL | RD_VSCROLL | RD_HSCROLL;
    window->painting = 1;
    window->rows = DEFAULT_WINDOW_ROWS;
    window->columns = DEFAULT_WINDOW_COLUMNS;
    ++buffer->windowCount;
    EditWindow** link = &pwinFirst;
    while (*link != nullptr) {
        link = &(*link)->next;
    }
    *link = window;
    return window;
}

void FreeEditWindow(EditWindow* window) {
    EditWindow** link = &pwinFirst;
    while (*link != nullptr && *link != window) {
        link = &(*link)->next;
    }
    if (*link == window) {
        *link = window->next;
    }
    if (pwinCurrent == window) {
        pwinCurrent = nullptr;
        pbufCurrent = nullptr;
    }
    Buffer* buffer = window->buffer;
    delete window;
    if (buffer == nullptr) {
        return;
    }
    if (--buffer->windowCount <= 0) {
        DeleteAutosaveFile(buffer);
        DestroyBuffer(buffer);
    } else {
        RefreshTitles(buffer);
    }
}

void SetCurrentWindow(EditWindow* window) {
    pwinCurrent = window;
    pbufCurrent = window != nullptr ? window->buffer : nullptr;
    if (window != nullptr && window->dot.offset > window->dot.lpln->length) {
        window->dot.offset = static_cast<WORD>(window->dot.lpln->length);
    }
}

int WindowIndexOnBuffer(const EditWindow* window) {
    int index = 0;
    for (EditWindow* other = pwinFirst; other != nullptr; other = other->next) {
        if (other->buffer == window->buffer) {
            ++index;
        }
        if (other == window) {
            return index;
        }
    }
    return 0;
}

void RefreshTitles(Buffer* buffer) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer != buffer) {
            continue;
        }
        char name[WINDOW_TITLE_SIZE];
        if (buffer->pathName[0] != '\0') {
            std::snprintf(name, sizeof name, "%s", buffer->pathName);
        } else {
            std::snprintf(name, sizeof name, EditorString(IDS_UNTITLED), buffer->untitledNumber);
        }
        if (buffer->windowCount > 1) {
            char number[16];
            std::snprintf(number, sizeof number, EditorString(IDS_WINDOW_NUMBER),
                          WindowIndexOnBuffer(window));
            std::snprintf(window->title, sizeof window->title, "%.*s%s",
                          static_cast<int>(sizeof name - sizeof number), name, number);
        } else {
            std::snprintf(window->title, sizeof window->title, "%s", name);
        }
        if (window->view != nullptr) {
            Ui().SetWindowTitle(window, window->title);
        }
    }
}
