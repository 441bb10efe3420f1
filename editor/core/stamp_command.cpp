// The Time/Date command: inserts the local date and time at the dot.
#include <ctime>

#include "editor/core/editing_commands.h"
#include "editor/core/lines.h"
#include "editor/core/stamp_text.h"
#include "editor/core/text_primitives.h"
#include "editor/core/undo.h"

namespace {

std::time_t SystemTime() {
    return std::time(nullptr);
}

}  // namespace

std::time_t (*stampClock)() = SystemTime;

void stamp() {
    ReplaceOrUnmarkBlock();
    char text[128];
    FormatStampText(stampClock(), text, sizeof text);
    DWORD count = InsertText(text);
    PushUndo(U_INSTEXT, nullptr, count);
    ++pbufCurrent->changes;
}
