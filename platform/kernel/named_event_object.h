// A manual-reset event shared between processes: one 32-bit word (1 = signalled) in a file of
// the runtime folder, mapped into every process that has it open. Waits on it poll the word.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/shared_object_file.h"

namespace farvane::kernel {

class NamedEventObject final : public KernelObject {
public:
    explicit NamedEventObject(std::string key);
    ~NamedEventObject() override;

    // Creates (with the given initial state) or opens the event file at `path`.
    bool Open(const std::string& path, bool mayCreate, bool initialState, DWORD* error);
    bool Created() const { return file_.Created(); }

    bool IsSignalledFor(const ThreadRecord&) const override { return Load() != 0; }
    AcquireResult TryAcquire(ThreadRecord&) override {
        return Load() != 0 ? AcquireResult::Acquired : AcquireResult::NotSignalled;
    }
    bool NeedsPolling() const override { return true; }

    void Set();
    void Reset();

private:
    std::uint32_t Load() const;

    const std::string key_;
    SharedObjectFile file_;
    std::uint32_t* state_ = nullptr;
};

}  // namespace farvane::kernel
