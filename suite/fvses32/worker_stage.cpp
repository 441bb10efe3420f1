#include "suite/fvses32/worker_stage.h"

int WorkerStage::OnAction(CFVSession* session, CAction* action) {
    if (action->Code() != kWorkDone) {
        OnStageAction(session, action);
        return 1;
    }
    {
        std::lock_guard guard(lock_);
        if (action->Param() != workId_) {
            return 1;  // the work was stopped or replaced after it ended
        }
    }
    if (HoldsFlow()) {
        EndStep(session, action->LParam());
    }
    return 1;
}

void WorkerStage::StartWork(std::function<int(const farvane::net::WakeUp& cancel)> work) {
    StopWork();
    std::lock_guard guard(lock_);
    if (closed_) {
        return;
    }
    cancel_.Reset();
    std::uint32_t id = ++workId_;
    worker_ = std::thread([this, id, work = std::move(work)] {
        int result = work(cancel_);
        CAction done(id_, id_, kWorkDone, id);
        done.SetLParam(result);
        core_->Queue(done);
    });
}

void WorkerStage::Close() {
    {
        std::lock_guard guard(lock_);
        closed_ = true;
    }
    StopWork();
}

void WorkerStage::StopWork() {
    std::thread ending;
    {
        std::lock_guard guard(lock_);
        ++workId_;
        cancel_.Signal();
        ending = std::move(worker_);
    }
    if (ending.joinable()) {
        ending.join();
    }
}

void WorkerStage::EndStep(CFVSession* session, int result) {
    session->SetRetCode(result);
    session->PopFlow();
}
