// The host pilot's two records: HostPilotUserData, kept in the session's user data slot for
// PROC_HOSTPILOT, and HOSTDATA (session/host_data.h), kept in the session's global slot, where
// the video scanner reads it back.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/kernel/win_types.h"
#include "session/host_data.h"

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

static_assert(sizeof(HostPilotUserData) == 20);
