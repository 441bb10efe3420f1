// The editor's diagnostic trace channel for internal consistency failures. It is compiled in
// but disabled: nothing reaches the user. Tests may install a sink to see the traces.
#pragma once

using EditorTraceSink = void (*)(const char* text);

// Null (the default) disables the channel.
void SetEditorTraceSink(EditorTraceSink sink);
void EditorTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
