#include "editor/core/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/autosave.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/file_lock.h"
#include "editor/core/file_write.h"
#include "editor/core/recent_files.h"
#include "editor/core/script_saved.h"
#include "editor/core/undo.h"
#include "editor/core/user_messages.h"
#include "editor/core/wait_cursor.h"
#include "platform/kernel/tick.h"

namespace {

void Relock(Buffer* buffer, bool hadLock) {
    if (hadLock && !LockBuffer(buffer)) {
        EditorWarning(IDS_LOCK_ERROR);
    }
}

// The file a save writes: the target of a symbolic link, so that the link stays a link.
void ResolveTarget(const char* path, char* target) {
    char resolved[PATH_MAX];
    if (realpath(path, resolved) != nullptr && std::strlen(resolved) < PATH_NAME_SIZE) {
        std::strcpy(target, resolved);
    } else {
        std::snprintf(target, PATH_NAME_SIZE, "%s", path);
    }
}

int FailSave() {
    StatusMessage(IDS_SAVE_FAILED);
    return 0;
}

int WriteNewFile(Buffer* buffer, const char* target) {
    int descriptor = open(target, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        EditorWarning(IDS_CREATE_OUTPUT_ERROR);
        return FailSave();
    }
    if (!FinishBufferFile(buffer, descriptor, target)) {
        return FailSave();
    }
    return 1;
}

// Puts the written temporary file in the place of target. With backups, the previous file is
// first linked to the backup name, so that target names a complete file at every moment.
int ReplaceWithTemporary(Buffer* buffer, const char* target, const char* temporary) {
    bool hadLock = buffer->lockHandle > 0;
    if (hadLock) {
        UnlockFile(buffer);
    }
    char backup[PATH_NAME_SIZE];
    bool movedToBackup = false;
    if (editorSettings.makeBackups) {
        if (!MakeBackupName(target, backup, sizeof backup)) {
            EditorWarning(IDS_BACKUP_RENAME_ERROR);
            Relock(buffer, hadLock);
            return 0;
        }
        unlink(backup);
        if (link(target, backup) != 0) {
            if (rename(target, backup) != 0) {
                EditorWarning(IDS_BACKUP_RENAME_ERROR);
                Relock(buffer, hadLock);
                return 0;
            }
            movedToBackup = true;
        }
    }
    if (rename(temporary, target) != 0) {
        if (movedToBackup) {
            rename(backup, target);
        }
        EditorWarning(IDS_TEMP_RENAME_ERROR);
        Relock(buffer, hadLock);
        return 0;
    }
    return 1;
}

int WriteOverExistingFile(Buffer* buffer, const char* target, const struct stat& info) {
    if (access(target, W_OK) != 0) {
        EditorWarning(IDS_CREATE_OUTPUT_ERROR);
        return FailSave();
    }
    char folder[PATH_NAME_SIZE];
    char temporary[PATH_NAME_SIZE];
    DirectoryPart(target, folder, sizeof folder);
    int descriptor = CreateUniqueFile(folder, EditorString(IDS_TEMP_EXTENSION), 0600, temporary,
                                      sizeof temporary);
    if (descriptor < 0) {
        EditorWarning(IDS_CREATE_OUTPUT_ERROR);
        return FailSave();
    }
    // The new file keeps the old one's permissions (and owner, where allowed).
    if (fchmod(descriptor, info.st_mode & 07777) != 0 ||
        fchown(descriptor, info.st_uid, info.st_gid) != 0) {
        // Not fatal: the file is still written with the permissions it could get.
    }
    if (!FinishBufferFile(buffer, descriptor, temporary)) {
        return FailSave();
    }
    return ReplaceWithTemporary(buffer, target, temporary);
}

int WriteSavedFile(Buffer* buffer) {
    char target[PATH_NAME_SIZE];
    ResolveTarget(buffer->pathName, target);
    struct stat info;
    if (stat(target, &info) != 0) {
        return WriteNewFile(buffer, target);
    }
    if (!S_ISREG(info.st_mode)) {
        EditorWarning(IDS_CREATE_OUTPUT_ERROR);
        return FailSave();
    }
    return WriteOverExistingFile(buffer, target, info);
}

EditWindow* FirstWindowOf(Buffer* buffer) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer == buffer) {
            return window;
        }
    }
    return nullptr;
}

int SaveOrSaveAs(Buffer* buffer) {
    if (buffer->pathName[0] != '\0') {
        return SaveBuffer(buffer);
    }
    EditWindow* window = FirstWindowOf(buffer);
    return window != nullptr ? SaveAs(window) : 0;
}

bool ValidFileName(const char* path) {
    const char* name = FileNamePart(path);
    if (name[0] == '\0' || IsDirectory(path)) {
        return false;
    }
    char folder[PATH_NAME_SIZE];
    DirectoryPart(path, folder, sizeof folder);
    return IsDirectory(folder);
}

}  // namespace

const char* ModeFileFilter() {
    return editorMode == EditorMode::ScriptBuilder ? ScriptFileFilter() : "All Files (*.*)|*.*|";
}

const char* ScriptFileFilter() {
    return "Script Files (*.SCR)|*.scr|All Files (*.*)|*.*|";
}

int SaveBuffer(Buffer* buffer) {
    if (!(buffer->state & BS_MODIFIED)) {
        StatusMessage(IDS_NOT_MODIFIED);
        return 1;
    }
    StatusMessage(IDS_WRITING, buffer->pathName, true);
    int saved = 0;
    {
        WaitCursor wait;
        saved = WriteSavedFile(buffer);
        if (saved) {
            buffer->state &= static_cast<WORD>(~BS_MODIFIED);
            if (editorSettings.fileLocking && buffer->lockHandle <= 0 && !LockBuffer(buffer)) {
                EditorWarning(IDS_LOCK_ERROR);
            }
            ClearStatus();
            ResetUndo(buffer);
            buffer->changes = 0;
            buffer->lastSaveTick = GetTickCount();
            DeleteAutosaveFile(buffer);
            NotifyScriptSaved();
        }
    }
    RefreshTitles(buffer);
    return saved;
}

int SaveAs(EditWindow* window) {
    Buffer* buffer = window->buffer;
    char initial[PATH_NAME_SIZE];
    if (buffer->pathName[0] != '\0') {
        DirectoryPart(buffer->pathName, initial, sizeof initial);
    } else if (getcwd(initial, sizeof initial) == nullptr) {
        initial[0] = '\0';
    }
    FileDialogRequest request{
        EditorString(IDS_SAVE_AS), ModeFileFilter(), initial, nullptr, "SCR", false};
    for (;;) {
        char chosen[PATH_NAME_SIZE];
        if (!Ui().SaveFileDialog(request, chosen, sizeof chosen) || chosen[0] == '\0') {
            return 0;
        }
        char full[PATH_NAME_SIZE];
        if (!FullPathName(chosen, full, sizeof full) || !ValidFileName(full)) {
            EditorWarning(IDS_INVALID_FILE_NAME);
            continue;
        }
        if (PathExists(full)) {
            UiAnswer answer = EditorMessageBox(IDS_REPLACE_EXISTING, full, UiButtons::YesNoCancel,
                                               UiIcon::Warning);
            if (answer == UiAnswer::No) {
                continue;
            }
            if (answer != UiAnswer::Yes) {
                return 0;
            }
        }
        // The lock belongs to the old name.
        if (buffer->lockHandle > 0 && std::strcmp(full, buffer->pathName) != 0) {
            UnlockFile(buffer);
        }
        AddToRecentFiles(full);
        std::strcpy(buffer->pathName, full);
        buffer->state |= BS_MODIFIED;
        return SaveBuffer(buffer);
    }
}

int save_file() {
    return pbufCurrent != nullptr ? SaveOrSaveAs(pbufCurrent) : 0;
}

int save_all() {
    int result = 1;
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        if (window->buffer->state & BS_MODIFIED) {
            int saved =
                window->buffer->pathName[0] != '\0' ? SaveBuffer(window->buffer) : SaveAs(window);
            if (!saved) {
                result = 0;
            }
        }
    }
    ClearStatus();
    return result;
}

int save_file_close_window() {
    EditWindow* window = pwinCurrent;
    if (window == nullptr || !save_file()) {
        return 0;
    }
    Ui().CloseDocumentWindow(window);
    return 1;
}

int AskToSave(Buffer* buffer, EditWindow* closing) {
    if (!(buffer->state & BS_MODIFIED)) {
        return 1;
    }
    if (closing != nullptr && buffer->windowCount > 1) {
        return 1;
    }
    char text[PATH_NAME_SIZE + 64];
    if (buffer->pathName[0] != '\0') {
        std::snprintf(text, sizeof text, "%s%s", buffer->pathName,
                      EditorString(IDS_SAVE_BEFORE_CLOSING));
    } else {
        char name[32];
        std::snprintf(name, sizeof name, EditorString(IDS_UNTITLED), buffer->untitledNumber);
        std::snprintf(text, sizeof text, "%s%s", name, EditorString(IDS_SAVE_BEFORE_CLOSING));
        EditWindow* window = closing != nullptr ? closing : FirstWindowOf(buffer);
        if (window != nullptr && window->view != nullptr) {
            Ui().ActivateDocumentWindow(window);
        }
    }
    UiAnswer answer =
        Ui().MessageBox(text, EditorTitle(), UiButtons::YesNoCancel, UiIcon::Question, false);
    if (answer == UiAnswer::Yes) {
        return SaveOrSaveAs(buffer);
    }
    return answer == UiAnswer::No;
}

int AskToSaveAll() {
    for (Buffer* buffer = pbufFirst; buffer != nullptr; buffer = buffer->next) {
        if (!AskToSave(buffer, nullptr)) {
            return 0;
        }
    }
    return 1;
}

void toggle_backup() {
    editorSettings.makeBackups = !editorSettings.makeBackups;
    StatusMessage(editorSettings.makeBackups ? IDS_BACKUPS_ON : IDS_BACKUPS_OFF);
}
