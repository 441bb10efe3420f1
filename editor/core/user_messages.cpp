#include "editor/core/user_messages.h"

#include <cstdio>

#include "editor/core/editor_settings.h"

namespace {

void Format(char* text, std::size_t size, UINT id, const char* argument) {
    if (argument != nullptr) {
        std::snprintf(text, size, EditorString(id), argument);
    } else {
        std::snprintf(text, size, "%s", EditorString(id));
    }
}

}  // namespace

UiAnswer EditorMessageBox(UINT id, const char* argument, UiButtons buttons, UiIcon icon) {
    char text[4200];
    Format(text, sizeof text, id, argument);
    return Ui().MessageBox(text, EditorTitle(), buttons, icon, false);
}

void EditorWarning(UINT id, const char* argument) {
    EditorMessageBox(id, argument, UiButtons::Ok, UiIcon::Warning);
}

void StatusMessage(UINT id, const char* argument, bool repaintNow) {
    char text[4200];
    Format(text, sizeof text, id, argument);
    Ui().SetStatus(text, repaintNow);
}

void ClearStatus() {
    Ui().ClearStatus();
}

void ReportOutOfMemory() {
    Ui().MessageBox(EditorString(IDS_INSUFFICIENT_MEMORY), EditorTitle(), UiButtons::Ok,
                    UiIcon::Error, true);
}

void RefuseEdit(UINT id) {
    Ui().Beep();
    StatusMessage(id);
}
