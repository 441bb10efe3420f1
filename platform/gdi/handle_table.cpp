#include "platform/gdi/handle_table.h"

namespace farvane::gdi {

HandleTable& HandleTable::Instance() {
    static HandleTable* table = new HandleTable;  // outlives every static destructor
    return *table;
}

std::uintptr_t HandleTable::Add(const std::shared_ptr<GdiObject>& object) {
    std::lock_guard lock(mutex_);
    const std::uintptr_t handle = next_;
    next_ += 4;
    object->handle_ = handle;
    objects_.emplace(handle, object);
    return handle;
}

std::shared_ptr<GdiObject> HandleTable::Find(const void* handle) const {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == objects_.end() ? nullptr : it->second;
}

std::shared_ptr<GdiObject> HandleTable::Remove(const void* handle) {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == objects_.end()) {
        return nullptr;
    }
    std::shared_ptr<GdiObject> object = std::move(it->second);
    objects_.erase(it);
    return object;
}

}  // namespace farvane::gdi
