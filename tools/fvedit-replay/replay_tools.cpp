#include "replay_tools.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "editor/core/edit_window.h"
#include "editor/core/editing_commands.h"
#include "editor/core/script_assistants.h"
#include "editor/view/display_update.h"
#include "replay_script.h"

namespace {

PdfPrinter pdfPrinter;

// CONTROL=TEXT sets a field, a bare CONTROL checks a box.
struct FieldValues {
    std::map<int, std::string> texts;
    std::vector<int> checked;
    bool Checked(int control) const {
        for (int id : checked) {
            if (id == control) {
                return true;
            }
        }
        return false;
    }
};

bool ParseNumber(const std::string& text, int& value) {
    char* end = nullptr;
    long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < 0 || number > 99999) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

std::string ParseFields(std::istringstream& in, FieldValues& values) {
    std::string word;
    while (in >> word) {
        std::size_t equals = word.find('=');
        int control = 0;
        if (!ParseNumber(word.substr(0, equals), control)) {
            return "assist wants fields as CONTROL=TEXT or CONTROL, not " + word;
        }
        if (equals == std::string::npos) {
            values.checked.push_back(control);
        } else {
            values.texts[control] = DecodeEscapes(word.substr(equals + 1));
        }
    }
    return "";
}

std::string Text(const FieldValues& values, int control, const std::string& otherwise = "") {
    auto found = values.texts.find(control);
    return found != values.texts.end() ? found->second : otherwise;
}

std::vector<std::string> SessionLines(const FieldValues& v) {
    SessionAssistantFields f;
    f.host = Text(v, IDC_SESSION_HOST);
    f.onError = Text(v, IDC_SESSION_ON_ERROR, f.onError);
    f.overwrites = Text(v, IDC_SESSION_OVERWRITES, f.overwrites);
    f.time = Text(v, IDC_SESSION_TIME, f.time);
    f.year = Text(v, IDC_SESSION_YEAR, f.year);
    f.month = Text(v, IDC_SESSION_MONTH, f.month);
    f.day = Text(v, IDC_SESSION_DAY, f.day);
    f.retries = Text(v, IDC_SESSION_RETRIES, f.retries);
    f.retryMinutes = Text(v, IDC_SESSION_RETRY_MINUTES, f.retryMinutes);
    f.errorTimeout = Text(v, IDC_SESSION_ERROR_TIMEOUT, f.errorTimeout);
    f.cancelAfterSession = v.Checked(IDC_SESSION_CANCEL_AFTER);
    f.callImmediately = v.Checked(IDC_SESSION_CALL_NOW);
    return SessionAssistantLines(f);
}

// The field assistant's line; an error when a field is not one the command shows.
std::string FormLine(int id, const FieldValues& values, std::string& line) {
    const AssistantForm* form = FormOf(AssistantOfId(id));
    const AssistantCommand* command = form->Command(id);
    for (const auto& [control, text] : values.texts) {
        if (!form->Shows(*command, control) || control == form->variableBox) {
            return "command " + std::to_string(id) + " has no field " + std::to_string(control);
        }
    }
    for (int control : values.checked) {
        if (control != form->variableBox || !form->Shows(*command, control)) {
            return "command " + std::to_string(id) + " has no box " + std::to_string(control);
        }
    }
    line = AssistantLine(
        *command, [&values](int control) { return Text(values, control); },
        values.Checked(form->variableBox));
    return "";
}

std::string Assist(const std::string& rest, bool dryRun, std::ostream& out) {
    std::istringstream in(rest);
    std::string idText;
    int id = 0;
    if (!(in >> idText) || !ParseNumber(idText, id) || AssistantOfId(id) == AssistantKind::None) {
        return "assist wants the id of a command that has an assistant";
    }
    FieldValues values;
    if (std::string problem = ParseFields(in, values); !problem.empty()) {
        return problem;
    }
    std::vector<std::string> lines;
    if (AssistantOfId(id) == AssistantKind::Session) {
        lines = SessionLines(values);
    } else {
        std::string line;
        if (std::string problem = FormLine(id, values, line); !problem.empty()) {
            return problem;
        }
        lines.push_back(line);
    }
    if (dryRun) {
        return "";
    }
    // One insertion a line, as the assistant sends one message a line.
    for (const std::string& line : lines) {
        out << line;
        InsertTextRequest(line.c_str());
        CommandTail();
    }
    return "";
}

}  // namespace

void SetPdfPrinter(PdfPrinter printer) {
    pdfPrinter = std::move(printer);
}

std::string RunToolVerb(const std::string& verb, const std::string& rest, bool dryRun,
                        std::ostream& out, bool& handled) {
    handled = verb == "assist" || verb == "print";
    if (verb == "assist") {
        return Assist(rest, dryRun, out);
    }
    if (verb == "print") {
        if (rest.empty()) {
            return "print wants the path of a PDF file";
        }
        if (dryRun) {
            return "";
        }
        if (!pdfPrinter) {
            return "this program cannot print";
        }
        return pdfPrinter(rest);
    }
    return "";
}
