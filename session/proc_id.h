// Processor identifiers: the pilot stages among which a session's actions and its flow move.
#pragma once

#include <cstdint>

// A 32-bit enumeration. Values other than the named ones belong to the session library and are
// passed through unchanged.
enum ePROC_ID : std::int32_t {
    PROC_CONNECT = 2,      // connection stage: waits for or places a call, releases the line
    PROC_HOSTPILOT = 7,    // the host pilot; also its key for per-session user data
    PROC_ADMIT = 8,        // admission stage
    PROC_HOSTSESSION = 9,  // the host session stage proper
};

static_assert(sizeof(ePROC_ID) == 4);
