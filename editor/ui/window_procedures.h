// The window procedures of the editor's frame, document and status windows.
#pragma once

#include "editor/ui/ui_state.h"

namespace fvedit {

LRESULT FrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DocumentWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StatusWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The menu commands of a document window (ids below 2000); unknown ids do nothing.
void DocumentMenuCommand(UINT id);

}  // namespace fvedit
