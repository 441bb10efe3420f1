// Maps handle values to kernel objects.
//
// A handle value carries a slot index and the slot's generation, so a handle that was closed
// stays invalid after its slot is reused. Freed slots go to the back of a queue and are reused
// only once many others are free, which keeps a stale handle from meeting a new object for a
// long time. Handle values fit in 32 bits and are multiples of 4, like Win32 handles.
//
// Insert, Find and Remove are called with the kernel lock held. Slots live in chunks that never
// move, so FindUnlocked can also look a handle up without the lock (unlocked_access.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>

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

    // Without the kernel lock: publishes the object in `hazard` and returns it when the handle
    // still names it after that, so that it is not freed while the caller looks at it (the
    // caller clears `hazard` when done). Returns nullptr, with `hazard` clear, otherwise.
    KernelObject* FindUnlocked(HANDLE handle, std::atomic<KernelObject*>& hazard) const;

    static HandleTable& Instance();

private:
    struct Slot {
        std::atomic<KernelObject*> object{nullptr};
        std::atomic<std::uint32_t> generation{0};
    };
    static constexpr unsigned kChunkBits = 10;
    static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;
    static constexpr std::uint32_t kChunkCount = 1u << 10;

    struct Decoded {
        std::uint32_t index;
        std::uint32_t generation;
    };
    static bool DecodeValue(HANDLE handle, Decoded* decoded);
    const Slot* SlotAt(std::uint32_t index) const;
    Slot* SlotAt(std::uint32_t index);
    bool Decode(HANDLE handle, std::uint32_t* index) const;

    std::atomic<Slot*> chunks_[kChunkCount] = {};
    std::atomic<std::uint32_t> slotCount_{0};
    std::deque<std::uint32_t> freeSlots_;
};

}  // namespace farvane::kernel
