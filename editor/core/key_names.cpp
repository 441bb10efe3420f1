#include "editor/core/key_names.h"

#include <cstdio>

namespace {

struct NamedKey {
    WORD key;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {KEY_BACK, "Backspace"}, {KEY_TAB, "Tab"},        {KEY_RETURN, "Enter"},
    {KEY_ESCAPE, "Esc"},     {KEY_PRIOR, "PgUp"},     {KEY_NEXT, "PgDn"},
    {KEY_END, "End"},        {KEY_HOME, "Home"},      {KEY_LEFT, "Left"},
    {KEY_UP, "Up"},          {KEY_RIGHT, "Right"},    {KEY_DOWN, "Down"},
    {KEY_INSERT, "Ins"},     {KEY_DELETE, "Del"},     {KEY_MULTIPLY, "Num *"},
    {KEY_ADD, "Num +"},      {KEY_SUBTRACT, "Num -"}, {KEY_DECIMAL, "Num ."},
    {KEY_DIVIDE, "Num /"},   {KEY_OEM_PLUS, "="},     {KEY_OEM_COMMA, ","},
    {KEY_OEM_MINUS, "-"},    {KEY_OEM_PERIOD, "."},   {KEY_OEM_LBRACKET, "["},
    {KEY_OEM_RBRACKET, "]"},
};

// Names of the generated keys: letters, digits, keypad digits and function keys.
struct GeneratedNames {
    char letters[26][2] = {};
    char digits[10][2] = {};
    char keypad[10][6] = {};
    char functions[24][4] = {};
};

const GeneratedNames& Generated() {
    static const GeneratedNames names = [] {
        GeneratedNames built;
        for (int i = 0; i < 26; ++i) {
            built.letters[i][0] = static_cast<char>('A' + i);
        }
        for (int i = 0; i < 10; ++i) {
            built.digits[i][0] = static_cast<char>('0' + i);
            std::snprintf(built.keypad[i], sizeof built.keypad[i], "Num %d", i);
        }
        for (int i = 0; i < 24; ++i) {
            std::snprintf(built.functions[i], sizeof built.functions[i], "F%d", i + 1);
        }
        return built;
    }();
    return names;
}

}  // namespace

const char* KeyName(WORD key) {
    const GeneratedNames& names = Generated();
    if (key >= 'A' && key <= 'Z') {
        return names.letters[key - 'A'];
    }
    if (key >= '0' && key <= '9') {
        return names.digits[key - '0'];
    }
    if (key >= KEY_NUMPAD0 && key < KEY_NUMPAD0 + 10) {
        return names.keypad[key - KEY_NUMPAD0];
    }
    if (key >= KEY_F1 && key <= KEY_F24) {
        return names.functions[key - KEY_F1];
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            return named.name;
        }
    }
    return "";
}

std::string KeyNameText(BYTE flags, WORD key) {
    const char* name = KeyName(key);
    if (name[0] == '\0') {
        return "";
    }
    std::string text;
    if (flags & KF_ALT) {
        text += "Alt+";
    }
    if (flags & KF_SHIFT) {
        text += "Shift+";
    }
    if (flags & KF_CONTROL) {
        text += "Ctrl+";
    }
    return text + name;
}
