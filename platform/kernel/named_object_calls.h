// The part of the synchronisation calls that works on named objects shared between processes
// (named_objects.h says what is supported). Each function sets the last error itself.
#pragma once

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/win_types.h"

namespace farvane::kernel {

HANDLE CreateNamedEvent(bool manualReset, bool initialState, LPCSTR name);
HANDLE OpenNamedEvent(LPCSTR name);
HANDLE CreateNamedSemaphore(LONG initialCount, LONG maximumCount, LPCSTR name);

// Called with the kernel lock held, on objects of kind NamedEvent or NamedSemaphore.
BOOL SetNamedEvent(KernelObject& event);
BOOL ResetNamedEvent(KernelObject& event);
BOOL ReleaseNamedSemaphore(KernelObject& semaphore, LONG releaseCount, LONG* previousCount);

}  // namespace farvane::kernel
