// The library's entry points other than the action function: the load-time hook that records
// the library's own path, and the flow function.
#include <dlfcn.h>

#include "hostpilot/fvhpilot.h"
#include "hostpilot/module_path.h"

namespace farvane::hostpilot {
namespace {

std::string& StoredPath() {
    static std::string path;
    return path;
}

// Runs when the loader maps the library, before any other call reaches it. It asks for the
// module holding this function itself: an exported function's address could resolve to another
// loaded copy of the library.
__attribute__((constructor)) void RecordModulePath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&RecordModulePath), &info) != 0 &&
        info.dli_fname != nullptr) {
        StoredPath() = info.dli_fname;
    }
}

}  // namespace

const std::string& ModulePath() {
    return StoredPath();
}

}  // namespace farvane::hostpilot

extern "C" int hPilotFlowFunc(CFVSession*, CAction*, int value) {
    return value;
}

extern "C" const char* hPilotModulePath() {
    return farvane::hostpilot::ModulePath().c_str();
}
