// Creation and signalling of events, mutexes and semaphores, and CloseHandle.
#include "platform/kernel/event_object.h"
#include "platform/kernel/handle_table.h"
#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/mutex_object.h"
#include "platform/kernel/named_object_calls.h"
#include "platform/kernel/semaphore_object.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread_record.h"
#include "platform/kernel/unlocked_access.h"

namespace kernel = farvane::kernel;
using kernel::HandleTable;
using kernel::KernelGuard;
using kernel::KernelObject;
using kernel::ObjectKind;

namespace {

bool HasName(LPCSTR name) {
    return name != nullptr && name[0] != '\0';
}

// Registers a new object of this process; the caller holds the kernel lock.
HANDLE InsertNew(KernelObject* object) {
    HANDLE handle = HandleTable::Instance().Insert(object);
    if (handle == nullptr) {
        delete object;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return handle;
}

KernelObject* Find(HANDLE handle) {
    KernelObject* object = HandleTable::Instance().Find(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

BOOL WrongKind() {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

}  // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
    if (HasName(name)) {
        return kernel::CreateNamedEvent(manualReset != FALSE, initialState != FALSE, name);
    }
    KernelGuard lock;
    return InsertNew(new kernel::EventObject(manualReset != FALSE, initialState != FALSE));
}

HANDLE OpenEventA(DWORD, BOOL, LPCSTR name) {
    if (!HasName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return kernel::OpenNamedEvent(name);
}

BOOL SetEvent(HANDLE handle) {
    if (kernel::EventAlreadySet(handle)) {
        return TRUE;
    }
    KernelGuard lock;
    KernelObject* object = Find(handle);
    if (object == nullptr) {
        return FALSE;
    }
    if (object->kind == ObjectKind::Event) {
        static_cast<kernel::EventObject*>(object)->Set();
        return TRUE;
    }
    return object->kind == ObjectKind::NamedEvent ? kernel::SetNamedEvent(*object) : WrongKind();
}

BOOL ResetEvent(HANDLE handle) {
    KernelGuard lock;
    KernelObject* object = Find(handle);
    if (object == nullptr) {
        return FALSE;
    }
    if (object->kind == ObjectKind::Event) {
        static_cast<kernel::EventObject*>(object)->Reset();
        return TRUE;
    }
    return object->kind == ObjectKind::NamedEvent ? kernel::ResetNamedEvent(*object) : WrongKind();
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    if (HasName(name)) {
        // Nothing in the system shares a mutex between processes (see named_objects.h).
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    kernel::ThreadRecord& self = kernel::CurrentThread();
    KernelGuard lock;
    auto* mutex = new kernel::MutexObject;
    if (initialOwner) {
        mutex->TryAcquire(self);
    }
    HANDLE handle = InsertNew(mutex);
    if (handle == nullptr && initialOwner) {
        // InsertNew deleted the object; forget the ownership taken above.
        self.ownedMutexes.pop_back();
    }
    return handle;
}

BOOL ReleaseMutex(HANDLE handle) {
    kernel::ThreadRecord& self = kernel::CurrentThread();
    KernelGuard lock;
    KernelObject* object = Find(handle);
    if (object == nullptr) {
        return FALSE;
    }
    if (object->kind != ObjectKind::Mutex) {
        return WrongKind();
    }
    if (!static_cast<kernel::MutexObject*>(object)->Release(self)) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (HasName(name)) {
        return kernel::CreateNamedSemaphore(initialCount, maximumCount, name);
    }
    KernelGuard lock;
    return InsertNew(new kernel::SemaphoreObject(initialCount, maximumCount));
}

BOOL ReleaseSemaphore(HANDLE handle, LONG releaseCount, LONG* previousCount) {
    KernelGuard lock;
    KernelObject* object = Find(handle);
    if (object == nullptr) {
        return FALSE;
    }
    if (releaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (object->kind == ObjectKind::NamedSemaphore) {
        return kernel::ReleaseNamedSemaphore(*object, releaseCount, previousCount);
    }
    if (object->kind != ObjectKind::Semaphore) {
        return WrongKind();
    }
    if (!static_cast<kernel::SemaphoreObject*>(object)->Release(releaseCount, previousCount)) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    KernelGuard lock;
    KernelObject* object = HandleTable::Instance().Remove(handle);
    if (object == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    kernel::ReleaseReference(object);
    return TRUE;
}
