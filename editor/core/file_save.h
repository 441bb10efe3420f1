// Saving buffers: through a temporary file beside the file, which replaces it in one rename,
// with an optional backup of the previous contents; Save As, Save All, the save question
// before closing, and the backups switch.
#pragma once

#include "editor/core/edit_window.h"

// Writes the buffer to its path. Returns 1 (also when there was nothing to save) or 0. A
// failure leaves the file on disk and the buffer (modified bit, undo stack, autosave file)
// as they were.
int SaveBuffer(Buffer* buffer);
// Asks for a name and saves the window's buffer under it. Returns 1, or 0 (also cancelled).
int SaveAs(EditWindow* window);
// Saves the current buffer (through Save As when untitled).
int save_file();
// Saves every modified buffer shown in a window. Returns 1 when all succeeded.
int save_all();
// Saves the current buffer and, when that succeeded, closes its window.
int save_file_close_window();
// The save question before closing window (null: the editor is closing). Returns 1 when the
// close may proceed.
int AskToSave(Buffer* buffer, EditWindow* closing);
// The question for every buffer in turn, at exit; stops at the first Cancel or failed save.
int AskToSaveAll();
void toggle_backup();

// The file-type filter of the editor's mode for the open and save dialogs.
const char* ModeFileFilter();
// The filter for scripts, used by Write Block in every mode.
const char* ScriptFileFilter();
