// The real services of the host pilot, and the switch that lets tests install others.
#include <spawn.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "hostpilot/host_services.h"
#include "hostpilot/session_window.h"
#include "platform/sysparams/system_parameters.h"

extern char** environ;

namespace farvane::hostpilot {
namespace {

// This system: platform 2, with the kernel's release as the version ("6.1.0-18" is 6.1).
class RealSystem final : public IHostSystem {
public:
    bool GetVersion(HostVersion* version) override {
        utsname name{};
        if (uname(&name) != 0) {
            return false;
        }
        version->platformId = 2;
        version->major = 0;
        version->minor = 0;
        std::sscanf(name.release, "%d.%d", &version->major, &version->minor);
        return true;
    }
};

// There is no host kernel device on this system; only platform 1 would ask for it.
class NoDevice final : public IHostDevice {
public:
    HANDLE Open(const char*) override { return INVALID_HANDLE_VALUE; }
    bool Control(HANDLE, DWORD, void*, DWORD, DWORD* returned) override {
        if (returned != nullptr) {
            *returned = 0;
        }
        return false;
    }
    void Close(HANDLE) override {}
};

class RealScreenSaver final : public IScreenSaverSettings {
public:
    BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) override {
        return sysparams::SystemParametersInfoA(action, param, value, winIni);
    }
};

// Restarts through systemd. A restart is only asked for when the process runs as root (systemd
// would refuse otherwise, or ask a person) and the installation allows it explicitly with
// FARVANE_ALLOW_RESTART=1, so that no development run or test can reboot a machine by accident.
class SystemdPower final : public IPowerService {
public:
    bool EnableShutdownPrivilege() override {
        const char* allowed = std::getenv("FARVANE_ALLOW_RESTART");
        return geteuid() == 0 && allowed != nullptr && std::strcmp(allowed, "1") == 0;
    }
    bool ExitWindows(UINT) override {
        if (!EnableShutdownPrivilege()) {
            return false;
        }
        char program[] = "systemctl";
        char command[] = "reboot";
        char* arguments[] = {program, command, nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0) {
            return false;
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child) {
            return false;
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

struct RealServices {
    RealSystem system;
    NoDevice device;
    RealScreenSaver screenSaver;
    SystemdPower power;
    PlatformSessionWindow window;
};

RealServices& Real() {
    static RealServices services;
    return services;
}

HostServices Resolve(const HostServices* installed) {
    RealServices& real = Real();
    HostServices result{&real.system, &real.device, &real.screenSaver, &real.power, &real.window};
    if (installed != nullptr) {
        if (installed->system)
            result.system = installed->system;
        if (installed->device)
            result.device = installed->device;
        if (installed->screenSaver)
            result.screenSaver = installed->screenSaver;
        if (installed->power)
            result.power = installed->power;
        if (installed->window)
            result.window = installed->window;
    }
    return result;
}

// Installed once before a session starts and read on the dispatch and timer threads; the
// table is replaced as a whole and old tables are kept, so a reader never sees a torn one.
std::atomic<const HostServices*> current{nullptr};

}  // namespace

const HostServices& Services() {
    const HostServices* services = current.load(std::memory_order_acquire);
    if (services == nullptr) {
        static const HostServices real = Resolve(nullptr);
        return real;
    }
    return *services;
}

}  // namespace farvane::hostpilot

extern "C" void hPilotUseServices(const farvane::hostpilot::HostServices* services) {
    using namespace farvane::hostpilot;
    if (services == nullptr) {
        current.store(nullptr, std::memory_order_release);
        return;
    }
    // Tables are few (one per test set-up) and small; keeping them all makes the switch safe
    // for readers that still hold the previous one.
    static std::mutex keptLock;
    static std::vector<std::unique_ptr<HostServices>> kept;
    std::lock_guard guard(keptLock);
    kept.push_back(std::make_unique<HostServices>(Resolve(services)));
    current.store(kept.back().get(), std::memory_order_release);
}
