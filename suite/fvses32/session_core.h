// The session library's state behind one CFVSession: the processors and their action
// functions, the action queue whose output thread is the session's dispatch thread, the flow
// stack, the per-processor slots, the connection parameters and the transmit queue.
//
// Every action reaches its processor on the dispatch thread, one at a time, in the order it was
// queued; so processors never run concurrently with each other. The operations below may be
// called from any thread (the dispatch thread, timer callbacks, the video scanner's thread).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>

#include "platform/kernel/critical_section.h"
#include "session/action.h"
#include "session/action_queue.h"
#include "session/byte_queue.h"
#include "session/connect_params.h"
#include "session/fv_session.h"

// The session library's own processor: it gives the flow to the first pilot stage and learns
// from ACT_STEP_DONE that the session is over.
inline constexpr ePROC_ID PROC_SESSION = static_cast<ePROC_ID>(1);

// A pilot stage living in this process as an object rather than as an action function.
class IProcessor {
public:
    virtual ~IProcessor() = default;
    // Called on the dispatch thread; returns 1 like an action function.
    virtual int OnAction(CFVSession* session, CAction* action) = 0;
};

class CSessionCore final : public CActionQueueSink {
public:
    static constexpr int kActionQueueCapacity = 256;
    static constexpr int kTransmitQueueCapacity = 256 * 1024;

    explicit CSessionCore(CFVSession* session);
    ~CSessionCore() override;
    CSessionCore(const CSessionCore&) = delete;
    CSessionCore& operator=(const CSessionCore&) = delete;

    // Registers the action function of `processor` (null removes it). Actions for a processor
    // without a function are dropped.
    void SetProcessor(ePROC_ID processor, PACTIONFUNC function);
    void SetProcessor(ePROC_ID processor, IProcessor* object);

    // Queues a copy of `action` for its ProcID. Returns 1, or 0 when the queue did not take it.
    int Queue(const CAction& action);
    // Gives the flow to the action's ProcID. When the target already holds the flow for the
    // same pusher, the new step replaces the running one (the pusher changed its mind, as when
    // the host releases the line while the connection stage waits); otherwise it is stacked.
    int PushFlow(const CAction& action);
    // Ends the caller's step: the step held by the processor whose action function is running
    // (on the dispatch thread), together with any steps it pushed that are still running; its
    // pusher gets ACT_STEP_DONE with the return code as the step's result in m_Result. Called
    // from anywhere else it ends the topmost step. Returns 0 when there is no such step.
    int PopFlow();
    ePROC_ID FlowHolder();
    // Number of steps on the flow stack and a number that changes with every push and pop, so
    // that a stage can tell whether the step it started is still the current one.
    std::size_t FlowDepth();
    std::uint64_t FlowSerial();
    void SetRetCode(int code) { retCode_.store(code); }
    int RetCode() const { return retCode_.load(); }

    std::uintptr_t UserData(ePROC_ID processor);
    void UserData(ePROC_ID processor, std::uintptr_t value);
    std::uintptr_t GlobalProcData() const { return globalProcData_.load(); }
    void GlobalProcData(std::uintptr_t value) { globalProcData_.store(value); }

    void GetConnParams(CONNECT_PARAMS* params);
    void SetConnParams(const CONNECT_PARAMS* params);
    int IsConnected() const { return connected_.load(); }
    void SetConnected(bool connected) { connected_.store(connected ? 1 : 0); }

    int LockTxFill();
    int UnLockTxFill();
    // Appends all `length` bytes to the transmit stream, waiting while the queue is full for as
    // long as the session is connected. Returns the bytes taken: `length`, or fewer when the
    // connection went while waiting.
    int Transmit(const void* bytes, int length);
    // Where transmitted bytes go: a test sink, a socket. Null keeps them queued. `unsent`, when
    // given, tells how many bytes the sink took that have not yet reached the other side.
    void BindTransmitSink(CByteQueueSink* sink, std::function<std::size_t()> unsent = {});
    // Bytes transmitted that have not yet reached the other side, as far as the session knows:
    // those still queued and those the sink says are on their way. A producer that would
    // rather send fresh data than add to a backlog waits while this is large.
    std::size_t TransmitBacklog();
    // Waits until the transmit queue has handed every byte to its sink; false on time-out.
    bool WaitTransmitDrained(DWORD milliseconds);
    // Drops whatever the transmit queue still holds, so that the next connection's stream
    // starts clean. No Transmit may run meanwhile.
    void DiscardTransmit();

    // The session is over once the session library's own processor got its step back.
    bool IsOver() const { return over_.load(); }
    // Waits (the kernel layer's clock) until the session is over; false on time-out.
    bool WaitOver(DWORD milliseconds);

    // Stops the dispatch thread; actions still queued are dropped. Must not run on the dispatch
    // thread. The destructor does it too.
    void Stop();

private:
    struct FlowStep {
        ePROC_ID holder;
        ePROC_ID pusher;
    };

    int MoveOut(CAction* source, int count) override;
    void Deliver(CAction& action);
    void OnSessionStepDone();

    CFVSession* session_;
    std::mutex lock_;  // guards processors_, flow_, slots_, connParams_
    struct Processor {
        PACTIONFUNC function = nullptr;
        IProcessor* object = nullptr;
    };
    std::map<std::int32_t, Processor> processors_;
    std::vector<FlowStep> flow_;
    std::uint64_t flowSerial_ = 0;
    std::map<std::int32_t, std::uintptr_t> slots_;
    CONNECT_PARAMS connParams_;
    std::atomic<std::uintptr_t> globalProcData_{0};
    std::atomic<int> connected_{0};
    std::atomic<int> retCode_{0};
    std::atomic<bool> over_{false};
    std::atomic<std::thread::id> dispatchThread_{};
    ePROC_ID dispatching_ = PROC_SESSION;  // processor being called; dispatch thread only
    HANDLE overEvent_ = nullptr;
    CRITICAL_SECTION txFill_;
    std::shared_mutex actionsLock_;  // Queue reads actions_ shared; Stop takes it out
    std::unique_ptr<CActionQueue> actions_;
    std::unique_ptr<CTransQueue> transmit_;
    std::mutex backlogLock_;               // around replacing transmit_ and around unsent_
    std::function<std::size_t()> unsent_;  // the transmit sink's bytes on their way
};
