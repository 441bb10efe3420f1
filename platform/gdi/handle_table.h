// The process-wide table that turns GDI objects into handles and back. Handle values are
// never reused, so a stale handle finds nothing instead of a newer object.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace farvane::gdi {

enum class ObjectKind { Bitmap, MemoryDc, ScreenDc, Cursor, Desktop };

class GdiObject {
public:
    explicit GdiObject(ObjectKind kind) : kind_(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    ObjectKind kind() const { return kind_; }
    // The object's handle value, 0 until it is added to the table.
    std::uintptr_t handle() const { return handle_; }

private:
    friend class HandleTable;
    ObjectKind kind_;
    std::uintptr_t handle_ = 0;
};

class HandleTable {
public:
    static HandleTable& Instance();

    std::uintptr_t Add(const std::shared_ptr<GdiObject>& object);
    std::shared_ptr<GdiObject> Find(const void* handle) const;
    template <class T>
    std::shared_ptr<T> Find(const void* handle, ObjectKind kind) const {
        std::shared_ptr<GdiObject> object = Find(handle);
        if (!object || object->kind() != kind) {
            return nullptr;
        }
        return std::static_pointer_cast<T>(object);
    }
    std::shared_ptr<GdiObject> Remove(const void* handle);

    // Guards which bitmap is selected into which memory DC.
    std::mutex& selectionMutex() { return selectionMutex_; }

private:
    mutable std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<GdiObject>> objects_;
    std::uintptr_t next_ = 0x10000;
    std::mutex selectionMutex_;
};

template <class Handle>
Handle ToHandle(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

}  // namespace farvane::gdi
