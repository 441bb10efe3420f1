// The input a document window hands to the core: command and character messages. The
// document window procedure of the user interface passes every command and character message
// here first; macro playback sends its recorded messages the same way (through
// sendToDocument, macro.h, which the user interface points at its window procedure so that
// recorded menu commands play back too).
#pragma once

#include "platform/kernel/win_types.h"

// Offers the message to the macro recorder, then carries out key commands (ids 2000-2999 of a
// command message) and typed characters. Returns 1 when the message was handled here; 0 for
// other messages and other command ids (menu commands), which the caller then handles.
int HandleDocumentInput(UINT message, WPARAM wParam, LPARAM lParam);
