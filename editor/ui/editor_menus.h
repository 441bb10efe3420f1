// The frame's menus: the no-document menu, the document menu and, while every document window
// is minimised, the no-document menu with a Window pop-up; each with or without mnemonics in
// the top-level titles. Also the enabling and checking of items when a pop-up opens.
#pragma once

#include "editor/core/editor_settings.h"
#include "editor/core/key_table.h"
#include "editor/ui/ui_state.h"

namespace fvedit {

// The templates of menus 1 to 4 (MENU_NO_DOCUMENT ... MENU_DOCUMENT_PLAIN); in the normal
// mode the document menus lack the script builder's Tools pop-up.
MenuTemplate EditorMenuTemplate(int menu, EditorMode mode);
// Registers the menu and accelerator resources of the mode under the instance.
void RegisterMenuResources(HINSTANCE instance, EditorMode mode);

// Installs what the keyboard mode selects (the key table's hook): loads the menus and the
// accelerator table and shows the menu that fits the open document windows.
void InstallKeyboardMode(const KeyboardModeSelection& selection);

void ShowDocumentMenu();      // and creates the status window
void ShowNoDocumentMenu();    // and destroys the status window
void ShowAllMinimisedMenu();  // the no-document menu with "&Window", no status window
// True while the frame shows a no-document menu.
bool NoDocumentMenuShown();

// A pop-up is opening: enable, check and rename its items.
void UpdateMenuPopup(HMENU popup);

}  // namespace fvedit
