// The session's byte queues: CRecvQueue carries what arrives from the connection, CTransQueue
// what goes to it. Both take bytes from a source bound as input binding (and from producers'
// Write calls) and hand them to a sink bound as output binding.
#pragma once

#include <cstdint>

#include "session/queue_plugs.h"
#include "session/sess_queue.h"

class CFVSession;

using CByteQueueSink = CSessQueueSink<unsigned char>;
using CByteQueueSource = CSessQueueSource<unsigned char>;

// Adds five words after the engine: three of the session library, the owning session and one
// more of the session library.
class CSessByteQueue : public CSessQueue<unsigned char> {
public:
    CSessByteQueue(int capacity, unsigned threads, CFVSession* session)
        : CSessQueue<unsigned char>(capacity, threads), m_pSession(session) {}

    void BindSource(CByteQueueSource* source) { SetInBinding(QueueBinding(source)); }
    // True when every byte written so far has been handed to the sink.
    bool IsEmpty() { return SnapWrite() == SnapRead(); }
    // Bytes written so far that the sink has not yet taken.
    int Queued();
    // Binds a new sink (SetOutBinding) and offers it the bytes waiting in the ring.
    void BindSink(CByteQueueSink* sink);

protected:
    static constexpr DWORD kNoSourceIdleMs = 10;

    CFVSession* Session() const { return m_pSession; }

    // Bytes from the bound source for the input thread (null `source`); a producer's bytes are
    // copied as the engine does by default.
    int MoveInFromBinding(unsigned char* destination, unsigned char* source, int count);
    // The bound sink takes the bytes. Without a sink the bytes stay in the ring until data is
    // added or BindSink binds one.
    int MoveOutToBinding(unsigned char* source, int count);

    std::uint32_t m_LibWord1 = 0;
    std::uint32_t m_LibWord2 = 0;
    std::uint32_t m_LibWord3 = 0;
    CFVSession* m_pSession = nullptr;
    std::uint32_t m_LibWord4 = 0;

private:
    friend struct CSessQueueLayout;
};

class CRecvQueue final : public CSessByteQueue {
public:
    CRecvQueue(int capacity, unsigned threads, CFVSession* session, CByteQueueSource* source,
               CByteQueueSink* sink);
    ~CRecvQueue() override { Teardown(); }

    int MoveIn(unsigned char* destination, unsigned char* source, int count) override {
        return MoveInFromBinding(destination, source, count);
    }
    int MoveOut(unsigned char* source, int count) override {
        return MoveOutToBinding(source, count);
    }
};

class CTransQueue final : public CSessByteQueue {
public:
    CTransQueue(int capacity, unsigned threads, CFVSession* session, CByteQueueSource* source,
                CByteQueueSink* sink);
    ~CTransQueue() override { Teardown(); }

    int MoveIn(unsigned char* destination, unsigned char* source, int count) override {
        return MoveInFromBinding(destination, source, count);
    }
    int MoveOut(unsigned char* source, int count) override {
        return MoveOutToBinding(source, count);
    }
};

// ---- definitions ------------------------------------------------------------------------------

inline int CSessByteQueue::Queued() {
    // The read position first: the reader only moves towards the write position, so the
    // count is never more than what was queued at some moment of the call.
    unsigned char* read = SnapRead();
    unsigned char* write = SnapWrite();
    if (read <= write) {
        return static_cast<int>(write - read);
    }
    return Capacity() - static_cast<int>(read - write);
}

inline int CSessByteQueue::MoveInFromBinding(unsigned char* destination, unsigned char* source,
                                             int count) {
    if (source)
        return CSessQueue<unsigned char>::MoveIn(destination, source, count);
    if (count <= 0)
        return 0;
    auto* bound = reinterpret_cast<CByteQueueSource*>(m_InBinding);
    if (!bound) {
        // The input thread calls again at once while there is room: without a source it idles
        // in short sleeps (which teardown can end) until BindSource binds one.
        Sleep(kNoSourceIdleMs);
        return 0;
    }
    return bound->MoveIn(destination, count);
}

inline int CSessByteQueue::MoveOutToBinding(unsigned char* source, int count) {
    auto* bound = reinterpret_cast<CByteQueueSink*>(m_OutBinding);
    return bound ? bound->MoveOut(source, count) : SQ_SKIP_ROUND;
}

inline void CSessByteQueue::BindSink(CByteQueueSink* sink) {
    SetOutBinding(QueueBinding(sink));
    SetEvent(m_hDataEvent);
}

inline CRecvQueue::CRecvQueue(int capacity, unsigned threads, CFVSession* session,
                              CByteQueueSource* source, CByteQueueSink* sink)
    : CSessByteQueue(capacity, threads, session) {
    m_InBinding = QueueBinding(source);
    m_OutBinding = QueueBinding(sink);
    StartThreads();
}

inline CTransQueue::CTransQueue(int capacity, unsigned threads, CFVSession* session,
                                CByteQueueSource* source, CByteQueueSink* sink)
    : CSessByteQueue(capacity, threads, session) {
    m_InBinding = QueueBinding(source);
    m_OutBinding = QueueBinding(sink);
    StartThreads();
}
