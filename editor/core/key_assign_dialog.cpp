#include "editor/core/key_assign_dialog.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "editor/core/buffer.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/key_file.h"
#include "editor/core/settings_texts.h"
#include "editor/core/ui_services.h"

namespace {

void ErrorBox(const char* text) {
    Ui().MessageBox(text, TXT_ERROR_CAPTION, UiButtons::Ok, UiIcon::Warning, false);
}

std::string Limited(const std::string& text, std::size_t limit) {
    return text.substr(0, limit);
}

// A usable key file name: its full form fits the setting and its folder exists.
bool FullKeyFileName(const std::string& name, char* full, std::size_t size) {
    if (name.empty() || name.find('\0') != std::string::npos) {
        return false;
    }
    char path[PATH_NAME_SIZE];
    if (!FullPathName(name.c_str(), path, sizeof path) || std::strlen(path) >= size ||
        IsDirectory(path)) {
        return false;
    }
    char folder[PATH_NAME_SIZE];
    DirectoryPart(path, folder, sizeof folder);
    if (!IsDirectory(folder)) {
        return false;
    }
    std::memcpy(full, path, std::strlen(path) + 1);
    return true;
}

}  // namespace

bool KeyAssignmentsDialog::Open() {
    savedTable_.reset(new (std::nothrow) KeySlot[KEY_SLOT_COUNT + 1]);
    if (!savedTable_) {
        Ui().MessageBox(TXT_INSUFFICIENT_MEMORY, EditorTitle(), UiButtons::Ok, UiIcon::Error, true);
        return false;
    }
    std::copy(keyTable, keyTable + KEY_SLOT_COUNT + 1, savedTable_.get());
    savedMode_ = editorSettings.keyboardMode;
    menuAccelerators = editorSettings.keyboardMode != 0;
    fileName = editorSettings.keyFileName;
    functionText.clear();
    keyText.clear();
    currentKeys.clear();
    currentFunction.clear();
    okIsDefault = false;
    return true;
}

std::vector<std::string> KeyAssignmentsDialog::FunctionItems() const {
    std::vector<std::string> names;
    for (int i = 0; i < COMMAND_COUNT; ++i) {
        names.emplace_back(CommandAt(i)->name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> KeyAssignmentsDialog::KeyItems() const {
    std::vector<std::string> keys;
    for (const KeySlot* slot = keyTable; slot->id != 0; ++slot) {
        if (slot->keyName[0] != '\0') {
            keys.emplace_back(slot->keyName);
        }
    }
    return keys;
}

void KeyAssignmentsDialog::SelectFunction(const std::string& name) {
    functionText = name;
    ShowCurrentKeys();
}

void KeyAssignmentsDialog::SelectKey(const std::string& name) {
    keyText = name;
    ShowCurrentFunction();
}

void KeyAssignmentsDialog::SelectCurrentKey(std::size_t index) {
    if (index < currentKeys.size()) {
        SelectKey(currentKeys[index]);
    }
}

void KeyAssignmentsDialog::ShowCurrentKeys() {
    currentKeys =
        KeysOfCommand(FindCommandByName(Limited(functionText, FUNCTION_BOX_LIMIT).c_str()));
}

void KeyAssignmentsDialog::ShowCurrentFunction() {
    const KeySlot* slot = FindKeySlot(Limited(keyText, KEY_BOX_LIMIT).c_str());
    currentFunction = slot != nullptr ? CommandNameOf(slot->command) : "";
}

bool KeyAssignmentsDialog::AssignEnabled() const {
    return !keyText.empty() && !functionText.empty();
}

bool KeyAssignmentsDialog::UnassignEnabled() const {
    return !keyText.empty();
}

bool KeyAssignmentsDialog::LoadSaveEnabled() const {
    return !fileName.empty();
}

bool KeyAssignmentsDialog::BrowseEnabled() const {
    return fileNameHasFocus;
}

KeyDialogFocus KeyAssignmentsDialog::Assign() {
    std::string key = Limited(keyText, KEY_BOX_LIMIT);
    std::string function = Limited(functionText, FUNCTION_BOX_LIMIT);
    if (FindKeySlot(key.c_str()) == nullptr) {
        ErrorBox(TXT_INVALID_KEY_NAME);
        return KeyDialogFocus::KeyBox;
    }
    if (FindCommandByName(function.c_str()) == nullptr) {
        ErrorBox(TXT_INVALID_FUNCTION_NAME);
        return KeyDialogFocus::FunctionBox;
    }
    AssignKey(key.c_str(), function.c_str());
    ShowCurrentKeys();
    ShowCurrentFunction();
    return KeyDialogFocus::None;
}

void KeyAssignmentsDialog::Unassign() {
    UnassignKey(Limited(keyText, KEY_BOX_LIMIT).c_str());
    ShowCurrentKeys();
    ShowCurrentFunction();
}

KeyDialogFocus KeyAssignmentsDialog::TakeFileName(bool allowEmpty) {
    if (fileName.empty()) {
        if (allowEmpty) {
            editorSettings.keyFileName[0] = '\0';
            return KeyDialogFocus::None;
        }
        ErrorBox(TXT_NO_FILE_NAME);
        return KeyDialogFocus::FileName;
    }
    char full[KEY_FILE_NAME_SIZE];
    if (!FullKeyFileName(fileName, full, sizeof full)) {
        ErrorBox(TXT_INVALID_FILE_NAME);
        return KeyDialogFocus::FileName;
    }
    std::memcpy(editorSettings.keyFileName, full, std::strlen(full) + 1);
    return KeyDialogFocus::None;
}

KeyDialogFocus KeyAssignmentsDialog::Load() {
    KeyDialogFocus focus = TakeFileName(false);
    if (focus != KeyDialogFocus::None) {
        return focus;
    }
    LoadKeyFile(editorSettings.keyFileName, true);
    ApplyKeyboardMode();
    menuAccelerators = editorSettings.keyboardMode != 0;
    ShowCurrentKeys();
    ShowCurrentFunction();
    return KeyDialogFocus::LoadButton;
}

KeyDialogFocus KeyAssignmentsDialog::Save() {
    KeyDialogFocus focus = TakeFileName(false);
    if (focus != KeyDialogFocus::None) {
        return focus;
    }
    editorSettings.keyboardMode = menuAccelerators ? 1 : 0;
    SaveKeyFile(editorSettings.keyFileName);
    return KeyDialogFocus::None;
}

void KeyAssignmentsDialog::Browse() {
    FileDialogRequest request{
        TXT_KEY_ASSIGNMENTS, TXT_KEY_FILE_FILTER, nullptr, nullptr, "key", true};
    char path[PATH_NAME_SIZE];
    if (Ui().OpenFileDialog(request, path, sizeof path)) {
        fileName = path;
        okIsDefault = true;
    }
}

bool KeyAssignmentsDialog::Ok() {
    editorSettings.keyboardMode = menuAccelerators ? 1 : 0;
    if (TakeFileName(true) != KeyDialogFocus::None) {
        return false;
    }
    ApplyKeyboardMode();
    return true;
}

void KeyAssignmentsDialog::Cancel() {
    if (savedTable_) {
        std::copy(savedTable_.get(), savedTable_.get() + KEY_SLOT_COUNT + 1, keyTable);
    }
    editorSettings.keyboardMode = savedMode_;
    // The menus and accelerators stay as last applied: the names follow them.
    RefreshKeyNames();
}
