// Critical sections are std::recursive_mutex, ready from the object's construction; the
// initialise and delete calls have nothing left to do.
#include "platform/kernel/critical_section.h"

void InitializeCriticalSection(LPCRITICAL_SECTION) {}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    section->lock.lock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return section->lock.try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    section->lock.unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION) {}
