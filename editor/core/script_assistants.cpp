#include "editor/core/script_assistants.h"

#include <dirent.h>
#include <strings.h>

#include <algorithm>
#include <cstring>

namespace {

struct AssistantString {
    UINT id;
    const char* text;
};

constexpr AssistantString kTexts[] = {
    {1001, "END"},
    {1002, "IGNORE"},
    {1003, "NEXT"},
    {1004, "ALWAYS"},
    {1005, "NEVER"},
    {1006, "OLDER FILES"},
    {1007, "ACCEPT"},
    {1008, "CANCEL"},
    {1009, "SESSION DIAL"},
    {1010, "SESSION EXITMODE"},
    {1011, "SESSION ONERROR"},
    {1012, "SESSION OVERWRITES"},
    {1013, "SESSION TIMEOUT"},
    {1014, ";COMMENT: ** insert SESSOPR here **"},
    {1015, "SESSION END"},
    {1018, "SESSION RETRY"},
    {1020, "SESSION DELAY"},
    {1022, "LOAD HOSTINFO %c%s%c\r\n"},
    {1023, "LOAD ONLSVCINFO %c%s%c\r\n"},
    {1024, "LOAD TRANSLATION %c%s%c\r\n"},
    {1025, "SEND CHAR %c%s%c\r\n"},
    {1026, "SEND CLEAR\r\n"},
    {1027, "SEND FILE %c%s%c\r\n"},
    {1028, "SEND LINE %c%s%c\r\n"},
    {1029, "SEND STRING %c%s%c\r\n"},
    {1030, "SEND SCANCODE %c%s%c %s\r\n"},
    {1031, "DIAL HOST %c%s%c\r\n"},
    {1032, "DIAL NUMBER %c%s%c\r\n"},
    {1033, "DIAL ONLSVC %c%s%c\r\n"},
    {1034, "WAIT CARRIER %s\r\n"},
    {1035, "WAIT RECEIVE %s\r\n"},
    {1036, "WAIT SILENCE %s\r\n"},
    {1037, "WAIT STRING %c%s%c %s\r\n"},
    {1038, "WAIT TIME %s\r\n"},
    {1039, "WAIT UNTIL %s %s\r\n"},
    {1040, "RECEIVE CHAR %c%s%c %s\r\n"},
    {1041, "RECEIVE CLEAR\r\n"},
    {1042, "RECEIVE FILE %c%s%c \r\n"},
    {1043, "RECEIVE LINE %c%s%c %s %s %s\r\n"},
    {1044, "RECEIVE STRING %c%s%c %s %s\r\n"},
};

// Wait: seconds 1340, string 1310, time 1330, date 1320, "&Variable" 1350.
const AssistantForm kWait{AssistantKind::Wait,
                          1200,
                          "Wait Commands",
                          27070,
                          0,
                          0,
                          1350,
                          {1340, 1310, 1330, 1320, 1350},
                          {{1210, 1034, 0, {1340}, nullptr},
                           {1220, 1035, 0, {1340}, nullptr},
                           {1230, 1036, 0, {1340}, nullptr},
                           {1240, 1037, 1310, {1340}, nullptr},
                           {1250, 1038, 0, {1340}, nullptr},
                           {1260, 1039, 0, {1330, 1320}, nullptr}}};

const AssistantForm kDial{AssistantKind::Dial,
                          1300,
                          "Dial Commands",
                          27030,
                          1370,
                          1371,
                          1380,
                          {1370, 1380},
                          {{1310, 1031, 1370, {}, "Host Nam&e"},
                           {1320, 1032, 1370, {}, "Phone Numbe&r"},
                           {1330, 1033, 1370, {}, "On &Line Service"}}};

// Receive: text 1510, time-out 1520, maximum length 1530, terminator 1540, "&Variable" 1560.
const AssistantForm kReceive{AssistantKind::Receive,
                             1400,
                             "Receive Commands",
                             27050,
                             1510,
                             1511,
                             1560,
                             {1510, 1520, 1530, 1540, 1560},
                             {{1410, 1044, 1510, {1530, 1520}, "&Destination"},
                              {1420, 1040, 1510, {1520}, "&Data"},
                              {1430, 1042, 1510, {}, "File &Name"},
                              {1440, 1041, 0, {}, nullptr},
                              {1450, 1043, 1510, {1530, 1540, 1520}, "&Destination"}}};

// Send: text 1640, length 1650, "&Variable" 1660.
const AssistantForm kSend{AssistantKind::Send,
                          1500,
                          "Send Commands",
                          27060,
                          1640,
                          1641,
                          1660,
                          {1640, 1650, 1660},
                          {{1510, 1025, 1640, {}, "C&haracter"},
                           {1520, 1026, 0, {}, nullptr},
                           {1530, 1027, 1640, {}, "File &Name"},
                           {1540, 1028, 1640, {}, "L&ine"},
                           {1550, 1029, 1640, {}, "S&tring"},
                           {1560, 1030, 1640, {1650}, "Scan C&ode"}}};

const AssistantForm kLoad{AssistantKind::Load,
                          1600,
                          "Load Commands",
                          27040,
                          1690,
                          1691,
                          1700,
                          {1690, 1700},
                          {{1620, 1022, 1690, {}, "Host N&ame"},
                           {1630, 1023, 1690, {}, "On Line Servic&e"},
                           {1640, 1024, 1690, {}, "T&ranslation"}}};

const AssistantForm* const kForms[] = {&kWait, &kDial, &kReceive, &kSend, &kLoad};

std::string Cut(std::string text) {
    if (text.size() > ASSISTANT_FIELD_SIZE - 1) {
        text.resize(ASSISTANT_FIELD_SIZE - 1);
    }
    return text;
}

bool IsCallHostName(const char* name) {
    std::size_t length = std::strlen(name);
    return length > 4 && strcasecmp(name + length - 4, ".chf") == 0;
}

}  // namespace

const AssistantCommand* AssistantForm::Command(int id) const {
    for (const AssistantCommand& command : commands) {
        if (command.id == id) {
            return &command;
        }
    }
    return nullptr;
}

bool AssistantForm::Shows(const AssistantCommand& command, int control) const {
    if (command.quoted != 0 && (control == command.quoted || control == variableBox)) {
        return true;
    }
    const int* end = command.operands + 3;
    return control != 0 && std::find(command.operands, end, control) != end;
}

AssistantKind AssistantOfId(int id) {
    if (id == 1100) {
        return AssistantKind::Session;
    }
    // Each assistant's commands are numbered within its dialog's hundred (12xx Wait, ...).
    for (const AssistantForm* form : kForms) {
        if (id / 100 == form->dialogId / 100 && form->Command(id) != nullptr) {
            return form->kind;
        }
    }
    return AssistantKind::None;
}

const AssistantForm* FormOf(AssistantKind kind) {
    for (const AssistantForm* form : kForms) {
        if (form->kind == kind) {
            return form;
        }
    }
    return nullptr;
}

int AssistantDialogId(AssistantKind kind) {
    if (kind == AssistantKind::Session) {
        return 1100;
    }
    const AssistantForm* form = FormOf(kind);
    return form != nullptr ? form->dialogId : 0;
}

const char* AssistantTitle(AssistantKind kind) {
    if (kind == AssistantKind::Session) {
        return "Session Dial";
    }
    const AssistantForm* form = FormOf(kind);
    return form != nullptr ? form->title : "";
}

const char* AssistantText(UINT id) {
    for (const AssistantString& entry : kTexts) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return "";
}

char QuoteCharacter(bool variable) {
    return variable ? ' ' : '"';
}

std::string FillFormat(const char* format, char quote, const std::vector<std::string>& operands) {
    std::string line;
    std::size_t next = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            line += *p;
            continue;
        }
        ++p;
        if (*p == 'c') {
            line += quote;
        } else if (*p == 's') {
            if (next < operands.size()) {
                line += Cut(operands[next]);
            }
            ++next;
        } else {
            line += *p;
        }
    }
    return line;
}

std::string AssistantLine(const AssistantCommand& command, const FieldText& field, bool variable) {
    std::vector<std::string> operands;
    if (command.quoted != 0) {
        operands.push_back(field(command.quoted));
    }
    for (int control : command.operands) {
        if (control == 0) {
            break;
        }
        operands.push_back(field(control));
    }
    return FillFormat(AssistantText(command.format), QuoteCharacter(variable), operands);
}

std::vector<std::string> SessionAssistantLines(const SessionAssistantFields& f) {
    auto pair = [](UINT keyword, const std::string& value) {
        return FillFormat("%s %s\r\n", '"', {AssistantText(keyword), value});
    };
    std::vector<std::string> lines;
    lines.push_back(pair(1010, AssistantText(f.cancelAfterSession ? 1008 : 1007)));
    lines.push_back(pair(1011, f.onError));
    lines.push_back(pair(1012, f.overwrites));
    lines.push_back(pair(1013, f.errorTimeout));
    lines.push_back(pair(1018, f.retries));
    lines.push_back(pair(1020, f.retryMinutes));
    if (f.callImmediately) {
        lines.push_back(FillFormat("%s \"%s\" \r\n", '"', {AssistantText(1009), f.host}));
    } else {
        lines.push_back(FillFormat("%s \"%s\" %s %s%s%s\r\n", '"',
                                   {AssistantText(1009), f.host, f.time, f.year, f.month, f.day}));
    }
    lines.push_back(FillFormat("%s \r\n", '"', {AssistantText(1014)}));
    lines.push_back(FillFormat("%s \r\n", '"', {AssistantText(1015)}));
    return lines;
}

std::vector<std::string> CallHostEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return names;
    }
    while (dirent* entry = readdir(directory)) {
        if (entry->d_type != DT_DIR && IsCallHostName(entry->d_name)) {
            names.emplace_back(entry->d_name, std::strlen(entry->d_name) - 4);
        }
    }
    closedir(directory);
    return names;
}
