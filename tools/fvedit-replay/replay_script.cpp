#include "replay_script.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "command_names.h"
#include "editor/core/command_state.h"
#include "editor/core/cursor_commands.h"
#include "editor/core/document_input.h"
#include "editor/core/edit_window.h"
#include "editor/core/editing_commands.h"
#include "editor/core/file_compare.h"
#include "editor/core/file_tools_ui.h"
#include "editor/core/find_files.h"
#include "editor/core/find_replace.h"
#include "editor/core/key_table.h"
#include "editor/core/lines.h"
#include "editor/core/macro.h"
#include "editor/core/state_file.h"
#include "editor/view/cell_grid.h"
#include "editor/view/display_update.h"
#include "editor/view/status_line.h"
#include "replay_tools.h"

namespace {

struct Words {
    std::string verb;
    std::string rest;  // everything after the verb and one blank, unchanged
};

Words Split(const std::string& text) {
    std::size_t blank = text.find(' ');
    if (blank == std::string::npos) {
        return {text, ""};
    }
    return {text.substr(0, blank), text.substr(blank + 1)};
}

bool ParseSwitch(const std::string& word, BOOL& value) {
    if (word == "on") {
        value = 1;
        return true;
    }
    if (word == "off") {
        value = 0;
        return true;
    }
    return false;
}

bool ParseCount(const std::string& text, long low, long high, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

bool ValidOptions(const std::string& options, const char* allowed) {
    if (options == "-") {
        return true;
    }
    for (char c : options) {
        if (std::string(allowed).find(c) == std::string::npos) {
            return false;
        }
    }
    return !options.empty();
}

// "replace OPTIONS /PATTERN/REPLACEMENT/": the first character is the delimiter.
bool SplitReplace(const std::string& text, std::string& pattern, std::string& replacement) {
    if (text.size() < 3) {
        return false;
    }
    char delimiter = text[0];
    std::size_t middle = text.find(delimiter, 1);
    if (middle == std::string::npos || text.back() != delimiter || middle == text.size() - 1) {
        return false;
    }
    pattern = text.substr(1, middle - 1);
    replacement = text.substr(middle + 1, text.size() - middle - 2);
    return true;
}

// The texts of a compare's outcome that are results, not failures of the script line.
bool CompareOutcome(const std::string& text) {
    return text == "No differences found" || text.rfind("Reached end of file", 0) == 0;
}

class Runner {
public:
    Runner(ReplayUi& ui, std::ostream& out) : ui_(ui), out_(out) {}
    ~Runner() { SetFileToolsUi(nullptr); }

    // Returns "" when the line ran, else why it could not be run; failure_ tells whether the
    // command itself failed.
    std::string Run(const std::string& text, bool dryRun);

private:
    std::string Set(const std::string& rest, bool dryRun);
    std::string RunCommand(const std::string& verb, const std::string& rest, bool dryRun);
    void Tail() { CommandTail(); }
    std::string Compare(const std::string& rest, bool dryRun);
    std::string FindFiles(const std::string& rest, bool dryRun);
    // Prints the difference dialog's texts and the message boxes shown since the last call.
    void PrintShown();

    ReplayUi& ui_;
    std::ostream& out_;
    ScriptedFileToolsUi tools_;
    std::size_t differencesPrinted_ = 0;
    std::size_t messagesPrinted_ = 0;
};

void Runner::PrintShown() {
    for (; differencesPrinted_ < tools_.differenceTexts.size(); ++differencesPrinted_) {
        out_ << tools_.differenceTexts[differencesPrinted_] << '\n';
    }
    for (; messagesPrinted_ < ui_.messages.size(); ++messagesPrinted_) {
        out_ << ui_.messages[messagesPrinted_].text << '\n';
    }
}

// "compare FILE1 FILE2 [LINE1 LINE2]": compares and presses the difference dialog's button
// until it closes.
std::string Runner::Compare(const std::string& rest, bool dryRun) {
    std::istringstream words(rest);
    ScriptedFileToolsUi::CompareAnswer answer;
    std::string lines[2];
    if (!(words >> answer.file1 >> answer.file2)) {
        return "compare wants FILE1 FILE2 [LINE1 LINE2]";
    }
    if (words >> lines[0]) {
        long first = 0;
        long second = 0;
        if (!(words >> lines[1]) || !ParseCount(lines[0], 1, 65535, first) ||
            !ParseCount(lines[1], 1, 65535, second)) {
            return "compare start lines must be two numbers from 1 to 65535";
        }
        answer.startLine1 = static_cast<WORD>(first);
        answer.startLine2 = static_cast<WORD>(second);
    }
    if (dryRun) {
        return "";
    }
    SetFileToolsUi(&tools_);
    differencesPrinted_ = tools_.differenceTexts.size();
    messagesPrinted_ = ui_.messages.size();
    tools_.QueueCompare(answer);
    compare();
    PrintShown();
    while (compareState.active) {
        CompareNextStep();
        PrintShown();
    }
    if (CompareOutcome(ui_.Failure())) {
        ui_.BeginCommand();
    }
    return "";
}

// "findfiles OPTIONS /PATTERN/FILE_MASKS/": searches and prints the files found.
std::string Runner::FindFiles(const std::string& rest, bool dryRun) {
    Words options = Split(rest);
    ScriptedFileToolsUi::FindFilesAnswer answer;
    if (!ValidOptions(options.verb, "cr") ||
        !SplitReplace(options.rest, answer.pattern, answer.fileMasks)) {
        return "findfiles wants OPTIONS (letters c r, or -) and /PATTERN/FILES/";
    }
    if (dryRun) {
        return "";
    }
    answer.matchCase = options.verb.find('c') != std::string::npos;
    answer.regularExpression = options.verb.find('r') != std::string::npos;
    SetFileToolsUi(&tools_);
    messagesPrinted_ = ui_.messages.size();
    tools_.QueueFindFiles(answer);
    find_files_containing();
    out_ << "found " << findFilesState.foundCount << '\n';
    for (const FoundFile& file : findFilesState.table) {
        out_ << file.path << '\n';
    }
    differencesPrinted_ = tools_.differenceTexts.size();
    PrintShown();
    if (ui_.Failure().rfind("More than", 0) == 0) {
        ui_.BeginCommand();
    }
    return "";
}

std::string Runner::Set(const std::string& rest, bool dryRun) {
    Words words = Split(rest);
    const std::string& name = words.verb;
    const std::string& value = words.rest;
    BOOL flag = 0;
    long number = 0;
    if (name == "window") {
        std::size_t x = value.find('x');
        long rows = 0;
        long columns = 0;
        if (x == std::string::npos || !ParseCount(value.substr(0, x), 1, 1000, rows) ||
            !ParseCount(value.substr(x + 1), 1, 1000, columns)) {
            return "set window wants ROWSxCOLUMNS";
        }
        if (!dryRun) {
            pwinCurrent->rows = static_cast<int>(rows);
            pwinCurrent->columns = static_cast<int>(columns);
            pwinCurrent->redraw |= RD_ALL;
        }
        return "";
    }
    if (name == "margin" || name == "tabsize") {
        bool margin = name == "margin";
        if (!ParseCount(value, margin ? 0 : 1, margin ? 512 : 16, number)) {
            return margin ? "set margin wants 0 to 512" : "set tabsize wants 1 to 16";
        }
        if (!dryRun) {
            (margin ? pbufCurrent->rightMargin : pbufCurrent->tabSize) = static_cast<int>(number);
        }
        return "";
    }
    if (!ParseSwitch(value, flag)) {
        return "set " + name + " wants on or off";
    }
    if (name == "overwrite") {
        if (!dryRun)
            fOverwrite = flag;
    } else if (name == "typing-replaces") {
        if (!dryRun)
            fTypingReplacesSelection = flag;
    } else if (name == "cut-current-line") {
        if (!dryRun)
            fCutCopyCurrentLine = flag;
    } else if (name == "autoindent" || name == "wordwrap" || name == "expandtabs") {
        WORD bit = name == "autoindent" ? BF_AUTOINDENT
                   : name == "wordwrap" ? BF_WORDWRAP
                                        : BF_EXPANDTABS;
        if (!dryRun) {
            pbufCurrent->options =
                static_cast<WORD>(flag ? pbufCurrent->options | bit : pbufCurrent->options & ~bit);
            if (bit == BF_AUTOINDENT) {
                pbufCurrent->autoIndent = flag;
            }
        }
    } else {
        return "unknown setting " + name;
    }
    return "";
}

std::string Runner::RunCommand(const std::string& verb, const std::string& rest, bool dryRun) {
    CommandProcedure procedure = FindCommand(verb);
    if (procedure == nullptr) {
        return "unknown command " + verb;
    }
    long count = 1;
    if (!rest.empty() && !ParseCount(rest, 1, 1000000, count)) {
        return "repeat count must be 1 to 1000000";
    }
    if (dryRun) {
        return "";
    }
    for (long i = 0; i < count && ui_.Failure().empty(); ++i) {
        procedure();
        Tail();
    }
    return "";
}

// Presses the first key bound to the command, as the document window receives it: through the
// macro recorder, then the key table.
std::string PressKeyOf(const char* command) {
    std::vector<std::string> keys = KeysOfCommand(FindCommandByName(command));
    if (keys.empty()) {
        return std::string("no key runs ") + command;
    }
    HandleDocumentInput(MACRO_WM_COMMAND, FindKeySlot(keys[0].c_str())->id, 0);
    return "";
}

std::string Runner::Run(const std::string& text, bool dryRun) {
    Words words = Split(text);
    const std::string& verb = words.verb;
    const std::string& rest = words.rest;
    if (verb == "key") {
        KeySlot* slot = FindKeySlot(rest.c_str());
        if (slot == nullptr) {
            return "no key named " + rest;
        }
        if (!dryRun) {
            HandleDocumentInput(MACRO_WM_COMMAND, slot->id, 0);
            Tail();
        }
        return "";
    }
    if (verb == "macro") {
        if (rest != "record" && rest != "play") {
            return "macro wants record or play";
        }
        if (!dryRun) {
            std::string failure = PressKeyOf(rest == "record" ? "record_macro" : "play_macro");
            if (!failure.empty()) {
                return failure;
            }
            Tail();
        }
        return "";
    }
    if (verb == "type" || verb == "insert") {
        if (rest.empty()) {
            return verb + " wants a text";
        }
        if (dryRun) {
            return "";
        }
        std::string decoded = DecodeEscapes(rest);
        if (verb == "insert") {
            InsertTextRequest(decoded.c_str());
            Tail();
            return "";
        }
        for (char c : decoded) {
            if (c == '\n') {
                enter();
            } else if (c == '\t') {
                tab_right();
            } else {
                HandleDocumentInput(MACRO_WM_CHAR, static_cast<unsigned char>(c), 1);
            }
            Tail();
        }
        return "";
    }
    if (verb == "find") {
        Words options = Split(rest);
        if (!ValidOptions(options.verb, "crb") || options.rest.empty()) {
            return "find wants OPTIONS (letters c r b, or -) and a pattern";
        }
        if (!dryRun) {
            HeadlessUi::SearchAnswer answer;
            answer.pattern = options.rest;
            answer.matchCase = options.verb.find('c') != std::string::npos;
            answer.regularExpression = options.verb.find('r') != std::string::npos;
            answer.backward = options.verb.find('b') != std::string::npos;
            ui_.QueueSearch(answer);
            find();
            Tail();
        }
        return "";
    }
    if (verb == "replace") {
        Words options = Split(rest);
        std::string pattern;
        std::string replacement;
        if (!ValidOptions(options.verb, "crq") ||
            !SplitReplace(options.rest, pattern, replacement)) {
            return "replace wants OPTIONS (letters c r q, or -) and /PATTERN/REPLACEMENT/";
        }
        if (!dryRun) {
            HeadlessUi::SearchAnswer answer;
            answer.pattern = pattern;
            answer.replacement = replacement;
            answer.matchCase = options.verb.find('c') != std::string::npos;
            answer.regularExpression = options.verb.find('r') != std::string::npos;
            answer.confirmChanges = options.verb.find('q') != std::string::npos;
            ui_.QueueSearch(answer);
            replace();
            Tail();
        }
        return "";
    }
    if (verb == "confirm") {
        void (*button)() = rest == "yes"      ? confirm_yes
                           : rest == "no"     ? confirm_no
                           : rest == "toggle" ? confirm_toggle
                           : rest == "cancel" ? confirm_cancel
                                              : nullptr;
        if (button == nullptr) {
            return "confirm wants yes, no, toggle or cancel";
        }
        if (!dryRun) {
            if (!fConfirmInProgress) {
                return "no replacement is waiting for confirmation";
            }
            button();
            DisplayUpdate();
        }
        return "";
    }
    if (verb == "goto") {
        if (rest.empty()) {
            return "goto wants one or more line numbers";
        }
        if (!dryRun) {
            std::istringstream numbers(rest);
            std::string number;
            while (numbers >> number) {
                ui_.QueueGotoLine(number);
            }
            goto_line();
            // Numbers refused before one was accepted are not a failure.
            if (ui_.lastGotoLineResult) {
                ui_.BeginCommand();
            }
            Tail();
        }
        return "";
    }
    if (verb == "answer") {
        UiAnswer answer;
        if (rest == "ok") {
            answer = UiAnswer::Ok;
        } else if (rest == "cancel") {
            answer = UiAnswer::Cancel;
        } else if (rest == "yes") {
            answer = UiAnswer::Yes;
        } else if (rest == "no") {
            answer = UiAnswer::No;
        } else {
            return "answer wants ok, cancel, yes or no";
        }
        if (!dryRun) {
            ui_.QueueAnswer(answer);
        }
        return "";
    }
    if (verb == "path") {
        if (rest.empty()) {
            return "path wants a file name";
        }
        if (!dryRun) {
            ui_.QueuePath(rest);
        }
        return "";
    }
    if (verb == "clipboard") {
        if (!dryRun) {
            std::string decoded = DecodeEscapes(rest);
            ui_.SetClipboardText(decoded.c_str(), decoded.size());
        }
        return "";
    }
    if (verb == "set") {
        return Set(rest, dryRun);
    }
    if (verb == "compare") {
        return Compare(rest, dryRun);
    }
    if (verb == "findfiles") {
        return FindFiles(rest, dryRun);
    }
    if (verb == "screen" || verb == "status") {
        if (!rest.empty()) {
            return verb + " takes nothing";
        }
        if (!dryRun) {
            DisplayUpdate();
            if (verb == "screen") {
                CellGrid grid = RenderWindow(pwinCurrent);
                for (int row = 0; row < grid.rows; ++row) {
                    std::string line = grid.text[row];
                    line.erase(line.find_last_not_of(' ') + 1);
                    out_ << line << '\n';
                }
            } else {
                std::string line = StatusLineText(pwinCurrent, 80, false, ui_.status.c_str());
                line.erase(line.find_last_not_of(' ') + 1);
                out_ << line << '\n';
            }
        }
        return "";
    }
    bool handled = false;
    std::string problem = RunToolVerb(verb, rest, dryRun, out_, handled);
    return handled ? problem : RunCommand(verb, rest, dryRun);
}

}  // namespace

void ResetReplayState() {
    ResetCommandState();
    ApplySettingsToCommands();
}

std::vector<ScriptLine> ParseScript(const std::string& script) {
    std::vector<ScriptLine> lines;
    std::istringstream in(script);
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') {
            continue;
        }
        lines.push_back({number, text.substr(first)});
    }
    return lines;
}

ScriptError CheckScript(const std::vector<ScriptLine>& lines) {
    ReplayUi ui;
    std::ostringstream out;
    Runner runner(ui, out);
    for (const ScriptLine& line : lines) {
        std::string problem = runner.Run(line.text, true);
        if (!problem.empty()) {
            return {line.number, problem};
        }
    }
    return {};
}

ScriptError RunScript(const std::vector<ScriptLine>& lines, ReplayUi& ui, std::ostream& out,
                      bool keepGoing) {
    Runner runner(ui, out);
    ScriptError first;
    for (const ScriptLine& line : lines) {
        ui.BeginCommand();
        std::string problem = runner.Run(line.text, false);
        if (problem.empty()) {
            problem = ui.Failure();
        }
        if (!problem.empty() && first.line == 0) {
            first = {line.number, problem};
            if (!keepGoing) {
                break;
            }
        }
    }
    return first;
}

std::string DecodeEscapes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char next = text[++i];
        switch (next) {
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 'x':
                if (i + 2 < text.size() + 0 &&
                    std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                    std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
                    out +=
                        static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
                    i += 2;
                } else {
                    out += "\\x";
                }
                break;
            default:
                out += next;
                break;
        }
    }
    return out;
}

const char* ScriptHelp() {
    return R"(Script format: one instruction a line; blank lines and lines starting with # are
skipped. Texts run to the end of the line, blanks included; they understand the
escapes \t \n \r \\ and \xHH.

  COMMAND [N]         run an editor command by its command-table name, N times
                      (cursor_down, word_right, delete_line, wrap_para, undo, ...;
                      --commands lists them)
  type TEXT           type the characters; \n presses Enter, \t presses Tab
  key NAME            press a key of the key table (Ctrl+Z, Shift+F2, F7, ...)
  macro record|play   press the key of record_macro (start or stop recording the
                      typed characters and key presses) or of play_macro
  insert TEXT         insert flat text as one undoable insertion (\r breaks lines)
  find OPTS PATTERN   Find with the pattern; OPTS: letters c (match case),
                      r (regular expression), b (search backward), or - for none
  replace OPTS /PAT/REPL/
                      Replace; the first character after OPTS is the delimiter.
                      OPTS: c, r, q (confirm each change), or -. Without q every
                      match is replaced at once.
  confirm yes|no|toggle|cancel
                      press a button of the Confirm Replacement dialog
  goto N [N...]       Goto Line: each N is typed into the field and OK pressed
                      until one is accepted
  compare FILE1 FILE2 [LINE1 LINE2]
                      compare two files from the start lines (default 1 1) and press
                      Next Match / Next Difference until the comparison ends; prints
                      every message of the difference dialog and every message box
  findfiles OPTS /PATTERN/FILES/
                      Find Files Containing over the blank-separated wildcard
                      fileMasks FILES; OPTS: c (match case), r (regular
                      expression), or -. Prints "found N" and the files kept
  answer ok|cancel|yes|no
                      the answer of the next message box that asks a question
  path FILE           the answer of the next file dialog
  clipboard TEXT      put plain text on the clipboard
  set overwrite|autoindent|wordwrap|expandtabs|typing-replaces|cut-current-line on|off
                      (as in a fresh editor: typing-replaces starts on, the others off)
  set margin N        right margin of the document (0 to 512)
  set tabsize N       tab size of the document (1 to 16)
  set window RxC      rows and columns of the window (default 24x80)
  assist ID [CONTROL=TEXT | CONTROL]...
                      run the assistant of a script command id (1100, 1240, 1320, ...)
                      with its fields set by control id (a bare id checks a box), print
                      the lines it inserts and insert them
  print FILE.pdf      print the document (its block when one is marked) to a PDF file
  screen              print the window as it would be shown
  status              print the status line

A line fails when its command refuses (a beep with a message), shows an error or a
warning, or a search finds nothing. The run stops there unless --keep-going.)";
}
