// The assistants of the script builder: Session Dial (template 1100) and the Wait, Dial,
// Receive, Send and Load commands (1200 to 1600). Each is modeless over the Reference dialog;
// OK builds the lines, inserts them into the active document and destroys the dialog.
#include <algorithm>
#include <string>

#include "editor/core/script_assistants.h"
#include "editor/ui/script_builder.h"
#include "editor/ui/ui_state.h"
#include "suite/fvcomm32/install_dirs.h"

namespace fvedit {

namespace {

HWND assistantDialog = nullptr;
// The command the assistants show: the id that opened the last one.
int currentCommand = 0;

struct Label {
    int id;
    const char* text;
};

// The radio buttons of the commands and the labels of the fixed fields.
constexpr Label kLabels[] = {
    {1210, "&Carrier"},
    {1220, "&Receive"},
    {1230, "&Silence"},
    {1240, "S&tring"},
    {1250, "T&ime"},
    {1260, "&Until"},
    {1340, "Seconds to wait"},
    {1310, "String to wait for"},
    {1330, "Time (HHMM)"},
    {1320, "Date ( YYMMDD)"},
    {1520, "Time &Out "},
    {1530, "&Maximum Length"},
    {1540, "Line &Terminator"},
    {1650, "Len&gth"},
};

constexpr Label kDialCommands[] = {{1310, "&Host"}, {1320, "&Number"}, {1330, "&Online Service"}};
constexpr Label kReceiveCommands[] = {
    {1410, "&String"}, {1420, "&Character"}, {1430, "&File"}, {1440, "C&lear"}, {1450, "&Line"}};
constexpr Label kSendCommands[] = {{1510, "&Character"}, {1520, "C&lear"},  {1530, "&File"},
                                   {1540, "&Line"},      {1550, "&String"}, {1560, "Scan &Code"}};
constexpr Label kLoadCommands[] = {
    {1620, "&Host Info"}, {1630, "&Online Service Info"}, {1640, "&Translation"}};

template <std::size_t N>
const char* Find(const Label (&labels)[N], int id) {
    for (const Label& label : labels) {
        if (label.id == id) {
            return label.text;
        }
    }
    return nullptr;
}

const char* RadioText(AssistantKind kind, int id) {
    const char* text = nullptr;
    switch (kind) {
        case AssistantKind::Dial:
            text = Find(kDialCommands, id);
            break;
        case AssistantKind::Receive:
            text = Find(kReceiveCommands, id);
            break;
        case AssistantKind::Send:
            text = Find(kSendCommands, id);
            break;
        case AssistantKind::Load:
            text = Find(kLoadCommands, id);
            break;
        default:
            text = Find(kLabels, id);
            break;
    }
    return text != nullptr ? text : "";
}

const char* FieldLabel(const AssistantForm& form, int field) {
    if (field == form.textField) {
        return form.commands.front().label;
    }
    const char* text = Find(kLabels, field);
    return text != nullptr ? text : "";
}

DialogTemplate FormTemplate(const AssistantForm& form) {
    DialogTemplate t;
    t.caption = form.title;
    t.cx = 250;
    short rows = static_cast<short>(std::max(form.commands.size(), form.fields.size()));
    t.cy = static_cast<short>(26 + rows * 16);
    t.fontName = "MS Sans Serif";
    t.items.push_back(GroupBox("Command", IDC_STATIC, 6, 4, 84,
                               static_cast<short>(8 + 16 * form.commands.size())));
    short y = 14;
    for (const AssistantCommand& command : form.commands) {
        t.items.push_back(RadioButton(RadioText(form.kind, command.id),
                                      static_cast<UINT>(command.id), 10, y, 76, 12));
        y = static_cast<short>(y + 16);
    }
    y = 8;
    for (int field : form.fields) {
        if (field == form.variableBox) {
            t.items.push_back(CheckBox("&Variable", static_cast<UINT>(field), 96, y, 90, 12));
        } else {
            t.items.push_back(LText(FieldLabel(form, field), static_cast<UINT>(field + 1), 96,
                                    static_cast<short>(y + 2), 66, 9));
            t.items.push_back(EditText(static_cast<UINT>(field), 164, y, 80, 12, ES_AUTOHSCROLL));
        }
        y = static_cast<short>(y + 16);
    }
    short buttons = static_cast<short>(t.cy - 18);
    t.items.push_back(DefPushButton("OK", IDOK, 96, buttons, 44, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 146, buttons, 44, 14));
    t.items.push_back(PushButton("&Help", IDC_ASSISTANT_HELP, 196, buttons, 44, 14));
    return t;
}

std::string FieldText(HWND dialog, int control) {
    char text[ASSISTANT_FIELD_SIZE];
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

const AssistantForm* FormOfDialog(HWND dialog) {
    return reinterpret_cast<const AssistantForm*>(GetWindowLongPtrA(dialog, DWL_USER));
}

void SelectCommand(HWND dialog, const AssistantForm& form, int id) {
    const AssistantCommand* command = form.Command(id);
    if (command == nullptr) {
        return;
    }
    currentCommand = id;
    CheckRadioButton(dialog, form.commands.front().id, form.commands.back().id, id);
    for (int field : form.fields) {
        int show = form.Shows(*command, field) ? SW_SHOW : SW_HIDE;
        ShowWindow(GetDlgItem(dialog, field), show);
        if (field != form.variableBox) {
            ShowWindow(GetDlgItem(dialog, field + 1), show);
        }
    }
    if (form.textField != 0 && command->label != nullptr) {
        SetDlgItemTextA(dialog, form.textLabel, command->label);
    }
}

void InsertFormLine(HWND dialog, const AssistantForm& form) {
    const AssistantCommand* command = form.Command(currentCommand);
    if (command == nullptr) {
        return;
    }
    bool variable = IsDlgButtonChecked(dialog, form.variableBox) == BST_CHECKED;
    std::string line = AssistantLine(
        *command, [dialog](int control) { return FieldText(dialog, control); }, variable);
    InsertScriptLine(line.c_str());
}

// The procedure the Wait, Dial, Receive, Send and Load assistants share; their form (set at
// WM_INITDIALOG) says which commands and fields they have.
INT_PTR FieldAssistProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        SelectCommand(dialog, *reinterpret_cast<const AssistantForm*>(lParam), currentCommand);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        assistantDialog = nullptr;
        return FALSE;
    }
    const AssistantForm* form = FormOfDialog(dialog);
    if (message != WM_COMMAND || form == nullptr) {
        return FALSE;
    }
    int id = LOWORD(wParam);
    if (form->Command(id) != nullptr) {
        SelectCommand(dialog, *form, id);
    } else if (id == form->variableBox) {
        CheckDlgButton(dialog, id, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 0 : BST_CHECKED);
    } else if (id == IDOK) {
        InsertFormLine(dialog, *form);
        DestroyWindow(dialog);
    } else if (id == IDCANCEL) {
        DestroyWindow(dialog);
    } else if (id == IDC_ASSISTANT_HELP) {
        ShowScriptHelp(dialog, form->helpContext);
    } else {
        return FALSE;
    }
    return TRUE;
}

// ---- Session Dial

DialogTemplate SessionTemplate() {
    DialogTemplate t;
    t.caption = "Session Dial";
    t.cx = 250;
    t.cy = 170;
    t.fontName = "MS Sans Serif";
    auto row = [&t](const char* label, int control, short y, short width) {
        t.items.push_back(LText(label, IDC_STATIC, 6, static_cast<short>(y + 2), 110, 9));
        t.items.push_back(EditText(static_cast<UINT>(control), 120, y, width, 12, ES_AUTOHSCROLL));
    };
    t.items.push_back(LText("Host to call", IDC_STATIC, 6, 8, 110, 9));
    t.items.push_back(
        ComboBox(IDC_SESSION_HOST, 120, 6, 124, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL));
    t.items.push_back(
        AutoCheckBox("Cancel host after session", IDC_SESSION_CANCEL_AFTER, 6, 24, 120, 12));
    t.items.push_back(AutoCheckBox("Call immediately", IDC_SESSION_CALL_NOW, 130, 24, 110, 12));
    row("Time to call", IDC_SESSION_TIME, 40, 30);
    t.items.push_back(LText("Date to call (YY   MM   DD)", IDC_STATIC, 6, 58, 110, 9));
    t.items.push_back(EditText(IDC_SESSION_YEAR, 120, 56, 18, 12));
    t.items.push_back(EditText(IDC_SESSION_MONTH, 142, 56, 18, 12));
    t.items.push_back(EditText(IDC_SESSION_DAY, 164, 56, 18, 12));
    row("Retries", IDC_SESSION_RETRIES, 72, 30);
    row("Time between retries (minutes)", IDC_SESSION_RETRY_MINUTES, 88, 30);
    row("Error time out", IDC_SESSION_ERROR_TIMEOUT, 104, 30);
    t.items.push_back(LText("If error occurs", IDC_STATIC, 6, 122, 110, 9));
    t.items.push_back(ComboBox(IDC_SESSION_ON_ERROR, 120, 120, 80, 50, CBS_DROPDOWNLIST));
    t.items.push_back(LText("File transfer overwrites", IDC_STATIC, 6, 138, 110, 9));
    t.items.push_back(ComboBox(IDC_SESSION_OVERWRITES, 120, 136, 80, 50, CBS_DROPDOWNLIST));
    t.items.push_back(DefPushButton("OK", IDOK, 206, 120, 38, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 206, 136, 38, 14));
    t.items.push_back(PushButton("&Help", IDC_ASSISTANT_HELP, 206, 152, 38, 14));
    return t;
}

void AddComboTexts(HWND dialog, int control, UINT first, UINT last) {
    for (UINT id = first; id <= last; ++id) {
        SendDlgItemMessageA(dialog, control, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(AssistantText(id)));
    }
    SendDlgItemMessageA(dialog, control, CB_SETCURSEL, 0, 0);
}

void InitSession(HWND dialog) {
    char folder[PATH_NAME_SIZE];
    if (GetInstallMgrDir(INSTALL_DIR_CALLHOST, folder, sizeof folder) > 0) {
        for (const std::string& name : CallHostEntries(folder)) {
            SendDlgItemMessageA(dialog, IDC_SESSION_HOST, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(name.c_str()));
        }
    }
    AddComboTexts(dialog, IDC_SESSION_ON_ERROR, 1001, 1003);
    AddComboTexts(dialog, IDC_SESSION_OVERWRITES, 1004, 1006);
    SessionAssistantFields defaults;
    SetDlgItemTextA(dialog, IDC_SESSION_TIME, defaults.time.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_YEAR, defaults.year.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_MONTH, defaults.month.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_DAY, defaults.day.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_RETRIES, defaults.retries.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_RETRY_MINUTES, defaults.retryMinutes.c_str());
    SetDlgItemTextA(dialog, IDC_SESSION_ERROR_TIMEOUT, defaults.errorTimeout.c_str());
}

void EnableWhen(HWND dialog, bool callLater) {
    for (int control : {IDC_SESSION_TIME, IDC_SESSION_YEAR, IDC_SESSION_MONTH, IDC_SESSION_DAY}) {
        EnableWindow(GetDlgItem(dialog, control), callLater ? TRUE : FALSE);
    }
}

void InsertSessionLines(HWND dialog) {
    SessionAssistantFields f;
    f.host = FieldText(dialog, IDC_SESSION_HOST);
    f.onError = FieldText(dialog, IDC_SESSION_ON_ERROR);
    f.overwrites = FieldText(dialog, IDC_SESSION_OVERWRITES);
    f.time = FieldText(dialog, IDC_SESSION_TIME);
    f.year = FieldText(dialog, IDC_SESSION_YEAR);
    f.month = FieldText(dialog, IDC_SESSION_MONTH);
    f.day = FieldText(dialog, IDC_SESSION_DAY);
    f.retries = FieldText(dialog, IDC_SESSION_RETRIES);
    f.retryMinutes = FieldText(dialog, IDC_SESSION_RETRY_MINUTES);
    f.errorTimeout = FieldText(dialog, IDC_SESSION_ERROR_TIMEOUT);
    f.cancelAfterSession = IsDlgButtonChecked(dialog, IDC_SESSION_CANCEL_AFTER) == BST_CHECKED;
    f.callImmediately = IsDlgButtonChecked(dialog, IDC_SESSION_CALL_NOW) == BST_CHECKED;
    for (const std::string& line : SessionAssistantLines(f)) {
        InsertScriptLine(line.c_str());
    }
}

INT_PTR SessionAssistProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            InitSession(dialog);
            return TRUE;
        case WM_DESTROY:
            assistantDialog = nullptr;
            return FALSE;
        case WM_COMMAND:
            break;
        default:
            return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDC_SESSION_CALL_NOW:
            EnableWhen(dialog, IsDlgButtonChecked(dialog, IDC_SESSION_CALL_NOW) != BST_CHECKED);
            return TRUE;
        case IDOK:
            InsertSessionLines(dialog);
            DestroyWindow(dialog);
            return TRUE;
        case IDCANCEL:
            DestroyWindow(dialog);
            return TRUE;
        case IDC_ASSISTANT_HELP:
            ShowScriptHelp(dialog, HELP_SESSION_ASSISTANT_CONTEXT);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

// The named procedures of the five field assistants.
INT_PTR WaitAssistProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return FieldAssistProc(d, m, w, l);
}
INT_PTR DialAssistProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return FieldAssistProc(d, m, w, l);
}
INT_PTR ReceiveAssistProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return FieldAssistProc(d, m, w, l);
}
INT_PTR SendAssistProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return FieldAssistProc(d, m, w, l);
}
INT_PTR LoadAssistProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    return FieldAssistProc(d, m, w, l);
}

HWND AssistantDialog() {
    return assistantDialog;
}

HWND OpenAssistant(int id, HWND parent) {
    AssistantKind kind = AssistantOfId(id);
    if (kind == AssistantKind::None || assistantDialog != nullptr) {
        return nullptr;
    }
    currentCommand = id;
    if (kind == AssistantKind::Session) {
        static DialogTemplate session = SessionTemplate();
        assistantDialog =
            CreateDialogIndirectParamA(ew.instance, &session, parent, SessionAssistProc, 0);
    } else {
        const AssistantForm* form = FormOf(kind);
        static DialogTemplate templates[7];
        DialogTemplate& t = templates[static_cast<int>(kind)];
        if (t.items.empty()) {
            t = FormTemplate(*form);
        }
        static constexpr DLGPROC kProcs[] = {nullptr,        nullptr,           WaitAssistProc,
                                             DialAssistProc, ReceiveAssistProc, SendAssistProc,
                                             LoadAssistProc};
        assistantDialog =
            CreateDialogIndirectParamA(ew.instance, &t, parent, kProcs[static_cast<int>(kind)],
                                       reinterpret_cast<LPARAM>(form));
    }
    if (assistantDialog != nullptr) {
        ShowWindow(assistantDialog, SW_SHOWNORMAL);
    }
    return assistantDialog;
}

}  // namespace fvedit
