// Accelerator tables: key combinations that become WM_COMMAND messages.
#pragma once

#include "platform/ui/user_constants.h"
#include "platform/ui/user_types.h"

namespace farvane::ui {

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// With a null `entries` returns the number of entries.
int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count);
// Turns a key message that matches an entry into WM_COMMAND (high word 1) for `window`;
// returns TRUE when the message was used up. A matching command whose item in the window's
// menu is disabled is used up without a command.
int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg);

}  // namespace farvane::ui
