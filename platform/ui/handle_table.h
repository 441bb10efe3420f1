// A table of objects addressed by opaque handles. A handle carries the slot index, the slot's
// generation and a tag for the kind of object, so a handle of a destroyed object, a reused slot
// or an object of another kind is recognised and never dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace farvane::ui {

template <typename T>
class HandleTable {
public:
    explicit HandleTable(unsigned tag) : tag_(tag & 0xFF) {}

    // Stores the object and returns its handle value (never 0).
    std::uintptr_t insert(std::unique_ptr<T> object) {
        std::lock_guard lock(mutex_);
        std::size_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            index = slots_.size();
            slots_.emplace_back();
        }
        Slot& slot = slots_[index];
        slot.object = std::move(object);
        return encode(index, slot.generation);
    }

    // The object of a live handle, or null for anything else.
    T* find(std::uintptr_t value) const {
        std::lock_guard lock(mutex_);
        const Slot* slot = slotOf(value);
        return slot ? slot->object.get() : nullptr;
    }

    bool contains(std::uintptr_t value) const { return find(value) != nullptr; }

    // Takes the object out; the handle becomes invalid at once.
    std::unique_ptr<T> remove(std::uintptr_t value) {
        std::lock_guard lock(mutex_);
        Slot* slot = const_cast<Slot*>(slotOf(value));
        if (!slot) {
            return nullptr;
        }
        std::unique_ptr<T> object = std::move(slot->object);
        slot->generation = (slot->generation + 1) & kGenerationMask;
        if (slot->generation == 0) {
            slot->generation = 1;
        }
        free_.push_back(static_cast<std::size_t>(slot - slots_.data()));
        return object;
    }

    // Handles of every live object, in slot order.
    std::vector<std::uintptr_t> handles() const {
        std::lock_guard lock(mutex_);
        std::vector<std::uintptr_t> result;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].object) {
                result.push_back(encode(i, slots_[i].generation));
            }
        }
        return result;
    }

private:
    static constexpr std::uintptr_t kGenerationMask = 0xFFFFF;
    static constexpr unsigned kIndexBits = 20;
    static constexpr unsigned kGenerationShift = kIndexBits;
    static constexpr unsigned kTagShift = 44;

    struct Slot {
        std::uintptr_t generation = 1;
        std::unique_ptr<T> object;
    };

    std::uintptr_t encode(std::size_t index, std::uintptr_t generation) const {
        return (static_cast<std::uintptr_t>(tag_) << kTagShift) | (generation << kGenerationShift) |
               (index + 1);
    }

    const Slot* slotOf(std::uintptr_t value) const {
        if ((value >> kTagShift) != tag_) {
            return nullptr;
        }
        std::uintptr_t index = value & ((std::uintptr_t{1} << kIndexBits) - 1);
        std::uintptr_t generation = (value >> kGenerationShift) & kGenerationMask;
        if (index == 0 || index > slots_.size()) {
            return nullptr;
        }
        const Slot& slot = slots_[index - 1];
        if (!slot.object || slot.generation != generation) {
            return nullptr;
        }
        return &slot;
    }

    unsigned tag_;
    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> free_;
};

}  // namespace farvane::ui
