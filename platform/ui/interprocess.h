// Windows of the user's other programs: finding them by class, posting them messages, and
// message numbers registered by name that all programs agree on. Everything goes through the
// per-user runtime folder ($FARVANE_RUNTIME_DIR, else $XDG_RUNTIME_DIR/farvane, else
// /tmp/farvane-UID), which only the user can enter.
//
// A program takes part once it calls AllowMessagesFromOtherPrograms(): its top-level windows
// are listed for the others, and a receiver thread posts what arrives to the addressed window.
// Only numbers travel: a word or long parameter that a receiver would treat as an address
// means nothing in another program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ui/datagram.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

// Finds a top-level window by class (and title when given) in this program first, then in the
// user's other programs; a window of another program comes back as a handle that only posting
// accepts (SendMessage to it fails with 0). Null when none is found.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
// The same number for the same name (case-insensitive) in every program of the user, from
// 0xC000 up; 0 for a null or empty name or when the folder cannot be used.
UINT RegisterWindowMessageA(LPCSTR name);

BOOL AllowMessagesFromOtherPrograms();
void StopMessagesFromOtherPrograms();

bool IsRemoteWindow(HWND window);
BOOL PostToRemoteWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostToOtherPrograms(UINT message, WPARAM wParam, LPARAM lParam);
// Posts a message carrying a text (at most kMaxPostedText bytes) to a window of another
// program, or of this one. The receiver gets the message with a ticket as the word parameter
// and 0 as the long parameter; TakePostedText turns the ticket into the text, once.
BOOL PostTextMessage(HWND window, UINT message, const std::string& text);
bool TakePostedText(WPARAM ticket, std::string* text);

// Rewrites this program's list of top-level windows (the model calls it on changes).
void RepublishWindows();
// The runtime folder, created when missing; empty when it cannot be made.
std::string RuntimeFolder();

}  // namespace farvane::ui
