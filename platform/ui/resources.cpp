#include "platform/ui/resources.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/ui/accelerator_api.h"
#include "platform/ui/internal.h"

namespace farvane::ui {

namespace {

struct ModuleResources {
    std::string name;
    std::map<std::string, const DialogTemplate*> dialogs;
    std::map<std::string, const MenuTemplate*> menus;
    std::map<std::string, const std::vector<ACCEL>*> accelerators;
    std::map<UINT, std::string> strings;
    std::map<std::string, const std::string*> custom;
};

struct Registry {
    std::mutex mutex;
    std::vector<std::unique_ptr<ModuleResources>> modules;
};

Registry& TheRegistry() {
    static auto* registry = new Registry();
    return *registry;
}

// The program's own module (a null handle) has a record too.
ModuleResources* ModuleOf(HINSTANCE module, bool create) {
    Registry& registry = TheRegistry();
    for (auto& record : registry.modules) {
        if (reinterpret_cast<HINSTANCE>(record.get()) == module) {
            return record.get();
        }
    }
    if (!module) {
        for (auto& record : registry.modules) {
            if (record->name.empty()) {
                return record.get();
            }
        }
        if (create) {
            registry.modules.push_back(std::make_unique<ModuleResources>());
            return registry.modules.back().get();
        }
    }
    return nullptr;
}

ModuleResources* Resolve(HINSTANCE module, bool create) {
    ModuleResources* record = ModuleOf(module, create);
    if (!record && !module && create) {
        record = ModuleOf(nullptr, true);
    }
    return record;
}

std::string KeyOf(LPCSTR name) {
    if (!name) {
        return {};
    }
    if (IS_INTRESOURCE(name)) {
        return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    }
    std::string key = name;
    if (!key.empty() && key[0] == '#') {
        return key;  // "#129" names the same resource as id 129
    }
    for (char& c : key) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return key;
}

}  // namespace

HINSTANCE RegisterResourceModule(const std::string& name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (auto& record : registry.modules) {
        if (record->name == name && !name.empty()) {
            return reinterpret_cast<HINSTANCE>(record.get());
        }
    }
    registry.modules.push_back(std::make_unique<ModuleResources>());
    registry.modules.back()->name = name.empty() ? "module" : name;
    return reinterpret_cast<HINSTANCE>(registry.modules.back().get());
}

void RegisterDialogResource(HINSTANCE module, LPCSTR name, const DialogTemplate* dialog) {
    std::lock_guard lock(TheRegistry().mutex);
    if (ModuleResources* record = Resolve(module, true); record && dialog) {
        record->dialogs[KeyOf(name)] = dialog;
    }
}

void RegisterMenuResource(HINSTANCE module, LPCSTR name, const MenuTemplate* menu) {
    std::lock_guard lock(TheRegistry().mutex);
    if (ModuleResources* record = Resolve(module, true); record && menu) {
        record->menus[KeyOf(name)] = menu;
    }
}

void RegisterAcceleratorResource(HINSTANCE module, LPCSTR name, const std::vector<ACCEL>* table) {
    std::lock_guard lock(TheRegistry().mutex);
    if (ModuleResources* record = Resolve(module, true); record && table) {
        record->accelerators[KeyOf(name)] = table;
    }
}

void RegisterStringResource(HINSTANCE module, UINT id, const std::string& text) {
    std::lock_guard lock(TheRegistry().mutex);
    if (ModuleResources* record = Resolve(module, true)) {
        record->strings[id] = text;
    }
}

void RegisterCustomResource(HINSTANCE module, LPCSTR name, LPCSTR type, const std::string* data) {
    std::lock_guard lock(TheRegistry().mutex);
    if (ModuleResources* record = Resolve(module, true); record && data) {
        record->custom[KeyOf(type) + "/" + KeyOf(name)] = data;
    }
}

const DialogTemplate* FindDialogResource(HINSTANCE module, LPCSTR name) {
    std::lock_guard lock(TheRegistry().mutex);
    ModuleResources* record = Resolve(module, false);
    if (!record) {
        return nullptr;
    }
    auto it = record->dialogs.find(KeyOf(name));
    return it == record->dialogs.end() ? nullptr : it->second;
}

const MenuTemplate* FindMenuResource(HINSTANCE module, LPCSTR name) {
    std::lock_guard lock(TheRegistry().mutex);
    ModuleResources* record = Resolve(module, false);
    if (!record) {
        return nullptr;
    }
    auto it = record->menus.find(KeyOf(name));
    return it == record->menus.end() ? nullptr : it->second;
}

std::string LoadStringText(HINSTANCE module, UINT id) {
    std::lock_guard lock(TheRegistry().mutex);
    ModuleResources* record = Resolve(module, false);
    if (!record) {
        return {};
    }
    auto it = record->strings.find(id);
    return it == record->strings.end() ? std::string() : it->second;
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    std::string text = LoadStringText(module, id);
    return CopyOut(text, buffer, size);
}

HMENU LoadMenuA(HINSTANCE module, LPCSTR name) {
    const MenuTemplate* menu = FindMenuResource(module, name);
    return menu ? LoadMenuIndirectA(*menu) : nullptr;
}

HACCEL LoadAcceleratorsA(HINSTANCE module, LPCSTR name) {
    const std::vector<ACCEL>* table = nullptr;
    {
        std::lock_guard lock(TheRegistry().mutex);
        ModuleResources* record = Resolve(module, false);
        if (record) {
            auto it = record->accelerators.find(KeyOf(name));
            if (it != record->accelerators.end()) {
                table = it->second;
            }
        }
    }
    if (!table || table->empty()) {
        return nullptr;
    }
    return CreateAcceleratorTableA(table->data(), static_cast<int>(table->size()));
}

const std::string* FindCustomResource(HINSTANCE module, LPCSTR name, LPCSTR type) {
    std::lock_guard lock(TheRegistry().mutex);
    ModuleResources* record = Resolve(module, false);
    if (!record) {
        return nullptr;
    }
    auto it = record->custom.find(KeyOf(type) + "/" + KeyOf(name));
    return it == record->custom.end() ? nullptr : it->second;
}

}  // namespace farvane::ui
