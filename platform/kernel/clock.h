// Conversion of the layer's milliseconds into real time, following the time scale of tick.h.
#pragma once

#include <chrono>

#include "platform/kernel/win_types.h"

namespace farvane::kernel {

using RealClock = std::chrono::steady_clock;

// The real length of `milliseconds` of the layer's clock at the current time scale.
RealClock::duration RealDuration(DWORD milliseconds);

// The real moment `milliseconds` of the layer's clock from now (not for INFINITE).
inline RealClock::time_point RealDeadline(DWORD milliseconds) {
    return RealClock::now() + RealDuration(milliseconds);
}

}  // namespace farvane::kernel
