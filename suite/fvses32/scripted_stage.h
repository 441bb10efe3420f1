// A pilot stage that plays a script: every step it is given (code 3 to start a step, code 201
// to release the line) ends with a chosen result after a chosen delay. It records every action
// it receives. Stands in for the connection, admission and host session stages until real
// ones exist, and lets tests drive the host pilot through whole cycles.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "platform/kernel/win_types.h"
#include "session/action.h"
#include "suite/fvses32/session_core.h"

class ScriptedStage final : public IProcessor {
public:
    // How one step ends. A step that never ends waits for the pusher to replace it.
    struct Outcome {
        std::int32_t result = 0;
        DWORD delayMs = 0;  // of the kernel layer's clock
        bool ends = true;
    };
    struct Seen {
        std::int32_t code;
        std::uint32_t param;
        ePROC_ID source;
    };
    static constexpr std::int32_t kStepStart = 3;
    static constexpr std::int32_t kReleaseLine = 201;

    ScriptedStage(ePROC_ID id, CSessionCore* core);
    ~ScriptedStage() override;
    ScriptedStage(const ScriptedStage&) = delete;
    ScriptedStage& operator=(const ScriptedStage&) = delete;

    // Outcomes for the next steps started with `code`, used in order; when they run out, the
    // default outcome for that code is used (result 0, no delay, unless set).
    void Script(std::int32_t code, std::vector<Outcome> outcomes);
    void SetDefault(std::int32_t code, Outcome outcome);
    // A connection stage: a step started with code 3 that ends with 0 marks the session
    // connected; a release of the line marks it disconnected.
    void TrackConnection(bool track) { tracksConnection_ = track; }

    // Called on the dispatch thread when a step starts, before its end is scheduled: lets a
    // test look at the session as the stage would find it.
    void OnStepStart(std::function<void(CFVSession*, std::int32_t code)> hook);

    std::vector<Seen> SeenActions();
    // Number of steps started with `code`.
    int StepsStarted(std::int32_t code);

    int OnAction(CFVSession* session, CAction* action) override;

private:
    static constexpr std::int32_t kStepEnd = 0x7F000001;  // internal: a delayed end is due

    static int TimerCallback(UINT timerId, void* context);
    void StartStep(CFVSession* session, std::int32_t code);
    void EndStep(CFVSession* session, std::uint32_t stepId);

    ePROC_ID id_;
    CSessionCore* core_;
    bool tracksConnection_ = false;
    std::mutex lock_;
    std::map<std::int32_t, std::deque<Outcome>> scripts_;
    std::map<std::int32_t, Outcome> defaults_;
    std::vector<Seen> seen_;
    std::map<std::int32_t, int> started_;
    std::uint32_t lastStepId_ = 0;
    std::uint32_t currentStep_ = 0;  // id of the step being run; 0 for none
    std::int32_t currentCode_ = 0;
    Outcome currentOutcome_;
    std::map<UINT, std::uint32_t> timers_;
    std::function<void(CFVSession*, std::int32_t)>
        onStepStart_;  // pending delayed ends: timer id -> step id
};
