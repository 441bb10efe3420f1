// A pilot stage whose steps do their waiting on a worker thread, so that the session's dispatch
// thread never blocks: a step starts work, and the work's result ends the step later, on the
// dispatch thread, unless the step was replaced or stopped in the meantime.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/net/wake_up.h"
#include "session/action.h"
#include "suite/fvses32/session_core.h"

class WorkerStage : public IProcessor {
public:
    static constexpr std::int32_t kStepStart = 3;
    static constexpr std::int32_t kReleaseLine = 201;

    WorkerStage(ePROC_ID id, CSessionCore* core) : id_(id), core_(core) {}
    // Derived classes call StopWork in their destructors (the work may use their members).
    ~WorkerStage() override = default;
    WorkerStage(const WorkerStage&) = delete;
    WorkerStage& operator=(const WorkerStage&) = delete;

    int OnAction(CFVSession* session, CAction* action) final;
    // Ends the running work and refuses new work: after it the stage never touches the
    // session core from a thread of its own, so the core may be stopped.
    void Close();

protected:
    // Called on the dispatch thread for every action but the stage's own work results.
    virtual void OnStageAction(CFVSession* session, CAction* action) = 0;

    // Ends any running work (cancel signalled, thread joined), then runs `work` on a new
    // thread. Its result ends the step the stage holds now. `cancel` is reset for the new work.
    void StartWork(std::function<int(const farvane::net::WakeUp& cancel)> work);
    // Ends the running work without ending its step. Must not run on the worker thread.
    void StopWork();
    // Ends the current step at once with `result`, on the dispatch thread.
    void EndStep(CFVSession* session, int result);
    bool HoldsFlow() { return core_->FlowHolder() == id_; }

    ePROC_ID id() const { return id_; }
    CSessionCore* core() const { return core_; }

private:
    // Internal code of the action that carries a work result back to the dispatch thread.
    static constexpr std::int32_t kWorkDone = 0x7F000002;

    ePROC_ID id_;
    CSessionCore* core_;
    farvane::net::WakeUp cancel_;
    std::mutex lock_;
    std::thread worker_;
    std::uint32_t workId_ = 0;  // of the running work; results of older work are dropped
    bool closed_ = false;
};
