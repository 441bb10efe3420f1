#include "editor/core/editor_settings.h"

#include "editor/core/editor_strings.h"

EditorSettings editorSettings;
EditorMode editorMode = EditorMode::Normal;
BOOL fMacroPlayback = 0;

const char* EditorTitle() {
    return EditorString(editorMode == EditorMode::ScriptBuilder ? IDS_SCRIPT_BUILDER_TITLE
                                                                : IDS_TITLE);
}
