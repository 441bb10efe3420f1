// The suite's installation directories by kind.
#pragma once

#include "platform/kernel/win_types.h"

// Kind 2: where the remote control program's call-host files ("NAME.chf") live.
inline constexpr int INSTALL_DIR_CALLHOST = 2;

// Copies the directory of the kind into `buffer` (terminated) and returns its length; 0 for
// an unknown kind, or when it does not fit. The call-host directory is $FARVANE_CALLHOST_DIR,
// else $XDG_DATA_HOME/farvane/callhost, else ~/.local/share/farvane/callhost; it need not
// exist.
int GetInstallMgrDir(int kind, char* buffer, int size);
