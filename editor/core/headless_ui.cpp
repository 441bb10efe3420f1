#include "editor/core/headless_ui.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "editor/core/edit_window.h"
#include "platform/ui/message_box_answer.h"

namespace {

HeadlessUi defaultUi;
EditorUi* currentUi = nullptr;

UINT BoxType(UiButtons buttons) {
    using namespace farvane::ui;
    switch (buttons) {
        case UiButtons::OkCancel:
            return MB_OKCANCEL;
        case UiButtons::YesNo:
            return MB_YESNO;
        case UiButtons::YesNoCancel:
            return MB_YESNOCANCEL;
        case UiButtons::Ok:
            break;
    }
    return MB_OK;
}

int ButtonId(UiAnswer answer) {
    using namespace farvane::ui;
    switch (answer) {
        case UiAnswer::Cancel:
            return IDCANCEL;
        case UiAnswer::Yes:
            return IDYES;
        case UiAnswer::No:
            return IDNO;
        case UiAnswer::Ok:
            break;
    }
    return IDOK;
}

UiAnswer AnswerOf(int id) {
    using namespace farvane::ui;
    return id == IDCANCEL ? UiAnswer::Cancel
           : id == IDYES  ? UiAnswer::Yes
           : id == IDNO   ? UiAnswer::No
                          : UiAnswer::Ok;
}

}  // namespace

EditorUi& Ui() {
    return currentUi != nullptr ? *currentUi : defaultUi;
}

void SetEditorUi(EditorUi* ui) {
    currentUi = ui;
}

int HeadlessUi::LoadScript(const std::string& script) {
    std::istringstream lines(script);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::string word = line.substr(0, line.find(' '));
        std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
        if (word == "answer" && rest == "ok") {
            QueueAnswer(UiAnswer::Ok);
        } else if (word == "answer" && rest == "cancel") {
            QueueAnswer(UiAnswer::Cancel);
        } else if (word == "answer" && rest == "yes") {
            QueueAnswer(UiAnswer::Yes);
        } else if (word == "answer" && rest == "no") {
            QueueAnswer(UiAnswer::No);
        } else if (word == "path" && !rest.empty()) {
            QueuePath(rest);
        } else if (word == "cancel" && rest.empty()) {
            QueuePath("");
        } else if (word == "input-waiting" && (rest == "on" || rest == "off")) {
            inputWaiting = rest == "on";
        } else if (word == "clipboard") {
            SetClipboardText(rest.c_str(), rest.size());
        } else {
            return number;
        }
    }
    return 0;
}

void HeadlessUi::Clear() {
    answers_.clear();
    paths_.clear();
    searches_.clear();
    gotoLines_.clear();
    confirmOpen = false;
    confirmQuestion.clear();
    messages.clear();
    dialogs.clear();
    statusHistory.clear();
    status.clear();
    windowLog.clear();
    beeps = 0;
    waitCursorDepth = 0;
    waitCursorUses = 0;
}

bool HeadlessUi::Showed(const std::string& text) const {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const ShownMessage& shown) { return shown.text == text; });
}

bool HeadlessUi::StatusShowed(const std::string& text) const {
    return std::find(statusHistory.begin(), statusHistory.end(), text) != statusHistory.end();
}

UiAnswer HeadlessUi::MessageBox(const char* text, const char* caption, UiButtons buttons,
                                UiIcon icon, bool systemModal) {
    // The windowing layer's policy for boxes that nobody answers.
    UINT type = BoxType(buttons);
    int scripted = 0;
    if (farvane::ui::MessageBoxAsks(type) && !answers_.empty()) {
        scripted = ButtonId(answers_.front());
        answers_.pop_front();
    }
    UiAnswer answer = AnswerOf(farvane::ui::UnattendedMessageBoxAnswer(type, scripted));
    messages.push_back({text, caption, buttons, icon, systemModal, answer});
    return answer;
}

void HeadlessUi::SetStatus(const char* text, bool) {
    status = text;
    statusHistory.push_back(status);
}

void HeadlessUi::ClearStatus() {
    status.clear();
    statusHistory.push_back(status);
}

void HeadlessUi::BeginWaitCursor() {
    ++waitCursorDepth;
    ++waitCursorUses;
}

int HeadlessUi::AnswerDialog(const FileDialogRequest& request, char* path, std::size_t size) {
    std::string answer;
    if (!paths_.empty()) {
        answer = paths_.front();
        paths_.pop_front();
    }
    dialogs.push_back({request.title ? request.title : "", request.filter ? request.filter : "",
                       request.initialDirectory ? request.initialDirectory : "", answer});
    if (answer.empty() || answer.size() >= size) {
        return 0;
    }
    std::memcpy(path, answer.c_str(), answer.size() + 1);
    return 1;
}

int HeadlessUi::OpenFileDialog(const FileDialogRequest& request, char* path, std::size_t size) {
    return AnswerDialog(request, path, size);
}

int HeadlessUi::SaveFileDialog(const FileDialogRequest& request, char* path, std::size_t size) {
    return AnswerDialog(request, path, size);
}

int HeadlessUi::SetClipboardText(const char* text, std::size_t length) {
    clipboard.assign(text, length);
    clipboardHasText = true;
    return 1;
}

long HeadlessUi::GetClipboardText(char* text, std::size_t size) {
    if (!clipboardHasText) {
        return -1;
    }
    if (size > 0) {
        std::size_t copied = std::min(size - 1, clipboard.size());
        std::memcpy(text, clipboard.data(), copied);
        text[copied] = '\0';
    }
    return static_cast<long>(clipboard.size());
}

int HeadlessUi::CreateDocumentWindow(EditWindow* window, bool activate) {
    window->view = this;
    windowLog.push_back("create " + std::string(window->title));
    if (activate) {
        ActivateDocumentWindow(window);
    }
    return 1;
}

void HeadlessUi::CloseDocumentWindow(EditWindow* window) {
    windowLog.push_back("close " + std::string(window->title));
    FreeEditWindow(window);
}

void HeadlessUi::SetWindowTitle(EditWindow* window, const char* title) {
    windowLog.push_back("title " + std::string(title));
    (void)window;
}

void HeadlessUi::ActivateDocumentWindow(EditWindow* window) {
    windowLog.push_back("activate " + std::string(window->title));
    SetCurrentWindow(window);
}

int HeadlessUi::AnswerSearch(SearchDialogData& data, bool replace) {
    lastSearchDialog = data;
    if (searches_.empty()) {
        return 0;
    }
    SearchAnswer answer = searches_.front();
    searches_.pop_front();
    if (!answer.ok) {
        return 0;
    }
    std::snprintf(data.pattern, sizeof data.pattern, "%s", answer.pattern.c_str());
    if (replace) {
        std::snprintf(data.replacement, sizeof data.replacement, "%s", answer.replacement.c_str());
    }
    if (answer.matchCase >= 0) {
        data.matchCase = answer.matchCase;
    }
    if (answer.regularExpression >= 0) {
        data.regularExpression = answer.regularExpression;
    }
    if (replace && answer.confirmChanges >= 0) {
        data.confirmChanges = answer.confirmChanges;
    }
    data.backward = !replace && answer.backward;
    return 1;
}

int HeadlessUi::FindDialog(SearchDialogData& data) {
    return AnswerSearch(data, false);
}

int HeadlessUi::ReplaceDialog(SearchDialogData& data) {
    return AnswerSearch(data, true);
}

void HeadlessUi::ShowConfirmDialog(const char* question, BOOL confirm) {
    confirmOpen = true;
    confirmQuestion = question;
    confirmChanges = confirm != 0;
}

void HeadlessUi::CloseConfirmDialog() {
    confirmOpen = false;
}

int HeadlessUi::GotoLineDialog(const char* initial, const GotoLineAccept& accept) {
    lastGotoLineInitial = initial;
    lastGotoLineResult = 0;
    while (!gotoLines_.empty()) {
        std::string text = gotoLines_.front();
        gotoLines_.pop_front();
        if (accept(text.c_str())) {
            lastGotoLineResult = 1;
            break;
        }
    }
    gotoLines_.clear();
    return lastGotoLineResult;
}
