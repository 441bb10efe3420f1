// Fakes of the machine services the host pilot asks for. Every test of the host pilot installs
// them: no test touches the real screen saver, device or power state.
#pragma once

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "hostpilot/host_records.h"
#include "hostpilot/host_services.h"
#include "platform/sysparams/system_parameters.h"

namespace farvane::hostpilot::testing {

class FakeSystem final : public IHostSystem {
public:
    HostVersion version{2, 6, 1};
    bool GetVersion(HostVersion* out) override {
        *out = version;
        return true;
    }
};

// A host device whose control code answers `answerBytes` bytes of the address of its own CB
// block.
class FakeDevice final : public IHostDevice {
public:
    static inline HANDLE const kHandle = reinterpret_cast<HANDLE>(std::uintptr_t{0x4440});
    bool present = true;
    DWORD answerBytes = sizeof(unsigned char*);
    unsigned char block[kCBBlockSize] = {};
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};
    std::atomic<DWORD> lastCode{0};

    HANDLE Open(const char* name) override {
        if (!present || std::strcmp(name, HP_DEVICE_NAME) != 0) {
            return INVALID_HANDLE_VALUE;
        }
        ++opens;
        return kHandle;
    }
    bool Control(HANDLE device, DWORD code, void* output, DWORD outputSize,
                 DWORD* returned) override {
        lastCode = code;
        if (device != kHandle || outputSize < answerBytes) {
            return false;
        }
        unsigned char* address = block;
        std::memcpy(output, &address, answerBytes);
        *returned = answerBytes;
        return true;
    }
    void Close(HANDLE device) override {
        if (device == kHandle) {
            ++closes;
        }
    }
};

class FakeScreenSaver final : public IScreenSaverSettings {
public:
    struct Call {
        UINT action;
        UINT param;
        UINT winIni;
    };
    BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) override {
        std::lock_guard guard(lock_);
        calls_.push_back(Call{action, param, winIni});
        if (failing_.count(action) != 0) {
            return FALSE;
        }
        switch (action) {
            case sysparams::SPI_GETSCREENSAVEACTIVE:
                *static_cast<BOOL*>(value) = active_;
                return TRUE;
            case sysparams::SPI_GETSCREENSAVETIMEOUT:
                *static_cast<int*>(value) = timeout_;
                return TRUE;
            case sysparams::SPI_SETSCREENSAVEACTIVE:
                active_ = static_cast<BOOL>(param);
                return TRUE;
            case sysparams::SPI_SETSCREENSAVETIMEOUT:
                timeout_ = static_cast<int>(param);
                return TRUE;
            default:
                return FALSE;
        }
    }
    void Set(BOOL active, int timeout) {
        std::lock_guard guard(lock_);
        active_ = active;
        timeout_ = timeout;
    }
    void Fail(UINT action) {
        std::lock_guard guard(lock_);
        failing_[action] = true;
    }
    BOOL Active() {
        std::lock_guard guard(lock_);
        return active_;
    }
    int Timeout() {
        std::lock_guard guard(lock_);
        return timeout_;
    }
    std::vector<Call> Calls() {
        std::lock_guard guard(lock_);
        return calls_;
    }

private:
    std::mutex lock_;
    BOOL active_ = FALSE;
    int timeout_ = 600;
    std::map<UINT, bool> failing_;
    std::vector<Call> calls_;
};

class FakePower final : public IPowerService {
public:
    std::atomic<bool> privilege{true};
    std::atomic<int> privilegeAsked{0};
    std::atomic<int> restarts{0};
    std::atomic<UINT> flags{0};
    bool EnableShutdownPrivilege() override {
        ++privilegeAsked;
        return privilege;
    }
    bool ExitWindows(UINT exitFlags) override {
        flags = exitFlags;
        ++restarts;
        return true;
    }
};

class FakeWindow final : public ISessionWindow {
public:
    void Show(HWND, int command) override {
        std::lock_guard guard(lock_);
        shows_.push_back(command);
    }
    void StripSystemMenu(HWND) override { ++strips; }
    std::vector<int> Shows() {
        std::lock_guard guard(lock_);
        return shows_;
    }
    std::atomic<int> strips{0};

private:
    std::mutex lock_;
    std::vector<int> shows_;
};

struct FakeServices {
    FakeSystem system;
    FakeDevice device;
    FakeScreenSaver screenSaver;
    FakePower power;
    FakeWindow window;

    HostServices Table() { return HostServices{&system, &device, &screenSaver, &power, &window}; }
};

}  // namespace farvane::hostpilot::testing
