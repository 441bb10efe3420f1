#include "editor/core/autosave.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "editor/core/edit_window.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_io.h"
#include "editor/core/file_write.h"
#include "editor/core/stamp_text.h"
#include "editor/core/user_messages.h"
#include "platform/kernel/tick.h"

namespace {

// Opens the buffer's autosave file for rewriting, choosing (and creating) its name the first
// time. Returns the descriptor or -1.
int OpenAutosaveFile(Buffer* buffer) {
    if (buffer->autosaveName[0] != '\0') {
        int descriptor = open(buffer->autosaveName, O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
        if (descriptor >= 0) {
            return descriptor;
        }
        buffer->autosaveName[0] = '\0';  // gone meanwhile: take a fresh name
    }
    const char* folder = StateFolder();
    if (folder[0] == '\0') {
        return -1;
    }
    return CreateUniqueFile(folder, EditorString(IDS_AUTOSAVE_EXTENSION), 0600,
                            buffer->autosaveName, sizeof buffer->autosaveName);
}

int WriteHeader(Buffer* buffer, int descriptor) {
    char stamp[64];
    FormatStampText(std::time(nullptr), stamp, sizeof stamp);
    const char* name =
        buffer->pathName[0] != '\0' ? buffer->pathName : EditorString(IDS_AUTOSAVE_UNTITLED);
    char header[PATH_NAME_SIZE + 128];
    int n =
        std::snprintf(header, sizeof header - 2, EditorString(IDS_AUTOSAVE_HEADER), name, stamp);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof header - 2) {
        return 0;
    }
    header[n] = '\r';
    header[n + 1] = '\n';
    std::size_t size = static_cast<std::size_t>(n) + 2;
    return WriteAll(descriptor, header, size) == size;
}

bool AutosaveDue(const Buffer* buffer, DWORD now) {
    return buffer->changes != 0 && now - buffer->lastSaveTick > editorSettings.autosaveInterval;
}

}  // namespace

int Autosave(Buffer* buffer) {
    StatusMessage(IDS_AUTOSAVING, nullptr, true);
    int descriptor = OpenAutosaveFile(buffer);
    if (descriptor < 0) {
        buffer->autosaveName[0] = '\0';
        EditorWarning(IDS_AUTOSAVE_CREATE_ERROR);
        return 0;
    }
    if (!WriteHeader(buffer, descriptor) || !WriteLines(buffer, descriptor)) {
        close(descriptor);
        DeleteAutosaveFile(buffer);
        EditorWarning(IDS_DISK_FULL);
        return 0;
    }
    if (close(descriptor) != 0) {
        EditorWarning(IDS_CLOSE_OUTPUT_ERROR);
        return 0;
    }
    buffer->changes = 0;
    buffer->lastSaveTick = GetTickCount();
    ClearStatus();
    return 1;
}

void CheckAutosave() {
    if (editorSettings.autosaveChanges != 0 && pbufCurrent != nullptr &&
        pbufCurrent->changes >= editorSettings.autosaveChanges && !Ui().InputWaiting()) {
        Autosave(pbufCurrent);
    }
    if (editorSettings.autosaveInterval == 0) {
        return;
    }
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (Ui().InputWaiting()) {
            return;
        }
        if (AutosaveDue(window->buffer, GetTickCount())) {
            Autosave(window->buffer);
        }
    }
}

void DeleteAutosaveFile(Buffer* buffer) {
    if (buffer->autosaveName[0] != '\0') {
        unlink(buffer->autosaveName);
        buffer->autosaveName[0] = '\0';
    }
}
