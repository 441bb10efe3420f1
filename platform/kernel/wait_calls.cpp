// WaitForSingleObject, WaitForMultipleObjects, Sleep and the thread's last error.
#include <thread>

#include "platform/kernel/handle_table.h"
#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread_record.h"
#include "platform/kernel/unlocked_access.h"
#include "platform/kernel/wait_engine.h"

namespace kernel = farvane::kernel;
using kernel::KernelGuard;
using kernel::KernelObject;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

DWORD Fail(DWORD error) {
    lastError = error;
    return WAIT_FAILED;
}

bool HasDuplicates(KernelObject* const* objects, DWORD count) {
    for (DWORD i = 0; i < count; ++i) {
        for (DWORD j = i + 1; j < count; ++j) {
            if (objects[i] == objects[j]) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD error) {
    lastError = error;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    kernel::ThreadRecord& self = kernel::CurrentThread();
    DWORD unlockedResult;
    if (count == 1 && kernel::TryWaitUnlocked(self, handles[0], milliseconds, &unlockedResult)) {
        return unlockedResult;
    }
    KernelObject* objects[MAXIMUM_WAIT_OBJECTS];
    KernelGuard lock;
    const kernel::HandleTable& table = kernel::HandleTable::Instance();
    for (DWORD i = 0; i < count; ++i) {
        objects[i] = table.Find(handles[i]);
        if (objects[i] == nullptr) {
            return Fail(ERROR_INVALID_HANDLE);
        }
    }
    // Waiting for all of a set that names one object twice has no meaning.
    if (waitAll && HasDuplicates(objects, count)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return kernel::WaitLocked(lock, self, objects, count, waitAll != FALSE, milliseconds);
}

void Sleep(DWORD milliseconds) {
    kernel::ThreadRecord& self = kernel::CurrentThread();
    if (self.cancelled.load(std::memory_order_relaxed)) {
        return;
    }
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    KernelGuard lock;
    kernel::SleepLocked(lock, self, milliseconds);
}
