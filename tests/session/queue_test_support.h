// Helpers for the queue tests: a byte queue whose sink is a test function and whose positions
// and events can be looked at, a collector for delivered elements, and a time-scale guard.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/tick.h"
#include "session/sess_queue.h"

namespace queue_test {

// Runs the kernel layer's time-outs `scale` times faster while it lives.
class TimeScale {
public:
    explicit TimeScale(unsigned scale) { KernelSetTimeScale(scale); }
    ~TimeScale() { KernelSetTimeScale(1); }
};

// Elements a sink has taken, in delivery order; tests wait for a count to arrive.
template <class E>
class Collector {
public:
    void Add(const E* elements, int count) {
        std::lock_guard lock(m_mutex);
        m_items.insert(m_items.end(), elements, elements + count);
        m_changed.notify_all();
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_items.size() >= count; });
    }
    std::vector<E> Items() {
        std::lock_guard lock(m_mutex);
        return m_items;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<E> m_items;
};

// A byte queue whose MoveOut is `sink`; it starts its threads once complete.
class ScriptedByteQueue : public CSessQueue<unsigned char> {
public:
    using Sink = std::function<int(unsigned char*, int)>;

    ScriptedByteQueue(int capacity, unsigned threads, Sink sink, bool start = true)
        : CSessQueue<unsigned char>(capacity, threads), m_sink(std::move(sink)) {
        if (start)
            StartThreads();
    }
    ~ScriptedByteQueue() override { Teardown(); }

    int MoveOut(unsigned char* source, int count) override { return m_sink(source, count); }

    long WriteIndex() { return SnapWrite() - m_pBufStart; }
    long ReadIndex() { return SnapRead() - m_pBufStart; }
    bool SpaceSignalled() { return WaitForSingleObject(m_hSpaceEvent, 0) == WAIT_OBJECT_0; }
    DWORD OutThreadExitCode() {
        DWORD code = 0;
        GetExitCodeThread(m_hOutThread, &code);
        return code;
    }
    bool WaitOutThreadEnded(DWORD milliseconds) {
        return WaitForSingleObject(m_hOutThread, milliseconds) == WAIT_OBJECT_0;
    }
    void TeardownNow() { Teardown(); }
    bool AllHandlesClosed() const {
        const HANDLE handles[] = {m_hInThread,     m_hOutThread,      m_hSpaceEvent,
                                  m_hInPauseEvent, m_hInResumeEvent,  m_hInStopEvent,
                                  m_hDataEvent,    m_hOutPauseEvent,  m_hOutResumeEvent,
                                  m_hOutStopEvent, m_hOutPausedEvent, m_hInPausedEvent,
                                  m_hInMutex,      m_hOutMutex};
        for (HANDLE handle : handles) {
            if (handle)
                return false;
        }
        return m_pBufStart == nullptr && m_InThreadId == 0 && m_OutThreadId == 0;
    }

private:
    Sink m_sink;
};

inline std::vector<unsigned char> Sequence(int from, int count) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(from + i);
    return bytes;
}

}  // namespace queue_test
