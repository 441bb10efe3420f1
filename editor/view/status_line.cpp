#include "editor/view/status_line.h"

#include <cstdio>

#include "editor/core/command_state.h"
#include "editor/core/editor_strings.h"

std::string StatusLineText(const EditWindow* window, int widthInCharacters, bool recording,
                           const char* message) {
    if (window == nullptr) {
        return "";
    }
    std::string text;
    if (message != nullptr && message[0] != '\0') {
        text = message;
    } else {
        char position[64];
        std::snprintf(position, sizeof position, EditorString(IDS_STATUS_POSITION),
                      static_cast<unsigned long>(window->dot.lpln->number + 1),
                      static_cast<unsigned>(window->cursorColumn + window->hscroll + 1));
        text = position;
        if (window->buffer->state & BS_MODIFIED) {
            text += EditorString(IDS_STATUS_MODIFIED);
        }
        int padTo = widthInCharacters - 15;
        if (padTo > STATUS_LINE_WIDTH) {
            padTo = STATUS_LINE_WIDTH;
        }
        if (static_cast<int>(text.size()) < padTo) {
            text.append(static_cast<std::size_t>(padTo) - text.size(), ' ');
        }
        text += EditorString((window->buffer->options & BF_WORDWRAP) ? IDS_STATUS_WRAP
                                                                     : IDS_STATUS_NO_WRAP);
        text += EditorString(fOverwrite ? IDS_STATUS_OVERWRITE : IDS_STATUS_INSERT);
        if (recording) {
            text += EditorString(IDS_STATUS_RECORDING);
        }
    }
    if (text.size() > STATUS_LINE_WIDTH) {
        text.resize(STATUS_LINE_WIDTH);
    }
    text.append(STATUS_LINE_WIDTH - text.size(), ' ');
    return text;
}

void StatusLine::SetMessage(const char* text) {
    message_ = " ";
    message_ += std::string(text).substr(0, 126);
}

std::string StatusLine::Paint(const EditWindow* window, int widthInCharacters, bool recording) {
    std::string text = StatusLineText(window, widthInCharacters, recording, message_.c_str());
    message_.clear();
    return text;
}
