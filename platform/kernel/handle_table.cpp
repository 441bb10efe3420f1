#include "platform/kernel/handle_table.h"

namespace farvane::kernel {

namespace {
constexpr unsigned kIndexShift = 2;
constexpr unsigned kIndexBits = 20;
constexpr unsigned kGenerationShift = kIndexShift + kIndexBits;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kGenerationLimit = 1u << (32 - kGenerationShift);
// A freed slot is reused only when this many slots are free, so a stale handle fails for a
// long time before its value can name another object.
constexpr std::size_t kMinimumFreeBeforeReuse = 1024;

HANDLE Encode(std::uint32_t index, std::uint32_t generation) {
    const std::uint32_t value = (generation << kGenerationShift) | (index << kIndexShift);
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}
}  // namespace

HandleTable& HandleTable::Instance() {
    // Never destroyed: threads may still close handles while the process exits.
    static HandleTable* table = new HandleTable;
    return *table;
}

HANDLE HandleTable::Insert(KernelObject* object) {
    std::uint32_t index;
    if (freeSlots_.size() >= kMinimumFreeBeforeReuse || slots_.size() > kIndexMask) {
        if (freeSlots_.empty()) {
            return nullptr;
        }
        index = freeSlots_.front();
        freeSlots_.pop_front();
    } else {
        index = static_cast<std::uint32_t>(slots_.size());
        slots_.push_back(Slot{});
    }
    Slot& slot = slots_[index];
    // Generation 0 is never used, so no handle value is 0.
    slot.generation = slot.generation + 1 < kGenerationLimit ? slot.generation + 1 : 1;
    slot.object = object;
    return Encode(index, slot.generation);
}

bool HandleTable::Decode(HANDLE handle, std::uint32_t* index) const {
    const auto raw = reinterpret_cast<std::uintptr_t>(handle);
    if (raw == 0 || raw > 0xFFFFFFFFu || (raw & ((1u << kIndexShift) - 1)) != 0) {
        return false;
    }
    const auto value = static_cast<std::uint32_t>(raw);
    const std::uint32_t slotIndex = (value >> kIndexShift) & kIndexMask;
    if (slotIndex >= slots_.size()) {
        return false;
    }
    const Slot& slot = slots_[slotIndex];
    if (slot.object == nullptr || slot.generation != value >> kGenerationShift) {
        return false;
    }
    *index = slotIndex;
    return true;
}

KernelObject* HandleTable::Find(HANDLE handle) const {
    std::uint32_t index;
    return Decode(handle, &index) ? slots_[index].object : nullptr;
}

KernelObject* HandleTable::Remove(HANDLE handle) {
    std::uint32_t index;
    if (!Decode(handle, &index)) {
        return nullptr;
    }
    KernelObject* object = slots_[index].object;
    slots_[index].object = nullptr;
    freeSlots_.push_back(index);
    return object;
}

}  // namespace farvane::kernel
