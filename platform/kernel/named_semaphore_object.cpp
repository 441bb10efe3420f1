#include "platform/kernel/named_semaphore_object.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>

#include "platform/kernel/named_objects.h"
#include "platform/kernel/named_registry.h"
#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

namespace {

int OpenSlot(const std::string& path) {
    return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

}  // namespace

NamedSemaphoreObject::NamedSemaphoreObject(std::string key, std::string path)
    : KernelObject(ObjectKind::NamedSemaphore), key_(std::move(key)), path_(std::move(path)) {}

NamedSemaphoreObject::~NamedSemaphoreObject() {
    for (int descriptor : slotDescriptors_) {
        if (descriptor >= 0) {
            close(descriptor);
        }
    }
    UnregisterNamedObject(key_, this);
}

bool NamedSemaphoreObject::Open(LONG initialCount, LONG maximumCount, DWORD* error) {
    const auto initialise = [maximumCount](int descriptor) {
        const auto stored = static_cast<std::int32_t>(maximumCount);
        return ftruncate(descriptor, 0) == 0 &&
               pwrite(descriptor, &stored, sizeof stored, 0) == static_cast<ssize_t>(sizeof stored);
    };
    if (!file_.Open(path_, true, initialise, error)) {
        return false;
    }
    std::int32_t maximum = maximumCount;
    if (!file_.Created() &&
        (pread(file_.Descriptor(), &maximum, sizeof maximum, 0) != sizeof maximum || maximum <= 0 ||
         maximum > kMaximumNamedSemaphoreCount)) {
        *error = ERROR_INVALID_HANDLE;
        return false;
    }
    slotDescriptors_.assign(static_cast<std::size_t>(maximum), -1);
    if (file_.Created()) {
        for (std::size_t slot = 0; slot < static_cast<std::size_t>(maximumCount - initialCount);
             ++slot) {
            TakeSlot(slot);
        }
    }
    return true;
}

std::string NamedSemaphoreObject::SlotPath(std::size_t slot) const {
    return path_ + "." + std::to_string(slot);
}

bool NamedSemaphoreObject::TakeSlot(std::size_t slot) {
    const int descriptor = OpenSlot(SlotPath(slot));
    if (descriptor < 0) {
        return false;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        close(descriptor);
        return false;
    }
    slotDescriptors_[slot] = descriptor;
    takenSlots_.push_back(slot);
    return true;
}

AcquireResult NamedSemaphoreObject::TryAcquire(ThreadRecord&) {
    for (std::size_t slot = 0; slot < slotDescriptors_.size(); ++slot) {
        if (slotDescriptors_[slot] < 0 && TakeSlot(slot)) {
            return AcquireResult::Acquired;
        }
    }
    return AcquireResult::NotSignalled;
}

void NamedSemaphoreObject::UndoAcquire(ThreadRecord&) {
    GiveBack(1);
}

void NamedSemaphoreObject::GiveBack(LONG units) {
    for (LONG unit = 0; unit < units; ++unit) {
        const std::size_t slot = takenSlots_.back();
        takenSlots_.pop_back();
        close(slotDescriptors_[slot]);
        slotDescriptors_[slot] = -1;
    }
}

LONG NamedSemaphoreObject::CountFreeSlots() const {
    LONG free = 0;
    for (std::size_t slot = 0; slot < slotDescriptors_.size(); ++slot) {
        if (slotDescriptors_[slot] >= 0) {
            continue;
        }
        const int descriptor = OpenSlot(SlotPath(slot));
        if (descriptor >= 0) {
            // Closing the descriptor drops the probe's lock again.
            free += flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 1 : 0;
            close(descriptor);
        }
    }
    return free;
}

bool NamedSemaphoreObject::Release(LONG units, LONG* previousCount) {
    if (units <= 0 || static_cast<std::size_t>(units) > takenSlots_.size()) {
        return false;
    }
    if (previousCount != nullptr) {
        *previousCount = CountFreeSlots();
    }
    GiveBack(units);
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
    return true;
}

}  // namespace farvane::kernel
