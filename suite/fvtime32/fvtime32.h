// Timers of the suite: callbacks run on one timer thread after a delay, then periodically for
// as long as the callback asks for it.
//
// Delays are milliseconds of the platform layer's clock, so a test that speeds that clock up
// (KernelSetTimeScale) also makes timers fire sooner.
#pragma once

#include "platform/kernel/win_types.h"

// Called with the timer's id and the context given to FVStartTimer. A non-zero result asks for
// another call after the timer's period; 0 ends the timer.
using FVTIMERPROC = int (*)(UINT timerId, void* context);

// Bracket a program's use of timers. FVTimerExit drops every pending timer and stops the timer
// thread; a later FVStartTimer starts it again. Both may be called more than once.
int FVTimerInit();
void FVTimerExit();

// Calls `callback` once `delayMs` has passed, then every `periodMs` while it returns non-zero.
// Returns the timer's id, never 0 for a started timer; 0 when no callback is given.
UINT FVStartTimer(DWORD delayMs, DWORD periodMs, FVTIMERPROC callback, void* context, int reserved);

// Ends the timer: its callback is not called again. When the callback is running on the timer
// thread at that moment, this waits for it to return (unless called from the callback itself),
// so that whatever the callback uses may be freed right after. Returns 1 when the timer
// existed, 0 for an unknown or finished id.
int FVKillTimer(UINT timerId);

// The number of timers still pending; for tests.
int FVTimerPendingCount();
