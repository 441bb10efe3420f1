// Creation and signalling of named events and semaphores (see named_objects.h).
#include <memory>

#include "platform/kernel/handle_table.h"
#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/named_event_object.h"
#include "platform/kernel/named_object_calls.h"
#include "platform/kernel/named_objects.h"
#include "platform/kernel/named_registry.h"
#include "platform/kernel/named_semaphore_object.h"
#include "platform/kernel/runtime_dir.h"
#include "platform/kernel/synch.h"

namespace farvane::kernel {

namespace {

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// A new handle to a named object this process already has open.
HANDLE ShareExisting(KernelObject* existing, ObjectKind kind) {
    if (existing->kind != kind) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    HANDLE handle = HandleTable::Instance().Insert(existing);
    if (handle == nullptr) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    AddReference(*existing);
    SetLastError(ERROR_ALREADY_EXISTS);
    return handle;
}

// Registers an object that was just opened and gives it its first handle.
template <typename Object>
HANDLE Publish(const std::string& key, std::unique_ptr<Object> object) {
    HANDLE handle = HandleTable::Instance().Insert(object.get());
    if (handle == nullptr) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    SetLastError(object->Created() ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
    RegisterNamedObject(key, object.release());
    return handle;
}

HANDLE OpenEvent(LPCSTR name, bool mayCreate, bool initialState) {
    const std::string key = KernelEscapeName(name);
    KernelGuard lock;
    if (KernelObject* existing = FindNamedObject(key)) {
        return ShareExisting(existing, ObjectKind::NamedEvent);
    }
    const std::string path = SharedObjectPath(name, "event");
    if (path.empty()) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    auto event = std::make_unique<NamedEventObject>(key);
    DWORD error = ERROR_SUCCESS;
    if (!event->Open(path, mayCreate, initialState, &error)) {
        return Fail(error);
    }
    return Publish(key, std::move(event));
}

}  // namespace

HANDLE CreateNamedEvent(bool manualReset, bool initialState, LPCSTR name) {
    if (!manualReset) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return OpenEvent(name, true, initialState);
}

HANDLE OpenNamedEvent(LPCSTR name) {
    HANDLE handle = OpenEvent(name, false, false);
    if (handle != nullptr) {
        SetLastError(ERROR_SUCCESS);
    }
    return handle;
}

HANDLE CreateNamedSemaphore(LONG initialCount, LONG maximumCount, LPCSTR name) {
    if (maximumCount > kMaximumNamedSemaphoreCount) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::string key = KernelEscapeName(name);
    KernelGuard lock;
    if (KernelObject* existing = FindNamedObject(key)) {
        return ShareExisting(existing, ObjectKind::NamedSemaphore);
    }
    const std::string path = SharedObjectPath(name, "sem");
    if (path.empty()) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    auto semaphore = std::make_unique<NamedSemaphoreObject>(key, path);
    DWORD error = ERROR_SUCCESS;
    if (!semaphore->Open(initialCount, maximumCount, &error)) {
        return Fail(error);
    }
    return Publish(key, std::move(semaphore));
}

BOOL SetNamedEvent(KernelObject& event) {
    static_cast<NamedEventObject&>(event).Set();
    return TRUE;
}

BOOL ResetNamedEvent(KernelObject& event) {
    static_cast<NamedEventObject&>(event).Reset();
    return TRUE;
}

BOOL ReleaseNamedSemaphore(KernelObject& semaphore, LONG releaseCount, LONG* previousCount) {
    if (!static_cast<NamedSemaphoreObject&>(semaphore).Release(releaseCount, previousCount)) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    return TRUE;
}

}  // namespace farvane::kernel
