// Helpers shared between the files of the windowing model; not part of its interface.
#pragma once

#include <string>

#include "platform/ui/ui_state.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

// The top-level window that contains `window` (itself when it is top-level).
HWND TopLevelOf(HWND window);
bool IsDescendantOrSelf(HWND ancestor, HWND window);
// Makes a top-level window the active one, sending WM_ACTIVATE to the old and the new one.
void ActivateTopLevel(HWND window, WORD how);
// Picks another window to activate when `leaving` is hidden, minimised or destroyed.
void ActivateNextAfter(HWND leaving);
void KillTimersOf(HWND window);
void ForgetWindowInQueue(HWND window);
// Sends WM_COMMAND with a control notification to the control's parent.
void NotifyParent(HWND control, WORD code);
// The (re)sized drawing surface of a window that paints itself.
Surface* SurfaceOf(HWND window);
void ResizeSurface(HWND window);
// The client size of a window.
SIZE ClientSize(const Window& window);
// Removes the mnemonic marker '&' ("&&" stays one '&').
std::string StripMnemonic(const std::string& text);
// The mnemonic letter of a text (upper case), or 0.
char MnemonicOf(const std::string& text);
std::string ToLower(std::string text);
// Copies text into a caller's buffer the way the platform's text calls do; returns the count
// copied without the terminator.
int CopyOut(const std::string& text, LPSTR buffer, int size);
void EnsureInitialised();
// Destroys every window and resets the model (tests call it between cases).
void ResetModel();

}  // namespace farvane::ui
