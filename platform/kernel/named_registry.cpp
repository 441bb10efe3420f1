#include "platform/kernel/named_registry.h"

#include <map>

namespace farvane::kernel {

namespace {
std::map<std::string, KernelObject*>& Registry() {
    // Never destroyed: objects may be closed while the process exits.
    static auto* registry = new std::map<std::string, KernelObject*>;
    return *registry;
}
}  // namespace

KernelObject* FindNamedObject(const std::string& key) {
    const auto found = Registry().find(key);
    return found != Registry().end() ? found->second : nullptr;
}

void RegisterNamedObject(const std::string& key, KernelObject* object) {
    Registry()[key] = object;
}

void UnregisterNamedObject(const std::string& key, const KernelObject* object) {
    const auto found = Registry().find(key);
    if (found != Registry().end() && found->second == object) {
        Registry().erase(found);
    }
}

}  // namespace farvane::kernel
