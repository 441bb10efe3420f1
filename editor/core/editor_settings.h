// Editor-wide settings that the text core reads, with their defaults. The preferences
// dialogs and the saved-state file change them.
#pragma once

#include "platform/kernel/win_types.h"

struct EditorSettings {
    // Document defaults, copied into each new buffer.
    int tabSize = 8;
    BOOL expandTabs = 0;
    BOOL autoIndent = 0;
    BOOL wordWrap = 0;
    int rightMargin = 65;

    BOOL removeTrailingSpaces = 0;
    BOOL makeBackups = 1;
    DWORD autosaveInterval = 0;  // milliseconds; 0 = off
    DWORD autosaveChanges = 0;   // 0 = off
    BOOL fileLocking = 0;
    int undoLevels = 100;  // 0 to 300
};

enum class EditorMode { Normal, ScriptBuilder, Print };

extern EditorSettings editorSettings;
extern EditorMode editorMode;
// Set while a macro plays back: undo records are flagged and serials are not advanced.
extern BOOL fMacroPlayback;

// The editor's title, also the caption of its message boxes.
const char* EditorTitle();
