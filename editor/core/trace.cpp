#include "editor/core/trace.h"

#include <cstdarg>
#include <cstdio>

namespace {
EditorTraceSink traceSink = nullptr;
}

void SetEditorTraceSink(EditorTraceSink sink) {
    traceSink = sink;
}

void EditorTrace(const char* format, ...) {
    if (traceSink == nullptr) {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    traceSink(text);
}
