// Editor-wide settings that the text core reads, with their defaults. The preferences
// dialogs and the saved-state file change them.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"

inline constexpr std::size_t KEY_FILE_NAME_SIZE = 128;
inline constexpr std::size_t PRINT_TEMPLATE_SIZE = 128;
inline constexpr std::size_t PRINTER_FACE_SIZE = 32;
// Frame position or width that lets the window system choose.
inline constexpr int FRAME_DEFAULT_POSITION = static_cast<int>(0x80000000u);

// Screen fonts and cursor shapes of the Editor Preferences.
enum ScreenFont : int { FONT_SYSTEM_FIXED = 0, FONT_ANSI_FIXED = 1, FONT_OEM_FIXED = 2 };
enum CursorShape : int { CURSOR_BLOCK = 0, CURSOR_UNDERLINE = 1, CURSOR_VERTICAL_BAR = 2 };

struct EditorSettings {
    // Document defaults, copied into each new buffer.
    int tabSize = 8;
    BOOL expandTabs = 0;
    BOOL autoIndent = 0;
    BOOL wordWrap = 0;
    int rightMargin = 65;

    // The current keyboard configuration file; empty for none. Filled with the default
    // name by ResetEditorSettings (state_file.h).
    char keyFileName[KEY_FILE_NAME_SIZE] = {};

    BOOL removeTrailingSpaces = 0;
    BOOL makeBackups = 1;
    DWORD autosaveInterval = 0;  // milliseconds; 0 = off
    DWORD autosaveChanges = 0;   // 0 = off
    BOOL fileLocking = 0;
    int screenFont = FONT_SYSTEM_FIXED;
    int cursorShape = CURSOR_VERTICAL_BAR;
    BOOL blinkingCursor = 1;
    BOOL typingReplacesSelection = 1;
    BOOL cutCopyCurrentLine = 0;
    BOOL restoreSession = 0;
    int undoLevels = 100;  // 0 to 300
    int keyboardMode = 1;  // 1: menu accelerators enabled

    int frameX = FRAME_DEFAULT_POSITION;
    int frameY = 0;
    int frameWidth = FRAME_DEFAULT_POSITION;
    int frameHeight = 0;
    BOOL frameMaximized = 0;
    BOOL documentsMaximized = 1;

    char printHeader[PRINT_TEMPLATE_SIZE] = "%f %d";
    char printFooter[PRINT_TEMPLATE_SIZE] = "Page %p";
    // Twentieths of a point.
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 720;
    int marginBottom = 720;
    char printerFontFace[PRINTER_FACE_SIZE] = {};
    int printerFontSize = 0;

    // The live search and find-files switches; they are saved with the state.
    BOOL searchMatchCase = 0;
    BOOL searchRegularExpression = 0;
    BOOL searchBackwards = 0;
    BOOL findFilesMatchCase = 0;
    BOOL findFilesRegularExpression = 0;
};

enum class EditorMode { Normal, ScriptBuilder, Print };

extern EditorSettings editorSettings;
extern EditorMode editorMode;
// Set while a macro plays back: undo records are flagged and serials are not advanced.
extern BOOL fMacroPlayback;

// The editor's title, also the caption of its message boxes.
const char* EditorTitle();
