// The remappable key table: one slot per key combination that the editor reacts to in a
// document window, in the order the key list shows them, each naming a command or none. The
// accelerator tables (5, 6, 7) turn key presses into the slots' command ids; the keyboard mode
// chooses among them.
#pragma once

#include <string>
#include <vector>

#include "editor/core/command_table.h"
#include "editor/core/key_names.h"

inline constexpr int KEY_SLOT_COUNT = 187;
inline constexpr WORD FIRST_KEY_COMMAND_ID = 2000;
inline constexpr WORD LAST_KEY_COMMAND_ID = 2999;
// Ids of the numeric keypad's /, *, + and -: without a command they type their character.
inline constexpr WORD ID_NUM_DIVIDE = 2490, ID_NUM_MULTIPLY = 2491, ID_NUM_ADD = 2492,
                      ID_NUM_SUBTRACT = 2493;

// Accelerator tables.
inline constexpr int ACCEL_MENU_MNEMONICS = 5;  // menu accelerators on
inline constexpr int ACCEL_NO_MNEMONICS = 6;    // menu accelerators off: every key
inline constexpr int ACCEL_SCRIPT_BUILDER = 7;  // menu accelerators on, script builder
// Menus.
inline constexpr int MENU_NO_DOCUMENT = 1, MENU_NO_DOCUMENT_PLAIN = 2;
inline constexpr int MENU_DOCUMENT = 3, MENU_DOCUMENT_PLAIN = 4;

struct KeySlot {
    WORD id;
    char keyName[KEY_NAME_SIZE];   // "" when the current accelerator table has no key for id
    const EditorCommand* command;  // null: the key does nothing
};

// The slots, followed by one with id 0.
extern KeySlot keyTable[KEY_SLOT_COUNT + 1];

struct KeyAccel {
    BYTE flags;  // KF_ bits; KF_LAST_ENTRY on the last entry
    WORD key;
    WORD id;
};

// An accelerator table as data (ACCEL_* number); empty for an unknown number.
const std::vector<KeyAccel>& AcceleratorTable(int table);

// The menus and accelerator table that a keyboard mode selects.
struct KeyboardModeSelection {
    int noDocumentMenu;
    int documentMenu;
    int acceleratorTable;
};
KeyboardModeSelection SelectKeyboardMode(int mode);
// Called by ApplyKeyboardMode after the selection: the user interface installs the menus and
// the accelerator table there. The default does nothing.
extern void (*installKeyboardMode)(const KeyboardModeSelection& selection);
// Applies editorSettings.keyboardMode: remembers the accelerator table, installs the menus
// and refreshes the key names.
void ApplyKeyboardMode();
// The accelerator table that key names are taken from (the last one applied).
int CurrentAcceleratorTable();

// Every slot gets its default command and the names of the current accelerator table.
void ResetKeyTable();
// Each slot's name is the key that the current accelerator table gives its id, or "".
void RefreshKeyNames();

// The first slot whose name equals keyName (case-insensitive), or null.
KeySlot* FindKeySlot(const char* keyName);
// The first slot with the id, or null.
KeySlot* SlotForId(WORD id);
// The first slot named keyName gets the command named commandName; nothing happens when
// either is empty or unknown. Returns 1 when a slot was bound.
int AssignKey(const char* keyName, const char* commandName);
// The first slot named keyName loses its command.
void UnassignKey(const char* keyName);
// The names of the slots bound to a command, in slot order (the dialog's Current Keys).
std::vector<std::string> KeysOfCommand(const EditorCommand* command);

// A key command from a document window that is not minimised: the first slot with the id
// runs its command; without one, the keypad's /, *, + and - type their character through
// typeCharacter. Returns 1 when the id is a key command id (2000-2999).
int DispatchKeyCommand(WORD id);
// What types a character into the current document (the typed-character command by default).
extern void (*typeCharacter)(char c);
