// The layer's clock. GetTickCount is CLOCK_MONOTONIC in milliseconds, wrapping at 2^32.
//
// Tests may run the clock faster than real time so that long protocol time-outs (5000 ms,
// 30000 ms) pass quickly: with a scale of N, every time-out and Sleep of the layer lasts 1/N
// of its real length and GetTickCount advances N times faster. The clock stays monotonic
// when the scale changes.
#pragma once

#include "platform/kernel/win_types.h"

DWORD GetTickCount();

void KernelSetTimeScale(unsigned scale);
unsigned KernelTimeScale();
