// The bars of a single-document program's main frame: a toolbar of command buttons along the
// top and a status bar of panes along the bottom, plus the framework's standard command ids
// that menus, toolbars and resource libraries share.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

// Standard commands of a document program's frame.
inline constexpr UINT ID_FILE_NEW = 0xE100, ID_FILE_OPEN = 0xE101, ID_FILE_CLOSE = 0xE102,
                      ID_FILE_SAVE = 0xE103, ID_FILE_SAVE_AS = 0xE104, ID_FILE_PRINT_SETUP = 0xE106,
                      ID_FILE_PRINT = 0xE107, ID_FILE_PRINT_PREVIEW = 0xE109,
                      ID_FILE_MRU_FILE1 = 0xE110, ID_EDIT_COPY = 0xE122, ID_EDIT_CUT = 0xE123,
                      ID_EDIT_PASTE = 0xE125, ID_EDIT_UNDO = 0xE12B, ID_APP_ABOUT = 0xE140,
                      ID_APP_EXIT = 0xE141, ID_HELP_INDEX = 0xE142, ID_CONTEXT_HELP = 0xE145,
                      ID_HELP = 0xE146, ID_VIEW_TOOLBAR = 0xE800, ID_VIEW_STATUS_BAR = 0xE801;
// Standard strings: the application's title and the status bar's idle text.
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000, AFX_IDS_IDLEMESSAGE = 0xE001;
// Child window ids of the bars.
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800, AFX_IDW_STATUS_BAR = 0xE801;

inline constexpr const char* kToolBarClassName = "FarvaneToolBar";
inline constexpr const char* kStatusBarClassName = "FarvaneStatusBar";

struct ToolBarButton {
    UINT command = 0;   // 0: a separator
    std::string label;  // shown on the button (tool tip text)
};

// A toolbar docked at the top of `frame`; each button is a child with the command as its id,
// and a click reaches the frame as WM_COMMAND with that id. Separators are empty statics.
HWND CreateToolBar(HWND frame, const std::vector<ToolBarButton>& buttons);
// The entries of a toolbar in order, separators (id 0) included.
std::vector<HWND> ToolBarButtons(HWND toolBar);

// Status bar panes: the message pane (stretches) and the key state indicators.
enum class StatusPane { Message, CapsLock, NumLock, ScrollLock };
// A status bar docked at the bottom of `frame` with the given panes, in order.
HWND CreateStatusBar(HWND frame, const std::vector<StatusPane>& panes);
int StatusBarPaneCount(HWND statusBar);
BOOL SetStatusPaneText(HWND statusBar, int index, LPCSTR text);
std::string StatusPaneText(HWND statusBar, int index);
// Shows "CAP", "NUM" and "SCRL" in the indicator panes while those keys are toggled on.
void UpdateStatusIndicators(HWND statusBar);

// Places the bars of `frame` at its edges and returns the client area left between them.
RECT LayoutFrameBars(HWND frame);

}  // namespace farvane::ui
