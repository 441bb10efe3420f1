#include "suite/fvses32/scripted_stage.h"

#include "suite/fvtime32/fvtime32.h"

ScriptedStage::ScriptedStage(ePROC_ID id, CSessionCore* core) : id_(id), core_(core) {}

ScriptedStage::~ScriptedStage() {
    std::vector<UINT> pending;
    {
        std::lock_guard guard(lock_);
        for (const auto& [timerId, step] : timers_) {
            pending.push_back(timerId);
        }
        timers_.clear();
    }
    for (UINT timerId : pending) {
        FVKillTimer(timerId);
    }
}

void ScriptedStage::Script(std::int32_t code, std::vector<Outcome> outcomes) {
    std::lock_guard guard(lock_);
    auto& queue = scripts_[code];
    queue.insert(queue.end(), outcomes.begin(), outcomes.end());
}

void ScriptedStage::SetDefault(std::int32_t code, Outcome outcome) {
    std::lock_guard guard(lock_);
    defaults_[code] = outcome;
}

void ScriptedStage::OnStepStart(std::function<void(CFVSession*, std::int32_t)> hook) {
    std::lock_guard guard(lock_);
    onStepStart_ = std::move(hook);
}

std::vector<ScriptedStage::Seen> ScriptedStage::SeenActions() {
    std::lock_guard guard(lock_);
    return seen_;
}

int ScriptedStage::StepsStarted(std::int32_t code) {
    std::lock_guard guard(lock_);
    return started_[code];
}

int ScriptedStage::OnAction(CFVSession* session, CAction* action) {
    if (action->Code() == kStepEnd) {
        EndStep(session, action->Param());
        return 1;
    }
    {
        std::lock_guard guard(lock_);
        seen_.push_back(Seen{action->Code(), action->Param(), action->SourceProcID()});
    }
    if ((action->Code() == kStepStart || action->Code() == kReleaseLine) &&
        core_->FlowHolder() == id_) {
        StartStep(session, action->Code());
    }
    return 1;
}

void ScriptedStage::StartStep(CFVSession* session, std::int32_t code) {
    Outcome outcome;
    std::uint32_t stepId;
    std::function<void(CFVSession*, std::int32_t)> hook;
    {
        std::lock_guard guard(lock_);
        auto& script = scripts_[code];
        if (!script.empty()) {
            outcome = script.front();
            script.pop_front();
        } else if (auto found = defaults_.find(code); found != defaults_.end()) {
            outcome = found->second;
        }
        stepId = ++lastStepId_;
        currentStep_ = stepId;
        currentCode_ = code;
        currentOutcome_ = outcome;
        hook = onStepStart_;
    }
    if (hook) {
        hook(session, code);
    }
    {
        // Counted once the hook has run, so that a test seeing the count sees the hook's work.
        std::lock_guard guard(lock_);
        ++started_[code];
    }
    if (!outcome.ends) {
        return;
    }
    if (outcome.delayMs == 0) {
        session->SetAction(id_, id_, kStepEnd, stepId);
        return;
    }
    std::lock_guard guard(lock_);
    UINT timerId = FVStartTimer(outcome.delayMs, 0, TimerCallback, this, 0);
    timers_[timerId] = stepId;
}

// On the timer thread: hand the end to the dispatch thread, where flow changes happen.
int ScriptedStage::TimerCallback(UINT timerId, void* context) {
    auto* stage = static_cast<ScriptedStage*>(context);
    std::uint32_t stepId = 0;
    {
        std::lock_guard guard(stage->lock_);
        auto found = stage->timers_.find(timerId);
        if (found == stage->timers_.end()) {
            return 0;
        }
        stepId = found->second;
        stage->timers_.erase(found);
    }
    stage->core_->Queue(CAction(stage->id_, stage->id_, kStepEnd, stepId));
    return 0;
}

void ScriptedStage::EndStep(CFVSession* session, std::uint32_t stepId) {
    Outcome outcome;
    std::int32_t code;
    {
        std::lock_guard guard(lock_);
        if (stepId != currentStep_) {
            return;  // a later step replaced this one
        }
        outcome = currentOutcome_;
        code = currentCode_;
        currentStep_ = 0;
    }
    if (core_->FlowHolder() != id_) {
        return;
    }
    if (tracksConnection_) {
        if (code == kStepStart && outcome.result == 0) {
            core_->SetConnected(true);
        } else if (code == kReleaseLine) {
            core_->SetConnected(false);
        }
    }
    session->SetRetCode(outcome.result);
    session->PopFlow();
}
