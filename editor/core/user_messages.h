// Shorthands for the messages the core shows: message boxes captioned with the editor's
// title, the status line, and the out-of-memory report.
#pragma once

#include "editor/core/editor_strings.h"
#include "editor/core/ui_services.h"

// A message box with the string resource formatted with an optional argument.
UiAnswer EditorMessageBox(UINT id, const char* argument, UiButtons buttons, UiIcon icon);
// The usual warning: OK button, warning icon.
void EditorWarning(UINT id, const char* argument = nullptr);
void StatusMessage(UINT id, const char* argument = nullptr, bool repaintNow = false);
void ClearStatus();
void ReportOutOfMemory();
// A beep with a status message: the refusal of an edit.
void RefuseEdit(UINT id);
