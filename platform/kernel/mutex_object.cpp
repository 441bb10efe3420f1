#include "platform/kernel/mutex_object.h"

#include <algorithm>

#include "platform/kernel/thread_record.h"
#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

bool MutexObject::IsSignalledFor(const ThreadRecord& thread) const {
    return owner_ == nullptr || owner_ == &thread;
}

AcquireResult MutexObject::TryAcquire(ThreadRecord& thread) {
    if (owner_ == &thread) {
        ++recursion_;
        return AcquireResult::Acquired;
    }
    if (owner_ != nullptr) {
        return AcquireResult::NotSignalled;
    }
    owner_ = &thread;
    recursion_ = 1;
    // The owner keeps the mutex alive: it may close its handle before releasing it.
    AddReference(*this);
    thread.ownedMutexes.push_back(this);
    if (abandoned_) {
        abandoned_ = false;
        return AcquireResult::Abandoned;
    }
    return AcquireResult::Acquired;
}

bool MutexObject::Release(ThreadRecord& thread) {
    if (owner_ != &thread) {
        return false;
    }
    if (--recursion_ > 0) {
        return true;
    }
    owner_ = nullptr;
    auto& owned = thread.ownedMutexes;
    owned.erase(std::find(owned.begin(), owned.end(), this));
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
    ReleaseReference(this);
    return true;
}

void MutexObject::Abandon() {
    owner_ = nullptr;
    recursion_ = 0;
    abandoned_ = true;
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
}

void AbandonOwnedMutexes(ThreadRecord& thread) {
    // Abandoning may hand a mutex straight to another thread, which then appends to its own
    // list, never to this one.
    std::vector<KernelObject*> owned;
    owned.swap(thread.ownedMutexes);
    for (KernelObject* object : owned) {
        static_cast<MutexObject*>(object)->Abandon();
        ReleaseReference(object);
    }
}

}  // namespace farvane::kernel
