#include "platform/gdi/display_registry.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

#include "platform/gdi/desktop_name.h"
#include "platform/gdi/x11_display.h"

namespace farvane::gdi {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kReopenInterval = std::chrono::seconds(1);

struct Entry {
    std::shared_ptr<DisplayDevice> device;
    Clock::time_point lastFailure;
    bool failed = false;
};

struct Registry {
    std::mutex mutex;
    std::map<std::string, Entry> displays;
    std::optional<std::string> defaultName;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // outlives threads that end after main
    return *registry;
}

std::shared_ptr<DisplayDevice> Create(const DesktopName& name) {
    if (name.kind == DesktopName::Kind::Memory) {
        return MemoryDisplay::Create(name.memory);
    }
    return X11Display::Open(name.x11Display);
}

std::shared_ptr<DisplayDevice> OpenParsed(const DesktopName& name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    Entry& entry = registry.displays[name.canonical];
    if (entry.device && entry.device->IsAlive()) {
        return entry.device;
    }
    // A display that could not be opened is not tried again at once: every call of a scanner
    // that lost its X server would otherwise try to connect.
    const Clock::time_point now = Clock::now();
    if (entry.failed && now - entry.lastFailure < kReopenInterval) {
        return nullptr;
    }
    std::shared_ptr<DisplayDevice> device = Create(name);
    entry.failed = !device;
    if (device) {
        entry.device = std::move(device);
    } else {
        entry.lastFailure = now;
    }
    return entry.failed ? nullptr : entry.device;
}

}  // namespace

std::shared_ptr<DisplayDevice> OpenDisplay(std::string_view desktopName) {
    std::optional<DesktopName> name = ParseDesktopName(desktopName);
    if (name && name->kind == DesktopName::Kind::Default) {
        name = ParseDesktopName(DefaultDesktopName());
    }
    if (!name || name->kind == DesktopName::Kind::Default) {
        return nullptr;
    }
    return OpenParsed(*name);
}

std::shared_ptr<MemoryDisplay> FindMemoryDisplay(std::string_view desktopName) {
    const std::optional<DesktopName> name = ParseDesktopName(desktopName);
    if (!name || name->kind != DesktopName::Kind::Memory) {
        return nullptr;
    }
    return std::static_pointer_cast<MemoryDisplay>(OpenParsed(*name));
}

bool SetDefaultDesktop(std::string_view desktopName) {
    const std::optional<DesktopName> name = ParseDesktopName(desktopName);
    if (!name || name->kind == DesktopName::Kind::Default) {
        return false;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.defaultName = name->canonical;
    return true;
}

std::string DefaultDesktopName() {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        if (registry.defaultName) {
            return *registry.defaultName;
        }
    }
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
        return display;
    }
    return std::string(kFallbackDesktop);
}

}  // namespace farvane::gdi
