// The session's window: a hidden top-level window of the session library's own class, made on
// the UI thread when a session is built, if a UI backend runs. Other threads (the host pilot on
// the dispatch thread) change it only by posting the private messages below, so that they
// never wait for the UI thread; its window procedure carries them out there.
#pragma once

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

inline constexpr const char* FV_SESSION_WINDOW_CLASS = "FVSessionWindow";

// wParam: a ShowWindow command (SW_SHOW, SW_HIDE...).
inline constexpr UINT WM_FV_SESSION_SHOW = farvane::ui::WM_APP + 0x100;
// Removes SC_MAXIMIZE, SC_MINIMIZE, SC_CLOSE and SC_RESTORE from the system menu, puts a
// separator at its top and redraws the menu bar.
inline constexpr UINT WM_FV_SESSION_STRIP_MENU = farvane::ui::WM_APP + 0x101;
// Destroys the window: how a thread other than the UI thread gets rid of it.
inline constexpr UINT WM_FV_SESSION_DESTROY = farvane::ui::WM_APP + 0x102;

// Creates the session window, hidden. Null when no UI backend is installed or when called on
// a thread other than the UI thread: the session then has no window.
HWND CreateSessionWindow(const char* title);
// Destroys it at once on the UI thread, else by posting WM_FV_SESSION_DESTROY. Null is ignored.
void DestroySessionWindow(HWND window);
