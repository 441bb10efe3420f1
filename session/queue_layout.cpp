// Compile-time checks of the queue engine's field order, and the two instantiations that every
// queue uses, so that each member of the template is compiled once here.
#include <cstddef>

#include "session/action.h"
#include "session/action_queue.h"
#include "session/byte_queue.h"
#include "session/sess_queue.h"

template class CSessQueue<unsigned char>;
template class CSessQueue<CAction>;

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

struct CSessQueueLayout {
    using Q = CSessQueue<unsigned char>;
    static constexpr std::size_t kLock = sizeof(CRITICAL_SECTION);
    static constexpr std::size_t kLocks = 184;  // after 8 bytes of table, 2 bindings,
                                                // 2 reserved words, 4 positions, 14 handles and
                                                // 2 thread identifiers

    static_assert(offsetof(Q, m_InBinding) == 8);
    static_assert(offsetof(Q, m_OutBinding) == 16);
    static_assert(offsetof(Q, m_Reserved1) == 24);
    static_assert(offsetof(Q, m_Reserved2) == 28);
    static_assert(offsetof(Q, m_pBufStart) == 32);
    static_assert(offsetof(Q, m_pBufEnd) == 40);
    static_assert(offsetof(Q, m_pWrite) == 48);
    static_assert(offsetof(Q, m_pRead) == 56);
    static_assert(offsetof(Q, m_hInThread) == 64);
    static_assert(offsetof(Q, m_hOutThread) == 72);
    static_assert(offsetof(Q, m_hSpaceEvent) == 80);
    static_assert(offsetof(Q, m_hInPauseEvent) == 88);
    static_assert(offsetof(Q, m_hInResumeEvent) == 96);
    static_assert(offsetof(Q, m_hInStopEvent) == 104);
    static_assert(offsetof(Q, m_hDataEvent) == 112);
    static_assert(offsetof(Q, m_hOutPauseEvent) == 120);
    static_assert(offsetof(Q, m_hOutResumeEvent) == 128);
    static_assert(offsetof(Q, m_hOutStopEvent) == 136);
    static_assert(offsetof(Q, m_hOutPausedEvent) == 144);
    static_assert(offsetof(Q, m_hInPausedEvent) == 152);
    static_assert(offsetof(Q, m_hInMutex) == 160);
    static_assert(offsetof(Q, m_hOutMutex) == 168);
    static_assert(offsetof(Q, m_InThreadId) == 176);
    static_assert(offsetof(Q, m_OutThreadId) == 180);
    static_assert(offsetof(Q, m_csWrite) == kLocks);
    static_assert(offsetof(Q, m_csRead) == kLocks + kLock);
    static_assert(offsetof(Q, m_csAdjust) == kLocks + 2 * kLock);
    static_assert(offsetof(Q, m_Destroyed) == kLocks + 3 * kLock);
    static_assert(offsetof(CSessQueue<CAction>, m_Destroyed) == offsetof(Q, m_Destroyed));

    // Derived fields follow the engine's last field (this ABI reuses its tail padding).
    static constexpr std::size_t kEngine = offsetof(Q, m_Destroyed) + 4;
    static_assert(offsetof(CSessByteQueue, m_LibWord1) == kEngine);
    static_assert(offsetof(CSessByteQueue, m_LibWord3) == kEngine + 8);
    static_assert(offsetof(CSessByteQueue, m_pSession) == kEngine + 12);
    static_assert(offsetof(CSessByteQueue, m_LibWord4) == kEngine + 20);
    static_assert(sizeof(CRecvQueue) == sizeof(CSessByteQueue));
    static_assert(sizeof(CTransQueue) == sizeof(CSessByteQueue));
    static_assert(offsetof(CActionQueue, m_pSession) == sizeof(CSessQueue<CAction>));
};
