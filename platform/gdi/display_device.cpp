#include "platform/gdi/display_device.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace farvane::gdi {

namespace {

struct WindowMap {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, DisplayDevice*> devices;
    std::uintptr_t next = 0x10010;
};

WindowMap& Windows() {
    static WindowMap* map = new WindowMap;  // outlives every static destructor
    return *map;
}

}  // namespace

DisplayDevice::DisplayDevice() {
    WindowMap& map = Windows();
    std::lock_guard lock(map.mutex);
    const std::uintptr_t id = map.next;
    map.next += 0x10;
    window_ = reinterpret_cast<HWND>(id);
    map.devices.emplace(id, this);
}

DisplayDevice::~DisplayDevice() {
    WindowMap& map = Windows();
    std::lock_guard lock(map.mutex);
    map.devices.erase(reinterpret_cast<std::uintptr_t>(window_));
}

bool DisplayDevice::VisitRows(int, int, int, int, const RowVisitor&) {
    return false;
}

std::shared_ptr<DamageHints> DisplayDevice::WatchDamage(int, int, std::function<void()>) {
    return nullptr;
}

std::shared_ptr<DisplayDevice> DisplayForWindow(HWND window) {
    WindowMap& map = Windows();
    std::lock_guard lock(map.mutex);
    auto it = map.devices.find(reinterpret_cast<std::uintptr_t>(window));
    if (it == map.devices.end()) {
        return nullptr;
    }
    return it->second->weak_from_this().lock();
}

}  // namespace farvane::gdi
