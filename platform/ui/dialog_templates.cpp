// Template items with the default styles of resource script statements.
#include "platform/ui/dialog_api.h"

namespace farvane::ui {

namespace {

DialogItemTemplate Item(const std::string& className, const std::string& text, UINT id, DWORD style,
                        short x, short y, short cx, short cy) {
    DialogItemTemplate item;
    item.className = className;
    item.text = text;
    item.id = id;
    item.style = style;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

}  // namespace

DialogItemTemplate PushButton(const std::string& text, UINT id, short x, short y, short cx,
                              short cy, DWORD style) {
    return Item("BUTTON", text, id, BS_PUSHBUTTON | WS_TABSTOP | style, x, y, cx, cy);
}

DialogItemTemplate DefPushButton(const std::string& text, UINT id, short x, short y, short cx,
                                 short cy, DWORD style) {
    return Item("BUTTON", text, id, BS_DEFPUSHBUTTON | WS_TABSTOP | style, x, y, cx, cy);
}

DialogItemTemplate LText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style) {
    return Item("STATIC", text, id, SS_LEFT | WS_GROUP | style, x, y, cx, cy);
}

DialogItemTemplate CText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style) {
    return Item("STATIC", text, id, SS_CENTER | WS_GROUP | style, x, y, cx, cy);
}

DialogItemTemplate RText(const std::string& text, UINT id, short x, short y, short cx, short cy,
                         DWORD style) {
    return Item("STATIC", text, id, SS_RIGHT | WS_GROUP | style, x, y, cx, cy);
}

DialogItemTemplate GroupBox(const std::string& text, UINT id, short x, short y, short cx, short cy,
                            DWORD style) {
    return Item("BUTTON", text, id, BS_GROUPBOX | style, x, y, cx, cy);
}

DialogItemTemplate EditText(UINT id, short x, short y, short cx, short cy, DWORD style) {
    return Item("EDIT", "", id, ES_LEFT | WS_BORDER | WS_TABSTOP | style, x, y, cx, cy);
}

DialogItemTemplate CheckBox(const std::string& text, UINT id, short x, short y, short cx, short cy,
                            DWORD style) {
    return Item("BUTTON", text, id, BS_CHECKBOX | WS_TABSTOP | style, x, y, cx, cy);
}

DialogItemTemplate AutoCheckBox(const std::string& text, UINT id, short x, short y, short cx,
                                short cy, DWORD style) {
    return Item("BUTTON", text, id, BS_AUTOCHECKBOX | WS_TABSTOP | style, x, y, cx, cy);
}

DialogItemTemplate RadioButton(const std::string& text, UINT id, short x, short y, short cx,
                               short cy, DWORD style) {
    return Item("BUTTON", text, id, BS_RADIOBUTTON | style, x, y, cx, cy);
}

DialogItemTemplate AutoRadioButton(const std::string& text, UINT id, short x, short y, short cx,
                                   short cy, DWORD style) {
    return Item("BUTTON", text, id, BS_AUTORADIOBUTTON | style, x, y, cx, cy);
}

DialogItemTemplate ListBox(UINT id, short x, short y, short cx, short cy, DWORD style) {
    return Item("LISTBOX", "", id, LBS_NOTIFY | WS_BORDER | style, x, y, cx, cy);
}

DialogItemTemplate ComboBox(UINT id, short x, short y, short cx, short cy, DWORD style) {
    return Item("COMBOBOX", "", id, (style & 0x3 ? 0 : CBS_SIMPLE) | WS_TABSTOP | style, x, y, cx,
                cy);
}

DialogItemTemplate Control(const std::string& text, UINT id, const std::string& className,
                           DWORD style, short x, short y, short cx, short cy) {
    return Item(className, text, id, style, x, y, cx, cy);
}

}  // namespace farvane::ui
