#include "editor/core/state_records.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "editor/core/documents.h"
#include "editor/core/edit_window.h"
#include "editor/core/editor_paths.h"
#include "editor/core/lines.h"
#include "editor/core/ui_services.h"

namespace {

enum RecordOffset : std::size_t {
    REC_CURSOR_LINE = 80,
    REC_CURSOR_COLUMN = 84,
    REC_MARK_SET = 88,
    REC_MARK_LINE = 92,
    REC_MARK_COLUMN = 96,
    REC_ACTIVE = 100,
    REC_TAB_SIZE = 104,
    REC_EXPAND_TABS = 108,
    REC_WORD_WRAP = 112,
    REC_RIGHT_MARGIN = 116,
    REC_AUTO_INDENT = 120,
};

DWORD LineNumberOf(Buffer* buffer, const Line* target) {
    DWORD number = 0;
    for (const Line* line = buffer->lplnFirst; line != nullptr && line != target;
         line = line->next) {
        ++number;
    }
    return number;
}

bool FirstWindowOfBuffer(const EditWindow* window) {
    for (const EditWindow* other = pwinFirst; other != window; other = other->next) {
        if (other->buffer == window->buffer) {
            return false;
        }
    }
    return true;
}

OpenFileRecord RecordOf(const EditWindow* window) {
    OpenFileRecord record{};
    Buffer* buffer = window->buffer;
    std::memcpy(record.fileName, buffer->pathName, std::strlen(buffer->pathName) + 1);
    record.cursorLine = LineNumberOf(buffer, window->dot.lpln);
    record.cursorColumn = window->dot.offset;
    record.markSet = window->marking ? 1 : 0;
    record.markLine = LineNumberOf(buffer, window->mark.lpln);
    record.markColumn = window->mark.offset;
    record.active = pwinCurrent != nullptr && pwinCurrent->buffer == buffer;
    record.tabSize = buffer->tabSize;
    record.expandTabs = (buffer->options & BF_EXPANDTABS) != 0;
    record.wordWrap = (buffer->options & BF_WORDWRAP) != 0;
    record.rightMargin = buffer->rightMargin;
    record.autoIndent = (buffer->options & BF_AUTOINDENT) != 0;
    return record;
}

// Only regular files are reopened: a record naming a device or a pipe would never finish
// reading.
bool ReopenableFile(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && access(path, R_OK) == 0;
}

EditWindow* WindowShowing(const char* path) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer->pathName[0] != '\0' && SameFile(window->buffer->pathName, path)) {
            return window;
        }
    }
    return nullptr;
}

void SetOption(Buffer* buffer, WORD bit, BOOL on) {
    buffer->options = static_cast<WORD>(on ? buffer->options | bit : buffer->options & ~bit);
}

void ApplyRecord(EditWindow* window, const OpenFileRecord& record) {
    Buffer* buffer = window->buffer;
    if (record.markSet) {
        Line* line = LineByNumber(buffer, record.markLine);
        if (line == nullptr) {
            line = LastLine(buffer);
        }
        DWORD column = record.markColumn < line->length ? record.markColumn : line->length;
        window->mark = {line, static_cast<WORD>(column)};
    }
    window->marking = record.markSet ? 1 : 0;
    buffer->tabSize = record.tabSize >= 1 && record.tabSize <= 16 ? record.tabSize : 8;
    SetOption(buffer, BF_EXPANDTABS, record.expandTabs);
    SetOption(buffer, BF_WORDWRAP, record.wordWrap);
    SetOption(buffer, BF_AUTOINDENT, record.autoIndent);
    buffer->autoIndent = record.autoIndent ? 1 : 0;
    buffer->rightMargin =
        record.rightMargin >= 32 && record.rightMargin <= 512 ? record.rightMargin : 65;
    window->redraw |= RD_ALL;
}

}  // namespace

void EncodeOpenFileRecord(const OpenFileRecord& record, unsigned char* bytes) {
    std::memset(bytes, 0, STATE_RECORD_SIZE);
    PutText(bytes, STATE_RECORD_NAME_SIZE, record.fileName);
    PutLe32(bytes + REC_CURSOR_LINE, record.cursorLine);
    PutLe32(bytes + REC_CURSOR_COLUMN, record.cursorColumn);
    PutLe32(bytes + REC_MARK_SET, record.markSet ? 1 : 0);
    PutLe32(bytes + REC_MARK_LINE, record.markLine);
    PutLe32(bytes + REC_MARK_COLUMN, record.markColumn);
    PutLe32(bytes + REC_ACTIVE, record.active ? 1 : 0);
    PutLe32(bytes + REC_TAB_SIZE, static_cast<std::uint32_t>(record.tabSize));
    PutLe32(bytes + REC_EXPAND_TABS, record.expandTabs ? 1 : 0);
    PutLe32(bytes + REC_WORD_WRAP, record.wordWrap ? 1 : 0);
    PutLe32(bytes + REC_RIGHT_MARGIN, static_cast<std::uint32_t>(record.rightMargin));
    PutLe32(bytes + REC_AUTO_INDENT, record.autoIndent ? 1 : 0);
}

OpenFileRecord DecodeOpenFileRecord(const unsigned char* bytes) {
    OpenFileRecord record{};
    GetText(bytes, STATE_RECORD_NAME_SIZE, record.fileName);
    record.cursorLine = GetLe32(bytes + REC_CURSOR_LINE);
    record.cursorColumn = GetLe32(bytes + REC_CURSOR_COLUMN);
    record.markSet = GetLe32(bytes + REC_MARK_SET) != 0;
    record.markLine = GetLe32(bytes + REC_MARK_LINE);
    record.markColumn = GetLe32(bytes + REC_MARK_COLUMN);
    record.active = GetLe32(bytes + REC_ACTIVE) != 0;
    record.tabSize = GetLe32Signed(bytes + REC_TAB_SIZE);
    record.expandTabs = GetLe32(bytes + REC_EXPAND_TABS) != 0;
    record.wordWrap = GetLe32(bytes + REC_WORD_WRAP) != 0;
    record.rightMargin = GetLe32Signed(bytes + REC_RIGHT_MARGIN);
    record.autoIndent = GetLe32(bytes + REC_AUTO_INDENT) != 0;
    return record;
}

void AppendOpenFileRecords(std::vector<unsigned char>& image) {
    for (const EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        const char* name = window->buffer->pathName;
        if (name[0] == '\0' || std::strlen(name) >= STATE_RECORD_NAME_SIZE ||
            !FirstWindowOfBuffer(window)) {
            continue;
        }
        std::size_t at = image.size();
        image.resize(at + STATE_RECORD_SIZE);
        EncodeOpenFileRecord(RecordOf(window), image.data() + at);
    }
}

void ReopenDocuments(const std::vector<OpenFileRecord>& records) {
    EditWindow* active = nullptr;
    for (const OpenFileRecord& record : records) {
        const char* name = record.fileName;
        if (name[0] == '\0' || WindowShowing(name) != nullptr || !ReopenableFile(name)) {
            continue;
        }
        if (!OpenDocument(name, record.cursorLine, record.cursorColumn, false)) {
            continue;
        }
        ApplyRecord(pwinCurrent, record);
        if (record.active) {
            active = pwinCurrent;
        }
    }
    if (active == nullptr) {
        active = pwinFirst;
    }
    if (active != nullptr) {
        SetCurrentWindow(active);
        Ui().ActivateDocumentWindow(active);
    }
}
