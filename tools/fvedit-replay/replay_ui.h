// The user interface of a replay: headless, with the display update run when a command asks
// for it, and a record of what counts as a command's failure.
#pragma once

#include <string>

#include "editor/core/headless_ui.h"

class ReplayUi : public HeadlessUi {
public:
    // Marks the start of a command: failures are counted from here.
    void BeginCommand();
    // The first failure shown since BeginCommand (a refusal with a beep, an error or warning
    // box, or a search that found nothing), or "".
    const std::string& Failure() const { return failure_; }

    UiAnswer MessageBox(const char* text, const char* caption, UiButtons buttons, UiIcon icon,
                        bool systemModal) override;
    void SetStatus(const char* text, bool repaintNow) override;
    void Beep() override;
    void UpdateDisplay() override;

private:
    void Fail(const std::string& text);

    std::string failure_;
    bool beeped_ = false;
};
