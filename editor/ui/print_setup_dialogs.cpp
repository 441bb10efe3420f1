// Page Setup (template 942: margins, header and footer templates, printer font) and Printer
// Setup (template 13: the system's printers, each of its ports a line).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/core/editor_settings.h"
#include "editor/core/history_lists.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/print_dialogs.h"

namespace fvedit {

PrinterDescription printerDescription;

namespace {

inline constexpr const char* kNoPrinters = "No printers installed";
inline constexpr const char* kCannotFindDriver = "Cannot find printer driver.";
inline constexpr const char* kInvalidDriver = "Invalid printer driver.";
inline constexpr const char* kInsufficientMemory = "Insufficient memory";
inline constexpr UINT WM_WININICHANGE = 0x001A;
// The system tells no one when its printers change: the open dialog looks again this often.
inline constexpr UINT_PTR PRINTER_POLL_TIMER = 1;
inline constexpr UINT PRINTER_POLL_MS = 2000;

// Margins are kept in twentieths of a point and shown in inches.
void ShowMargin(HWND dialog, int control, int twips) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", twips / 1440.0);
    SetDlgItemTextA(dialog, control, text);
}

int ReadMargin(HWND dialog, int control, int previous) {
    char text[32];
    GetDlgItemTextA(dialog, control, text, sizeof text);
    char* end = nullptr;
    double inches = std::strtod(text, &end);
    if (end == text || inches < 0 || inches > 20) {
        return previous;
    }
    return static_cast<int>(inches * 1440 + 0.5);
}

struct PageSetupState {
    LOGFONTA chosenFont{};
    int chosenSize = 0;
    bool fontChosen = false;
};

DialogTemplate PageSetupTemplate() {
    DialogTemplate t;
    t.caption = "Page Setup";
    t.cx = 240;
    t.cy = 150;
    t.fontName = "MS Sans Serif";
    t.items.push_back(GroupBox("Margins (inches)", IDC_STATIC, 6, 4, 228, 44));
    t.items.push_back(LText("&Left:", IDC_STATIC, 12, 16, 30, 9));
    t.items.push_back(EditText(IDC_MARGIN_LEFT, 44, 14, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(LText("&Right:", IDC_STATIC, 124, 16, 30, 9));
    t.items.push_back(EditText(IDC_MARGIN_RIGHT, 156, 14, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(LText("&Top:", IDC_STATIC, 12, 32, 30, 9));
    t.items.push_back(EditText(IDC_MARGIN_TOP, 44, 30, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(LText("&Bottom:", IDC_STATIC, 124, 32, 30, 9));
    t.items.push_back(EditText(IDC_MARGIN_BOTTOM, 156, 30, 40, 12, ES_AUTOHSCROLL));
    t.items.push_back(LText("&Header:", IDC_STATIC, 6, 58, 36, 9));
    t.items.push_back(ComboBox(IDC_PRINT_HEADER, 44, 56, 190, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(LText("&Footer:", IDC_STATIC, 6, 76, 36, 9));
    t.items.push_back(ComboBox(IDC_PRINT_FOOTER, 44, 74, 190, 60, CBS_DROPDOWN | CBS_AUTOHSCROLL));
    t.items.push_back(DefPushButton("OK", IDOK, 6, 128, 50, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 62, 128, 50, 14));
    t.items.push_back(PushButton("Font...", IDC_PRINT_FONT, 118, 128, 50, 14));
    t.items.push_back(PushButton("&Printer...", IDC_PAGE_PRINTER, 174, 128, 60, 14));
    return t;
}

void InitPageSetup(HWND dialog) {
    const EditorSettings& s = editorSettings;
    ShowMargin(dialog, IDC_MARGIN_LEFT, s.marginLeft);
    ShowMargin(dialog, IDC_MARGIN_RIGHT, s.marginRight);
    ShowMargin(dialog, IDC_MARGIN_TOP, s.marginTop);
    ShowMargin(dialog, IDC_MARGIN_BOTTOM, s.marginBottom);
    FillHistoryCombo(dialog, IDC_PRINT_HEADER, &historyLists[HISTORY_LIST_PRINT_HEADER]);
    FillHistoryCombo(dialog, IDC_PRINT_FOOTER, &historyLists[HISTORY_LIST_PRINT_FOOTER]);
    SetDlgItemTextA(dialog, IDC_PRINT_HEADER, s.printHeader);
    SetDlgItemTextA(dialog, IDC_PRINT_FOOTER, s.printFooter);
}

void StoreTemplate(HWND dialog, int control, char* setting, int history) {
    char text[PRINT_TEMPLATE_SIZE];
    GetDlgItemTextA(dialog, control, text, sizeof text);
    std::snprintf(setting, PRINT_TEMPLATE_SIZE, "%s", text);
    if (text[0] != '\0') {
        AddToHistory(historyLists[history], text);
    }
}

void ChoosePrinterFont(HWND dialog, PageSetupState& state) {
    LOGFONTA font = state.chosenFont;
    CHOOSEFONTA request;
    request.hwndOwner = dialog;
    request.lpLogFont = &font;
    request.Flags = CF_SCREENFONTS;
    if (state.fontChosen || editorSettings.printerFontFace[0] != '\0') {
        if (!state.fontChosen) {
            std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s",
                          editorSettings.printerFontFace);
            font.lfHeight = -editorSettings.printerFontSize;
        }
        request.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (ChooseFontA(&request)) {
        state.chosenFont = font;
        state.chosenSize = request.iPointSize / 10;
        state.fontChosen = true;
    }
}

void AcceptPageSetup(HWND dialog, PageSetupState& state) {
    EditorSettings& s = editorSettings;
    StoreTemplate(dialog, IDC_PRINT_HEADER, s.printHeader, HISTORY_LIST_PRINT_HEADER);
    StoreTemplate(dialog, IDC_PRINT_FOOTER, s.printFooter, HISTORY_LIST_PRINT_FOOTER);
    if (state.fontChosen) {
        std::snprintf(s.printerFontFace, PRINTER_FACE_SIZE, "%s", state.chosenFont.lfFaceName);
        s.printerFontSize = state.chosenSize;
    }
}

// The margins are taken whatever way the dialog ends, as the page setup always did.
void TakeMargins(HWND dialog) {
    EditorSettings& s = editorSettings;
    s.marginLeft = ReadMargin(dialog, IDC_MARGIN_LEFT, s.marginLeft);
    s.marginRight = ReadMargin(dialog, IDC_MARGIN_RIGHT, s.marginRight);
    s.marginTop = ReadMargin(dialog, IDC_MARGIN_TOP, s.marginTop);
    s.marginBottom = ReadMargin(dialog, IDC_MARGIN_BOTTOM, s.marginBottom);
}

INT_PTR PageSetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PageSetupState*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        InitPageSetup(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND || state == nullptr) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
            AcceptPageSetup(dialog, *state);
            TakeMargins(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            TakeMargins(dialog);
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_PRINT_FONT:
            ChoosePrinterFont(dialog, *state);
            return TRUE;
        case IDC_PAGE_PRINTER:
            printer_setup();
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- Printer Setup

struct PrinterSetupState {
    PrinterDescription work;
    std::vector<std::string> entries;
};

DialogTemplate PrinterSetupTemplate() {
    DialogTemplate t;
    t.caption = "Printer Setup";
    t.cx = 220;
    t.cy = 96;
    t.fontName = "MS Sans Serif";
    t.items.push_back(ListBox(IDC_PRINTER_LIST, 6, 6, 150, 84,
                              LBS_NOTIFY | LBS_USETABSTOPS | WS_VSCROLL | WS_BORDER));
    t.items.push_back(DefPushButton("OK", IDOK, 164, 6, 50, 14));
    t.items.push_back(PushButton("Cancel", IDCANCEL, 164, 24, 50, 14));
    t.items.push_back(PushButton("&Setup...", IDC_PRINTER_DRIVER_SETUP, 164, 42, 50, 14));
    return t;
}

std::string DefaultDevice(const std::vector<SystemPrinter>& printers) {
    for (const SystemPrinter& printer : printers) {
        if (printer.isDefault) {
            return printer.name;
        }
    }
    return "";
}

// Fills the list; false when there is no printer (the dialog then closes).
bool FillPrinterList(HWND dialog, PrinterSetupState& state) {
    std::vector<SystemPrinter> printers = SystemPrinters();
    state.entries = PrinterListEntries(printers);
    SendDlgItemMessageA(dialog, IDC_PRINTER_LIST, LB_RESETCONTENT, 0, 0);
    if (state.entries.empty()) {
        MessageBoxA(dialog, kNoPrinters, EditorTitle(), MB_OK | MB_ICONEXCLAMATION);
        EndDialog(dialog, IDCANCEL);
        return false;
    }
    for (const std::string& entry : state.entries) {
        SendDlgItemMessageA(dialog, IDC_PRINTER_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(entry.c_str()));
    }
    int select = PrinterEntryToSelect(state.entries, state.work.Device(), state.work.Port(),
                                      DefaultDevice(printers));
    SendDlgItemMessageA(dialog, IDC_PRINTER_LIST, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    return true;
}

// Checks the chosen entry's printer: 0 when it is there (the work copy then names it), 1 when
// its driver is gone.
int ValidatePrinter(PrinterSetupState& state, const std::string& hidden) {
    std::size_t equals = hidden.find('=');
    std::size_t comma = hidden.rfind(',');
    if (equals == std::string::npos || comma == std::string::npos || comma < equals) {
        return 2;
    }
    std::string device = hidden.substr(0, equals);
    std::string port = hidden.substr(comma + 1);
    bool found = false;
    for (const SystemPrinter& printer : SystemPrinters()) {
        found = found || printer.name == device;
    }
    if (!found) {
        return 1;
    }
    PrinterDescription chosen;
    std::snprintf(chosen.bytes, PRINTER_DESCRIPTION_DEVICE, "%s", port.c_str());
    std::snprintf(chosen.bytes + PRINTER_DESCRIPTION_DEVICE,
                  PRINTER_DESCRIPTION_SIZE - PRINTER_DESCRIPTION_DEVICE, "%s", device.c_str());
    state.work = chosen;
    return 0;
}

bool ValidateSelection(HWND dialog, PrinterSetupState& state) {
    auto index = SendDlgItemMessageA(dialog, IDC_PRINTER_LIST, LB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= state.entries.size()) {
        return false;
    }
    const std::string& entry = state.entries[static_cast<std::size_t>(index)];
    std::size_t tab = entry.find('\t');
    int result = ValidatePrinter(state, tab == std::string::npos ? "" : entry.substr(tab + 1));
    static const char* const kErrors[] = {nullptr, kCannotFindDriver, kInvalidDriver,
                                          kInsufficientMemory};
    if (result != 0) {
        MessageBoxA(dialog, kErrors[result], EditorTitle(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

INT_PTR PrinterSetupDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PrinterSetupState*>(GetWindowLongPtrA(dialog, DWL_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWL_USER, lParam);
        state = reinterpret_cast<PrinterSetupState*>(lParam);
        int tab = 1000;  // past the list's width: only the part before the tab shows
        SendDlgItemMessageA(dialog, IDC_PRINTER_LIST, LB_SETTABSTOPS, 1,
                            reinterpret_cast<LPARAM>(&tab));
        if (FillPrinterList(dialog, *state)) {
            SetTimer(dialog, PRINTER_POLL_TIMER, PRINTER_POLL_MS, nullptr);
        }
        return TRUE;
    }
    if (state == nullptr) {
        return FALSE;
    }
    if (message == WM_WININICHANGE ||
        (message == WM_TIMER && PrinterListEntries(SystemPrinters()) != state->entries)) {
        FillPrinterList(dialog, *state);
        return TRUE;
    }
    if (message == WM_DESTROY) {
        KillTimer(dialog, PRINTER_POLL_TIMER);
        return FALSE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDC_PRINTER_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) {
                SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        case IDOK:
            if (ValidateSelection(dialog, *state)) {
                EndDialog(dialog, IDOK);
            }
            return TRUE;
        case IDC_PRINTER_DRIVER_SETUP:
            ValidateSelection(dialog, *state);
            SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
            SetFocus(GetDlgItem(dialog, IDC_PRINTER_LIST));
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::string PrinterDescription::Port() const {
    return std::string(bytes, strnlen(bytes, PRINTER_DESCRIPTION_DEVICE));
}

std::string PrinterDescription::Device() const {
    const char* device = bytes + PRINTER_DESCRIPTION_DEVICE;
    return std::string(device,
                       strnlen(device, PRINTER_DESCRIPTION_SIZE - PRINTER_DESCRIPTION_DEVICE));
}

std::vector<std::string> PrinterListEntries(const std::vector<SystemPrinter>& printers) {
    std::vector<std::string> entries;
    for (const SystemPrinter& printer : printers) {
        // A port text may name several ports, separated by commas: each is a line.
        std::size_t start = 0;
        while (start <= printer.port.size()) {
            std::size_t comma = printer.port.find(',', start);
            std::string port = printer.port.substr(start, comma - start);
            if (!port.empty()) {
                entries.push_back(printer.name + " on " + port + "\t" + printer.name + "=" +
                                  printer.driver + "," + port);
            }
            if (comma == std::string::npos) {
                break;
            }
            start = comma + 1;
        }
    }
    return entries;
}

int PrinterEntryToSelect(const std::vector<std::string>& entries, const std::string& device,
                         const std::string& port, const std::string& defaultDevice) {
    if (entries.empty()) {
        return -1;
    }
    std::string chosen = device + " on " + port + "\t";
    std::string fallback = defaultDevice + " on ";
    int defaultIndex = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!device.empty() && entries[i].compare(0, chosen.size(), chosen) == 0) {
            return static_cast<int>(i);
        }
        if (defaultIndex < 0 && !defaultDevice.empty() &&
            entries[i].compare(0, fallback.size(), fallback) == 0) {
            defaultIndex = static_cast<int>(i);
        }
    }
    return defaultIndex >= 0 ? defaultIndex : 0;
}

bool PrintCommandEnabled() {
    std::string defaultEntry;
    for (const SystemPrinter& printer : SystemPrinters()) {
        if (printer.isDefault) {
            defaultEntry = printer.name + "," + printer.driver + "," + printer.port;
        }
    }
    return defaultEntry != printerDescription.Port();
}

void page_setup() {
    static DialogTemplate pageSetup = PageSetupTemplate();
    PageSetupState state;
    DialogBoxIndirectParamA(ew.instance, &pageSetup, ew.frame, PageSetupProc,
                            reinterpret_cast<LPARAM>(&state));
}

void printer_setup() {
    static DialogTemplate printerSetup = PrinterSetupTemplate();
    PrinterSetupState state;
    state.work = printerDescription;
    INT_PTR result = DialogBoxIndirectParamA(ew.instance, &printerSetup, ew.frame, PrinterSetupDlg,
                                             reinterpret_cast<LPARAM>(&state));
    if (result == IDOK) {
        printerDescription = state.work;
    }
    UINT enable = PrintCommandEnabled() ? MF_ENABLED : MF_GRAYED;
    if (ew.documentMenu != nullptr) {
        EnableMenuItem(ew.documentMenu, IDM_PRINT, MF_BYCOMMAND | enable);
    }
}

}  // namespace fvedit
