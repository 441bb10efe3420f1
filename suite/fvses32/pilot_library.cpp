#include "suite/fvses32/pilot_library.h"

#include <dlfcn.h>

std::unique_ptr<PilotLibrary> PilotLibrary::Load(const std::string& path, const char* functionName,
                                                 std::string* error) {
    const std::string& name = path.empty() ? std::string(FV_HOST_PILOT_LIBRARY) : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (error) {
            const char* text = dlerror();
            *error = text ? text : ("cannot load " + name);
        }
        return nullptr;
    }
    dlerror();
    void* symbol = dlsym(handle, functionName);
    if (symbol == nullptr) {
        if (error) {
            *error = std::string(functionName) + " not found in " + name;
        }
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<PilotLibrary>(
        new PilotLibrary(handle, reinterpret_cast<PACTIONFUNC>(symbol)));
}

PilotLibrary::~PilotLibrary() {
    dlclose(handle_);
}

void* PilotLibrary::Symbol(const char* name) const {
    return dlsym(handle_, name);
}
