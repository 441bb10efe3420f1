#include "platform/kernel/unlocked_access.h"

#include <vector>

#include "platform/kernel/event_object.h"
#include "platform/kernel/handle_table.h"

namespace farvane::kernel {

namespace {

// Objects whose last reference went while a thread held them; guarded by the kernel lock.
std::vector<KernelObject*>& Retired() {
    static auto* retired = new std::vector<KernelObject*>;
    return *retired;
}

const EventObject* AsEvent(const KernelObject* object) {
    return object != nullptr && object->kind == ObjectKind::Event
               ? static_cast<const EventObject*>(object)
               : nullptr;
}

}  // namespace

UnlockedObject::UnlockedObject(HANDLE handle)
    : self_(CurrentThread()), object_(HandleTable::Instance().FindUnlocked(handle, self_.hazard)) {}

UnlockedObject::~UnlockedObject() {
    if (object_ != nullptr) {
        self_.hazard.store(nullptr, std::memory_order_release);
    }
}

bool EventAlreadySet(HANDLE handle) {
    const UnlockedObject object(handle);
    const EventObject* event = AsEvent(object.get());
    // Publishing the hazard was a sequentially consistent store, so the caller's earlier
    // writes are ordered before this read, as they would be by the lock.
    return event != nullptr && event->SignalledUnlocked();
}

bool TryWaitUnlocked(ThreadRecord& self, HANDLE handle, DWORD milliseconds, DWORD* result) {
    if (self.cancelled.load(std::memory_order_relaxed)) {
        return false;
    }
    const UnlockedObject object(handle);
    const EventObject* event = AsEvent(object.get());
    if (event == nullptr) {
        return false;
    }
    const bool signalled = event->SignalledUnlocked();
    if (signalled && event->ManualReset()) {
        *result = WAIT_OBJECT_0;
        return true;
    }
    if (!signalled && milliseconds == 0) {
        *result = WAIT_TIMEOUT;
        return true;
    }
    return false;
}

void RetireObject(KernelObject* object) {
    std::vector<KernelObject*> pending;
    pending.swap(Retired());
    pending.push_back(object);
    // Freeing may release references to other objects, which come back here: work on a
    // private list.
    for (KernelObject* candidate : pending) {
        if (AnyThreadHolds(candidate)) {
            Retired().push_back(candidate);
        } else {
            delete candidate;
        }
    }
}

}  // namespace farvane::kernel
