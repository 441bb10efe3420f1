// The state that the editor's windows share: the frame, its document area and status window,
// the menus and accelerators in use, fonts, colours and the flags that link the window
// procedures (exiting, children maximised, the first restore after start-up).
#pragma once

#include "editor/core/edit_window.h"
#include "platform/ui/ui.h"

namespace fvedit {

using namespace farvane::ui;

// Child id of the document area and of its first document window.
inline constexpr UINT ID_MDI_CLIENT = 1;
inline constexpr UINT ID_FIRST_DOCUMENT = 300;
inline constexpr UINT_PTR ID_FRAME_TIMER = 1;
inline constexpr UINT FRAME_TIMER_MS = 10000;

// Private messages.
inline constexpr UINT WM_HAND_OVER_COMMAND_LINE = 1524;
inline constexpr UINT WM_CENTER_DOT_LINE = 1525;
inline constexpr UINT WM_REPAINT_IF_ICONIC = 1527;
inline constexpr UINT WM_FONT_CHANGED = 1528;
inline constexpr UINT WM_INSERT_TEXT = 1533;

struct ModeNames {
    const char* frameClass;
    const char* documentClass;
    const char* statusClass;
    int frameIcon;
    int documentIcon;
    UINT titleString;
};

struct EditorWindows {
    HINSTANCE instance = nullptr;
    HWND frame = nullptr;
    HWND client = nullptr;
    HWND status = nullptr;
    HWND activeDocument = nullptr;  // the document window last activated
    HWND lastDeactivated = nullptr;
    HMENU noDocumentMenu = nullptr;
    HMENU documentMenu = nullptr;
    HMENU allMinimisedMenu = nullptr;  // the no-document menu with "&Window" added, while shown
    HACCEL accelerators = nullptr;
    HFONT editorFont = nullptr;
    HFONT statusFont = nullptr;
    int statusHeight = 19;
    int statusCharWidth = 8;
    int statusWidthChars = 80;
    COLORREF windowColour = 0xFFFFFF;
    COLORREF textColour = 0;
    COLORREF highlightColour = 0x800000;
    COLORREF highlightTextColour = 0xFFFFFF;
    UINT systemBlinkTime = 530;
    int documentCount = 0;
    bool exiting = false;
    bool childrenMaximised = false;
    bool firstRestore = true;  // restore_window cascades the first time
    bool startedWithDocuments = false;
    bool frameStartedMinimised = false;
    bool menuAccelerators = true;
};

extern EditorWindows ew;

// The names of the editor's mode.
const ModeNames& CurrentModeNames();
// The document window of a record, and the record of a document window.
HWND DocumentWindowOf(const EditWindow* window);
EditWindow* RecordOf(HWND document);
// True when at least one document window is open and not minimised.
bool AnyDocumentShown();
// The active document window when it exists, else null.
HWND ActiveDocument();

}  // namespace fvedit
