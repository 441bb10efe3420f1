// Message numbers, styles, notification codes and flags of the windowing layer, with the
// values of the Win32 platform so that numbers stored in templates and tables keep meaning.
#pragma once

#include "platform/ui/user_types.h"

namespace farvane::ui {

// Window messages.
inline constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
                      WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007,
                      WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B,
                      WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
                      WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUERYENDSESSION = 0x0011,
                      WM_QUIT = 0x0012, WM_QUERYOPEN = 0x0013, WM_ERASEBKGND = 0x0014,
                      WM_SYSCOLORCHANGE = 0x0015, WM_ENDSESSION = 0x0016, WM_SHOWWINDOW = 0x0018,
                      WM_WININICHANGE = 0x001A, WM_ACTIVATEAPP = 0x001C, WM_SETCURSOR = 0x0020,
                      WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022,
                      WM_GETMINMAXINFO = 0x0024, WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C,
                      WM_NEXTDLGCTL = 0x0028, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031,
                      WM_WINDOWPOSCHANGED = 0x0047, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082,
                      WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087, WM_KEYDOWN = 0x0100,
                      WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104,
                      WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_INITDIALOG = 0x0110,
                      WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
                      WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116,
                      WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F, WM_ENTERIDLE = 0x0121,
                      WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
                      WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204,
                      WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207,
                      WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
                      WM_PARENTNOTIFY = 0x0210, WM_MDICREATE = 0x0220, WM_MDIDESTROY = 0x0221,
                      WM_MDIACTIVATE = 0x0222, WM_MDIRESTORE = 0x0223, WM_MDINEXT = 0x0224,
                      WM_MDIMAXIMIZE = 0x0225, WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227,
                      WM_MDIICONARRANGE = 0x0228, WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230,
                      WM_DROPFILES = 0x0233, WM_MDIREFRESHMENU = 0x0234, WM_CUT = 0x0300,
                      WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
                      WM_USER = 0x0400, WM_APP = 0x8000;
inline constexpr UINT WM_KEYFIRST = WM_KEYDOWN, WM_KEYLAST = 0x0109;
inline constexpr UINT WM_MOUSEFIRST = WM_MOUSEMOVE, WM_MOUSELAST = 0x020D;
// Numbers handed out by RegisterWindowMessage.
inline constexpr UINT REGISTERED_MESSAGE_FIRST = 0xC000, REGISTERED_MESSAGE_LAST = 0xFFFF;

// WM_ACTIVATE.
inline constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
// WM_MOUSEACTIVATE: the hit-test code of a click in the client area, and the answers.
inline constexpr WORD HTCLIENT = 1;
inline constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3,
                         MA_NOACTIVATEANDEAT = 4;
// WM_SIZE.
inline constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
// Mouse key state.
inline constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004,
                        MK_CONTROL = 0x0008, MK_MBUTTON = 0x0010;

// Window styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                       WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                       WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000,
                       WS_MAXIMIZE = 0x01000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
                       WS_DLGFRAME = 0x00400000, WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000,
                       WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000,
                       WS_TABSTOP = 0x00010000, WS_MINIMIZEBOX = 0x00020000,
                       WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
                       WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010,
                       WS_EX_MDICHILD = 0x00000040, WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008,
                      CS_OWNDC = 0x0020, CS_NOCLOSE = 0x0200;

// Dialog styles.
inline constexpr DWORD DS_SETFONT = 0x40, DS_MODALFRAME = 0x80, DS_NOIDLEMSG = 0x100,
                       DS_SYSMODAL = 0x02, DS_CENTER = 0x0800;

// Button styles, messages and notifications.
inline constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2,
                       BS_AUTOCHECKBOX = 0x3, BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5,
                       BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7, BS_AUTORADIOBUTTON = 0x9,
                       BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF, BS_LEFTTEXT = 0x20;
inline constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2,
                      BM_SETSTATE = 0x00F3, BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5;
inline constexpr WPARAM BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2, BST_FOCUS = 8;
inline constexpr WORD BN_CLICKED = 0, BN_DOUBLECLICKED = 5, BN_SETFOCUS = 6, BN_KILLFOCUS = 7;

// Static styles.
inline constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3,
                       SS_BLACKRECT = 0x4, SS_SIMPLE = 0xB, SS_LEFTNOWORDWRAP = 0xC,
                       SS_TYPEMASK = 0x1F, SS_NOPREFIX = 0x80, SS_NOTIFY = 0x100,
                       SS_SUNKEN = 0x1000;

// Edit styles, messages and notifications.
inline constexpr DWORD ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4,
                       ES_UPPERCASE = 0x8, ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20,
                       ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80, ES_NOHIDESEL = 0x100,
                       ES_OEMCONVERT = 0x400, ES_READONLY = 0x800, ES_WANTRETURN = 0x1000,
                       ES_NUMBER = 0x2000;
inline constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETMODIFY = 0x00B8,
                      EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_REPLACESEL = 0x00C2,
                      EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6,
                      EM_SETREADONLY = 0x00CF, EM_GETLIMITTEXT = 0x00D5;
inline constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300,
                      EN_UPDATE = 0x0400, EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501;
// The default and largest text limit of an edit control.
inline constexpr UINT EDIT_DEFAULT_LIMIT = 30000, EDIT_MAX_LIMIT = 0x7FFFFFFE;

// List box styles, messages, notifications and results.
inline constexpr DWORD LBS_NOTIFY = 0x1, LBS_SORT = 0x2, LBS_NOREDRAW = 0x4, LBS_MULTIPLESEL = 0x8,
                       LBS_OWNERDRAWFIXED = 0x10, LBS_OWNERDRAWVARIABLE = 0x20,
                       LBS_HASSTRINGS = 0x40, LBS_USETABSTOPS = 0x80, LBS_NOINTEGRALHEIGHT = 0x100,
                       LBS_WANTKEYBOARDINPUT = 0x400, LBS_DISABLENOSCROLL = 0x1000,
                       LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;
inline constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182,
                      LB_RESETCONTENT = 0x0184, LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186,
                      LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188, LB_GETTEXT = 0x0189,
                      LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C,
                      LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190,
                      LB_SETTABSTOPS = 0x0192, LB_SETTOPINDEX = 0x0197, LB_GETITEMDATA = 0x0199,
                      LB_SETITEMDATA = 0x019A, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
                      LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
inline constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2), LBN_SELCHANGE = 1, LBN_DBLCLK = 2,
                      LBN_SELCANCEL = 3, LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;

// Combo box styles, messages, notifications and results.
inline constexpr DWORD CBS_SIMPLE = 0x1, CBS_DROPDOWN = 0x2, CBS_DROPDOWNLIST = 0x3,
                       CBS_OWNERDRAWFIXED = 0x10, CBS_AUTOHSCROLL = 0x40, CBS_OEMCONVERT = 0x80,
                       CBS_SORT = 0x100, CBS_HASSTRINGS = 0x200, CBS_NOINTEGRALHEIGHT = 0x400,
                       CBS_DISABLENOSCROLL = 0x800;
inline constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142,
                      CB_ADDSTRING = 0x0143, CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146,
                      CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148, CB_GETLBTEXTLEN = 0x0149,
                      CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C,
                      CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F,
                      CB_GETITEMDATA = 0x0150, CB_SETITEMDATA = 0x0151, CB_GETDROPPEDSTATE = 0x0157,
                      CB_FINDSTRINGEXACT = 0x0158;
inline constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
inline constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1), CBN_SELCHANGE = 1, CBN_DBLCLK = 2,
                      CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5, CBN_EDITUPDATE = 6,
                      CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;

// Owner-draw.
inline constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4;
inline constexpr UINT ODS_SELECTED = 1, ODS_GRAYED = 2, ODS_DISABLED = 4, ODS_CHECKED = 8,
                      ODS_FOCUS = 0x10;

// Dialog messages and codes.
inline constexpr UINT DM_GETDEFID = WM_USER + 0, DM_SETDEFID = WM_USER + 1;
inline constexpr WORD DC_HASDEFID = 0x534B;
inline constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                         DLGC_WANTMESSAGE = 0x4, DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10,
                         DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40,
                         DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
inline constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6,
                     IDNO = 7;

// Window long indexes.
inline constexpr int GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_ID = -12,
                     GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_USERDATA = -21;
inline constexpr int DWL_MSGRESULT = 0, DWL_DLGPROC = 4, DWL_USER = 8;

// ShowWindow.
inline constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2,
                     SW_SHOWMAXIMIZED = 3, SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5,
                     SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9,
                     SW_SHOWDEFAULT = 10;

// SetWindowPos.
inline constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8,
                      SWP_NOACTIVATE = 0x10, SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80;
inline const HWND HWND_TOP = nullptr;
// Posting to this handle reaches every top-level window of this and the user's other programs.
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));

// System commands.
inline constexpr UINT SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020,
                      SC_MAXIMIZE = 0xF030, SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050,
                      SC_CLOSE = 0xF060, SC_RESTORE = 0xF120, SC_TASKLIST = 0xF130;

// Menus.
inline constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200,
                      MF_REMOVE = 0x1000, MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400,
                      MF_SEPARATOR = 0x800, MF_ENABLED = 0x0, MF_GRAYED = 0x1, MF_DISABLED = 0x2,
                      MF_UNCHECKED = 0x0, MF_CHECKED = 0x8, MF_STRING = 0x0, MF_POPUP = 0x10,
                      MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_HILITE = 0x80,
                      MF_OWNERDRAW = 0x100, MF_END = 0x80, MF_HELP = 0x4000, MF_SYSMENU = 0x2000;
inline constexpr UINT TPM_LEFTALIGN = 0, TPM_RETURNCMD = 0x100, TPM_NONOTIFY = 0x80;

// Accelerator flags.
inline constexpr BYTE FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08,
                      FALT = 0x10;
// Marks the last entry of an accelerator table held as data.
inline constexpr BYTE FLAST_ENTRY = 0x80;

// Virtual keys.
inline constexpr WORD VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_BACK = 0x08,
                      VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
                      VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
                      VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
                      VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
                      VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_NUMPAD0 = 0x60,
                      VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
                      VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73,
                      VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78,
                      VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
                      VK_SCROLL = 0x91, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC,
                      VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0,
                      VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
                      VK_OEM_8 = 0xDF;

// Scroll bars.
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1,
                      SB_PAGEUP = 2, SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3,
                      SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7,
                      SB_ENDSCROLL = 8;
inline constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_TRACKPOS = 0x10,
                      SIF_ALL = 0x17;

// Message boxes.
inline constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2,
                      MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_TYPEMASK = 0xF,
                      MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10,
                      MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30,
                      MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40, MB_ICONMASK = 0xF0,
                      MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
                      MB_DEFMASK = 0xF00, MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000,
                      MB_TASKMODAL = 0x2000;

// PeekMessage.
inline constexpr UINT PM_NOREMOVE = 0x0, PM_REMOVE = 0x1, PM_NOYIELD = 0x2;

// Redraw and invalidation.
inline constexpr UINT RDW_INVALIDATE = 0x1, RDW_ERASE = 0x4, RDW_ALLCHILDREN = 0x80,
                      RDW_UPDATENOW = 0x100, RDW_FRAME = 0x400;

// System metrics and colours.
inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
                     SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
                     SM_CYDLGFRAME = 8, SM_CYMENU = 15, SM_CXFRAME = 32, SM_CYFRAME = 33,
                     SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICON = 11, SM_CYICON = 12,
                     SM_CXMINIMIZED = 57, SM_CYMINIMIZED = 58;
inline constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
                     COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
                     COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_APPWORKSPACE = 12,
                     COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
                     COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
                     COLOR_3DFACE = 15, COLOR_MAX = 19;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3,
                     BLACK_BRUSH = 4, NULL_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
                     OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12,
                     SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14, SYSTEM_FIXED_FONT = 16,
                     DEFAULT_GUI_FONT = 17, STOCK_OBJECT_LAST = 17;

// Text drawing.
inline constexpr int TRANSPARENT = 1, OPAQUE = 2;
inline constexpr LONG FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, OEM_CHARSET = 255;
inline constexpr BYTE FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_MODERN = 0x30;
inline constexpr UINT DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                      DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOPREFIX = 0x800;

// Device capabilities.
inline constexpr int HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12,
                     PLANES = 14, LOGPIXELSX = 88, LOGPIXELSY = 90, PHYSICALWIDTH = 110,
                     PHYSICALHEIGHT = 111;
inline constexpr int SP_ERROR = -1, SP_APPABORT = -2;

// Clipboard formats and global memory.
inline constexpr UINT CF_TEXT = 1, CF_OEMTEXT = 7;
inline constexpr UINT GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40,
                      GMEM_DDESHARE = 0x2000, GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Help.
inline constexpr UINT HELP_CONTEXT = 0x1, HELP_QUIT = 0x2, HELP_INDEX = 0x3, HELP_CONTENTS = 0x3,
                      HELP_HELPONHELP = 0x4, HELP_SETINDEX = 0x5, HELP_SETCONTENTS = 0x5,
                      HELP_KEY = 0x101;

// MDI.
inline constexpr UINT MDITILE_VERTICAL = 0x0, MDITILE_HORIZONTAL = 0x1, MDITILE_SKIPDISABLED = 0x2;

}  // namespace farvane::ui
