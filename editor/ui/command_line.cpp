#include "editor/ui/command_line.h"

#include <glob.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "editor/core/command_table.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_strings.h"
#include "editor/core/ui_services.h"
#include "editor/ui/ui_state.h"
#include "platform/ui/interprocess.h"

namespace fvedit {

namespace {

inline constexpr const char* TXT_REPLACE_CONTENTS = "Replace contents of existing buffer?";

// Options start with '-' or '/'. On this system '/' also starts every absolute path, so an
// argument starting with '/' is an option only when it holds no other '/' and names no file.
bool IsOption(const std::string& argument) {
    if (argument.size() < 2) {
        return false;
    }
    if (argument[0] == '-') {
        return true;
    }
    return argument[0] == '/' && argument.find('/', 1) == std::string::npos &&
           !PathExists(argument.c_str());
}

bool IsModeOption(const std::string& argument) {
    if (!IsOption(argument)) {
        return false;
    }
    char c = static_cast<char>(argument[1] | 0x20);
    return c == 'p' || c == 'b' || c == 'd';
}

EditWindow* WindowOfFile(const char* path, bool ignoreCase) {
    for (EditWindow* window = pwinFirst; window != nullptr; window = window->next) {
        const char* name = window->buffer->pathName;
        if (ignoreCase ? strcasecmp(name, path) == 0 : std::strcmp(name, path) == 0) {
            return window;
        }
    }
    return nullptr;
}

struct Processing {
    bool reloading = false;
    EditWindow* firstOpened = nullptr;
    bool stop = false;
};

void OpenNamedFile(const std::string& argument, Processing& state) {
    char full[PATH_NAME_SIZE];
    if (!FullPathName(argument.c_str(), full, sizeof full)) {
        Ui().MessageBox(EditorString(IDS_INVALID_FILE_NAME), EditorTitle(), UiButtons::Ok,
                        UiIcon::Warning, false);
        return;
    }
    if (editorMode == EditorMode::Print) {
        if (OpenDocument(full, 0, 0, false) && pwinCurrent != nullptr) {
            EditWindow* window = pwinCurrent;
            RunCommand(FindCommandByName("print"));
            Ui().CloseDocumentWindow(window);
        }
        return;
    }
    if (EditWindow* open = WindowOfFile(full, state.reloading)) {
        if (state.reloading) {
            Ui().ActivateDocumentWindow(open);
            SetCurrentWindow(open);
            if (Ui().MessageBox(TXT_REPLACE_CONTENTS, EditorTitle(), UiButtons::YesNo,
                                UiIcon::Question, false) == UiAnswer::Yes) {
                revert();
            }
        }
        return;
    }
    // A file that cannot be opened has been reported; the other names are still opened.
    if (OpenDocument(full, 0, 0, true) && state.firstOpened == nullptr) {
        state.firstOpened = pwinCurrent;
    }
}

void OpenMatchingFiles(const std::string& pattern, Processing& state) {
    glob_t matches{};
    if (glob(pattern.c_str(), 0, nullptr, &matches) == 0) {
        for (std::size_t i = 0; i < matches.gl_pathc && !state.stop; ++i) {
            if (!IsDirectory(matches.gl_pathv[i])) {
                OpenNamedFile(matches.gl_pathv[i], state);
            }
        }
    }
    globfree(&matches);
}

void ApplyOption(const std::string& argument, Processing& state) {
    if (editorMode == EditorMode::Print) {
        return;
    }
    char c = static_cast<char>(argument[1] | 0x20);
    if (c == 'g' && pwinCurrent != nullptr) {
        long line = std::strtol(argument.c_str() + 2, nullptr, 10);
        MoveToLineNumber(line > 1 ? static_cast<DWORD>(line - 1) : 0);
        pwinCurrent->redraw |= RD_REFRAME;
    } else if (c == 'r') {
        state.reloading = true;
    }
}

}  // namespace

EditorMode ModeOfCommandLine(const char* commandLine) {
    std::string head(commandLine != nullptr ? commandLine : "");
    head = head.substr(0, MODE_TEST_LENGTH);
    std::vector<std::string> arguments = SplitCommandLine(head);
    if (arguments.empty() || !IsOption(arguments[0])) {
        return EditorMode::Normal;
    }
    char c = static_cast<char>(arguments[0][1] | 0x20);
    return c == 'p' ? EditorMode::Print : c == 'b' ? EditorMode::ScriptBuilder : EditorMode::Normal;
}

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        if (i >= text.size()) {
            break;
        }
        if (text[i] == '"') {
            std::size_t close = text.find('"', i + 1);
            std::size_t end = close == std::string::npos ? text.size() : close;
            arguments.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') {
            ++end;
        }
        arguments.push_back(text.substr(i, end - i));
        i = end;
    }
    return arguments;
}

void ProcessCommandLine(const char* commandLine) {
    std::string text(commandLine != nullptr ? commandLine : "");
    text = text.substr(0, COMMAND_LINE_LIMIT);
    std::vector<std::string> arguments = SplitCommandLine(text);
    std::size_t first = !arguments.empty() && IsModeOption(arguments[0]) ? 1 : 0;
    Processing state;
    for (std::size_t i = first; i < arguments.size() && !state.stop; ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty()) {
            continue;
        }
        if (IsOption(argument)) {
            ApplyOption(argument, state);
        } else if (argument.find_first_of("*?") != std::string::npos) {
            OpenMatchingFiles(argument, state);
        } else {
            OpenNamedFile(argument, state);
        }
    }
    if (editorMode != EditorMode::Print && state.firstOpened != nullptr) {
        Ui().ActivateDocumentWindow(state.firstOpened);
    }
    // Opening and the g option moved the current window's view: show it.
    if (editorMode != EditorMode::Print && pwinCurrent != nullptr) {
        pwinCurrent->redraw |= RD_ALL | RD_VSCROLL | RD_HSCROLL;
        Ui().UpdateDisplay();
    }
}

void AcceptHandedOverCommandLine(WPARAM ticket) {
    std::string text;
    if (farvane::ui::TakePostedText(ticket, &text)) {
        ProcessCommandLine(text.c_str());
    }
}

std::string CommandLineWithFullPaths(const std::string& commandLine) {
    std::string result;
    for (const std::string& argument : SplitCommandLine(commandLine)) {
        std::string piece = argument;
        char full[PATH_NAME_SIZE];
        if (!IsOption(argument) && FullPathName(argument.c_str(), full, sizeof full)) {
            piece = full;
        }
        if (!result.empty()) {
            result += ' ';
        }
        result += piece.find_first_of(" \t") != std::string::npos ? '"' + piece + '"' : piece;
    }
    return result;
}

}  // namespace fvedit
