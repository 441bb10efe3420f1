// Dialog creation from templates, the modal loop, the default dialog procedure and the item
// functions.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "platform/ui/control_state.h"
#include "platform/ui/dialog_api.h"
#include "platform/ui/dialog_state.h"
#include "platform/ui/gdi_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

std::deque<std::function<void(HWND)>>& ModalHandlers() {
    static auto* handlers = new std::deque<std::function<void(HWND)>>();
    return *handlers;
}

DialogState* DialogOf(HWND dialog) {
    Window* w = FindWindowObject(dialog);
    return w ? w->dialog.get() : nullptr;
}

// Controls of a dialog in template (tab) order.
std::vector<HWND> ControlsInOrder(HWND dialog) {
    Window* w = FindWindowObject(dialog);
    if (!w) {
        return {};
    }
    return std::vector<HWND>(w->children.rbegin(), w->children.rend());
}

bool IsTabStop(HWND control) {
    Window* w = FindWindowObject(control);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

HFONT DialogFont(const DialogTemplate& dialog, int* baseX, int* baseY) {
    LOGFONTA logFont;
    logFont.lfHeight = -MulDiv(dialog.pointSize ? dialog.pointSize : 8, 96, 72);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfPitchAndFamily = VARIABLE_PITCH;
    std::strncpy(logFont.lfFaceName,
                 dialog.fontName.empty() ? "MS Sans Serif" : dialog.fontName.c_str(),
                 LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&logFont);
    FontSpec fontSpec = ResolveScreenFont(font);
    *baseX = std::max<int>(1, fontSpec.metrics.tmAveCharWidth);
    *baseY = std::max<int>(1, fontSpec.metrics.tmHeight);
    return font;
}

RECT ToPixels(int baseX, int baseY, short x, short y, short cx, short cy) {
    int left = MulDiv(x, baseX, 4);
    int top = MulDiv(y, baseY, 8);
    return RECT{left, top, left + MulDiv(cx, baseX, 4), top + MulDiv(cy, baseY, 8)};
}

POINT DialogOrigin(const DialogTemplate& dialog, HWND owner, const RECT& size) {
    POINT origin{0, 0};
    if (owner) {
        ClientToScreen(owner, &origin);
    }
    RECT pixels = size;
    if (dialog.style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (owner) {
            GetWindowRect(owner, &area);
        }
        origin.x = area.left + ((area.right - area.left) - (pixels.right - pixels.left)) / 2;
        origin.y = area.top + ((area.bottom - area.top) - (pixels.bottom - pixels.top)) / 2;
        return origin;
    }
    origin.x += pixels.left;
    origin.y += pixels.top;
    return origin;
}

bool CreateItems(HWND dialog, const DialogTemplate& tmpl, HINSTANCE instance, HFONT font, int baseX,
                 int baseY) {
    for (const DialogItemTemplate& item : tmpl.items) {
        RECT r = ToPixels(baseX, baseY, item.x, item.y, item.cx, item.cy);
        DWORD style = item.style | WS_CHILD | (item.hidden ? 0 : WS_VISIBLE);
        HWND control = CreateWindowExA(
            item.exStyle, item.className.c_str(), item.text.c_str(), style, r.left, r.top,
            r.right - r.left, r.bottom - r.top, dialog,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, nullptr);
        if (!control) {
            return false;
        }
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && item.className.size() == 6 &&
            ToLower(item.className) == "button") {
            if (DialogState* state = DialogOf(dialog)) {
                state->defaultId = item.id;
            }
        }
    }
    return true;
}

HWND FirstTabStop(HWND dialog) {
    for (HWND control : ControlsInOrder(dialog)) {
        if (IsTabStop(control)) {
            return control;
        }
    }
    return nullptr;
}

void FocusControl(HWND dialog, HWND control) {
    if (!control) {
        return;
    }
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageA(control, EM_SETSEL, 0, -1);
    }
    if (DialogState* state = DialogOf(dialog)) {
        state->lastFocus = control;
    }
}

HWND CreateDialogCore(HINSTANCE instance, const DialogTemplate* tmpl, HWND parent, DLGPROC proc,
                      LPARAM param, bool modal) {
    if (!tmpl || !OnUiThread() || (parent && !IsWindow(parent))) {
        return nullptr;
    }
    EnsureInitialised();
    int baseX = 6;
    int baseY = 13;
    HFONT font = DialogFont(*tmpl, &baseX, &baseY);
    RECT size = ToPixels(baseX, baseY, tmpl->x, tmpl->y, tmpl->cx, tmpl->cy);
    HWND owner = parent ? TopLevelOf(parent) : nullptr;
    POINT origin = DialogOrigin(*tmpl, (tmpl->style & WS_CHILD) ? parent : owner, size);
    DWORD style = tmpl->style & ~WS_VISIBLE;
    HWND dialog = CreateWindowExA(
        tmpl->exStyle | ((tmpl->style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0), kDialogClassName,
        tmpl->caption.c_str(), style, (style & WS_CHILD) ? MulDiv(tmpl->x, baseX, 4) : origin.x,
        (style & WS_CHILD) ? MulDiv(tmpl->y, baseY, 8) : origin.y, size.right - size.left,
        size.bottom - size.top, (style & WS_CHILD) ? parent : owner, nullptr, instance, nullptr);
    if (!dialog) {
        DeleteObject(font);
        return nullptr;
    }
    DialogState* state = DialogOf(dialog);
    state->proc = proc;
    state->modal = modal;
    state->baseUnitX = baseX;
    state->baseUnitY = baseY;
    state->font = font;
    state->ownsFont = true;
    SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!CreateItems(dialog, *tmpl, instance, font, baseX, baseY)) {
        DestroyWindow(dialog);
        return nullptr;
    }
    HWND first = FirstTabStop(dialog);
    LRESULT focusDefault =
        SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog)) {
        return nullptr;
    }
    if ((tmpl->style & WS_VISIBLE) && !(DialogOf(dialog) && DialogOf(dialog)->ended)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    if (focusDefault && IsWindow(first)) {
        FocusControl(dialog, first);
    }
    return IsWindow(dialog) ? dialog : nullptr;
}

bool IsHeadless() {
    return std::strcmp(CurrentBackend().name(), "headless") == 0;
}

INT_PTR RunModal(HWND dialog, HWND owner) {
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    if (DialogOf(dialog) && !DialogOf(dialog)->ended && !IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    if (!ModalHandlers().empty()) {
        auto handler = std::move(ModalHandlers().front());
        ModalHandlers().pop_front();
        handler(dialog);
    } else if (IsHeadless() && DialogOf(dialog) && !DialogOf(dialog)->ended) {
        // Nobody can answer a headless dialog: it ends as if cancelled.
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (DialogOf(dialog) && !DialogOf(dialog)->ended) {
            EndDialog(dialog, IDCANCEL);
        }
    }
    MSG msg;
    bool quit = false;
    int quitCode = 0;
    while (DialogOf(dialog) && !DialogOf(dialog)->ended) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = DialogOf(dialog) ? DialogOf(dialog)->result : -1;
    if (ownerWasEnabled && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(dialog)) {
        DestroyWindow(dialog);
    }
    if (owner && IsWindow(owner)) {
        SetActiveWindow(owner);
    }
    if (quit) {
        PostQuitMessage(quitCode);
    }
    return result;
}

bool IsPushButton(HWND control) {
    if (KindOf(control) != ControlKind::Button) {
        return false;
    }
    Window* w = FindWindowObject(control);
    DWORD type = w->style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void SetDefaultButton(HWND dialog, UINT id) {
    DialogState* state = DialogOf(dialog);
    if (!state) {
        return;
    }
    HWND old = GetDlgItem(dialog, static_cast<int>(state->defaultId));
    if (old && IsPushButton(old)) {
        SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    state->defaultId = id;
    HWND next = GetDlgItem(dialog, static_cast<int>(id));
    if (next && IsPushButton(next)) {
        SendMessageA(next, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

void PressButtonId(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

bool HandleMnemonic(HWND dialog, char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::vector<HWND> controls = ControlsInOrder(dialog);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Window* w = FindWindowObject(controls[i]);
        if (!w || !(w->style & WS_VISIBLE) || (w->style & WS_DISABLED) ||
            MnemonicOf(w->text) != letter) {
            continue;
        }
        ControlKind kind = KindOf(controls[i]);
        if (kind == ControlKind::Static ||
            (kind == ControlKind::Button && (w->style & BS_TYPEMASK) == BS_GROUPBOX)) {
            // A label gives the focus to the next control that takes it.
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                if (IsTabStop(controls[j])) {
                    FocusControl(dialog, controls[j]);
                    return true;
                }
            }
            return true;
        }
        if (kind == ControlKind::Button) {
            FocusControl(dialog, controls[i]);
            SendMessageA(controls[i], BM_CLICK, 0, 0);
            return true;
        }
        FocusControl(dialog, controls[i]);
        return true;
    }
    return false;
}

}  // namespace

HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param) {
    return CreateDialogCore(instance, dialog, parent, proc, param, false);
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND parent,
                                DLGPROC proc, LPARAM param) {
    HWND owner = parent ? TopLevelOf(parent) : nullptr;
    HWND window = CreateDialogCore(instance, dialog, parent, proc, param, true);
    if (!window) {
        return -1;
    }
    return RunModal(window, owner);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
    const DialogTemplate* dialog = FindDialogResource(instance, name);
    return dialog ? CreateDialogIndirectParamA(instance, dialog, parent, proc, param) : nullptr;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc, LPARAM param) {
    const DialogTemplate* dialog = FindDialogResource(instance, name);
    return dialog ? DialogBoxIndirectParamA(instance, dialog, parent, proc, param) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState* state = DialogOf(dialog);
    if (!state) {
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    if (IsWindowVisible(dialog)) {
        ShowWindow(dialog, SW_HIDE);
    }
    CurrentBackend().wake();
    return TRUE;
}

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState* state = DialogOf(dialog);
    if (!state) {
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
    DLGPROC proc = state->proc;
    state->msgResult = 0;
    INT_PTR handled = proc ? proc(dialog, message, wParam, lParam) : 0;
    state = DialogOf(dialog);
    if (!state) {
        return handled;
    }
    if (handled) {
        switch (message) {
            case WM_INITDIALOG:
            case WM_CTLCOLORSTATIC:
            case WM_GETDLGCODE:
                return handled;
            default:
                return state->msgResult ? state->msgResult : handled;
        }
    }
    switch (message) {
        case WM_INITDIALOG:
            return 0;
        case WM_CLOSE: {
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (!cancel || IsWindowEnabled(cancel)) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(cancel));
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(dialog, focus)) {
                    state->lastFocus = focus;
                }
            } else {
                HWND target = IsWindow(state->lastFocus) ? state->lastFocus : FirstTabStop(dialog);
                if (target && !(GetFocus() && IsChild(dialog, GetFocus()))) {
                    SetFocus(target);
                }
            }
            return 0;
        case WM_SETFOCUS: {
            HWND target = IsWindow(state->lastFocus) ? state->lastFocus : FirstTabStop(dialog);
            if (target) {
                SetFocus(target);
            }
            return 0;
        }
        case DM_GETDEFID:
            return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(state->defaultId), DC_HASDEFID));
        case DM_SETDEFID:
            SetDefaultButton(dialog, static_cast<UINT>(wParam));
            return TRUE;
        case WM_NEXTDLGCTL: {
            HWND target = nullptr;
            if (LOWORD(lParam)) {
                target = reinterpret_cast<HWND>(wParam);
            } else {
                target = GetNextDlgTabItem(dialog, GetFocus(), wParam ? TRUE : FALSE);
            }
            if (target && IsChild(dialog, target)) {
                FocusControl(dialog, target);
            }
            return 0;
        }
        case WM_NCDESTROY:
            if (state->ownsFont) {
                DeleteObject(state->font);
                state->ownsFont = false;
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(dialog, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        default:
            return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
    if (!msg || !IsWindow(dialog) || !msg->hwnd || !IsDescendantOrSelf(dialog, msg->hwnd)) {
        return FALSE;
    }
    HWND focus = GetFocus();
    LRESULT code =
        (focus && IsChild(dialog, focus))
            ? SendMessageA(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg))
            : 0;
    if (msg->message == WM_KEYDOWN && !(code & DLGC_WANTALLKEYS)) {
        switch (msg->wParam) {
            case VK_TAB:
                if (!(code & DLGC_WANTTAB)) {
                    bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                    HWND next = GetNextDlgTabItem(dialog, focus, back ? TRUE : FALSE);
                    FocusControl(dialog, next);
                    return TRUE;
                }
                break;
            case VK_RETURN:
                if (focus && IsPushButton(focus) && IsChild(dialog, focus)) {
                    PressButtonId(dialog, GetDlgCtrlID(focus));
                } else {
                    LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                    PressButtonId(dialog, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK);
                }
                return TRUE;
            case VK_ESCAPE:
                PressButtonId(dialog, IDCANCEL);
                return TRUE;
            case VK_LEFT:
            case VK_UP:
            case VK_RIGHT:
            case VK_DOWN:
                if (!(code & DLGC_WANTARROWS)) {
                    bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                    HWND next = GetNextDlgGroupItem(dialog, focus, back ? TRUE : FALSE);
                    if (next && next != focus) {
                        FocusControl(dialog, next);
                        if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
                            SendMessageA(next, BM_CLICK, 0, 0);
                        }
                    }
                    return TRUE;
                }
                break;
            default:
                break;
        }
    }
    if (msg->message == WM_SYSCHAR ||
        (msg->message == WM_CHAR && !(code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)))) {
        if (HandleMnemonic(dialog, static_cast<char>(msg->wParam))) {
            return TRUE;
        }
        if (msg->message == WM_CHAR) {
            return TRUE;
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = FindWindowObject(dialog);
    if (!w) {
        return nullptr;
    }
    for (HWND child : w->children) {
        Window* c = FindWindowObject(child);
        if (c && static_cast<int>(c->id) == id) {
            return child;
        }
    }
    // Ids are 16-bit in templates: IDC_STATIC and -1 name the same controls.
    if (id == -1) {
        return GetDlgItem(dialog, static_cast<int>(IDC_STATIC));
    }
    return nullptr;
}

int GetDlgCtrlID(HWND control) {
    Window* w = FindWindowObject(control);
    return (w && (w->style & WS_CHILD)) ? static_cast<int>(w->id) : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (buffer && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char text[16];
    if (isSigned) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    } else {
        std::snprintf(text, sizeof text, "%u", value);
    }
    return SetDlgItemTextA(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) {
        *translated = FALSE;
    }
    char text[64];
    if (!GetDlgItem(dialog, id) || GetDlgItemTextA(dialog, id, text, sizeof text) == 0) {
        return 0;
    }
    const char* p = text;
    while (*p == ' ') {
        ++p;
    }
    bool negative = false;
    if (isSigned && *p == '-') {
        negative = true;
        ++p;
    }
    if (*p < '0' || *p > '9') {
        return 0;
    }
    unsigned long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > (isSigned ? 0x80000000ULL : 0xFFFFFFFFULL)) {
            return 0;  // out of range: not translated
        }
        ++p;
    }
    while (*p == ' ') {
        ++p;
    }
    if (*p != '\0' || (isSigned && !negative && value > 0x7FFFFFFF)) {
        return 0;
    }
    if (translated) {
        *translated = TRUE;
    }
    long long result = negative ? -static_cast<long long>(value) : static_cast<long long>(value);
    return static_cast<UINT>(result);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || KindOf(control) != ControlKind::Button) {
        return FALSE;
    }
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || KindOf(control) != ControlKind::Button) {
        return 0;
    }
    return static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
    if (!IsWindow(dialog) || firstId > lastId) {
        return FALSE;
    }
    for (HWND control : ControlsInOrder(dialog)) {
        int id = GetDlgCtrlID(control);
        if (id >= firstId && id <= lastId && KindOf(control) == ControlKind::Button) {
            SendMessageA(control, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> controls = ControlsInOrder(dialog);
    if (controls.empty()) {
        return nullptr;
    }
    auto count = static_cast<long>(controls.size());
    long start =
        static_cast<long>(std::find(controls.begin(), controls.end(), control) - controls.begin());
    if (start == count) {
        start = previous ? 0 : count - 1;
    }
    for (long n = 1; n <= count; ++n) {
        long i = previous ? (start - n + count * 2) % count : (start + n) % count;
        if (IsTabStop(controls[static_cast<std::size_t>(i)])) {
            return controls[static_cast<std::size_t>(i)];
        }
    }
    return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<HWND> controls = ControlsInOrder(dialog);
    auto self = std::find(controls.begin(), controls.end(), control);
    if (self == controls.end()) {
        return nullptr;
    }
    // The group runs from a control with WS_GROUP up to the next one.
    auto first = self;
    while (first != controls.begin() && !(GetWindowLongA(*first, GWL_STYLE) & WS_GROUP)) {
        --first;
    }
    auto last = self + 1;
    while (last != controls.end() && !(GetWindowLongA(*last, GWL_STYLE) & WS_GROUP)) {
        ++last;
    }
    std::vector<HWND> group(first, last);
    auto count = static_cast<long>(group.size());
    long start = static_cast<long>(std::find(group.begin(), group.end(), control) - group.begin());
    for (long n = 1; n <= count; ++n) {
        long i = previous ? (start - n + count * 2) % count : (start + n) % count;
        HWND candidate = group[static_cast<std::size_t>(i)];
        if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            return candidate;
        }
    }
    return control;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    DialogState* state = DialogOf(dialog);
    if (!state || !rect) {
        return FALSE;
    }
    rect->left = MulDiv(rect->left, state->baseUnitX, 4);
    rect->right = MulDiv(rect->right, state->baseUnitX, 4);
    rect->top = MulDiv(rect->top, state->baseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, state->baseUnitY, 8);
    return TRUE;
}

LONG GetDialogBaseUnits() {
    FontSpec font = ResolveScreenFont(GetStockObject(SYSTEM_FONT));
    return static_cast<LONG>(MAKELONG(static_cast<WORD>(font.metrics.tmAveCharWidth),
                                      static_cast<WORD>(font.metrics.tmHeight)));
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (!OnUiThread() || (owner && !IsWindow(owner))) {
        return 0;
    }
    HWND top = owner ? TopLevelOf(owner) : nullptr;
    bool disable = top && IsWindowEnabled(top);
    if (disable) {
        EnableWindow(top, FALSE);
    }
    int result =
        CurrentBackend().messageBox(owner, text ? text : "", caption ? caption : "Error", type);
    if (disable && IsWindow(top)) {
        EnableWindow(top, TRUE);
    }
    return result;
}

void PushModalDialogHandler(std::function<void(HWND dialog)> handler) {
    ModalHandlers().push_back(std::move(handler));
}

void ClearModalDialogHandlers() {
    ModalHandlers().clear();
}

}  // namespace farvane::ui
