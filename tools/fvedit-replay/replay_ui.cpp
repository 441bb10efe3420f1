#include "replay_ui.h"

#include <cstring>

#include "editor/core/editor_strings.h"
#include "editor/view/display_update.h"

namespace {

// Status texts that say a command did not do what it was asked.
bool FailureStatus(const char* text) {
    const UINT failures[] = {IDS_PATTERN_NOT_FOUND, IDS_NO_PATTERN, IDS_BAD_PATTERN,
                             IDS_NOTHING_TO_UNDO};
    for (UINT id : failures) {
        if (std::strcmp(text, EditorString(id)) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

void ReplayUi::BeginCommand() {
    failure_.clear();
    beeped_ = false;
}

void ReplayUi::Fail(const std::string& text) {
    if (failure_.empty()) {
        failure_ = text;
    }
}

UiAnswer ReplayUi::MessageBox(const char* text, const char* caption, UiButtons buttons, UiIcon icon,
                              bool systemModal) {
    if (icon == UiIcon::Error || (icon == UiIcon::Warning && buttons == UiButtons::Ok)) {
        Fail(text);
    }
    return HeadlessUi::MessageBox(text, caption, buttons, icon, systemModal);
}

void ReplayUi::SetStatus(const char* text, bool repaintNow) {
    if (beeped_ || FailureStatus(text)) {
        Fail(text);
    }
    HeadlessUi::SetStatus(text, repaintNow);
}

void ReplayUi::Beep() {
    beeped_ = true;
    HeadlessUi::Beep();
}

void ReplayUi::UpdateDisplay() {
    DisplayUpdate();
}
