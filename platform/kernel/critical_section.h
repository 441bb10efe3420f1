// Re-entrant critical sections: the owning thread may enter again and must leave as often.
//
// Like Win32 critical sections they spin briefly before sleeping: they guard a few
// instructions at a time, and a thread that sleeps at once costs two context switches. The
// members are the lock's own; use the calls below only.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/kernel/win_types.h"

struct CRITICAL_SECTION {
    // 0 free, 1 held, 2 held and a thread may sleep on it.
    std::atomic<std::uint32_t> state{0};
    // The owner's tag (see critical_section.cpp), 0 when free.
    std::atomic<std::uintptr_t> owner{0};
    // Guarded by the section itself.
    std::uint32_t recursion = 0;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
