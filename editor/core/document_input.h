// The input a document window hands to the core: command and character messages. The
// document window procedure of the user interface calls this for them; macro playback sends
// its recorded messages the same way.
#pragma once

#include "platform/kernel/win_types.h"

// Offers the message to the macro recorder, then carries out key commands (ids 2000-2999 of a
// command message) and typed characters. Other commands are left to the caller. Returns 1
// when the message was handled here.
int HandleDocumentInput(UINT message, WPARAM wParam, LPARAM lParam);
