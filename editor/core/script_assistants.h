// The script builder's assistants without a window: which assistant writes which script
// command, the fields each command shows, and the script lines built from the format texts.
// The dialogs (editor/ui) and fvedit-replay both build their lines here.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/kernel/win_types.h"

enum class AssistantKind { None, Session, Wait, Dial, Receive, Send, Load };

// Every field is read with this limit (80 characters and the terminator).
inline constexpr int ASSISTANT_FIELD_SIZE = 81;

// One command of a field assistant: its radio button, its format text, the control whose text
// goes between the quote characters (0: none) and the controls of the plain operands after it.
struct AssistantCommand {
    int id;
    UINT format;
    int quoted;
    int operands[3];    // 0-terminated
    const char* label;  // the text field's label for this command, or null
};

// A field assistant (Wait, Dial, Receive, Send, Load): its dialog and controls.
struct AssistantForm {
    AssistantKind kind;
    int dialogId;
    const char* title;
    DWORD helpContext;
    int textField;  // the field whose label changes with the command, or 0
    int textLabel;  // that label's control, or 0
    int variableBox;
    // Every field control the commands show or hide; each field's label is the control
    // numbered one above it.
    std::vector<int> fields;
    std::vector<AssistantCommand> commands;
    const AssistantCommand* Command(int id) const;
    // Whether the command shows the field (its operands and, with a quoted one, "&Variable").
    bool Shows(const AssistantCommand& command, int control) const;
};

// The assistant that writes the command of a reference entry's id; None for any other id.
AssistantKind AssistantOfId(int id);
// The form of a field assistant, or null for None and Session.
const AssistantForm* FormOf(AssistantKind kind);
// The dialog number and title of any assistant (0 and "" for None).
int AssistantDialogId(AssistantKind kind);
const char* AssistantTitle(AssistantKind kind);

// The assistants' format texts (1001 to 1044); "" for an unknown number.
const char* AssistantText(UINT id);
// The quote character: a blank when the operand is a variable, else a double quote.
char QuoteCharacter(bool variable);
// Fills a format: %c takes the quote character, each %s the next operand ("" once they run
// out), %% is a percent sign. Operands longer than a field are cut to ASSISTANT_FIELD_SIZE - 1.
std::string FillFormat(const char* format, char quote, const std::vector<std::string>& operands);

// The line of a field assistant's command from its fields' texts.
using FieldText = std::function<std::string(int control)>;
std::string AssistantLine(const AssistantCommand& command, const FieldText& field, bool variable);

// What the session assistant's fields hold; the defaults are those it opens with.
struct SessionAssistantFields {
    std::string host;
    std::string onError = "END";
    std::string overwrites = "ALWAYS";
    std::string time = "1200";
    std::string year = "80";
    std::string month = "01";
    std::string day = "01";
    std::string retries = "3";
    std::string retryMinutes = "30";
    std::string errorTimeout = "30";
    bool cancelAfterSession = false;
    bool callImmediately = false;
};

// The nine lines the session assistant inserts, in order.
std::vector<std::string> SessionAssistantLines(const SessionAssistantFields& fields);

// The names of the call-host entries (files "NAME.chf", any case of the extension; the name
// without it) in a folder, in the order the folder lists them; empty when the folder cannot be
// opened.
std::vector<std::string> CallHostEntries(const std::string& folder);

// Control ids of the session assistant.
inline constexpr int IDC_SESSION_HOST = 1204;
inline constexpr int IDC_SESSION_CANCEL_AFTER = 1205;
inline constexpr int IDC_SESSION_CALL_NOW = 1206;
inline constexpr int IDC_SESSION_RETRY_MINUTES = 1207;
inline constexpr int IDC_SESSION_ERROR_TIMEOUT = 1208;
inline constexpr int IDC_SESSION_TIME = 1209;
inline constexpr int IDC_SESSION_RETRIES = 1211;
inline constexpr int IDC_SESSION_OVERWRITES = 1212;
inline constexpr int IDC_SESSION_ON_ERROR = 1213;
inline constexpr int IDC_SESSION_YEAR = 1400;
inline constexpr int IDC_SESSION_MONTH = 1401;
inline constexpr int IDC_SESSION_DAY = 1402;
inline constexpr DWORD HELP_SESSION_ASSISTANT_CONTEXT = 26075;
