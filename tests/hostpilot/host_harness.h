// A host session run the way the session library runs one: the host pilot loaded from its
// shared library with dlopen, the session's own dispatch thread, and scripted connection,
// admission and host session stages. Machine services are fakes; time runs 1000 times faster.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host_fakes.h"
#include "hostpilot/fvhpilot.h"
#include "hostpilot/host_actions.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/tick.h"
#include "session/connect_params.h"
#include "suite/fvcomm32/fvcomm32.h"
#include "suite/fvses32/host_session.h"
#include "suite/fvses32/scripted_stage.h"

namespace farvane::hostpilot::testing {

template <typename Predicate>
bool Eventually(Predicate done) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline HWND TestWindow() {
    return reinterpret_cast<HWND>(std::uintptr_t{0x7770});
}

// What the host pilot's records and the session's parameters hold at one moment. Taken on the
// dispatch thread (in a stage's step hook), where the host pilot's records are not changing.
struct Snapshot {
    bool hasRecords = false;
    HostPilotUserData user{};
    unsigned char* cbBlock = nullptr;
    std::int32_t deviceFlag = 0;
    unsigned char sessionItems[4] = {};
    bool hasVideoEvent = false;
    bool videoSignalled = false;
    std::int32_t platformId = 0;
    std::int32_t osVersion = 0;
    std::int32_t ntService = 0;
    std::int32_t noInterface = 0;
    std::string text;
    CONNECT_PARAMS params;
};

inline Snapshot Snap(CFVSession* session) {
    Snapshot snap;
    auto* user = reinterpret_cast<HostPilotUserData*>(session->UserData(PROC_HOSTPILOT));
    auto* host = reinterpret_cast<HOSTDATA*>(session->GlobalProcData());
    session->GetConnParams(&snap.params);
    if (user == nullptr || host == nullptr) {
        return snap;
    }
    snap.hasRecords = true;
    snap.user = *user;
    snap.cbBlock = host->CBBlock;
    snap.deviceFlag = host->DeviceFlag;
    if (host->CBBlock != nullptr) {
        std::memcpy(snap.sessionItems, host->CBBlock + 33, 4);
    }
    snap.hasVideoEvent = host->VideoEvent != nullptr;
    snap.videoSignalled =
        host->VideoEvent != nullptr && WaitForSingleObject(host->VideoEvent, 0) == WAIT_OBJECT_0;
    snap.platformId = host->PlatformId;
    snap.osVersion = host->OSVersion;
    snap.ntService = host->NTService;
    snap.noInterface = host->NoInterface;
    snap.text = host->Text;
    return snap;
}

// Collects snapshots from a stage's step hook.
class Snapshots {
public:
    Snapshots() = default;
    Snapshots(const Snapshots&) = delete;
    Snapshots& operator=(const Snapshots&) = delete;
    ~Snapshots() {
        for (ScriptedStage* stage : stages_) {
            stage->OnStepStart({});
        }
    }

    void Attach(ScriptedStage& stage, std::function<void(CFVSession*)> extra = {}) {
        stages_.push_back(&stage);
        stage.OnStepStart([this, extra](CFVSession* session, std::int32_t code) {
            Snapshot snap = Snap(session);
            {
                std::lock_guard guard(lock_);
                taken_.push_back({code, snap});
            }
            if (extra) {
                extra(session);
            }
        });
    }
    // Snapshots taken at steps started with `code`, in order.
    std::vector<Snapshot> At(std::int32_t code = ScriptedStage::kStepStart) {
        std::lock_guard guard(lock_);
        std::vector<Snapshot> result;
        for (const auto& [taken, snap] : taken_) {
            if (taken == code) {
                result.push_back(snap);
            }
        }
        return result;
    }

private:
    std::mutex lock_;
    std::vector<std::pair<std::int32_t, Snapshot>> taken_;
    std::vector<ScriptedStage*> stages_;
};

class HostHarness {
public:
    // Without it a session gets a made-up window handle that no window answers.
    static constexpr bool kSessionMakesWindow = true;

    explicit HostHarness(HostSessionConfig config = {}, unsigned timeScale = 1000,
                         bool sessionMakesWindow = false) {
        KernelSetTimeScale(timeScale);
        FVCommOverrideComputerName("HOSTPC");
        table_ = fakes.Table();
        if (config.pilotLibraryPath.empty()) {
            config.pilotLibraryPath = FVHPILOT_LIBRARY;
        }
        if (config.window == nullptr && !sessionMakesWindow) {
            config.window = TestWindow();
        }
        std::string error;
        host = CHostSession::Create(config, &error);
        if (!host) {
            ADD_FAILURE() << error;
            return;
        }
        // Through the loaded library itself: a copy loaded from elsewhere has its own table.
        useServices_ = reinterpret_cast<decltype(&hPilotUseServices)>(
            host->Pilot().Symbol("hPilotUseServices"));
        useServices_(&table_);
        connect = std::make_unique<ScriptedStage>(PROC_CONNECT, host->Core());
        admit = std::make_unique<ScriptedStage>(PROC_ADMIT, host->Core());
        hostSession = std::make_unique<ScriptedStage>(PROC_HOSTSESSION, host->Core());
        connect->TrackConnection(true);
        // By default a wait never ends by itself, so that tests decide what the caller does.
        connect->SetDefault(ScriptedStage::kStepStart, {0, 0, false});
        host->Core()->SetProcessor(PROC_CONNECT, connect.get());
        host->Core()->SetProcessor(PROC_ADMIT, admit.get());
        host->Core()->SetProcessor(PROC_HOSTSESSION, hostSession.get());
    }

    ~HostHarness() {
        if (host && Session()->UserData(PROC_HOSTPILOT) != 0) {
            // Leave nothing allocated: end the host the way a person would.
            Post(HP_END);
            EXPECT_TRUE(WaitOver());
        }
        if (useServices_) {
            useServices_(nullptr);
        }
        host.reset();  // stops the dispatch thread before the stages go
        connect.reset();
        admit.reset();
        hostSession.reset();
        FVCommResetComputerName();
        KernelSetTimeScale(1);
    }

    // Puts the host pilot's real session window service back in place of the fake.
    void UseRealWindow() {
        table_.window = nullptr;
        useServices_(&table_);
    }

    CFVSession* Session() { return host->Session(); }
    void Post(std::int32_t code, std::uint32_t param = 0) {
        Session()->SetAction(PROC_HOSTPILOT, PROC_SESSION, code, param);
    }
    // In real time: the session's own waits follow the scaled clock.
    bool WaitOver() {
        return Eventually([&] { return host->IsOver(); });
    }
    // Waits until `stage` has started `count` steps with `code`.
    static bool Started(ScriptedStage& stage, int count,
                        std::int32_t code = ScriptedStage::kStepStart) {
        return Eventually([&] { return stage.StepsStarted(code) >= count; });
    }

    FakeServices fakes;
    std::unique_ptr<CHostSession> host;
    std::unique_ptr<ScriptedStage> connect;
    std::unique_ptr<ScriptedStage> admit;
    std::unique_ptr<ScriptedStage> hostSession;

private:
    HostServices table_;
    decltype(&hPilotUseServices) useServices_ = nullptr;
};

}  // namespace farvane::hostpilot::testing
