#include "editor/ui/editor_menus.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "editor/core/command_state.h"
#include "editor/core/editor_settings.h"
#include "editor/core/key_table.h"
#include "editor/core/macro.h"
#include "editor/core/recent_files.h"
#include "editor/core/search.h"
#include "editor/core/settings_texts.h"
#include "editor/core/undo.h"
#include "editor/ui/menu_ids.h"

namespace fvedit {

namespace {

MenuTemplateItem Item(const char* text, UINT id) {
    return MenuTemplateItem{text, id, MF_STRING, {}};
}
MenuTemplateItem Separator() {
    return MenuTemplateItem{"", 0, MF_SEPARATOR, {}};
}
MenuTemplateItem Popup(std::string title, bool mnemonics, std::vector<MenuTemplateItem> items) {
    if (!mnemonics) {
        title.erase(std::remove(title.begin(), title.end(), '&'), title.end());
    }
    return MenuTemplateItem{title, 0, MF_POPUP, std::move(items)};
}

MenuTemplateItem HelpPopup(bool mnemonics) {
    return Popup(
        "&Help", mnemonics,
        {Item("&Contents", IDM_HELP_CONTENTS), Item("&Search for Help On...", IDM_HELP_SEARCH),
         Item("&Keyboard", IDM_HELP_KEYBOARD), Separator(),
         Item("&About Farvane Editor...", IDM_ABOUT)});
}

MenuTemplate NoDocumentMenu(bool mnemonics) {
    return {Popup("&File", mnemonics,
                  {Item("&New", IDM_NEW), Item("&Open...", IDM_OPEN), Separator(),
                   Item("E&xit", IDM_EXIT)}),
            Popup("&Search", mnemonics,
                  {Item("Find Files &Containing...", IDM_FIND_FILES),
                   Item("&List Found Files", IDM_LIST_FOUND_FILES)}),
            Popup("&Options", mnemonics,
                  {Item("&Editor Preferences...", IDM_EDITOR_PREFERENCES),
                   Item("&Key Assignments...", IDM_KEY_ASSIGNMENTS)}),
            HelpPopup(mnemonics)};
}

MenuTemplate DocumentMenu(bool mnemonics, EditorMode mode) {
    MenuTemplate menu = {
        Popup("&File", mnemonics,
              {Item("&New", IDM_NEW), Item("&Open...", IDM_OPEN), Item("&Close", IDM_CLOSE),
               Item("&Save", IDM_SAVE), Item("Save &As...", IDM_SAVE_AS),
               Item("Save A&ll", IDM_SAVE_ALL), Separator(), Item("&Insert...", IDM_INSERT),
               Item("Re&vert", IDM_REVERT), Item("&Write Block...", IDM_WRITE_BLOCK), Separator(),
               Item("Printer Set&up...", IDM_PRINTER_SETUP), Item("Pa&ge Setup...", IDM_PAGE_SETUP),
               Item("&Print", IDM_PRINT), Separator(), Item("Compar&e...", IDM_COMPARE),
               Separator(), Item("E&xit", IDM_EXIT)}),
        Popup("&Edit", mnemonics,
              {Item("&Undo", IDM_UNDO), Separator(), Item("Cu&t", IDM_CUT), Item("&Copy", IDM_COPY),
               Item("&Paste", IDM_PASTE), Item("De&lete", IDM_DELETE), Separator(),
               Item("Select &All", IDM_SELECT_ALL), Item("Time/&Date", IDM_STAMP), Separator(),
               Item("&Word Wrap", IDM_WORD_WRAP), Item("W&rap Paragraph", IDM_WRAP_PARAGRAPH)}),
        Popup("&Search", mnemonics,
              {Item("&Find...", IDM_FIND), Item("Find &Again", IDM_FIND_AGAIN),
               Item("&Replace...", IDM_REPLACE), Item("&Goto Line...", IDM_GOTO_LINE), Separator(),
               Item("Find Files &Containing...", IDM_FIND_FILES),
               Item("&List Found Files", IDM_LIST_FOUND_FILES)}),
        Popup("&Options", mnemonics,
              {Item(TXT_RECORD_MACRO_ITEM, IDM_RECORD_MACRO),
               Item("Play &Back Macro", IDM_PLAY_MACRO), Separator(),
               Item("&Document Preferences...", IDM_DOCUMENT_PREFERENCES),
               Item("&Editor Preferences...", IDM_EDITOR_PREFERENCES),
               Item("&Key Assignments...", IDM_KEY_ASSIGNMENTS)}),
        Popup("&Tools", mnemonics, {Item("&Reference", IDM_REFERENCE)}),
        Popup("&Window", mnemonics,
              {Item("&New Window", IDM_NEW_WINDOW), Item("&Cascade", IDM_CASCADE),
               Item("&Tile", IDM_TILE), Item("&Arrange Icons", IDM_ARRANGE_ICONS),
               Item("&Next Window", IDM_NEXT_WINDOW), Item("&Restore", IDM_RESTORE),
               Item("Ma&ximize", IDM_MAXIMIZE)}),
        HelpPopup(mnemonics)};
    // The fifth pop-up (Tools) belongs to the script builder.
    if (mode != EditorMode::ScriptBuilder) {
        menu.erase(menu.begin() + 4);
    }
    return menu;
}

HMENU WindowPopupOf(HMENU menu, bool document) {
    int count = GetMenuItemCount(menu);
    if (count < 2) {
        return nullptr;
    }
    return GetSubMenu(menu, document ? count - 2 : 0);
}

void SetFrameMenu(HMENU menu, HMENU windowPopup) {
    if (ew.client == nullptr || menu == nullptr) {
        return;
    }
    SendMessageA(ew.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                 reinterpret_cast<LPARAM>(windowPopup));
    DrawMenuBar(ew.frame);
}

void LayOut() {
    if (ew.frame == nullptr) {
        return;
    }
    RECT area;
    GetClientRect(ew.frame, &area);
    SendMessageA(ew.frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right, area.bottom));
}

void CreateStatusWindow() {
    if (ew.status != nullptr || ew.frame == nullptr) {
        return;
    }
    RECT area;
    GetClientRect(ew.frame, &area);
    ew.status =
        CreateWindowExA(0, CurrentModeNames().statusClass, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, area.bottom - ew.statusHeight,
                        area.right, ew.statusHeight, ew.frame, nullptr, ew.instance, nullptr);
    LayOut();
}

void DestroyStatusWindow() {
    if (ew.status != nullptr) {
        HWND status = ew.status;
        ew.status = nullptr;
        DestroyWindow(status);
        LayOut();
    }
}

void DestroyAllMinimisedMenu() {
    if (ew.allMinimisedMenu != nullptr && GetMenu(ew.frame) != ew.allMinimisedMenu) {
        DestroyMenu(ew.allMinimisedMenu);
        ew.allMinimisedMenu = nullptr;
    }
}

void UpdateRecentFiles(HMENU popup) {
    for (UINT id = IDM_RECENT_1; id <= IDM_RECENT_4; ++id) {
        DeleteMenu(popup, id, MF_BYCOMMAND);
    }
    int exitPosition = -1;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        if (GetMenuItemID(popup, i) == IDM_EXIT) {
            exitPosition = i;
        }
    }
    if (exitPosition < 0) {
        return;
    }
    for (int i = RECENT_FILE_COUNT - 1; i >= 0; --i) {
        char text[RECENT_FILE_SIZE + 8];
        if (RecentFileMenuText(i, text, sizeof text)) {
            InsertMenuA(popup, static_cast<UINT>(exitPosition), MF_BYPOSITION | MF_STRING,
                        IDM_RECENT_1 + i, text);
        }
    }
}

void Enable(HMENU popup, UINT id, bool enabled) {
    EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

MenuTemplate EditorMenuTemplate(int menu, EditorMode mode) {
    switch (menu) {
        case MENU_NO_DOCUMENT:
            return NoDocumentMenu(true);
        case MENU_NO_DOCUMENT_PLAIN:
            return NoDocumentMenu(false);
        case MENU_DOCUMENT:
            return DocumentMenu(true, mode);
        case MENU_DOCUMENT_PLAIN:
            return DocumentMenu(false, mode);
        default:
            return {};
    }
}

void RegisterMenuResources(HINSTANCE instance, EditorMode mode) {
    static MenuTemplate menus[4];
    static std::vector<ACCEL> tables[3];
    for (int menu = MENU_NO_DOCUMENT; menu <= MENU_DOCUMENT_PLAIN; ++menu) {
        menus[menu - 1] = EditorMenuTemplate(menu, mode);
        RegisterMenuResource(instance, MAKEINTRESOURCEA(menu), &menus[menu - 1]);
    }
    for (int table = ACCEL_MENU_MNEMONICS; table <= ACCEL_SCRIPT_BUILDER; ++table) {
        std::vector<ACCEL>& accel = tables[table - ACCEL_MENU_MNEMONICS];
        accel.clear();
        for (const KeyAccel& entry : AcceleratorTable(table)) {
            accel.push_back(
                ACCEL{static_cast<BYTE>(entry.flags & ~KF_LAST_ENTRY), entry.key, entry.id});
        }
        RegisterAcceleratorResource(instance, MAKEINTRESOURCEA(table), &accel);
    }
}

void InstallKeyboardMode(const KeyboardModeSelection& selection) {
    bool wasDocument = ew.documentMenu != nullptr && GetMenu(ew.frame) == ew.documentMenu;
    HMENU oldNoDocument = ew.noDocumentMenu;
    HMENU oldDocument = ew.documentMenu;
    ew.noDocumentMenu = LoadMenuA(ew.instance, MAKEINTRESOURCEA(selection.noDocumentMenu));
    ew.documentMenu = LoadMenuA(ew.instance, MAKEINTRESOURCEA(selection.documentMenu));
    ew.accelerators = LoadAcceleratorsA(ew.instance, MAKEINTRESOURCEA(selection.acceleratorTable));
    ew.menuAccelerators = selection.noDocumentMenu == MENU_NO_DOCUMENT;
    if (ew.frame != nullptr) {
        if (wasDocument || AnyDocumentShown()) {
            SetFrameMenu(ew.documentMenu, WindowPopupOf(ew.documentMenu, true));
        } else if (ew.documentCount > 0) {
            // The all-minimised menu is built again from the newly selected no-document menu.
            HMENU old = ew.allMinimisedMenu;
            ew.allMinimisedMenu = nullptr;
            ShowAllMinimisedMenu();
            if (old != nullptr) {
                DestroyMenu(old);
            }
        } else {
            SetFrameMenu(ew.noDocumentMenu, WindowPopupOf(ew.noDocumentMenu, false));
        }
    }
    for (HMENU old : {oldNoDocument, oldDocument}) {
        if (old != nullptr && old != GetMenu(ew.frame)) {
            DestroyMenu(old);
        }
    }
    DestroyAllMinimisedMenu();
}

void ShowDocumentMenu() {
    if (GetMenu(ew.frame) != ew.documentMenu) {
        SetFrameMenu(ew.documentMenu, WindowPopupOf(ew.documentMenu, true));
        DestroyAllMinimisedMenu();
    }
    CreateStatusWindow();
}

void ShowNoDocumentMenu() {
    SetFrameMenu(ew.noDocumentMenu, WindowPopupOf(ew.noDocumentMenu, false));
    DestroyAllMinimisedMenu();
    DestroyStatusWindow();
}

void ShowAllMinimisedMenu() {
    if (ew.allMinimisedMenu == nullptr || GetMenu(ew.frame) != ew.allMinimisedMenu) {
        HMENU menu = LoadMenuA(
            ew.instance,
            MAKEINTRESOURCEA(ew.menuAccelerators ? MENU_NO_DOCUMENT : MENU_NO_DOCUMENT_PLAIN));
        HMENU window = CreatePopupMenu();
        std::string item = LoadStringText(ew.instance, IDS_ARRANGE_ICONS);
        AppendMenuA(window, MF_STRING, IDM_ARRANGE_ICONS, item.c_str());
        InsertMenuA(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(window), ew.menuAccelerators ? "&Window" : "Window");
        HMENU old = ew.allMinimisedMenu;
        ew.allMinimisedMenu = menu;
        SetFrameMenu(menu, window);
        if (old != nullptr) {
            DestroyMenu(old);
        }
    }
    DestroyStatusWindow();
}

bool NoDocumentMenuShown() {
    HMENU menu = GetMenu(ew.frame);
    return menu == ew.noDocumentMenu || (menu != nullptr && menu == ew.allMinimisedMenu);
}

void UpdateMenuPopup(HMENU popup) {
    UpdateRecentFiles(popup);
    if (!AnyDocumentShown() || pwinCurrent == nullptr) {
        return;
    }
    HWND active = ActiveDocument();
    bool zoomed = active != nullptr && IsZoomed(active);
    bool marking = pwinCurrent->marking != 0;
    Enable(popup, IDM_RESTORE, zoomed);
    Enable(popup, IDM_MAXIMIZE, !zoomed);
    Enable(popup, IDM_NEXT_WINDOW, ew.documentCount >= 2);
    Enable(popup, IDM_PRINT, true);
    Enable(popup, IDM_PASTE, IsClipboardFormatAvailable(CF_TEXT) != 0);
    Enable(popup, IDM_UNDO, pbufCurrent->newestUndo != nullptr);
    Enable(popup, IDM_CUT, marking || fCutCopyCurrentLine);
    Enable(popup, IDM_COPY, marking || fCutCopyCurrentLine);
    Enable(popup, IDM_WRITE_BLOCK, marking);
    Enable(popup, IDM_DELETE, marking);
    Enable(popup, IDM_FIND_AGAIN, searchState.pattern[0] != '\0');
    Enable(popup, IDM_LIST_FOUND_FILES, false);
    CheckMenuItem(
        popup, IDM_WORD_WRAP,
        MF_BYCOMMAND | ((pbufCurrent->options & BF_WORDWRAP) ? MF_CHECKED : MF_UNCHECKED));
    if (GetMenuState(popup, IDM_RECORD_MACRO, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        ModifyMenuA(popup, IDM_RECORD_MACRO, MF_BYCOMMAND | MF_STRING, IDM_RECORD_MACRO,
                    RecordMacroItemText());
        Enable(popup, IDM_RECORD_MACRO, RecordMacroItemEnabled());
        Enable(popup, IDM_PLAY_MACRO, PlayMacroItemEnabled());
    }
}

}  // namespace fvedit
