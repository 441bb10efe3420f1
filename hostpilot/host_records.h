// The host pilot's two records: HostPilotUserData, kept in the session's user data slot for
// PROC_HOSTPILOT, and HOSTDATA, kept in the session's global slot, where the video scanner reads
// it back. HOSTDATA is shared with the scanner, so its layout is fixed (see the checks below).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/win_types.h"

// Per-session record of the host pilot. Every field is 0 when the record is created.
struct HostPilotUserData {
    std::uint32_t State;               // HostPilotState
    std::uint32_t Flags;               // HP_FLAG_*
    std::uint32_t WaitMode;            // HP_WAIT_MODE_*
    std::uint32_t RetryTimerId;        // 0: none
    std::uint32_t ScreenSaverTimerId;  // 0: none; also cleared by the timer callback
};

// States of the outer cycle.
enum HostPilotState : std::uint32_t {
    HP_STATE_STARTED = 0,
    HP_STATE_WAITING = 2,    // the connection stage waits for (or places) a call
    HP_STATE_ADMITTING = 3,  // the admission stage runs
    HP_STATE_SESSION = 4,    // the host session stage runs
    HP_STATE_RELEASING = 5,  // the connection stage releases the line
};

// Flags that persist from one cycle to the next.
inline constexpr std::uint32_t HP_FLAG_END_AFTER_RELEASE = 0x02;
inline constexpr std::uint32_t HP_FLAG_ADMIT_MODE_2 = 0x04;
inline constexpr std::uint32_t HP_FLAG_RESTART_AFTER_RELEASE = 0x20;

// How the next connection step runs.
inline constexpr std::uint32_t HP_WAIT_MODE_ANSWER = 1;
inline constexpr std::uint32_t HP_WAIT_MODE_ANSWER_AFTER_ADMIT = 2;
inline constexpr std::uint32_t HP_WAIT_MODE_CALL_OUT = 3;

// An object that another part of the system may hand to the host through HOSTDATA. Tear-down
// calls the fourth entry of its table of virtual operations; the first three belong to whoever
// stored it.
class IHostReleasable {
public:
    virtual void Reserved0() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual void Release() = 0;

protected:
    ~IHostReleasable() = default;
};

// The host's global record. It is allocated zero-filled; the reserved areas are kept zero.
struct HOSTDATA {
    static constexpr int kTextSize = 260;  // 259 characters and the terminator

    unsigned char* CBBlock;   // the shared item block (the device's or a local one)
    std::int32_t DeviceFlag;  // 1 when CBBlock is the device's
    IHostReleasable* ReleasedObject;
    unsigned char Reserved1[856];  // keeps the video event where the scanner expects it
    HANDLE VideoEvent;             // manual-reset; exists from a host session's start to release
    std::int32_t PlatformId;       // 1: the older platform with the host device, 2: this one
    std::int32_t OSVersion;        // major * 100 + minor
    std::int32_t NTService;        // the owning service manager's NTService()
    HANDLE DeviceHandle;           // host device; opened only on platform 1
    HANDLE EventA;                 // manual-reset, signalled by others
    HANDLE EventB;                 // manual-reset, signalled by others
    char Text[kTextSize];          // written by others; emptied when the line is released
    std::int32_t NoInterface;      // 1: never touch the session window or its system menu
    std::int32_t SavedScreenSaveActive;
    std::int32_t SavedScreenSaveTimeout;  // seconds
};

// The video scanner finds the CB block pointer first and the video event at byte 880.
static_assert(offsetof(HOSTDATA, CBBlock) == 0);
static_assert(offsetof(HOSTDATA, VideoEvent) == 880);
static_assert(sizeof(HostPilotUserData) == 20);

// The CB block: size of a local block, and the bytes the host pilot sets on start-up and at
// every release of the line.
inline constexpr std::size_t HP_CB_BLOCK_SIZE = 9598;
inline constexpr std::size_t HP_CB_SESSION_ITEMS_FIRST = 33;
inline constexpr std::size_t HP_CB_SESSION_ITEMS_LAST = 36;
inline constexpr unsigned char HP_CB_SESSION_ITEM_IDLE = 2;
