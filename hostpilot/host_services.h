// What the host pilot asks of the machine: the system version, the host device, the screen saver
// settings, the computer restart and the session window. Each is an interface so that tests can
// put fakes in; the real ones are used unless hPilotUseServices installs others.
#pragma once

#include <cstdint>

#include "platform/kernel/win_types.h"

namespace farvane::hostpilot {

struct HostVersion {
    std::int32_t platformId = 0;  // 1: older platform with the host device, 2: this one
    std::int32_t major = 0;
    std::int32_t minor = 0;
};

class IHostSystem {
public:
    virtual ~IHostSystem() = default;
    virtual bool GetVersion(HostVersion* version) = 0;
};

// The host's kernel device. Handles are those of this interface; Open answers
// INVALID_HANDLE_VALUE (or null) when there is no device.
class IHostDevice {
public:
    virtual ~IHostDevice() = default;
    virtual HANDLE Open(const char* name) = 0;
    // DeviceIoControl without input: fills up to `outputSize` bytes at `output` and reports
    // how many in `returned`. False when the call failed.
    virtual bool Control(HANDLE device, DWORD code, void* output, DWORD outputSize,
                         DWORD* returned) = 0;
    virtual void Close(HANDLE device) = 0;
};

// Screen saver settings, with the calls and codes of SystemParametersInfo.
class IScreenSaverSettings {
public:
    virtual ~IScreenSaverSettings() = default;
    virtual BOOL SystemParametersInfo(UINT action, UINT param, void* value, UINT winIni) = 0;
};

// Restart of the computer.
class IPowerService {
public:
    virtual ~IPowerService() = default;
    // Makes sure this process may restart the computer; false cancels the restart.
    virtual bool EnableShutdownPrivilege() = 0;
    // Asks for the restart with ExitWindowsEx flags (EWX_REBOOT | EWX_FORCE).
    virtual bool ExitWindows(UINT flags) = 0;
};

// The session window and its system menu.
class ISessionWindow {
public:
    virtual ~ISessionWindow() = default;
    virtual void Show(HWND window, int command) = 0;
    // Removes the maximise, minimise, close and restore commands from the window's system
    // menu, puts a separator at its top and redraws the menu bar.
    virtual void StripSystemMenu(HWND window) = 0;
};

// Win32 values the host pilot passes through these interfaces.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr UINT EWX_REBOOT = 2;
inline constexpr UINT EWX_FORCE = 4;
inline constexpr DWORD HP_DEVICE_GET_CB_BLOCK = 0x222800;  // type 0x22, function 0xA00
inline constexpr const char* HP_DEVICE_NAME = "\\\\.\\FV_HOST";

struct HostServices {
    IHostSystem* system = nullptr;
    IHostDevice* device = nullptr;
    IScreenSaverSettings* screenSaver = nullptr;
    IPowerService* power = nullptr;
    ISessionWindow* window = nullptr;
};

// The services in use: the installed ones, the real ones where none was installed.
const HostServices& Services();

}  // namespace farvane::hostpilot

// Installs services for the whole library (null members and a null argument mean the real
// ones). Exported for tests and for programs that run the host pilot under other rules.
extern "C" __attribute__((visibility("default"))) void hPilotUseServices(
    const farvane::hostpilot::HostServices* services);
