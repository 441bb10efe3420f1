// Re-entrant critical sections: the owning thread may enter again and must leave as often.
#pragma once

#include <mutex>

#include "platform/kernel/win_types.h"

struct CRITICAL_SECTION {
    std::recursive_mutex lock;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
