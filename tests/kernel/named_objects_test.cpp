#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "helper_process.h"
#include "kernel_test_support.h"
#include "platform/kernel/named_objects.h"
#include "platform/kernel/runtime_dir.h"

using kernel_test::HelperProcess;
using kernel_test::UniqueHandle;

namespace {

// Each test gets a runtime folder of its own, inherited by the helper processes it starts.
class NamedObjects : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/farvane-kernel-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("FARVANE_RUNTIME_DIR", (folder_ + "/runtime").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("FARVANE_RUNTIME_DIR");
        std::filesystem::remove_all(folder_);
    }

    std::string folder_;
};

// The session end event's name: a session file path with its backslashes turned into blanks.
constexpr const char* kSessionEnd = "C: FV SESSIONS HOST1.SES";

}  // namespace

TEST_F(NamedObjects, EventIsSharedByNameWhileSomeoneHasItOpen) {
    SetLastError(ERROR_ALREADY_EXISTS);
    UniqueHandle first(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // A second create keeps the state and says that the event existed.
    UniqueHandle second(CreateEventA(nullptr, TRUE, TRUE, kSessionEnd));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(second.get(), 0), WAIT_TIMEOUT);
    UniqueHandle opened(OpenEventA(EVENT_ALL_ACCESS, FALSE, kSessionEnd));
    ASSERT_TRUE(SetEvent(opened.get()));
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), WAIT_OBJECT_0) << "manual reset";
    first.reset();
    second.reset();
    opened.reset();
    // Once nobody has it open it is gone, and a new create starts afresh.
    EXPECT_EQ(OpenEventA(EVENT_ALL_ACCESS, FALSE, kSessionEnd), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    UniqueHandle fresh(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(fresh.get(), 0), WAIT_TIMEOUT);
}

TEST_F(NamedObjects, RefusesWhatIsNotSupported) {
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "auto"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "mutex"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateSemaphoreA(nullptr, 1, kMaximumNamedSemaphoreCount + 1, "big"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, "shared name"));
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "shared name"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(NamedObjects, NamesStayInsideTheRuntimeFolder) {
    const std::string runtime = KernelRuntimeDirectory();
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, "../../escape/..\\x"));
    ASSERT_NE(event, nullptr);
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        EXPECT_EQ(entry.path().string(), runtime);
    }
}

TEST_F(NamedObjects, SemaphoreCountsUnitsOfThisProcess) {
    // The creator holds maximum - initial units.
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 1, 2, "FVREM327_SEMAPHORE"));
    ASSERT_NE(semaphore, nullptr);
    UniqueHandle again(CreateSemaphoreA(nullptr, 2, 2, "FVREM327_SEMAPHORE"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(again.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
    LONG previous = -1;
    ASSERT_TRUE(ReleaseSemaphore(semaphore.get(), 2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(ReleaseSemaphore(semaphore.get(), 1, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
}

TEST_F(NamedObjects, WaitMixesNamedAndUnnamedHandles) {
    UniqueHandle local(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle shared(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    UniqueHandle unit(CreateSemaphoreA(nullptr, 0, 1, "unit"));
    HANDLE handles[3] = {local.get(), shared.get(), unit.get()};
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_TIMEOUT);
    std::thread setter([&] {
        kernel_test::LetThreadsBlock();
        SetEvent(local.get());
    });
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, INFINITE), WAIT_OBJECT_0);
    setter.join();
    ASSERT_TRUE(ReleaseSemaphore(unit.get(), 1, nullptr));
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, INFINITE), WAIT_OBJECT_0 + 2);
    // A wait for all takes the unit only together with the rest.
    ASSERT_TRUE(ReleaseSemaphore(unit.get(), 1, nullptr));
    EXPECT_EQ(WaitForMultipleObjects(3, handles, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(shared.get());
    SetEvent(local.get());
    EXPECT_EQ(WaitForMultipleObjects(3, handles, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(unit.get(), 0), WAIT_TIMEOUT);
}

TEST_F(NamedObjects, TerminateThreadEndsAPollingWait) {
    UniqueHandle shared(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    std::atomic<DWORD> result{0};
    UniqueHandle thread(kernel_test::StartThread([&] {
        result = WaitForSingleObject(shared.get(), INFINITE);
        return DWORD{0};
    }));
    kernel_test::LetThreadsBlock();
    ASSERT_TRUE(TerminateThread(thread.get(), 0xFFFFFFFFu));
    EXPECT_EQ(result, WAIT_FAILED);
}

TEST_F(NamedObjects, AnotherProcessSetsTheEvent) {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    HelperProcess helper({"set-event", kSessionEnd});
    ASSERT_TRUE(helper.Started());
    EXPECT_EQ(WaitForSingleObject(event.get(), INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(helper.Wait(), 0);
}

TEST_F(NamedObjects, AnotherProcessWakesWhenTheEventIsSet) {
    HelperProcess helper({"wait-event", kSessionEnd, "60000"});
    ASSERT_EQ(helper.ReadLine(), "waiting");
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, kSessionEnd));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(SetEvent(event.get()));
    EXPECT_EQ(helper.Wait(), 0);
}

TEST_F(NamedObjects, InstanceLimitRefusesAThirdAndRecoversAKilledHolder) {
    HelperProcess first({"take-unit", "FVGATE327_SEMAPHORE", "2"});
    HelperProcess second({"take-unit", "FVGATE327_SEMAPHORE", "2"});
    ASSERT_EQ(first.ReadLine(), "held");
    ASSERT_EQ(second.ReadLine(), "held");
    HelperProcess third({"take-unit", "FVGATE327_SEMAPHORE", "2"});
    EXPECT_EQ(third.ReadLine(), "refused");
    EXPECT_EQ(third.Wait(), 1);
    UniqueHandle semaphore(CreateSemaphoreA(nullptr, 2, 2, "FVGATE327_SEMAPHORE"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
    // The kernel unlocks a killed holder's slot: its unit comes back.
    first.Kill();
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
}
