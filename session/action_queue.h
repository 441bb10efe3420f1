// The session's action queue: producers Write actions, the output thread hands them to the sink
// bound as output binding (the session library's dispatcher to the processors' action
// functions).
#pragma once

#include <cstdint>

#include "session/action.h"
#include "session/queue_plugs.h"
#include "session/sess_queue.h"

class CFVSession;

using CActionQueueSink = CSessQueueSink<CAction>;

// Adds the owning session after the engine.
class CActionQueue final : public CSessQueue<CAction> {
public:
    CActionQueue(int capacity, unsigned threads, CFVSession* session, CActionQueueSink* sink)
        : CSessQueue<CAction>(capacity, threads), m_pSession(session) {
        m_OutBinding = QueueBinding(sink);
        StartThreads();
    }
    ~CActionQueue() override { Teardown(); }

    CFVSession* Session() const { return m_pSession; }

    // Binds a new sink (SetOutBinding) and offers it the actions waiting in the queue.
    void BindSink(CActionQueueSink* sink) {
        SetOutBinding(QueueBinding(sink));
        SetEvent(m_hDataEvent);
    }

    // The bound sink takes the actions; without one they stay queued until an action is added
    // or BindSink binds one.
    int MoveOut(CAction* source, int count) override {
        auto* bound = reinterpret_cast<CActionQueueSink*>(m_OutBinding);
        return bound ? bound->MoveOut(source, count) : SQ_SKIP_ROUND;
    }

private:
    friend struct CSessQueueLayout;

    CFVSession* m_pSession = nullptr;
};
