// A pilot stage's shared library, loaded the way the session library finds the host pilot:
// dlopen of the library, dlsym of its exported action function by name.
#pragma once

#include <memory>
#include <string>

#include "session/action.h"

inline constexpr const char* FV_HOST_PILOT_LIBRARY = "libfvhpilot.so";
inline constexpr const char* FV_HOST_PILOT_ACTION_FUNC = "hPilotActionFunc";

class PilotLibrary {
public:
    // Loads `path` (a bare name is searched as dlopen searches) and looks `functionName` up.
    // Null with `error` set (dlerror's text) on failure.
    static std::unique_ptr<PilotLibrary> Load(const std::string& path, const char* functionName,
                                              std::string* error);
    ~PilotLibrary();
    PilotLibrary(const PilotLibrary&) = delete;
    PilotLibrary& operator=(const PilotLibrary&) = delete;

    PACTIONFUNC ActionFunc() const { return actionFunc_; }
    // Another exported symbol of the library, or null.
    void* Symbol(const char* name) const;

private:
    PilotLibrary(void* handle, PACTIONFUNC actionFunc) : handle_(handle), actionFunc_(actionFunc) {}

    void* handle_;
    PACTIONFUNC actionFunc_;
};
