// The session library stand-in: action delivery on the dispatch thread, the flow stack, slots,
// connection parameters, the transmit queue and loading of a pilot library.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/tick.h"
#include "session/connect_params.h"
#include "suite/fvses32/pilot_library.h"
#include "suite/fvses32/scripted_stage.h"
#include "suite/fvses32/session_core.h"

namespace {

using namespace std::chrono_literals;

template <typename Predicate>
bool Eventually(Predicate done) {
    auto limit = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

constexpr ePROC_ID kPilot = static_cast<ePROC_ID>(7);
constexpr ePROC_ID kStage = static_cast<ePROC_ID>(2);

// A processor that records what it gets and runs a test's reaction.
class Recorder final : public IProcessor {
public:
    struct Entry {
        std::int32_t code;
        std::uint32_t param;
        ePROC_ID source;
        std::int32_t result;
        std::thread::id thread;
    };
    std::function<void(CFVSession*, CAction*)> react;

    int OnAction(CFVSession* session, CAction* action) override {
        {
            std::lock_guard guard(lock_);
            entries_.push_back(Entry{action->Code(), action->Param(), action->SourceProcID(),
                                     session->m_Result, std::this_thread::get_id()});
        }
        if (react) {
            react(session, action);
        }
        return 1;
    }
    std::vector<Entry> Entries() {
        std::lock_guard guard(lock_);
        return entries_;
    }
    std::size_t Count() {
        std::lock_guard guard(lock_);
        return entries_.size();
    }

private:
    std::mutex lock_;
    std::vector<Entry> entries_;
};

class SessionCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        core_ = std::make_unique<CSessionCore>(&session_);
        session_.m_pCore = core_.get();
    }
    void TearDown() override {
        core_->Stop();
        session_.m_pCore = nullptr;
    }
    CFVSession session_;
    std::unique_ptr<CSessionCore> core_;
};

TEST_F(SessionCoreTest, ActionsArriveLaterOnTheDispatchThreadInOrder) {
    Recorder pilot;
    std::atomic<int> depth{0};
    std::atomic<int> deepest{0};
    // An action function that queues an action to itself must not be called again inside.
    pilot.react = [&](CFVSession* session, CAction* action) {
        deepest = std::max(deepest.load(), ++depth);
        if (action->Code() == 600) {
            session->SetAction(kPilot, kPilot, 700, 0);
        }
        --depth;
    };
    core_->SetProcessor(kPilot, &pilot);
    for (std::uint32_t index = 0; index < 20; ++index) {
        ASSERT_EQ(session_.SetAction(kPilot, kStage, 600 + static_cast<int>(index), index), 1);
    }
    ASSERT_TRUE(Eventually([&] { return pilot.Count() == 21; }));
    EXPECT_EQ(deepest, 1);
    // The test's own actions keep their order; the one queued from inside comes after 600.
    std::vector<Recorder::Entry> fromTest;
    bool sawFirst = false;
    for (const auto& entry : pilot.Entries()) {
        EXPECT_NE(entry.thread, std::this_thread::get_id());
        if (entry.code == 700) {
            EXPECT_TRUE(sawFirst);
        } else {
            sawFirst = sawFirst || entry.code == 600;
            fromTest.push_back(entry);
        }
    }
    ASSERT_EQ(fromTest.size(), 20u);
    for (std::uint32_t index = 0; index < 20; ++index) {
        EXPECT_EQ(fromTest[index].code, 600 + static_cast<int>(index));
        EXPECT_EQ(fromTest[index].param, index);
        EXPECT_EQ(fromTest[index].source, kStage);
    }
}

TEST_F(SessionCoreTest, StepDoneReachesThePusherWithTheResult) {
    Recorder pilot;
    Recorder stage;
    stage.react = [](CFVSession* session, CAction* action) {
        if (action->Code() == 3) {
            session->SetRetCode(-2);
            session->PopFlow();
        }
    };
    core_->SetProcessor(kPilot, &pilot);
    core_->SetProcessor(kStage, &stage);
    pilot.react = [&](CFVSession* session, CAction* action) {
        if (action->Code() == 3) {
            EXPECT_EQ(session->WhoHasFlow(), kPilot);
            session->PushFlowAction(kStage, kPilot, 3, 5);
        }
    };
    core_->PushFlow(CAction(kPilot, PROC_SESSION, 3, 0));
    ASSERT_TRUE(Eventually([&] { return pilot.Count() == 2; }));
    auto entries = pilot.Entries();
    EXPECT_EQ(entries[1].code, ACT_STEP_DONE);
    EXPECT_EQ(entries[1].source, kStage);
    EXPECT_EQ(entries[1].result, -2);
    EXPECT_EQ(stage.Entries().at(0).param, 5u);
    EXPECT_EQ(core_->FlowHolder(), kPilot);
    EXPECT_EQ(core_->FlowDepth(), 1u);
    EXPECT_FALSE(core_->IsOver());
}

// A processor that pops while a step it pushed still runs ends both; the stage's later end
// finds no step of its own and changes nothing.
TEST_F(SessionCoreTest, PopEndsTheCallersStepAndTheStepsAboveIt) {
    Recorder pilot;
    ScriptedStage stage(kStage, core_.get());
    stage.SetDefault(3, ScriptedStage::Outcome{0, 0, false});
    core_->SetProcessor(kPilot, &pilot);
    core_->SetProcessor(kStage, &stage);
    pilot.react = [](CFVSession* session, CAction* action) {
        if (action->Code() == 3) {
            session->PushFlowAction(kStage, kPilot, 3, 0);
            session->SetAction(kPilot, kPilot, 608, 0);
        } else if (action->Code() == 608) {
            session->SetRetCode(0);
            session->PopFlow();
        }
    };
    core_->PushFlow(CAction(kPilot, PROC_SESSION, 3, 0));
    ASSERT_TRUE(core_->WaitOver(5000));
    EXPECT_EQ(core_->FlowDepth(), 0u);
    EXPECT_EQ(core_->FlowHolder(), PROC_SESSION);
}

TEST_F(SessionCoreTest, ARepeatedPushToTheHolderReplacesItsStep) {
    core_->PushFlow(CAction(kPilot, PROC_SESSION, 3, 0));
    core_->PushFlow(CAction(kStage, kPilot, 3, 0));
    core_->PushFlow(CAction(kStage, kPilot, 201, 0));
    EXPECT_EQ(core_->FlowDepth(), 2u);
    core_->PushFlow(CAction(kPilot, kStage, 3, 0));  // another pusher: stacked
    EXPECT_EQ(core_->FlowDepth(), 3u);
}

TEST_F(SessionCoreTest, SlotsHoldPointersAndReadZeroUntilSet) {
    EXPECT_EQ(session_.UserData(kPilot), 0u);
    EXPECT_EQ(session_.GlobalProcData(), 0u);
    int record = 0;
    auto address = reinterpret_cast<std::uintptr_t>(&record);
    session_.UserData(kPilot, address);
    session_.GlobalProcData(address + 8);
    EXPECT_EQ(session_.UserData(kPilot), address);  // all 64 bits kept
    EXPECT_EQ(session_.UserData(kStage), 0u);
    EXPECT_EQ(session_.GlobalProcData(), address + 8);
}

TEST_F(SessionCoreTest, ConnectionParametersAreCopiedAndTheirTextsStayTerminated) {
    CONNECT_PARAMS params;
    params.AnswerFlag = 1;
    params.HostKind = 3;
    std::memset(params.ComputerName, 'N', sizeof params.ComputerName);  // no terminator
    session_.SetConnParams(&params);
    CONNECT_PARAMS back;
    session_.GetConnParams(&back);
    EXPECT_EQ(back.AnswerFlag, 1);
    EXPECT_EQ(back.HostKind, 3);
    EXPECT_EQ(std::strlen(back.ComputerName), sizeof back.ComputerName - 1);
    session_.GetConnParams(nullptr);
    session_.SetConnParams(nullptr);
}

class CapturingSink final : public CByteQueueSink {
public:
    int MoveOut(unsigned char* source, int count) override {
        std::lock_guard guard(lock);
        bytes.insert(bytes.end(), source, source + count);
        return count;
    }
    std::size_t Size() {
        std::lock_guard guard(lock);
        return bytes.size();
    }
    std::mutex lock;
    std::vector<unsigned char> bytes;
};

// Bytes sent between LockTxFill and UnLockTxFill stay together even while another thread
// transmits at the same time.
TEST_F(SessionCoreTest, TransmitKeepsLockedRunsTogether) {
    CapturingSink sink;
    core_->BindTransmitSink(&sink);
    std::thread other([&] {
        for (int round = 0; round < 200; ++round) {
            unsigned char byte = 0xEE;
            session_.Transmit(&byte, 1, 0);
        }
    });
    for (int round = 0; round < 200; ++round) {
        unsigned char header[6] = {0x1B, 0x55, 1, 0, 1, 0};
        unsigned char body = 2;
        session_.LockTxFill(0);
        EXPECT_EQ(session_.Transmit(header, 6, 0), 6);
        EXPECT_EQ(session_.Transmit(&body, 1, 0), 1);
        session_.UnLockTxFill(0);
    }
    other.join();
    ASSERT_TRUE(Eventually([&] { return sink.Size() == 200 * 8; }));
    std::lock_guard guard(sink.lock);
    for (std::size_t at = 0; at < sink.bytes.size();) {
        if (sink.bytes[at] == 0xEE) {
            ++at;
            continue;
        }
        ASSERT_LE(at + 7, sink.bytes.size());
        const unsigned char expected[7] = {0x1B, 0x55, 1, 0, 1, 0, 2};
        ASSERT_EQ(std::memcmp(&sink.bytes[at], expected, 7), 0) << "at " << at;
        at += 7;
    }
    EXPECT_EQ(session_.Transmit(nullptr, 3, 0), 0);
    EXPECT_EQ(session_.Transmit("x", 0, 0), 0);
}

// A sink that takes nothing until it is opened, then takes at most `slice` bytes a call.
class GatedSink final : public CByteQueueSink {
public:
    explicit GatedSink(int slice) : slice_(slice) {}
    int MoveOut(unsigned char* source, int count) override {
        if (!open_.load()) {
            std::this_thread::sleep_for(1ms);
            return 0;
        }
        std::lock_guard guard(lock_);
        int taken = std::min(count, slice_);
        bytes_.insert(bytes_.end(), source, source + taken);
        return taken;
    }
    void Open() { open_.store(true); }
    std::vector<unsigned char> Bytes() {
        std::lock_guard guard(lock_);
        return bytes_;
    }

private:
    int slice_;
    std::atomic<bool> open_{false};
    std::mutex lock_;
    std::vector<unsigned char> bytes_;
};

// A connection that takes nothing for longer than a queue write waits (5 s of the kernel
// layer's clock) must not cost a byte: Transmit waits while the session stands, and every byte
// arrives once the connection moves again, in order.
TEST(TransmitBackPressure, AStalledConnectionMakesTheWriterWaitAndLosesNothing) {
    KernelSetTimeScale(100);  // 5 s of kernel time pass in 50 ms
    CFVSession session;
    CSessionCore core(&session);
    session.m_pCore = &core;
    core.SetConnected(true);
    GatedSink sink(7000);
    std::atomic<std::size_t> onItsWay{1000};  // what the connection says it still carries
    core.BindTransmitSink(&sink, [&] { return onItsWay.load(); });
    std::vector<unsigned char> stream(3 * CSessionCore::kTransmitQueueCapacity);
    for (std::size_t at = 0; at < stream.size(); ++at) {
        stream[at] = static_cast<unsigned char>(at * 13 + at / 509);
    }
    std::atomic<int> sent{-1};
    std::thread writer(
        [&] { sent.store(session.Transmit(stream.data(), static_cast<int>(stream.size()), 0)); });
    // Several of the queue's 5 s waits go by with the connection stalled.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(sent.load(), -1) << "Transmit gave up on a stalled connection";
    // The backlog is the full queue and what the connection carries.
    EXPECT_EQ(session.TransmitBacklog(), CSessionCore::kTransmitQueueCapacity + 1000u);
    sink.Open();
    writer.join();
    EXPECT_EQ(sent.load(), static_cast<int>(stream.size()));
    ASSERT_TRUE(Eventually([&] { return sink.Bytes().size() == stream.size(); }));
    EXPECT_TRUE(sink.Bytes() == stream);
    EXPECT_EQ(session.TransmitBacklog(), 1000u);
    onItsWay = 0;
    EXPECT_EQ(session.TransmitBacklog(), 0u);
    core.BindTransmitSink(nullptr);
    KernelSetTimeScale(1);
}

// When the connection goes while the writer waits, Transmit returns with what it took.
TEST(TransmitBackPressure, AWriterWaitingOnAConnectionThatGoesReturnsAShortCount) {
    KernelSetTimeScale(100);
    CFVSession session;
    CSessionCore core(&session);
    session.m_pCore = &core;
    core.SetConnected(true);
    GatedSink sink(7000);
    core.BindTransmitSink(&sink);
    std::vector<unsigned char> stream(2 * CSessionCore::kTransmitQueueCapacity, 0x5A);
    std::atomic<int> sent{-1};
    std::thread writer(
        [&] { sent.store(session.Transmit(stream.data(), static_cast<int>(stream.size()), 0)); });
    std::this_thread::sleep_for(100ms);
    core.SetConnected(false);
    ASSERT_TRUE(Eventually([&] { return sent.load() >= 0; }));
    writer.join();
    EXPECT_EQ(sent.load(), CSessionCore::kTransmitQueueCapacity);
    core.BindTransmitSink(nullptr);
    KernelSetTimeScale(1);
}

TEST(SessionWithoutCore, OperationsDoNothing) {
    CFVSession session;
    EXPECT_EQ(session.SetAction(kPilot, kPilot, 1, 0), 0);
    EXPECT_EQ(session.PopFlow(), 0);
    EXPECT_EQ(session.UserData(kPilot), 0u);
    EXPECT_EQ(session.GetIsConnected(), 0);
    EXPECT_EQ(session.Transmit("abc", 3, 0), 0);
    EXPECT_EQ(session.TransmitBacklog(), 0u);
}

TEST(ScriptedStageTest, EndsStepsWithScriptedResultsAfterScaledDelays) {
    KernelSetTimeScale(1000);
    CFVSession session;
    auto core = std::make_unique<CSessionCore>(&session);
    session.m_pCore = core.get();
    Recorder pilot;
    ScriptedStage stage(kStage, core.get());
    stage.TrackConnection(true);
    stage.Script(3, {{-2, 30000, true}, {0, 0, true}});
    core->SetProcessor(kPilot, &pilot);
    core->SetProcessor(kStage, &stage);
    pilot.react = [](CFVSession* s, CAction* action) {
        if (action->Code() == 3 || (action->Code() == ACT_STEP_DONE && s->m_Result != 0)) {
            s->PushFlowAction(kStage, kPilot, 3, 0);
        }
    };
    core->PushFlow(CAction(kPilot, PROC_SESSION, 3, 0));
    ASSERT_TRUE(Eventually([&] { return pilot.Count() == 3; }));
    auto entries = pilot.Entries();
    EXPECT_EQ(entries[1].result, -2);
    EXPECT_EQ(entries[2].result, 0);
    EXPECT_EQ(session.GetIsConnected(), 1);
    EXPECT_EQ(stage.StepsStarted(3), 2);
    core->Stop();
    session.m_pCore = nullptr;
    KernelSetTimeScale(1);
}

TEST(PilotLibraryTest, MissingLibraryOrFunctionIsAClearError) {
    std::string error;
    EXPECT_EQ(PilotLibrary::Load("/nonexistent/libnothing.so", "hPilotActionFunc", &error),
              nullptr);
    EXPECT_NE(error.find("libnothing"), std::string::npos);
    error.clear();
    EXPECT_EQ(PilotLibrary::Load("libc.so.6", "hPilotActionFunc", &error), nullptr);
    EXPECT_NE(error.find("hPilotActionFunc"), std::string::npos);
}

}  // namespace
