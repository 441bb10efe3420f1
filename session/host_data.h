// HOSTDATA, the host's global record, kept in the session's global slot: the host pilot owns
// it and the video scanner reads it back through the session. Its layout is fixed (see the
// checks below).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/win_types.h"
#include "session/cb_block.h"

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
