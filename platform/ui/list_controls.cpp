// The list box and the combo box, which share one item list.
#include <algorithm>
#include <cstring>

#include "platform/ui/control_input.h"
#include "platform/ui/control_state.h"
#include "platform/ui/gdi_api.h"
#include "platform/ui/internal.h"
#include "platform/ui/window_api.h"

namespace farvane::ui {

namespace {

constexpr std::size_t kMaxItems = 1'000'000;

ListState& ListOf(Window& w) {
    if (!w.control) {
        w.control = std::make_unique<ListState>();
    }
    return static_cast<ListState&>(*w.control);
}

int CompareNoCase(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca - cb;
        }
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

struct ListStyle {
    bool sorted = false;
    bool ownerDrawn = false;
    bool hasStrings = true;
    bool notify = true;
    bool combo = false;
};

ListStyle StyleOf(const Window& w, bool combo) {
    ListStyle style;
    style.combo = combo;
    if (combo) {
        style.sorted = (w.style & CBS_SORT) != 0;
        style.ownerDrawn = (w.style & CBS_OWNERDRAWFIXED) != 0;
        style.hasStrings = !style.ownerDrawn || (w.style & CBS_HASSTRINGS);
    } else {
        style.sorted = (w.style & LBS_SORT) != 0;
        style.ownerDrawn = (w.style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
        style.hasStrings = !style.ownerDrawn || (w.style & LBS_HASSTRINGS);
        style.notify = (w.style & LBS_NOTIFY) != 0;
    }
    return style;
}

LRESULT ErrorCode(bool /*combo*/) {
    return -1;
}  // LB_ERR and CB_ERR share the value
LRESULT SpaceCode(bool /*combo*/) {
    return -2;
}

ListItem MakeItem(const ListStyle& style, LPARAM lParam) {
    ListItem item;
    if (style.hasStrings) {
        item.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    } else {
        item.data = static_cast<std::uintptr_t>(lParam);
    }
    return item;
}

LRESULT Insert(HWND window, ListState& list, const ListStyle& style, int index, ListItem item) {
    if (list.items.size() >= kMaxItems) {
        return SpaceCode(style.combo);
    }
    std::size_t at;
    if (index < 0 || static_cast<std::size_t>(index) >= list.items.size()) {
        if (index >= 0 && static_cast<std::size_t>(index) > list.items.size()) {
            return ErrorCode(style.combo);
        }
        at = list.items.size();
    } else {
        at = static_cast<std::size_t>(index);
    }
    list.items.insert(list.items.begin() + static_cast<long>(at), std::move(item));
    if (list.current >= static_cast<int>(at)) {
        ++list.current;
    }
    NotifyChange(window, WindowChange::ControlContent);
    InvalidateRect(window, nullptr, TRUE);
    return static_cast<LRESULT>(at);
}

LRESULT Add(HWND window, ListState& list, const ListStyle& style, LPARAM lParam) {
    ListItem item = MakeItem(style, lParam);
    int index = -1;
    if (style.sorted && style.hasStrings) {
        auto it = std::upper_bound(
            list.items.begin(), list.items.end(), item,
            [](const ListItem& a, const ListItem& b) { return CompareNoCase(a.text, b.text) < 0; });
        index = static_cast<int>(it - list.items.begin());
    }
    return Insert(window, list, style, index, std::move(item));
}

LRESULT Find(const ListState& list, WPARAM start, LPARAM lParam, bool exact,
             const ListStyle& style) {
    if (list.items.empty()) {
        return ErrorCode(style.combo);
    }
    std::string key = lParam ? reinterpret_cast<const char*>(lParam) : "";
    auto count = static_cast<long long>(list.items.size());
    long long first = static_cast<long long>(static_cast<std::intptr_t>(start));
    first = (first < 0 || first >= count) ? 0 : first + 1;
    for (long long n = 0; n < count; ++n) {
        auto i = static_cast<std::size_t>((first + n) % count);
        const ListItem& item = list.items[i];
        bool match = style.hasStrings ? (exact ? CompareNoCase(item.text, key) == 0
                                               : StartsWithNoCase(item.text, key))
                                      : item.data == static_cast<std::uintptr_t>(lParam);
        if (match) {
            return static_cast<LRESULT>(i);
        }
    }
    return ErrorCode(style.combo);
}

void SetComboText(HWND window, Window& w, const ListState& list) {
    w.text = (list.current >= 0) ? list.items[static_cast<std::size_t>(list.current)].text : "";
    NotifyChange(window, WindowChange::Text);
}

LRESULT SetCurrent(HWND window, Window& w, ListState& list, WPARAM wParam, bool combo) {
    auto index = static_cast<long long>(static_cast<std::intptr_t>(wParam));
    bool valid = index >= 0 && index < static_cast<long long>(list.items.size());
    list.current = valid ? static_cast<int>(index) : -1;
    if (combo) {
        SetComboText(window, w, list);
    }
    NotifyChange(window, WindowChange::ControlSelection);
    InvalidateRect(window, nullptr, TRUE);
    return valid ? static_cast<LRESULT>(index) : ErrorCode(combo);
}

bool ValidIndex(const ListState& list, WPARAM wParam) {
    auto index = static_cast<long long>(static_cast<std::intptr_t>(wParam));
    return index >= 0 && index < static_cast<long long>(list.items.size());
}

// Messages the list box and the combo box share under different numbers.
struct ListMessages {
    UINT add, insert, remove, reset, count, getCur, setCur, getText, getTextLen, find, findExact,
        select, getData, setData;
};

constexpr ListMessages kListBox{
    LB_ADDSTRING,       LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
    LB_GETCURSEL,       LB_SETCURSEL,    LB_GETTEXT,      LB_GETTEXTLEN,   LB_FINDSTRING,
    LB_FINDSTRINGEXACT, LB_SELECTSTRING, LB_GETITEMDATA,  LB_SETITEMDATA};
constexpr ListMessages kComboBox{
    CB_ADDSTRING,       CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    CB_GETCURSEL,       CB_SETCURSEL,    CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_FINDSTRING,
    CB_FINDSTRINGEXACT, CB_SELECTSTRING, CB_GETITEMDATA,  CB_SETITEMDATA};

// Handles the shared item messages; returns false when the message is not one of them.
bool ItemMessage(HWND window, Window& w, const ListMessages& m, UINT message, WPARAM wParam,
                 LPARAM lParam, LRESULT* result) {
    bool combo = &m == &kComboBox;
    ListState& list = ListOf(w);
    ListStyle style = StyleOf(w, combo);
    if (message == m.add) {
        *result = Add(window, list, style, lParam);
    } else if (message == m.insert) {
        *result = Insert(window, list, style, static_cast<int>(static_cast<std::intptr_t>(wParam)),
                         MakeItem(style, lParam));
    } else if (message == m.remove) {
        if (!ValidIndex(list, wParam)) {
            *result = ErrorCode(combo);
            return true;
        }
        auto index = static_cast<int>(wParam);
        list.items.erase(list.items.begin() + index);
        if (list.current == index) {
            list.current = -1;
        } else if (list.current > index) {
            --list.current;
        }
        NotifyChange(window, WindowChange::ControlContent);
        InvalidateRect(window, nullptr, TRUE);
        *result = static_cast<LRESULT>(list.items.size());
    } else if (message == m.reset) {
        list.items.clear();
        list.current = -1;
        list.top = 0;
        NotifyChange(window, WindowChange::ControlContent);
        InvalidateRect(window, nullptr, TRUE);
        *result = 0;
    } else if (message == m.count) {
        *result = static_cast<LRESULT>(list.items.size());
    } else if (message == m.getCur) {
        *result = list.current;
    } else if (message == m.setCur) {
        *result = SetCurrent(window, w, list, wParam, combo);
    } else if (message == m.getText) {
        if (!ValidIndex(list, wParam) || !lParam) {
            *result = ErrorCode(combo);
            return true;
        }
        const ListItem& item = list.items[wParam];
        if (style.hasStrings) {
            // The caller sized the buffer with the length message, as on the platform.
            std::memcpy(reinterpret_cast<char*>(lParam), item.text.c_str(), item.text.size() + 1);
            *result = static_cast<LRESULT>(item.text.size());
        } else {
            std::memcpy(reinterpret_cast<void*>(lParam), &item.data, sizeof item.data);
            *result = sizeof item.data;
        }
    } else if (message == m.getTextLen) {
        *result = ValidIndex(list, wParam)
                      ? (style.hasStrings ? static_cast<LRESULT>(list.items[wParam].text.size())
                                          : static_cast<LRESULT>(sizeof(std::uintptr_t)))
                      : ErrorCode(combo);
    } else if (message == m.find || message == m.findExact) {
        *result = Find(list, wParam, lParam, message == m.findExact, style);
    } else if (message == m.select) {
        LRESULT found = Find(list, wParam, lParam, false, style);
        if (found >= 0) {
            SetCurrent(window, w, list, static_cast<WPARAM>(found), combo);
        }
        *result = found;
    } else if (message == m.getData) {
        *result = ValidIndex(list, wParam) ? static_cast<LRESULT>(list.items[wParam].data)
                                           : ErrorCode(combo);
    } else if (message == m.setData) {
        if (!ValidIndex(list, wParam)) {
            *result = ErrorCode(combo);
            return true;
        }
        list.items[wParam].data = static_cast<std::uintptr_t>(lParam);
        *result = 0;
    } else {
        return false;
    }
    return true;
}

// An owner-drawn list asks its parent to draw each visible item.
void PaintOwnerDrawn(HWND window, Window& w) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) {
        return;
    }
    Window* parentRecord = FindWindowObject(w.parent);
    ListState& list = ListOf(w);
    HWND parent = w.parent;
    UINT id = static_cast<UINT>(w.id);
    SIZE size = ClientSize(w);
    UINT height = std::max<UINT>(list.itemHeight, 1);
    for (std::size_t i = static_cast<std::size_t>(list.top); i < list.items.size(); ++i) {
        int y = static_cast<int>((i - static_cast<std::size_t>(list.top)) * height);
        if (y >= size.cy) {
            break;
        }
        DRAWITEMSTRUCT draw;
        draw.CtlType = ODT_LISTBOX;
        draw.CtlID = id;
        draw.itemID = static_cast<UINT>(i);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = static_cast<int>(i) == list.current ? ODS_SELECTED : 0;
        if (static_cast<int>(i) == list.current && GetFocus() == window) {
            draw.itemState |= ODS_FOCUS;
        }
        draw.hwndItem = window;
        draw.hDC = dc;
        draw.rcItem = RECT{0, y, size.cx, y + static_cast<int>(height)};
        draw.itemData = list.items[i].data;
        if (parentRecord) {
            SendMessageA(parent, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&draw));
        }
        Window* again = FindWindowObject(window);
        if (!again) {
            return;
        }
    }
    EndPaint(window, &paint);
}

void MeasureItems(HWND window, Window& w) {
    MEASUREITEMSTRUCT measure;
    measure.CtlType = KindOf(window) == ControlKind::ComboBox ? ODT_COMBOBOX : ODT_LISTBOX;
    measure.CtlID = static_cast<UINT>(w.id);
    measure.itemHeight = 16;
    HWND parent = w.parent;
    SendMessageA(parent, WM_MEASUREITEM, w.id, reinterpret_cast<LPARAM>(&measure));
    if (Window* again = FindWindowObject(window)) {
        ListOf(*again).itemHeight = std::max<UINT>(measure.itemHeight, 1);
    }
}

LRESULT MoveSelection(HWND window, Window& w, int delta, bool combo) {
    ListState& list = ListOf(w);
    if (list.items.empty()) {
        return 0;
    }
    int next = std::clamp(list.current + delta, 0, static_cast<int>(list.items.size()) - 1);
    if (next != list.current) {
        UserSelectItem(window, next);
    }
    (void)combo;
    return 0;
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    LRESULT result = 0;
    if (ItemMessage(window, *w, kListBox, message, wParam, lParam, &result)) {
        return result;
    }
    ListState& list = ListOf(*w);
    switch (message) {
        case WM_CREATE:
            if (w->style & LBS_OWNERDRAWFIXED) {
                MeasureItems(window, *w);
            }
            return 0;
        case LB_SETTABSTOPS: {
            list.tabStops.clear();
            auto* stops = reinterpret_cast<const int*>(lParam);
            for (WPARAM i = 0; stops && i < wParam && i < 256; ++i) {
                list.tabStops.push_back(stops[i]);
            }
            return TRUE;
        }
        case LB_GETTOPINDEX:
            return list.top;
        case LB_SETTOPINDEX:
            if (!ValidIndex(list, wParam)) {
                return LB_ERR;
            }
            list.top = static_cast<int>(wParam);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case LB_SETITEMHEIGHT:
            list.itemHeight = std::max<UINT>(LOWORD(static_cast<WPARAM>(lParam)), 1);
            return 0;
        case LB_GETITEMHEIGHT:
            return list.itemHeight;
        case LB_GETSEL:
            return ValidIndex(list, wParam) ? (static_cast<int>(wParam) == list.current ? 1 : 0)
                                            : LB_ERR;
        case LB_GETSELCOUNT:
            return list.current >= 0 ? 1 : 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            if (wParam == VK_UP || wParam == VK_DOWN) {
                return MoveSelection(window, *w, wParam == VK_UP ? -1 : 1, false);
            }
            return 0;
        case WM_SETFOCUS:
            InvalidateRect(window, nullptr, TRUE);
            if (w->style & LBS_NOTIFY) {
                NotifyParent(window, LBN_SETFOCUS);
            }
            return 0;
        case WM_KILLFOCUS:
            InvalidateRect(window, nullptr, TRUE);
            if (w->style & LBS_NOTIFY) {
                NotifyParent(window, LBN_KILLFOCUS);
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(window);
            int index = list.top +
                        GET_Y_LPARAM(lParam) / static_cast<int>(std::max<UINT>(list.itemHeight, 1));
            if (message == WM_LBUTTONDOWN) {
                UserSelectItem(window, index);
            } else {
                UserDoubleClickItem(window, index);
            }
            return 0;
        }
        case WM_PAINT:
            if (w->style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) {
                PaintOwnerDrawn(window, *w);
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = FindWindowObject(window);
    if (!w) {
        return 0;
    }
    LRESULT result = 0;
    if (ItemMessage(window, *w, kComboBox, message, wParam, lParam, &result)) {
        return result;
    }
    ListState& list = ListOf(*w);
    bool dropList = (w->style & 0x3) == CBS_DROPDOWNLIST;
    switch (message) {
        case WM_NCCREATE: {
            LRESULT created = DefWindowProcA(window, message, wParam, lParam);
            if (dropList) {
                w->text.clear();
            }
            return created;
        }
        case WM_SETTEXT: {
            std::string text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            if (dropList) {
                LRESULT found =
                    Find(list, static_cast<WPARAM>(-1), lParam, true, StyleOf(*w, true));
                if (found < 0) {
                    return CB_ERR;
                }
                SetCurrent(window, *w, list, static_cast<WPARAM>(found), true);
                return TRUE;
            }
            if (text.size() > list.editLimit) {
                return CB_ERRSPACE;  // longer than the edit part takes: refused
            }
            w->text = text;
            list.editSelStart = list.editSelEnd = 0;
            NotifyChange(window, WindowChange::Text);
            return TRUE;
        }
        case CB_LIMITTEXT:
            list.editLimit = wParam == 0
                                 ? EDIT_MAX_LIMIT
                                 : static_cast<UINT>(std::min<WPARAM>(wParam, EDIT_MAX_LIMIT));
            return dropList ? CB_ERR : TRUE;
        case CB_SETEDITSEL: {
            if (dropList) {
                return CB_ERR;
            }
            auto size = static_cast<int>(w->text.size());
            int start = static_cast<short>(LOWORD(static_cast<WPARAM>(lParam)));
            int end = static_cast<short>(HIWORD(static_cast<WPARAM>(lParam)));
            if (start == -1) {
                list.editSelStart = list.editSelEnd = 0;
            } else {
                list.editSelStart = static_cast<DWORD>(std::clamp(start, 0, size));
                list.editSelEnd = static_cast<DWORD>(end == -1 ? size : std::clamp(end, 0, size));
            }
            NotifyChange(window, WindowChange::ControlSelection);
            return TRUE;
        }
        case CB_GETEDITSEL:
            if (wParam) {
                *reinterpret_cast<DWORD*>(wParam) = list.editSelStart;
            }
            if (lParam) {
                *reinterpret_cast<DWORD*>(lParam) = list.editSelEnd;
            }
            return static_cast<LRESULT>(
                MAKELONG(static_cast<WORD>(list.editSelStart), static_cast<WORD>(list.editSelEnd)));
        case CB_SHOWDROPDOWN:
            if ((wParam != 0) != list.dropped) {
                list.dropped = wParam != 0;
                NotifyParent(window, list.dropped ? CBN_DROPDOWN : CBN_CLOSEUP);
            }
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return list.dropped ? TRUE : FALSE;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_WANTARROWS | (dropList ? 0 : DLGC_HASSETSEL);
        case WM_KEYDOWN:
            if (wParam == VK_UP || wParam == VK_DOWN) {
                return MoveSelection(window, *w, wParam == VK_UP ? -1 : 1, true);
            }
            return 0;
        case WM_CHAR:
            if (!dropList && static_cast<unsigned char>(wParam) >= ' ') {
                std::string text = w->text;
                DWORD start = std::min<DWORD>(list.editSelStart, static_cast<DWORD>(text.size()));
                DWORD end = std::min<DWORD>(std::max(list.editSelStart, list.editSelEnd),
                                            static_cast<DWORD>(text.size()));
                text.replace(start, end - start, 1, static_cast<char>(wParam));
                UserEditText(window, text);
                if (Window* again = FindWindowObject(window)) {
                    ListOf(*again).editSelStart = ListOf(*again).editSelEnd = start + 1;
                }
            } else if (!dropList && wParam == '\b') {
                std::string text = w->text;
                if (!text.empty()) {
                    text.pop_back();
                    UserEditText(window, text);
                }
            }
            return 0;
        case WM_SETFOCUS:
            NotifyParent(window, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(window, CBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL UserSelectItem(HWND control, int index) {
    Window* w = FindWindowObject(control);
    ControlKind kind = KindOf(control);
    if (!w || !IsWindowEnabled(control) ||
        (kind != ControlKind::ListBox && kind != ControlKind::ComboBox)) {
        return FALSE;
    }
    ListState& list = ListOf(*w);
    if (index < -1 || index >= static_cast<int>(list.items.size())) {
        return FALSE;
    }
    bool combo = kind == ControlKind::ComboBox;
    SetCurrent(control, *w, list, static_cast<WPARAM>(static_cast<std::intptr_t>(index)), combo);
    if (combo) {
        NotifyParent(control, CBN_SELCHANGE);
        NotifyParent(control, CBN_SELENDOK);
    } else if (w->style & LBS_NOTIFY) {
        NotifyParent(control, LBN_SELCHANGE);
    }
    return TRUE;
}

BOOL UserDoubleClickItem(HWND control, int index) {
    if (!UserSelectItem(control, index)) {
        return FALSE;
    }
    Window* w = FindWindowObject(control);
    if (!w) {
        return TRUE;
    }
    if (KindOf(control) == ControlKind::ComboBox) {
        NotifyParent(control, CBN_DBLCLK);
    } else if (w->style & LBS_NOTIFY) {
        NotifyParent(control, LBN_DBLCLK);
    }
    return TRUE;
}

}  // namespace farvane::ui
