#include "editor/core/script_saved.h"

#include "platform/kernel/notification.h"

namespace {

// The suite's main program and its terminal program listen under their window class names.
constexpr const char* kListeningPrograms[] = {"WINFV32", "TERMWindow"};
constexpr const char* kScriptSaveMessage = "SCRIPTSAVE";

}  // namespace

void NotifyScriptSaved() {
    for (const char* program : kListeningPrograms) {
        NotificationPost(program, kScriptSaveMessage);
    }
}
