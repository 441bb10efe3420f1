// CSessQueue: a bounded ring of elements between a source and a sink, with up to two worker
// threads of its own. The input thread pulls elements from the queue's source into the ring
// (MoveIn with a null source); producers may also push elements in with Write. The output
// thread hands the contiguous run of data at the read position to the sink (MoveOut), which
// reads it straight out of the ring. Each end can be paused, resumed and stopped on its own.
//
// Ring positions. The write position never catches up with the read position from behind:
// while the data wraps one element stays free. The only exception is a ring filled from buffer
// start: then the write position parks at buffer end, and the output side moves it back to
// buffer start as soon as the read position has left buffer start.
//
// Locking. Producers (Write, FillIn, SetInBinding, TryUnwrap) are serialised by the input
// mutex, the consumer side (MoveOutGuarded, SetOutBinding) by the output mutex. Each position
// has a critical section; every update that depends on both positions holds the adjust lock,
// which is always taken first (order: input mutex, adjust lock, position locks). MoveIn runs
// holding only the input mutex and MoveOut only the output mutex.
//
// Construction and destruction. The constructor creates the worker threads suspended; the most
// derived class starts them with StartThreads once it is complete, and stops them with Teardown
// in its own destructor, because the threads call MoveIn and MoveOut, which a half-built or
// half-destroyed object does not have. Teardown waits SQ_TEARDOWN_WAIT_MS for each thread and
// then ends it with TerminateThread, which cancels the thread at the kernel layer's wait points:
// a sink or source hanging in a layer wait (an event that is never set, Sleep) sees its wait
// fail and returns. A sink or source stuck outside the layer's wait points (a blocking system
// call, a busy loop) is waited for until it comes back into one: the destructor does not return
// before that, so nothing runs on the queue after its destructor has returned.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "platform/kernel/critical_section.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/win_types.h"
#include "session/queue_codes.h"

template <class T>
class CSessQueue {
public:
    // A ring of `capacity` elements; `threads` selects the worker threads (SQ_INPUT_THREAD,
    // SQ_OUTPUT_THREAD). Events start as an empty, running queue: room signalled, no data, no
    // pause requested, both ends resumed.
    CSessQueue(int capacity, unsigned threads);
    CSessQueue(const CSessQueue&) = delete;
    CSessQueue& operator=(const CSessQueue&) = delete;
    virtual ~CSessQueue() { Teardown(); }

    // Producer push: takes up to `count` elements (at most the contiguous free run) and returns
    // how many; 0 when no room appeared within SQ_SPACE_WAIT_MS, SQ_INPUT_PAUSED when the input
    // stayed paused, or a negative code of MoveIn.
    virtual int Write(T* source, int count);
    // MoveOut under the output mutex. An exception in MoveOut drops the offered elements.
    virtual int MoveOutGuarded(T* source, int count);
    // Stores up to `count` elements at `destination` and returns how many. By default copies
    // from `source` as raw memory, limited to the free run; a null source yields 0.
    virtual int MoveIn(T* destination, T* source, int count);
    // Hands `count` elements at `source` (inside the ring) to the sink; returns how many it took
    // or a SQ_ code.
    virtual int MoveOut(T* source, int count) = 0;
    virtual void SetInBinding(std::uintptr_t value);
    virtual void SetOutBinding(std::uintptr_t value);
    virtual DWORD OutThreadProc();
    virtual DWORD InThreadProc();

    int FillIn(T* destination, int count);
    int TryUnwrap();
    int Unwrap();

    // Lets the worker threads run. Called by the most derived constructor; harmless twice.
    void StartThreads();

    // Controller side of the pause protocol. Pausing the input also holds back Write.
    void PauseInput() { RequestPause(m_hInPauseEvent, m_hInResumeEvent, m_hInPausedEvent); }
    void ResumeInput() { EndPause(m_hInPauseEvent, m_hInResumeEvent, m_hInPausedEvent); }
    void PauseOutput() { RequestPause(m_hOutPauseEvent, m_hOutResumeEvent, m_hOutPausedEvent); }
    void ResumeOutput() { EndPause(m_hOutPauseEvent, m_hOutResumeEvent, m_hOutPausedEvent); }
    // TRUE once the thread of that end has acknowledged a pause, within `milliseconds`.
    BOOL WaitInputPaused(DWORD milliseconds) { return IsSignalled(m_hInPausedEvent, milliseconds); }
    BOOL WaitOutputPaused(DWORD milliseconds) {
        return IsSignalled(m_hOutPausedEvent, milliseconds);
    }

    // The bindings are stable while MoveIn (input) or MoveOut (output) runs.
    std::uintptr_t InBinding() const { return m_InBinding; }
    std::uintptr_t OutBinding() const { return m_OutBinding; }
    int Capacity() const { return static_cast<int>(m_pBufEnd - m_pBufStart); }
    bool IsDestroyed() const { return m_Destroyed != 0; }

protected:
    // Stops and releases everything; runs once (the destroyed flag).
    void Teardown();

    T* SnapWrite();
    T* SnapRead();
    int FreeRun(const T* write, const T* read) const;
    int DataRun(const T* write, const T* read) const;
    void AdvanceWrite(int count);
    void AdvanceRead(int count);
    void FinishProducerStep(int result);
    void ResetSpaceEvent();

    // Where the input and output sides find their source and sink: opaque to the template.
    std::uintptr_t m_InBinding = 0;
    std::uintptr_t m_OutBinding = 0;
    std::uint32_t m_Reserved1 = 0;  // the derived classes'
    std::uint32_t m_Reserved2 = 0;
    T* m_pBufStart = nullptr;
    T* m_pBufEnd = nullptr;
    T* m_pWrite = nullptr;  // guarded by m_csWrite
    T* m_pRead = nullptr;   // guarded by m_csRead
    HANDLE m_hInThread = nullptr;
    HANDLE m_hOutThread = nullptr;
    HANDLE m_hSpaceEvent = nullptr;  // manual reset: set while producers may find room
    HANDLE m_hInPauseEvent = nullptr;
    HANDLE m_hInResumeEvent = nullptr;
    HANDLE m_hInStopEvent = nullptr;
    HANDLE m_hDataEvent = nullptr;  // auto reset: releases the output thread once per signal
    HANDLE m_hOutPauseEvent = nullptr;
    HANDLE m_hOutResumeEvent = nullptr;
    HANDLE m_hOutStopEvent = nullptr;
    HANDLE m_hOutPausedEvent = nullptr;
    HANDLE m_hInPausedEvent = nullptr;
    HANDLE m_hInMutex = nullptr;
    HANDLE m_hOutMutex = nullptr;
    DWORD m_InThreadId = 0;
    DWORD m_OutThreadId = 0;
    CRITICAL_SECTION m_csWrite;
    CRITICAL_SECTION m_csRead;
    CRITICAL_SECTION m_csAdjust;
    std::uint32_t m_Destroyed = 0;

private:
    friend struct CSessQueueLayout;

    static DWORD InThreadStart(LPVOID queue) {
        return static_cast<CSessQueue*>(queue)->InThreadProc();
    }
    static DWORD OutThreadStart(LPVOID queue) {
        return static_cast<CSessQueue*>(queue)->OutThreadProc();
    }
    static BOOL IsSignalled(HANDLE handle, DWORD milliseconds) {
        return handle && WaitForSingleObject(handle, milliseconds) == WAIT_OBJECT_0;
    }
    static void RequestPause(HANDLE pause, HANDLE resume, HANDLE paused);
    static void EndPause(HANDLE pause, HANDLE resume, HANDLE paused);
    static void CloseAndClear(HANDLE& handle);
    static void EndThread(HANDLE& thread, DWORD& threadId);

    int WriteHoldingInput(T* source, int count, DWORD mutexWait);
    bool DeliverPending(DWORD& exitCode);
    bool ActOnSinkCode(int code, DWORD& exitCode);
    bool WaitOutOutputPause(DWORD& exitCode);
    bool WaitOutInputPause(DWORD& exitCode);
};

// ---- construction and teardown ----------------------------------------------------------------

template <class T>
CSessQueue<T>::CSessQueue(int capacity, unsigned threads) {
    InitializeCriticalSection(&m_csWrite);
    InitializeCriticalSection(&m_csRead);
    InitializeCriticalSection(&m_csAdjust);
    if (capacity > 0) {
        m_pBufStart = new (std::nothrow) T[capacity]();
    }
    m_pBufEnd = m_pBufStart ? m_pBufStart + capacity : nullptr;
    m_pWrite = m_pRead = m_pBufStart;

    m_hSpaceEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    m_hInPauseEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hInResumeEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    m_hInStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hDataEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hOutPauseEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hOutResumeEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    m_hOutStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hOutPausedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hInPausedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hInMutex = CreateMutexA(nullptr, FALSE, nullptr);
    m_hOutMutex = CreateMutexA(nullptr, FALSE, nullptr);

    if (threads & SQ_INPUT_THREAD) {
        m_hInThread =
            CreateThread(nullptr, 0, &InThreadStart, this, CREATE_SUSPENDED, &m_InThreadId);
    }
    if (threads & SQ_OUTPUT_THREAD) {
        m_hOutThread =
            CreateThread(nullptr, 0, &OutThreadStart, this, CREATE_SUSPENDED, &m_OutThreadId);
    }
}

template <class T>
void CSessQueue<T>::StartThreads() {
    if (m_hInThread)
        ResumeThread(m_hInThread);
    if (m_hOutThread)
        ResumeThread(m_hOutThread);
}

template <class T>
void CSessQueue<T>::CloseAndClear(HANDLE& handle) {
    if (handle) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

template <class T>
void CSessQueue<T>::EndThread(HANDLE& thread, DWORD& threadId) {
    if (!thread)
        return;
    // A thread that was never started runs now, sees its stop event and ends.
    ResumeThread(thread);
    if (WaitForSingleObject(thread, SQ_TEARDOWN_WAIT_MS) != WAIT_OBJECT_0) {
        TerminateThread(thread, SQ_FORCED_EXIT);
    }
    CloseAndClear(thread);
    threadId = 0;
}

template <class T>
void CSessQueue<T>::Teardown() {
    if (m_Destroyed)
        return;
    if (m_hOutStopEvent)
        SetEvent(m_hOutStopEvent);
    if (m_hInStopEvent)
        SetEvent(m_hInStopEvent);

    EndThread(m_hInThread, m_InThreadId);
    CloseAndClear(m_hInStopEvent);
    EndThread(m_hOutThread, m_OutThreadId);
    CloseAndClear(m_hOutStopEvent);
    CloseAndClear(m_hOutResumeEvent);
    CloseAndClear(m_hOutPauseEvent);

    CloseAndClear(m_hInMutex);
    CloseAndClear(m_hOutMutex);
    CloseAndClear(m_hDataEvent);
    CloseAndClear(m_hInResumeEvent);
    CloseAndClear(m_hInPauseEvent);
    CloseAndClear(m_hSpaceEvent);
    CloseAndClear(m_hOutPausedEvent);
    CloseAndClear(m_hInPausedEvent);

    DeleteCriticalSection(&m_csWrite);
    DeleteCriticalSection(&m_csRead);
    DeleteCriticalSection(&m_csAdjust);

    delete[] m_pBufStart;
    m_pBufStart = m_pBufEnd = m_pWrite = m_pRead = nullptr;
    m_Destroyed = 1;
}

// ---- positions --------------------------------------------------------------------------------

template <class T>
T* CSessQueue<T>::SnapWrite() {
    EnterCriticalSection(&m_csWrite);
    T* position = m_pWrite;
    LeaveCriticalSection(&m_csWrite);
    return position;
}

template <class T>
T* CSessQueue<T>::SnapRead() {
    EnterCriticalSection(&m_csRead);
    T* position = m_pRead;
    LeaveCriticalSection(&m_csRead);
    return position;
}

template <class T>
int CSessQueue<T>::FreeRun(const T* write, const T* read) const {
    if (read <= write)
        return static_cast<int>(m_pBufEnd - write);
    return static_cast<int>(read - write - 1);
}

template <class T>
int CSessQueue<T>::DataRun(const T* write, const T* read) const {
    if (read == write)
        return 0;
    if (read < write)
        return static_cast<int>(write - read);
    return static_cast<int>(m_pBufEnd - read);
}

// After `count` elements were stored at the write position. A run that ended at buffer end
// wraps to buffer start, unless the reader stands there: then the write position parks at
// buffer end and the ring holds a whole capacity.
template <class T>
void CSessQueue<T>::AdvanceWrite(int count) {
    EnterCriticalSection(&m_csAdjust);
    T* read = SnapRead();
    EnterCriticalSection(&m_csWrite);
    if (count < m_pBufEnd - m_pWrite) {
        m_pWrite += count;
    } else if (m_pBufStart != read) {
        m_pWrite = m_pBufStart;
    } else {
        m_pWrite += count;
    }
    LeaveCriticalSection(&m_csWrite);
    LeaveCriticalSection(&m_csAdjust);
    SetEvent(m_hDataEvent);
}

// After the sink took `count` elements at the read position.
template <class T>
void CSessQueue<T>::AdvanceRead(int count) {
    EnterCriticalSection(&m_csAdjust);
    T* writeBefore = SnapWrite();
    EnterCriticalSection(&m_csRead);
    m_pRead += count;
    if (m_pRead >= m_pBufEnd) {
        // The reader went past the last element: a writer parked at buffer end comes along.
        EnterCriticalSection(&m_csWrite);
        if (m_pWrite == m_pBufEnd)
            m_pWrite = m_pBufStart;
        LeaveCriticalSection(&m_csWrite);
        m_pRead = m_pBufStart;
    }
    if (writeBefore == m_pBufEnd) {
        // The writer was parked: once the reader has left buffer start it may wrap there.
        EnterCriticalSection(&m_csAdjust);
        T* read = SnapRead();
        EnterCriticalSection(&m_csWrite);
        if (m_pWrite >= m_pBufEnd && m_pBufStart != read)
            m_pWrite = m_pBufStart;
        LeaveCriticalSection(&m_csWrite);
        LeaveCriticalSection(&m_csAdjust);
    }
    LeaveCriticalSection(&m_csRead);
    LeaveCriticalSection(&m_csAdjust);
}

// A producer that stored nothing resets the space event so that the next Write waits for room.
// The output side may have freed room and set the event after this producer looked at the
// positions and before the reset: that signal would be lost and every producer would wait with
// room free. So look at the positions again after the reset and set the event when there is
// room; room freed after this second look is followed by the output side's own SetEvent.
template <class T>
void CSessQueue<T>::ResetSpaceEvent() {
    ResetEvent(m_hSpaceEvent);
    EnterCriticalSection(&m_csAdjust);
    T* write = SnapWrite();
    T* read = SnapRead();
    LeaveCriticalSection(&m_csAdjust);
    if (m_pBufStart && FreeRun(write, read) > 0)
        SetEvent(m_hSpaceEvent);
}

template <class T>
void CSessQueue<T>::FinishProducerStep(int result) {
    if (result > 0) {
        AdvanceWrite(result);
    } else if (result == 0) {
        ResetSpaceEvent();
    }
}

// ---- producer side ----------------------------------------------------------------------------

template <class T>
int CSessQueue<T>::Write(T* source, int count) {
    if (WaitForSingleObject(m_hSpaceEvent, SQ_SPACE_WAIT_MS) != WAIT_OBJECT_0)
        return 0;
    const DWORD mutexWait = WaitForSingleObject(m_hInMutex, INFINITE);
    const bool owned = mutexWait == WAIT_OBJECT_0 || mutexWait == WAIT_ABANDONED;
    const int result = owned ? WriteHoldingInput(source, count, mutexWait) : 0;
    FinishProducerStep(result);
    if (owned)
        ReleaseMutex(m_hInMutex);
    return result;
}

template <class T>
int CSessQueue<T>::WriteHoldingInput(T* source, int count, DWORD mutexWait) {
    if (WaitForSingleObject(m_hInPauseEvent, 0) == WAIT_OBJECT_0 &&
        WaitForSingleObject(m_hInResumeEvent, SQ_RESUME_WAIT_MS) != WAIT_OBJECT_0) {
        return SQ_INPUT_PAUSED;
    }
    if (mutexWait != WAIT_OBJECT_0)
        return 0;  // a producer died holding the input side

    const int run = std::min(FreeRun(SnapWrite(), SnapRead()), count);
    if (run <= 0)
        return 0;
    try {
        // An override storing more than it was offered would overrun the reader.
        return std::min(MoveIn(SnapWrite(), source, run), run);
    } catch (...) {
        return 0;
    }
}

template <class T>
int CSessQueue<T>::MoveIn(T* destination, T* source, int count) {
    if (!source || count <= 0)
        return 0;
    const int run = std::min(FreeRun(SnapWrite(), SnapRead()), count);
    if (run <= 0)
        return 0;
    std::memcpy(static_cast<void*>(destination), static_cast<const void*>(source),
                static_cast<std::size_t>(run) * sizeof(T));
    return run;
}

template <class T>
int CSessQueue<T>::FillIn(T* destination, int count) {
    const DWORD mutexWait = WaitForSingleObject(m_hInMutex, INFINITE);
    int result = 0;
    if (mutexWait == WAIT_OBJECT_0) {
        try {
            result = std::min(MoveIn(destination, nullptr, count), count);
        } catch (...) {
            result = 0;
        }
    }
    FinishProducerStep(result);
    if (result < 0)
        result = 0;
    if (mutexWait == WAIT_OBJECT_0 || mutexWait == WAIT_ABANDONED)
        ReleaseMutex(m_hInMutex);
    return result;
}

template <class T>
void CSessQueue<T>::SetInBinding(std::uintptr_t value) {
    const DWORD wait = WaitForSingleObject(m_hInMutex, INFINITE);
    if (wait == WAIT_OBJECT_0)
        m_InBinding = value;
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        ReleaseMutex(m_hInMutex);
}

template <class T>
DWORD CSessQueue<T>::InThreadProc() {
    for (;;) {
        const HANDLE waits[] = {m_hInStopEvent, m_hInPauseEvent, m_hSpaceEvent};
        const DWORD wait = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0)
            return static_cast<DWORD>(SQ_INPUT_STOPPED);
        if (wait == WAIT_OBJECT_0 + 1) {
            DWORD exitCode = 0;
            if (!WaitOutInputPause(exitCode))
                return exitCode;
        } else if (wait == WAIT_OBJECT_0 + 2) {
            const int run = FreeRun(SnapWrite(), SnapRead());
            FillIn(SnapWrite(), run);
        } else {
            return static_cast<DWORD>(SQ_WAIT_FAILED);
        }
    }
}

// The input thread's pause: acknowledge, then wait for resume or stop. False: exit with
// `exitCode`.
template <class T>
bool CSessQueue<T>::WaitOutInputPause(DWORD& exitCode) {
    SetEvent(m_hInPausedEvent);
    const HANDLE waits[] = {m_hInStopEvent, m_hInResumeEvent};
    const DWORD wait = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (wait == WAIT_OBJECT_0 + 1)
        return true;
    exitCode = static_cast<DWORD>(wait == WAIT_OBJECT_0 ? SQ_INPUT_STOPPED : SQ_WAIT_FAILED);
    return false;
}

// ---- consumer side ----------------------------------------------------------------------------

template <class T>
int CSessQueue<T>::MoveOutGuarded(T* source, int count) {
    const DWORD wait = WaitForSingleObject(m_hOutMutex, SQ_OUT_MUTEX_WAIT_MS);
    if (wait != WAIT_OBJECT_0) {
        if (wait == WAIT_ABANDONED)
            ReleaseMutex(m_hOutMutex);
        return 0;
    }
    int result;
    try {
        result = MoveOut(source, count);
    } catch (...) {
        result = count;  // the offered elements count as delivered
    }
    ReleaseMutex(m_hOutMutex);
    return result;
}

template <class T>
void CSessQueue<T>::SetOutBinding(std::uintptr_t value) {
    const DWORD wait = WaitForSingleObject(m_hOutMutex, SQ_OUT_BINDING_WAIT_MS);
    if (wait == WAIT_OBJECT_0)
        m_OutBinding = value;
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
        ReleaseMutex(m_hOutMutex);
}

template <class T>
DWORD CSessQueue<T>::OutThreadProc() {
    for (;;) {
        const HANDLE waits[] = {m_hOutStopEvent, m_hOutPauseEvent, m_hDataEvent};
        const DWORD wait = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        DWORD exitCode = 0;
        if (wait == WAIT_OBJECT_0)
            return static_cast<DWORD>(SQ_OUTPUT_STOPPED);
        if (wait == WAIT_OBJECT_0 + 1) {
            if (!WaitOutOutputPause(exitCode))
                return exitCode;
        } else if (wait == WAIT_OBJECT_0 + 2) {
            if (!DeliverPending(exitCode))
                return exitCode;
        } else {
            return GetLastError();
        }
    }
}

// The output thread's pause: acknowledge, then wait for resume or stop. False: exit with
// `exitCode`.
template <class T>
bool CSessQueue<T>::WaitOutOutputPause(DWORD& exitCode) {
    SetEvent(m_hOutPausedEvent);
    const HANDLE waits[] = {m_hOutStopEvent, m_hOutResumeEvent};
    const DWORD wait = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (wait == WAIT_OBJECT_0 + 1) {
        // Data may have stayed in the ring when the thread paused itself in the middle of a
        // delivery; offer it now instead of waiting for the next producer.
        SetEvent(m_hDataEvent);
        return true;
    }
    exitCode = static_cast<DWORD>(wait == WAIT_OBJECT_0 ? SQ_OUTPUT_STOPPED : SQ_WAIT_FAILED);
    return false;
}

// Delivery rounds until the ring is empty or the sink says otherwise. True: back to the wait;
// false: exit with `exitCode`.
template <class T>
bool CSessQueue<T>::DeliverPending(DWORD& exitCode) {
    for (;;) {
        const int run = DataRun(SnapWrite(), SnapRead());
        if (run == 0)
            return true;
        int taken = MoveOutGuarded(SnapRead(), run);
        if (taken < 0)
            return ActOnSinkCode(taken, exitCode);
        taken = std::min(taken, run);  // a sink claiming more would move the reader past data
        AdvanceRead(taken);
        if (taken > 0) {
            SetEvent(m_hSpaceEvent);
            continue;
        }
        // The sink took nothing: try again at once, but let a stop or pause request through,
        // and leave when waits fail (teardown is ending the thread); otherwise a sink that keeps
        // refusing would hold the thread here for ever.
        const HANDLE waits[] = {m_hOutStopEvent, m_hOutPauseEvent};
        if (WaitForMultipleObjects(2, waits, FALSE, 0) != WAIT_TIMEOUT)
            return true;
        std::this_thread::yield();
    }
}

template <class T>
bool CSessQueue<T>::ActOnSinkCode(int code, DWORD& exitCode) {
    switch (code) {
        case SQ_PAUSE_OUTPUT:
            ResetEvent(m_hOutResumeEvent);
            SetEvent(m_hOutPauseEvent);
            return true;
        case SQ_END_OUTPUT:
            exitCode = static_cast<DWORD>(SQ_END_OUTPUT);
            return false;
        case SQ_UNWRAP:
            // The unwrapped data is contiguous now: offer it again at once rather than at the
            // next producer's signal, which may never come.
            if (TryUnwrap())
                SetEvent(m_hDataEvent);
            return true;
        default:
            return true;
    }
}

// ---- unwrapping -------------------------------------------------------------------------------

template <class T>
int CSessQueue<T>::TryUnwrap() {
    const DWORD wait = WaitForSingleObject(m_hInMutex, SQ_UNWRAP_MUTEX_WAIT_MS);
    if (wait != WAIT_OBJECT_0) {
        if (wait == WAIT_ABANDONED)
            ReleaseMutex(m_hInMutex);
        return 0;
    }
    // The position locks in the output thread's order (read, then write): one lock order for
    // the whole queue.
    int result = 0;
    EnterCriticalSection(&m_csAdjust);
    EnterCriticalSection(&m_csRead);
    EnterCriticalSection(&m_csWrite);
    if (m_pWrite < m_pRead)
        result = Unwrap();
    LeaveCriticalSection(&m_csWrite);
    LeaveCriticalSection(&m_csRead);
    LeaveCriticalSection(&m_csAdjust);
    ReleaseMutex(m_hInMutex);
    return result;
}

// Makes wrapped contents contiguous from buffer start, in delivery order: the tail run at the
// read position goes first, the head part (buffer start up to the write position) follows it.
// While the data wraps the ring holds at most capacity - 1 elements, so it fits. The caller
// holds the input mutex, the adjust lock and both position locks, as TryUnwrap does.
template <class T>
int CSessQueue<T>::Unwrap() {
    T* write = m_pWrite;
    T* read = m_pRead;
    if (!(write < read))
        return 0;
    const std::size_t tail = static_cast<std::size_t>(m_pBufEnd - read);
    const std::size_t head = static_cast<std::size_t>(write - m_pBufStart);
    try {
        std::unique_ptr<T[]> saved(new T[tail]);
        std::memcpy(static_cast<void*>(saved.get()), static_cast<const void*>(read),
                    tail * sizeof(T));
        std::memmove(static_cast<void*>(m_pBufStart + tail), static_cast<const void*>(m_pBufStart),
                     head * sizeof(T));
        std::memcpy(static_cast<void*>(m_pBufStart), static_cast<const void*>(saved.get()),
                    tail * sizeof(T));
    } catch (...) {
        return 0;  // nothing was changed
    }
    m_pWrite = write + tail;
    m_pRead = m_pBufStart;
    return 1;
}

// ---- pause protocol (controller side) --------------------------------------------------------

template <class T>
void CSessQueue<T>::RequestPause(HANDLE pause, HANDLE resume, HANDLE paused) {
    ResetEvent(paused);  // the next acknowledgement is for this request
    ResetEvent(resume);
    SetEvent(pause);
}

template <class T>
void CSessQueue<T>::EndPause(HANDLE pause, HANDLE resume, HANDLE paused) {
    ResetEvent(pause);
    ResetEvent(paused);
    SetEvent(resume);
}
