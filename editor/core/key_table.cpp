#include "editor/core/key_table.h"

#include <strings.h>

#include <cstring>

#include "editor/core/editing_commands.h"
#include "editor/core/editor_settings.h"
#include "editor/core/key_slots.h"

KeySlot keyTable[KEY_SLOT_COUNT + 1];

namespace {

int appliedTable = ACCEL_MENU_MNEMONICS;

void DefaultTypeCharacter(char c) {
    TypeCharacter(c);
}

// Alt with these letters opens a menu while menu accelerators are on.
bool IsMenuLetter(const KeySlotDefinition& slot, bool scriptBuilder) {
    if (slot.flags != KF_ALT) {
        return false;
    }
    if (std::strchr("EFHOSW", slot.key) != nullptr && slot.key != 0) {
        return true;
    }
    return scriptBuilder && slot.key == 'T';
}

std::vector<KeyAccel> BuildTable(int table) {
    std::vector<KeyAccel> entries;
    for (const KeySlotDefinition& slot : KeySlotDefinitions()) {
        if (slot.key == 0) {
            continue;
        }
        if (table != ACCEL_NO_MNEMONICS && IsMenuLetter(slot, table == ACCEL_SCRIPT_BUILDER)) {
            continue;
        }
        entries.push_back({static_cast<BYTE>(KF_VIRTKEY | slot.flags), slot.key, slot.id});
    }
    entries.back().flags |= KF_LAST_ENTRY;
    return entries;
}

void StoreName(KeySlot& slot, const std::string& name) {
    std::size_t length = name.size() < KEY_NAME_SIZE - 1 ? name.size() : KEY_NAME_SIZE - 1;
    std::memcpy(slot.keyName, name.data(), length);
    slot.keyName[length] = '\0';
}

const bool keyTableReady = (ResetKeyTable(), true);

}  // namespace

void (*installKeyboardMode)(const KeyboardModeSelection& selection) = nullptr;
void (*typeCharacter)(char c) = DefaultTypeCharacter;

const std::vector<KeyAccel>& AcceleratorTable(int table) {
    static const std::vector<KeyAccel> mnemonics = BuildTable(ACCEL_MENU_MNEMONICS);
    static const std::vector<KeyAccel> plain = BuildTable(ACCEL_NO_MNEMONICS);
    static const std::vector<KeyAccel> scriptBuilder = BuildTable(ACCEL_SCRIPT_BUILDER);
    static const std::vector<KeyAccel> none;
    switch (table) {
        case ACCEL_MENU_MNEMONICS:
            return mnemonics;
        case ACCEL_NO_MNEMONICS:
            return plain;
        case ACCEL_SCRIPT_BUILDER:
            return scriptBuilder;
        default:
            return none;
    }
}

KeyboardModeSelection SelectKeyboardMode(int mode) {
    if (mode != 0) {
        int table =
            editorMode == EditorMode::ScriptBuilder ? ACCEL_SCRIPT_BUILDER : ACCEL_MENU_MNEMONICS;
        return {MENU_NO_DOCUMENT, MENU_DOCUMENT, table};
    }
    return {MENU_NO_DOCUMENT_PLAIN, MENU_DOCUMENT_PLAIN, ACCEL_NO_MNEMONICS};
}

void ApplyKeyboardMode() {
    KeyboardModeSelection selection = SelectKeyboardMode(editorSettings.keyboardMode);
    appliedTable = selection.acceleratorTable;
    if (installKeyboardMode != nullptr) {
        installKeyboardMode(selection);
    }
    RefreshKeyNames();
}

int CurrentAcceleratorTable() {
    return appliedTable;
}

void ResetKeyTable() {
    (void)keyTableReady;
    const std::vector<KeySlotDefinition>& definitions = KeySlotDefinitions();
    for (int i = 0; i < KEY_SLOT_COUNT; ++i) {
        keyTable[i].id = definitions[i].id;
        keyTable[i].command = definitions[i].defaultCommand != nullptr
                                  ? FindCommandByName(definitions[i].defaultCommand)
                                  : nullptr;
    }
    keyTable[KEY_SLOT_COUNT] = KeySlot{};
    RefreshKeyNames();
}

void RefreshKeyNames() {
    const std::vector<KeyAccel>& table = AcceleratorTable(appliedTable);
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        slot->keyName[0] = '\0';
        for (const KeyAccel& entry : table) {
            if (entry.id == slot->id) {
                StoreName(*slot, KeyNameText(entry.flags, entry.key));
                break;
            }
            if (entry.flags & KF_LAST_ENTRY) {
                break;
            }
        }
    }
}

KeySlot* FindKeySlot(const char* keyName) {
    if (keyName == nullptr || keyName[0] == '\0') {
        return nullptr;
    }
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        if (slot->keyName[0] != '\0' && strcasecmp(slot->keyName, keyName) == 0) {
            return slot;
        }
    }
    return nullptr;
}

KeySlot* SlotForId(WORD id) {
    for (KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        if (slot->id == id) {
            return slot;
        }
    }
    return nullptr;
}

int AssignKey(const char* keyName, const char* commandName) {
    if (keyName == nullptr || commandName == nullptr || keyName[0] == '\0' ||
        commandName[0] == '\0') {
        return 0;
    }
    const EditorCommand* command = FindCommandByName(commandName);
    KeySlot* slot = FindKeySlot(keyName);
    if (command == nullptr || slot == nullptr) {
        return 0;
    }
    slot->command = command;
    return 1;
}

void UnassignKey(const char* keyName) {
    KeySlot* slot = FindKeySlot(keyName);
    if (slot != nullptr) {
        slot->command = nullptr;
    }
}

std::vector<std::string> KeysOfCommand(const EditorCommand* command) {
    std::vector<std::string> keys;
    for (const KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        if (command != nullptr && slot->command == command && slot->keyName[0] != '\0') {
            keys.emplace_back(slot->keyName);
        }
    }
    return keys;
}

int DispatchKeyCommand(WORD id) {
    if (id < FIRST_KEY_COMMAND_ID || id > LAST_KEY_COMMAND_ID) {
        return 0;
    }
    KeySlot* slot = SlotForId(id);
    if (slot != nullptr && slot->command != nullptr) {
        RunCommand(slot->command);
        return 1;
    }
    static const char kKeypadCharacters[] = "/*+-";
    if (id >= ID_NUM_DIVIDE && id <= ID_NUM_SUBTRACT) {
        typeCharacter(kKeypadCharacters[id - ID_NUM_DIVIDE]);
    }
    return 1;
}
