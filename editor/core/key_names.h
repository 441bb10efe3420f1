// Key combinations as the accelerator tables hold them (modifier flags and virtual-key codes,
// with the values of the windowing layer) and their display names. The names are defined
// here once: key files store them, so files move between systems with the same naming.
#pragma once

#include <cstddef>
#include <string>

#include "platform/kernel/win_types.h"

// Accelerator flags.
inline constexpr BYTE KF_VIRTKEY = 0x01, KF_SHIFT = 0x04, KF_CONTROL = 0x08, KF_ALT = 0x10;
// Marks the last entry of an accelerator table.
inline constexpr BYTE KF_LAST_ENTRY = 0x80;

// Virtual-key codes that the key table uses (letters and digits are their characters).
inline constexpr WORD KEY_BACK = 0x08, KEY_TAB = 0x09, KEY_RETURN = 0x0D, KEY_ESCAPE = 0x1B,
                      KEY_PRIOR = 0x21, KEY_NEXT = 0x22, KEY_END = 0x23, KEY_HOME = 0x24,
                      KEY_LEFT = 0x25, KEY_UP = 0x26, KEY_RIGHT = 0x27, KEY_DOWN = 0x28,
                      KEY_INSERT = 0x2D, KEY_DELETE = 0x2E, KEY_NUMPAD0 = 0x60, KEY_MULTIPLY = 0x6A,
                      KEY_ADD = 0x6B, KEY_SUBTRACT = 0x6D, KEY_DECIMAL = 0x6E, KEY_DIVIDE = 0x6F,
                      KEY_F1 = 0x70, KEY_F24 = 0x87, KEY_OEM_PLUS = 0xBB, KEY_OEM_COMMA = 0xBC,
                      KEY_OEM_MINUS = 0xBD, KEY_OEM_PERIOD = 0xBE, KEY_OEM_LBRACKET = 0xDB,
                      KEY_OEM_RBRACKET = 0xDD;

inline constexpr std::size_t KEY_NAME_SIZE = 48;  // at most 47 characters

// The name of a key alone ("PgDn", "Num *", "A", ","), or "" for a key without a name.
const char* KeyName(WORD key);
// The pressed modifiers in the order Alt, Shift, Ctrl, then the key's name, joined with "+"
// ("Shift+Ctrl+End"); "" when the key has no name.
std::string KeyNameText(BYTE flags, WORD key);
