// Maps handle values to kernel objects.
//
// A handle value carries a slot index and the slot's generation, so a handle that was closed
// stays invalid after its slot is reused. Freed slots go to the back of a queue and are reused
// only once many others are free, which keeps a stale handle from meeting a new object for a
// long time. Handle values fit in 32 bits and are multiples of 4, like Win32 handles.
// Every member is called with the kernel lock held.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/kernel/win_types.h"

namespace farvane::kernel {

class KernelObject;

class HandleTable {
public:
    // Takes over one reference of `object`. Returns nullptr when the table is full.
    HANDLE Insert(KernelObject* object);
    KernelObject* Find(HANDLE handle) const;
    // Returns the object whose reference the handle held, or nullptr for an unknown handle.
    KernelObject* Remove(HANDLE handle);

    static HandleTable& Instance();

private:
    struct Slot {
        KernelObject* object = nullptr;
        std::uint32_t generation = 0;
    };
    bool Decode(HANDLE handle, std::uint32_t* index) const;

    std::vector<Slot> slots_;
    std::deque<std::uint32_t> freeSlots_;
};

}  // namespace farvane::kernel
