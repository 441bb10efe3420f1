// Dialogs built from templates held as data, their item functions, the dialog manager's
// keyboard handling, and message boxes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

// The id of controls that no code addresses (statics, group boxes).
inline constexpr UINT IDC_STATIC = 0xFFFF;

struct DialogItemTemplate {
    std::string
        className;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX" or a registered class
    UINT id = IDC_STATIC;
    DWORD style = 0;  // WS_CHILD is always added, WS_VISIBLE unless `hidden`
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    std::string text;
    bool hidden = false;
};

struct DialogTemplate {
    DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;  // size in dialog units
    short cy = 0;
    std::string caption;
    std::string fontName;  // with DS_SETFONT semantics when not empty
    WORD pointSize = 8;
    std::vector<DialogItemTemplate> items;
};

// Template items with the default styles a resource script gives each statement.
DialogItemTemplate PushButton(const std::string& text, UINT id, short x, short y, short cx,
                              short cy, DWORD style = 0);
DialogItemTemplate DefPushButton(const std::string& text, UINT id, short x, short y, short cx,
                                 short cy, DWORD style = 0);
DialogItemTemplate LText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style = 0);
DialogItemTemplate CText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style = 0);
DialogItemTemplate RText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style = 0);
DialogItemTemplate GroupBox(const std::string& text, UINT id, short x, short y, short cx, short cy,
                            DWORD style = 0);
DialogItemTemplate EditText(UINT id, short x, short y, short cx, short cy, DWORD style = 0);
DialogItemTemplate CheckBox(const std::string& text, UINT id, short x, short y, short cx, short cy,
                            DWORD style = 0);
DialogItemTemplate AutoCheckBox(const std::string& text, UINT id, short x, short y, short cx,
                                short cy, DWORD style = 0);
DialogItemTemplate RadioButton(const std::string& text, UINT id, short x, short y, short cx,
                               short cy, DWORD style = 0);
DialogItemTemplate AutoRadioButton(const std::string& text, UINT id, short x, short y, short cx,
                                   short cy, DWORD style = 0);
DialogItemTemplate ListBox(UINT id, short x, short y, short cx, short cy, DWORD style = 0);
DialogItemTemplate ComboBox(UINT id, short x, short y, short cx, short cy, DWORD style = 0);
DialogItemTemplate Control(const std::string& text, UINT id, const std::string& className,
                           DWORD style, short x, short y, short cx, short cy);

HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param);
// Runs the dialog modally; returns the EndDialog result, or -1 when it cannot be created.
INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param);
// The same for a dialog resource of a module (see resources.h).
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL MapDialogRect(HWND dialog, RECT* rect);
LONG GetDialogBaseUnits();

// Shows a message box; returns the id of the button chosen, 0 on failure.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Scripting of modal dialogs (tests, and programs driven without a user): the next modal
// dialog that opens is handed to the first queued handler once it is initialised and shown;
// the handler acts as the user would (see control_input.h) and usually ends the dialog. Without
// a handler, a headless program's modal dialog ends at once as if cancelled.
void PushModalDialogHandler(std::function<void(HWND dialog)> handler);
void ClearModalDialogHandlers();

}  // namespace farvane::ui
