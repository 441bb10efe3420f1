// The common dialogs: open and save file names, font, print and page setup. The headless
// backend answers them from a script (headless_backend.h); the Qt backend shows Qt's dialogs.
#pragma once

#include "platform/ui/gdi_api.h"
#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize = sizeof(OPENFILENAMEA);
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    LPCSTR lpstrFilter = nullptr;  // pairs of NUL-terminated texts, ended by an empty one
    LPSTR lpstrCustomFilter = nullptr;
    DWORD nMaxCustFilter = 0;
    DWORD nFilterIndex = 0;  // 1-based
    LPSTR lpstrFile = nullptr;
    DWORD nMaxFile = 0;
    LPSTR lpstrFileTitle = nullptr;
    DWORD nMaxFileTitle = 0;
    LPCSTR lpstrInitialDir = nullptr;
    LPCSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
    WORD nFileOffset = 0;
    WORD nFileExtension = 0;
    LPCSTR lpstrDefExt = nullptr;
    LPARAM lCustData = 0;
    LPOFNHOOKPROC lpfnHook = nullptr;
    LPCSTR lpTemplateName = nullptr;
};

inline constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4,
                       OFN_NOCHANGEDIR = 0x8, OFN_SHOWHELP = 0x10, OFN_PATHMUSTEXIST = 0x800,
                       OFN_FILEMUSTEXIST = 0x1000, OFN_CREATEPROMPT = 0x2000;

struct CHOOSEFONTA {
    DWORD lStructSize = sizeof(CHOOSEFONTA);
    HWND hwndOwner = nullptr;
    HDC hDC = nullptr;
    LOGFONTA* lpLogFont = nullptr;
    INT iPointSize = 0;  // tenths of a point
    DWORD Flags = 0;
    COLORREF rgbColors = 0;
    LPARAM lCustData = 0;
};

inline constexpr DWORD CF_SCREENFONTS = 0x1, CF_PRINTERFONTS = 0x2, CF_SHOWHELP = 0x4,
                       CF_INITTOLOGFONTSTRUCT = 0x40, CF_EFFECTS = 0x100,
                       CF_FIXEDPITCHONLY = 0x4000, CF_FORCEFONTEXIST = 0x10000,
                       CF_LIMITSIZE = 0x2000;

struct PRINTDLGA {
    DWORD lStructSize = sizeof(PRINTDLGA);
    HWND hwndOwner = nullptr;
    HGLOBAL hDevMode = nullptr;
    HGLOBAL hDevNames = nullptr;
    HDC hDC = nullptr;
    DWORD Flags = 0;
    WORD nFromPage = 0;
    WORD nToPage = 0;
    WORD nMinPage = 0;
    WORD nMaxPage = 0;
    WORD nCopies = 1;
};

inline constexpr DWORD PD_ALLPAGES = 0x0, PD_SELECTION = 0x1, PD_PAGENUMS = 0x2,
                       PD_NOSELECTION = 0x4, PD_NOPAGENUMS = 0x8, PD_PRINTSETUP = 0x40,
                       PD_RETURNDC = 0x100, PD_RETURNDEFAULT = 0x400;

struct PAGESETUPDLGA {
    DWORD lStructSize = sizeof(PAGESETUPDLGA);
    HWND hwndOwner = nullptr;
    HGLOBAL hDevMode = nullptr;
    HGLOBAL hDevNames = nullptr;
    DWORD Flags = 0;
    POINT ptPaperSize;
    RECT rtMinMargin;
    RECT rtMargin;  // in the unit the flags name
    HINSTANCE hInstance = nullptr;
    LPARAM lCustData = 0;
    LPOFNHOOKPROC lpfnPageSetupHook = nullptr;
    LPCSTR lpPageSetupTemplateName = nullptr;
};

inline constexpr DWORD PSD_DEFAULTMINMARGINS = 0x0, PSD_INTHOUSANDTHSOFINCHES = 0x4,
                       PSD_INHUNDREDTHSOFMILLIMETERS = 0x8, PSD_MARGINS = 0x2,
                       PSD_DISABLEORIENTATION = 0x100, PSD_RETURNDEFAULT = 0x400,
                       PSD_ENABLEPAGESETUPHOOK = 0x2000, PSD_ENABLEPAGESETUPTEMPLATE = 0x8000;

// FALSE when cancelled or failed; CommDlgExtendedError then tells which (0 for cancel).
BOOL GetOpenFileNameA(OPENFILENAMEA* request);
BOOL GetSaveFileNameA(OPENFILENAMEA* request);
BOOL ChooseFontA(CHOOSEFONTA* request);
// With PD_RETURNDEFAULT no dialog is shown; with PD_RETURNDC a printer device context of the
// system's default printer is returned in hDC (delete it with DeleteDC).
BOOL PrintDlgA(PRINTDLGA* request);
BOOL PageSetupDlgA(PAGESETUPDLGA* request);
DWORD CommDlgExtendedError();
inline constexpr DWORD CDERR_STRUCTSIZE = 0x1, CDERR_INITIALIZATION = 0x2,
                       FNERR_BUFFERTOOSMALL = 0x3003, PDERR_NODEFAULTPRN = 0x1008;

// Fills in the file offset, extension offset and file title of a chosen name; FALSE (with
// FNERR_BUFFERTOOSMALL) when the name does not fit the caller's buffer.
BOOL StoreChosenFileName(OPENFILENAMEA* request, const std::string& path);

}  // namespace farvane::ui
