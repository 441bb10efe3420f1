// The print commands: print (the abort window and its procedure), Page Setup (template 942)
// and Printer Setup (template 13), and the entries the printer list shows.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ui.h"

namespace fvedit {

using namespace farvane::ui;

inline constexpr int IDD_PAGE_SETUP = 942;
inline constexpr int IDC_PRINT_HEADER = 780;
inline constexpr int IDC_PRINT_FOOTER = 781;
inline constexpr int IDC_PRINT_FONT = 788;
inline constexpr int IDC_PAGE_PRINTER = 1026;
inline constexpr int IDC_MARGIN_LEFT = 1155;
inline constexpr int IDC_MARGIN_TOP = 1156;
inline constexpr int IDC_MARGIN_RIGHT = 1157;
inline constexpr int IDC_MARGIN_BOTTOM = 1158;
inline constexpr int IDD_PRINTER_SETUP = 13;
inline constexpr int IDC_PRINTER_LIST = 797;
inline constexpr int IDC_PRINTER_DRIVER_SETUP = 798;

void print_file();
void page_setup();
void printer_setup();
BOOL AbortProc(HDC dc, int code);
// The abort window of the print job under way, or null.
HWND PrintAbortWindow();

// One line of the printer list: "DEVICE on PORT" shown, "DEVICE=DRIVER,PORT" after the tab.
std::vector<std::string> PrinterListEntries(const std::vector<SystemPrinter>& printers);
// The entry to select: the one of the chosen device and port, else the default printer's
// first, else the first (-1 for an empty list).
int PrinterEntryToSelect(const std::vector<std::string>& entries, const std::string& device,
                         const std::string& port, const std::string& defaultDevice);

// The description chosen in Printer Setup: the port, and the device name at byte 84.
inline constexpr std::size_t PRINTER_DESCRIPTION_SIZE = 232;
inline constexpr std::size_t PRINTER_DESCRIPTION_DEVICE = 84;
struct PrinterDescription {
    char bytes[PRINTER_DESCRIPTION_SIZE] = {};
    std::string Port() const;
    std::string Device() const;
};
extern PrinterDescription printerDescription;
// Whether the Print command is enabled after Printer Setup.
bool PrintCommandEnabled();

}  // namespace fvedit
