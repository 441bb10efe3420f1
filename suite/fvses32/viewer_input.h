// What the viewer window sends for the person's keys and mouse: the X keysyms of the keys
// (characters by what they type, the other keys by what they are), and the host's screen
// position under the pointer, whether the picture is shown 1:1 and scrolled or scaled to fit.
#pragma once

#include <cstdint>

#include "platform/ui/user_types.h"

namespace farvane::viewer {

using farvane::ui::POINT;
using farvane::ui::RECT;
using farvane::ui::SIZE;

// The keysym of a key that types no character of its own (Return, arrows, F1...), or of a
// modifier (Shift, Control, Alt); 0 for a key whose character is sent instead.
std::uint32_t KeysymForKey(WORD virtualKey);
// The keysym of a character the window received: printable Latin-1 characters as they are, a
// control character as the letter typed with Ctrl (Ctrl+C types 0x03: 'c'); 0 for the other
// control characters and DEL. A character typed by a key that KeysymForKey names (Return
// types 0x0D) was sent as that key and is not sent again.
std::uint32_t KeysymForTyped(unsigned char character);

// Where a host screen of `width` x `height` is shown in a client area.
struct PictureView {
    RECT dest{};    // the client rectangle the picture occupies
    RECT source{};  // the part of the host's screen shown there
};

// 1:1: the part of the screen at the scroll position that fits the client area.
PictureView UnscaledView(int width, int height, SIZE client, POINT scroll);
// Scaled to fit: the whole screen, as large as the client area allows with its proportions
// kept, centred.
PictureView FittedView(int width, int height, SIZE client);
// The host position under a client position; false when the client position is outside the
// picture (a border of a fitted picture).
bool HostPointOf(const PictureView& view, POINT client, POINT* host);

}  // namespace farvane::viewer
