// What the multiple-document client keeps: its children in creation order, the active one,
// and the window menu that lists them.
#pragma once

#include <vector>

#include "platform/ui/user_types.h"

namespace farvane::ui {

struct MdiClientState {
    HMENU windowMenu = nullptr;
    UINT firstChildId = 0;
    HWND active = nullptr;
    std::vector<HWND> children;
    bool activeMaximized = false;
};

// The client forgets a child that is being destroyed and activates the next one.
void MdiChildGone(HWND client, HWND child);
// Called when a child of the client is created.
void MdiChildCreated(HWND client, HWND child);
LRESULT MdiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A button press in a child (or a window inside it) that is not the client's active child:
// the child is asked with WM_MOUSEACTIVATE and activated when it answers so. Returns true
// when the answer discards the click.
bool MdiMouseActivate(HWND window, UINT buttonMessage);

}  // namespace farvane::ui
