// What the Key Assignments dialog (template 29) does: the contents of its boxes, which buttons
// are enabled, and the effect of each button. The user interface draws the dialog, keeps the
// texts below in step with its controls and calls these; messages go through EditorUi.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/core/key_table.h"

inline constexpr int IDD_KEY_ASSIGNMENTS = 29;
inline constexpr int HELP_KEY_ASSIGNMENTS = 26058;
inline constexpr std::size_t KEY_BOX_LIMIT = 50;
inline constexpr std::size_t FUNCTION_BOX_LIMIT = 48;

// The control that gets the focus (with its text selected) after a button.
enum class KeyDialogFocus { None, KeyBox, FunctionBox, FileName, LoadButton };

class KeyAssignmentsDialog {
public:
    // Opening: the key table and the keyboard mode are copied aside. Returns false (after the
    // system-modal "Insufficient memory") when the copy cannot be made: the dialog does not
    // open.
    bool Open();

    // The Function box: all command names, sorted. The Key box: the names of all slots that
    // have one, in slot order.
    std::vector<std::string> FunctionItems() const;
    std::vector<std::string> KeyItems() const;

    // Selections.
    void SelectFunction(const std::string& name);  // then ShowCurrentKeys
    void SelectKey(const std::string& name);       // then ShowCurrentFunction
    void SelectCurrentKey(std::size_t index);      // a Current Keys entry
    void ShowCurrentKeys();
    void ShowCurrentFunction();

    bool AssignEnabled() const;
    bool UnassignEnabled() const;
    bool LoadSaveEnabled() const;
    bool BrowseEnabled() const;

    KeyDialogFocus Assign();  // also a double click in the Key box
    void Unassign();
    KeyDialogFocus Load();
    KeyDialogFocus Save();
    void Browse();
    // OK: returns true when the dialog closes; false keeps it open (bad file name).
    bool Ok();
    void Cancel();

    // The texts and states of the controls.
    std::string functionText;
    std::string keyText;
    std::string fileName;
    bool menuAccelerators = true;  // "&Enable Menu Accelerators"
    bool fileNameHasFocus = false;
    bool okIsDefault = false;
    std::vector<std::string> currentKeys;
    std::string currentFunction;

private:
    // Checks the file name box: "No file name specified" or "Invalid file name". On success
    // the full name becomes the current key file name.
    KeyDialogFocus TakeFileName(bool allowEmpty);

    std::unique_ptr<KeySlot[]> savedTable_;
    int savedMode_ = 1;
};
