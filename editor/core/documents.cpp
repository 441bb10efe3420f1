#include "editor/core/documents.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/block_ops.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/file_lock.h"
#include "editor/core/file_read.h"
#include "editor/core/file_save.h"
#include "editor/core/file_write.h"
#include "editor/core/lines.h"
#include "editor/core/private_heap.h"
#include "editor/core/recent_files.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"
#include "editor/core/window_positions.h"
#include "platform/kernel/replace_file.h"
#include "platform/kernel/share_lock.h"

BOOL fStartupBuffer = 0;
int untitledCounter = 0;

namespace {

// The directory and extension of the last file opened, for the next open dialog.
char lastOpenDirectory[PATH_NAME_SIZE];
char lastOpenExtension[8];

// The start-up untitled buffer, when it is still current, untitled and unchanged.
EditWindow* ReusableStartupWindow() {
    if (!fStartupBuffer || pwinCurrent == nullptr || pbufCurrent == nullptr) {
        return nullptr;
    }
    if (pbufCurrent->pathName[0] != '\0' || (pbufCurrent->state & BS_MODIFIED) ||
        pbufCurrent->windowCount != 1) {
        return nullptr;
    }
    return pwinCurrent;
}

EditWindow* WindowForNewBuffer(Buffer* buffer) {
    EditWindow* window = ReusableStartupWindow();
    if (window == nullptr) {
        return NewEditWindow(buffer);
    }
    Buffer* startup = window->buffer;
    ResetUndo(startup);
    DestroyBuffer(startup);
    window->buffer = buffer;
    ++buffer->windowCount;
    return window;
}

void MoveToLineAndColumn(DWORD line, DWORD column) {
    if (line > 0) {
        MoveDotToLine(line);
    }
    Position& dot = pwinCurrent->dot;
    dot.offset = static_cast<WORD>(column < dot.lpln->length ? column : dot.lpln->length);
    pwinCurrent->mark = dot;
}

int ShowDocumentWindow(EditWindow* window, bool activate) {
    if (window->view == nullptr) {
        if (!activate) {
            window->painting = 0;
        }
        if (!Ui().CreateDocumentWindow(window, activate)) {
            FreeEditWindow(window);
            ReportOutOfMemory();
            return 0;
        }
        return 1;
    }
    Ui().SetWindowTitle(window, window->title);
    if (activate && editorMode != EditorMode::Print) {
        Ui().ActivateDocumentWindow(window);
    }
    return 1;
}

void RememberOpenedFile(const char* path) {
    DirectoryPart(path, lastOpenDirectory, sizeof lastOpenDirectory);
    const char* dot = std::strrchr(FileNamePart(path), '.');
    std::snprintf(lastOpenExtension, sizeof lastOpenExtension, "%.3s",
                  dot != nullptr ? dot + 1 : "");
}

EditWindow* WindowShowingFile(const char* path) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer->pathName[0] != '\0' && SameFile(window->buffer->pathName, path)) {
            return window;
        }
    }
    return nullptr;
}

// Reads the file into a staging buffer; only a complete read replaces the buffer's text.
int RereadBuffer(Buffer* buffer) {
    Buffer* staged = AllocateBuffer();
    if (staged == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    std::strcpy(staged->pathName, buffer->pathName);
    if (!ReadFile(staged, buffer->pathName)) {
        DestroyBuffer(staged);
        return 0;
    }
    ResetUndo(buffer);
    int oldLock = buffer->lockHandle;
    buffer->lockHandle = 0;
    SwapBufferText(buffer, staged);
    staged->lockHandle = oldLock;  // closed with the staged buffer
    DestroyBuffer(staged);
    return 1;
}

bool ConfirmReplace(const char* path, bool& cancelled) {
    if (!PathExists(path)) {
        return true;
    }
    UiAnswer answer =
        EditorMessageBox(IDS_REPLACE_EXISTING, path, UiButtons::YesNoCancel, UiIcon::Warning);
    cancelled = answer != UiAnswer::Yes && answer != UiAnswer::No;
    return answer == UiAnswer::Yes;
}

int WriteBlockText(int descriptor) {
    const Position& start = pwinCurrent->startblock;
    const Position& end = pwinCurrent->endblock;
    if (start.lpln == end.lpln) {
        std::size_t n = end.offset - start.offset;
        return WriteAll(descriptor, start.lpln->text + start.offset, n) == n;
    }
    std::size_t n = start.lpln->length - start.offset;
    if (WriteAll(descriptor, start.lpln->text + start.offset, n) != n ||
        WriteAll(descriptor, "\r\n", 2) != 2) {
        return 0;
    }
    for (Line* line = start.lpln->next; line != end.lpln; line = line->next) {
        if (WriteAll(descriptor, line->text, line->length) != line->length ||
            WriteAll(descriptor, "\r\n", 2) != 2) {
            return 0;
        }
    }
    n = end.offset;
    return WriteAll(descriptor, end.lpln->text, n) == n;
}

}  // namespace

int OpenDocument(const char* path, DWORD line, DWORD column, bool activate) {
    char full[PATH_NAME_SIZE];
    if (!PathExists(path) || !FullPathName(path, full, sizeof full)) {
        EditorWarning(IDS_UNABLE_TO_OPEN, path);
        return 0;
    }
    WaitCursor wait;
    Buffer* buffer = CreateBuffer();
    if (buffer == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    std::strcpy(buffer->pathName, full);
    if (!ReadFile(buffer, full)) {
        DestroyBuffer(buffer);
        return 0;
    }
    EditWindow* window = WindowForNewBuffer(buffer);
    if (window == nullptr) {
        DestroyBuffer(buffer);
        ReportOutOfMemory();
        return 0;
    }
    fStartupBuffer = 0;
    PlaceAtStart(window);
    window->redraw = RD_ALL | RD_VSCROLL | RD_HSCROLL;
    SetCurrentWindow(window);
    RefreshTitles(buffer);
    AddToRecentFiles(full);
    MoveToLineAndColumn(line, column);
    return ShowDocumentWindow(window, activate);
}

int new_file() {
    Buffer* buffer = CreateBuffer();
    if (buffer == nullptr) {
        ReportOutOfMemory();
        return 0;
    }
    buffer->untitledNumber = ++untitledCounter;
    EditWindow* window = NewEditWindow(buffer);
    if (window == nullptr) {
        DestroyBuffer(buffer);
        ReportOutOfMemory();
        return 0;
    }
    fStartupBuffer = 0;
    SetCurrentWindow(window);
    RefreshTitles(buffer);
    return ShowDocumentWindow(window, true);
}

int open_file() {
    char initialName[16] = "";
    if (lastOpenDirectory[0] != '\0') {
        std::snprintf(initialName, sizeof initialName, "*.%s", lastOpenExtension);
    }
    char initial[PATH_NAME_SIZE];
    if (lastOpenDirectory[0] != '\0') {
        std::strcpy(initial, lastOpenDirectory);
    } else if (getcwd(initial, sizeof initial) == nullptr) {
        initial[0] = '\0';
    }
    FileDialogRequest request{EditorString(IDS_OPEN_FILE),
                              ModeFileFilter(),
                              initial,
                              initialName[0] != '\0' ? initialName : nullptr,
                              "SCR",
                              true};
    char chosen[PATH_NAME_SIZE];
    if (!Ui().OpenFileDialog(request, chosen, sizeof chosen) || chosen[0] == '\0') {
        return 0;
    }
    char full[PATH_NAME_SIZE];
    if (!FullPathName(chosen, full, sizeof full)) {
        EditorWarning(IDS_UNABLE_TO_OPEN, chosen);
        return 0;
    }
    RememberOpenedFile(full);
    EditWindow* open = WindowShowingFile(full);
    if (open != nullptr) {
        Ui().ActivateDocumentWindow(open);
        return 1;
    }
    return OpenDocument(full, 0, 0, true);
}

long InsertFileText(const char* path) {
    int descriptor = ShareOpenFile(path, O_RDONLY | O_NONBLOCK, ShareMode::DenyNone, nullptr);
    if (descriptor < 0) {
        return -1;
    }
    char* chunk = static_cast<char*>(std::malloc(READ_CHUNK_SIZE));
    if (chunk == nullptr) {
        ShareCloseFile(descriptor);
        ReportOutOfMemory();
        return 0;
    }
    long count = 0;
    bool stopped = false;
    ssize_t got;
    while (!stopped && (got = ReadAll(descriptor, chunk, READ_CHUNK_SIZE - 1)) > 0) {
        chunk[got] = '\0';
        for (const char* p = chunk; *p != '\0';) {
            if (*p == '\r') {
                ++p;
            } else if (*p == '\n') {
                if (!SplitLine()) {
                    stopped = true;
                    break;
                }
                ++count;
                ++p;
            } else {
                DWORD run = static_cast<DWORD>(std::strcspn(p, "\r\n"));
                if (!InsertChars(p, run)) {
                    stopped = true;
                    break;
                }
                count += run;
                p += run;
            }
        }
    }
    std::free(chunk);
    ShareCloseFile(descriptor);
    return count;
}

int insert_file() {
    if (pwinCurrent == nullptr) {
        return 0;
    }
    char initial[PATH_NAME_SIZE];
    if (getcwd(initial, sizeof initial) == nullptr) {
        initial[0] = '\0';
    }
    FileDialogRequest request{
        EditorString(IDS_INSERT_FILE), ModeFileFilter(), initial, nullptr, "SCR", true};
    char chosen[PATH_NAME_SIZE];
    if (!Ui().OpenFileDialog(request, chosen, sizeof chosen) || chosen[0] == '\0') {
        return 0;
    }
    WaitCursor wait;
    long count = InsertFileText(chosen);
    if (count < 0) {
        EditorWarning(IDS_UNABLE_TO_OPEN, chosen);
        return 0;
    }
    RenumberIfNeeded();
    PushUndo(U_INSTEXT, nullptr, static_cast<DWORD>(count));
    ++pbufCurrent->changes;
    return 1;
}

int WriteBlockFile(const char* path) {
    // Written beside the file and renamed over it, so that a failure leaves any old file.
    char target[PATH_NAME_SIZE];
    if (!FullPathName(path, target, sizeof target) || IsDirectory(target)) {
        EditorWarning(IDS_CREATE_OUTPUT_ERROR);
        return 0;
    }
    NormalizeBlock();
    ReplaceFileStep failed = ReplaceFileStep::None;
    auto writeBlock = [](int descriptor) { return WriteBlockText(descriptor) != 0; };
    if (ReplaceFileContent(target, writeBlock, {0666}, &failed)) {
        return 1;
    }
    EditorWarning(failed == ReplaceFileStep::Write   ? IDS_DISK_FULL
                  : failed == ReplaceFileStep::Close ? IDS_CLOSE_OUTPUT_ERROR
                                                     : IDS_CREATE_OUTPUT_ERROR);
    return 0;
}

int write_block() {
    if (pwinCurrent == nullptr || !pwinCurrent->marking) {
        return 0;
    }
    char initial[PATH_NAME_SIZE];
    if (getcwd(initial, sizeof initial) == nullptr) {
        initial[0] = '\0';
    }
    FileDialogRequest request{
        EditorString(IDS_WRITE_BLOCK), ScriptFileFilter(), initial, nullptr, "SCR", false};
    char chosen[PATH_NAME_SIZE];
    for (;;) {
        if (!Ui().OpenFileDialog(request, chosen, sizeof chosen) || chosen[0] == '\0') {
            return 0;
        }
        bool cancelled = false;
        if (ConfirmReplace(chosen, cancelled)) {
            break;
        }
        if (cancelled) {
            return 0;
        }
    }
    WaitCursor wait;
    if (!WriteBlockFile(chosen)) {
        StatusMessage(IDS_WRITE_FAILED);
        return 0;
    }
    ClearStatus();
    return 1;
}

int revert() {
    Buffer* buffer = pbufCurrent;
    if (buffer == nullptr) {
        return 0;
    }
    if (buffer->state & BS_MODIFIED) {
        UiAnswer answer = EditorMessageBox(
            IDS_ABANDON_CHANGES, buffer->pathName[0] ? buffer->pathName : pwinCurrent->title,
            UiButtons::OkCancel, UiIcon::Warning);
        if (answer != UiAnswer::Ok) {
            StatusMessage(IDS_COMMAND_CANCELLED);
            return 0;
        }
    }
    if (buffer->pathName[0] == '\0') {
        return 0;
    }
    // The buffer's own lock would keep the file from being read again.
    bool hadLock = buffer->lockHandle > 0;
    if (hadLock) {
        UnlockFile(buffer);
    }
    int probe =
        ShareOpenFile(buffer->pathName, O_RDONLY | O_NONBLOCK, ShareMode::Exclusive, nullptr);
    if (probe < 0) {
        EditorWarning(IDS_CANT_OPEN, buffer->pathName);
        if (hadLock) {
            LockBuffer(buffer);
        }
        return 0;
    }
    ShareCloseFile(probe);
    WaitCursor wait;
    if (!RereadBuffer(buffer)) {
        if (hadLock && buffer->lockHandle <= 0) {
            LockBuffer(buffer);
        }
        return 0;
    }
    if (hadLock && buffer->lockHandle <= 0) {
        LockBuffer(buffer);
    }
    buffer->state &= static_cast<WORD>(~BS_MODIFIED);
    ResetPositions(buffer);
    return 1;
}
