#include "platform/kernel/named_event_object.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "platform/kernel/named_registry.h"
#include "platform/kernel/wait_engine.h"

namespace farvane::kernel {

namespace {
constexpr std::size_t kMappedSize = 4096;
}  // namespace

NamedEventObject::NamedEventObject(std::string key)
    : KernelObject(ObjectKind::NamedEvent), key_(std::move(key)) {}

NamedEventObject::~NamedEventObject() {
    if (state_ != nullptr) {
        munmap(state_, kMappedSize);
    }
    UnregisterNamedObject(key_, this);
}

bool NamedEventObject::Open(const std::string& path, bool mayCreate, bool initialState,
                            DWORD* error) {
    const auto initialise = [initialState](int descriptor) {
        const std::uint32_t state = initialState ? 1 : 0;
        return ftruncate(descriptor, 0) == 0 &&
               ftruncate(descriptor, static_cast<off_t>(kMappedSize)) == 0 &&
               pwrite(descriptor, &state, sizeof state, 0) == static_cast<ssize_t>(sizeof state);
    };
    if (!file_.Open(path, mayCreate, initialise, error)) {
        return false;
    }
    struct stat status {};
    if (fstat(file_.Descriptor(), &status) != 0 ||
        status.st_size < static_cast<off_t>(kMappedSize)) {
        // Only a foreign program can have shortened the file; mapping it would fault.
        *error = ERROR_INVALID_HANDLE;
        return false;
    }
    void* mapped =
        mmap(nullptr, kMappedSize, PROT_READ | PROT_WRITE, MAP_SHARED, file_.Descriptor(), 0);
    if (mapped == MAP_FAILED) {
        *error = ErrorFromErrno(errno);
        return false;
    }
    state_ = static_cast<std::uint32_t*>(mapped);
    return true;
}

std::uint32_t NamedEventObject::Load() const {
    return std::atomic_ref<std::uint32_t>(*state_).load(std::memory_order_acquire);
}

void NamedEventObject::Set() {
    std::atomic_ref<std::uint32_t>(*state_).store(1, std::memory_order_release);
    // Waits of this process learn it at once; other processes at their next poll.
    if (!waiters.Empty()) {
        SignalWaiters(*this);
    }
}

void NamedEventObject::Reset() {
    std::atomic_ref<std::uint32_t>(*state_).store(0, std::memory_order_release);
}

}  // namespace farvane::kernel
