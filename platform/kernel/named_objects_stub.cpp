#include "platform/kernel/named_object_calls.h"
#include "platform/kernel/synch.h"

namespace farvane::kernel {
HANDLE CreateNamedEvent(bool, bool, LPCSTR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}
HANDLE OpenNamedEvent(LPCSTR) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}
HANDLE CreateNamedSemaphore(LONG, LONG, LPCSTR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}
BOOL SetNamedEvent(KernelObject&) {
    return FALSE;
}
BOOL ResetNamedEvent(KernelObject&) {
    return FALSE;
}
BOOL ReleaseNamedSemaphore(KernelObject&, LONG, LONG*) {
    return FALSE;
}
}  // namespace farvane::kernel
