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

const HandleTable::Slot* HandleTable::SlotAt(std::uint32_t index) const {
    const Slot* chunk = chunks_[index >> kChunkBits].load(std::memory_order_acquire);
    return chunk == nullptr ? nullptr : &chunk[index & (kChunkSize - 1)];
}

HandleTable::Slot* HandleTable::SlotAt(std::uint32_t index) {
    return const_cast<Slot*>(static_cast<const HandleTable*>(this)->SlotAt(index));
}

HANDLE HandleTable::Insert(KernelObject* object) {
    static_assert(kChunkSize * kChunkCount == kIndexMask + 1);
    std::uint32_t index;
    const std::uint32_t count = slotCount_.load(std::memory_order_relaxed);
    if (freeSlots_.size() >= kMinimumFreeBeforeReuse || count > kIndexMask) {
        if (freeSlots_.empty()) {
            return nullptr;
        }
        index = freeSlots_.front();
        freeSlots_.pop_front();
    } else {
        index = count;
        std::atomic<Slot*>& chunk = chunks_[index >> kChunkBits];
        if (chunk.load(std::memory_order_relaxed) == nullptr) {
            // Chunks are never freed: unlocked readers may still look at them.
            chunk.store(new Slot[kChunkSize], std::memory_order_release);
        }
        slotCount_.store(count + 1, std::memory_order_release);
    }
    Slot& slot = *SlotAt(index);
    // Generation 0 is never used, so no handle value is 0. The generation is written before
    // the object: an unlocked reader that sees the object sees its generation too.
    const std::uint32_t previous = slot.generation.load(std::memory_order_relaxed);
    const std::uint32_t generation = previous + 1 < kGenerationLimit ? previous + 1 : 1;
    slot.generation.store(generation, std::memory_order_seq_cst);
    slot.object.store(object, std::memory_order_seq_cst);
    return Encode(index, generation);
}

bool HandleTable::DecodeValue(HANDLE handle, Decoded* decoded) {
    const auto raw = reinterpret_cast<std::uintptr_t>(handle);
    if (raw == 0 || raw > 0xFFFFFFFFu || (raw & ((1u << kIndexShift) - 1)) != 0) {
        return false;
    }
    const auto value = static_cast<std::uint32_t>(raw);
    decoded->index = (value >> kIndexShift) & kIndexMask;
    decoded->generation = value >> kGenerationShift;
    return true;
}

bool HandleTable::Decode(HANDLE handle, std::uint32_t* index) const {
    Decoded decoded;
    if (!DecodeValue(handle, &decoded) ||
        decoded.index >= slotCount_.load(std::memory_order_relaxed)) {
        return false;
    }
    const Slot& slot = *SlotAt(decoded.index);
    if (slot.object.load(std::memory_order_relaxed) == nullptr ||
        slot.generation.load(std::memory_order_relaxed) != decoded.generation) {
        return false;
    }
    *index = decoded.index;
    return true;
}

KernelObject* HandleTable::Find(HANDLE handle) const {
    std::uint32_t index;
    return Decode(handle, &index) ? SlotAt(index)->object.load(std::memory_order_relaxed) : nullptr;
}

KernelObject* HandleTable::Remove(HANDLE handle) {
    std::uint32_t index;
    if (!Decode(handle, &index)) {
        return nullptr;
    }
    Slot& slot = *SlotAt(index);
    KernelObject* object = slot.object.load(std::memory_order_relaxed);
    // Before the object can be freed: an unlocked reader that published it as its hazard
    // after this store sees the slot changed and lets go (unlocked_access.h).
    slot.object.store(nullptr, std::memory_order_seq_cst);
    freeSlots_.push_back(index);
    return object;
}

KernelObject* HandleTable::FindUnlocked(HANDLE handle, std::atomic<KernelObject*>& hazard) const {
    Decoded decoded;
    if (!DecodeValue(handle, &decoded) ||
        decoded.index >= slotCount_.load(std::memory_order_acquire)) {
        return nullptr;
    }
    const Slot* slot = SlotAt(decoded.index);
    if (slot == nullptr || slot->generation.load(std::memory_order_seq_cst) != decoded.generation) {
        return nullptr;
    }
    KernelObject* object = slot->object.load(std::memory_order_seq_cst);
    if (object == nullptr) {
        return nullptr;
    }
    hazard.store(object, std::memory_order_seq_cst);
    // Still named by this handle after the hazard was published: whoever removes it from the
    // slot from now on will see the hazard before freeing it.
    if (slot->object.load(std::memory_order_seq_cst) == object &&
        slot->generation.load(std::memory_order_seq_cst) == decoded.generation) {
        return object;
    }
    hazard.store(nullptr, std::memory_order_release);
    return nullptr;
}

}  // namespace farvane::kernel
