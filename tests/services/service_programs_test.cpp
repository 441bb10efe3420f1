// The three service programs as a user starts them: switches, the missing session file, the
// instance limits, the end event, the exit notification. Each program runs as a process of its
// own on the headless backend; the stand-in managers report their construction on a
// notification channel and end their session when the end event is signalled.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/kernel/notification.h"
#include "platform/kernel/synch.h"
#include "session/session_end_event.h"
#include "suite/fvcomm32/fvcomm32.h"
#include "tests/services/program_runner.h"

namespace farvane::services::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kReportChannel = "svcmgr-report";
// A gateway whose ports the system chooses, so that gateways of parallel tests never meet.
constexpr const char* kGatewayFile = "[Hosts]\nPort=0\n[Viewers]\nPort=0\n";

class ServiceProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("FARVANE_RUNTIME_DIR", folder_.path().c_str(), 1);
        reports_ = NotificationListen(kReportChannel);
        exits_ = NotificationListen(kProgramExitChannel);
        ASSERT_NE(reports_, nullptr);
        ASSERT_NE(exits_, nullptr);
    }
    void TearDown() override {
        NotificationClose(reports_);
        NotificationClose(exits_);
        for (HANDLE event : endEvents_) {
            CloseHandle(event);
        }
    }

    std::unique_ptr<ProgramRun> Start(const std::string& program,
                                      const std::vector<std::string>& args,
                                      std::map<std::string, std::string> env = {}) {
        env["FARVANE_TEST_SVCMGR_REPORT"] = kReportChannel;
        return std::make_unique<ProgramRun>(program, args, folder_.path(), env);
    }
    // The next manager construction: "<class>|<path>|<int>|<int>|<text>".
    std::optional<std::string> NextReport(DWORD timeoutMs = 10000) {
        return Next(reports_, timeoutMs);
    }
    std::optional<std::string> NextExit(DWORD timeoutMs = 10000) { return Next(exits_, timeoutMs); }

    // Signals the session's end event and keeps it open for the rest of the test: an event
    // nobody holds goes away, and the program's worker may not have opened it yet.
    void EndSession(const std::string& path) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(path).c_str());
        ASSERT_NE(event, nullptr);
        SetEvent(event);
        endEvents_.push_back(event);
    }
    std::vector<HANDLE> endEvents_;

    TempFolder folder_;

private:
    static std::optional<std::string> Next(NotificationListener* listener, DWORD timeoutMs) {
        char message[NOTIFICATION_MAX_MESSAGE + 1] = {};
        if (NotificationReceive(listener, message, sizeof message, timeoutMs) <= 0) {
            return std::nullopt;
        }
        return std::string(message);
    }
    NotificationListener* reports_ = nullptr;
    NotificationListener* exits_ = nullptr;
};

TEST_F(ServiceProgramsTest, RemoteSwitchesReachTheManagerAndLeaveThePath) {
    std::string file = folder_.file("host.chf");
    {
        auto run = Start(FVREM32, {"/W", file});
        EXPECT_EQ(NextReport(), "CRemoteSvcMgr|" + file + "|0|0|(null)");
        EndSession(file);
        ASSERT_TRUE(run->WaitForExit());
        EXPECT_EQ(run->ExitCode(), 0);
        EXPECT_EQ(NextExit(), "1 0");
    }
    {
        // Trailing switches: the path is left exactly; /L is the third argument.
        auto run = Start(FVREM32, {file, "/l"});
        EXPECT_EQ(NextReport(), "CRemoteSvcMgr|" + file + "|0|1|(null)");
        EndSession(file);
        ASSERT_TRUE(run->WaitForExit());
        EXPECT_EQ(NextExit(200), std::nullopt);  // no /W, no notification
    }
    {
        // /X takes the rest of the line as its text, and that text stays in the line too: the
        // document is the file named by the path, the blanks and the word.
        std::string named = folder_.file("host.chf   word");
        auto run = Start(FVREM32, {file + " /Xword"});
        EXPECT_EQ(NextReport(), "CRemoteSvcMgr|" + named + "|1|0|word");
        EndSession(named);
        ASSERT_TRUE(run->WaitForExit());
    }
}

TEST_F(ServiceProgramsTest, XTextIsEverythingAfterTheSwitch) {
    std::string file = folder_.file("x.chf");
    auto run = Start(FVREM32, {"/Xjump", "/L", file});
    // The text is copied before /L is blanked; the line left names "jump    <path>", which
    // does not exist, so no manager is made and the remote waits with an empty document.
    EXPECT_EQ(NextReport(1500), std::nullopt);
    EXPECT_NE(run->Errors().find("Cannot find callhost file: jump    " + file), std::string::npos);
    EXPECT_TRUE(run->StillRunning());
}

TEST_F(ServiceProgramsTest, OnlineTakesTheLSwitchAndDropsX) {
    std::string file = folder_.file("desk.osf");
    auto run = Start(FVONL32, {file, "/L", "/X", "/W"});
    EXPECT_EQ(NextReport(), "COnlineSvcMgr|" + file + "|1|0|(null)");
    EndSession(file);
    ASSERT_TRUE(run->WaitForExit());
    EXPECT_EQ(NextExit(), "5 0");
}

TEST_F(ServiceProgramsTest, GatewayAcceptsOnlyW) {
    std::string file = folder_.file("relay.gwf", kGatewayFile);
    auto run = Start(FVGATE, {"/W", file});
    EXPECT_EQ(NextReport(), "CGatewaySvcMgr|" + file + "|0|0|(null)");
    EndSession(file);
    ASSERT_TRUE(run->WaitForExit());
    EXPECT_EQ(NextExit(), "3 0");
    // /L is no switch of the gateway's: it stays in the path, which then names no file, and
    // the gateway has no empty document to fall back to.
    auto second = Start(FVGATE, {file, "/L"});
    ASSERT_TRUE(second->WaitForExit());
    EXPECT_NE(second->Errors().find("Cannot find gateway file: " + file + " /L"),
              std::string::npos);
    EXPECT_EQ(NextReport(100), std::nullopt);
}

TEST_F(ServiceProgramsTest, AGatewayFileThatCannotBeUsedEndsTheGatewaySayingWhy) {
    std::string file = folder_.file("bad.gwf", "[Viewers]\nPort=58970\n[Hosts]\nPort=99999\n");
    auto run = Start(FVGATE, {file, "/W"});
    ASSERT_TRUE(run->WaitForExit());
    EXPECT_NE(run->Errors().find(file + ": [Hosts] Port=99999 is not a port number"),
              std::string::npos)
        << run->Errors();
    EXPECT_EQ(run->Errors().find("message box"), std::string::npos);  // the gateway shows none
    EXPECT_EQ(NextExit(), "3 0");
}

TEST_F(ServiceProgramsTest, OnlySwitchesGiveAnEmptyDocumentAndNoSession) {
    auto run = Start(FVONL32, {"/W", "/L"});
    EXPECT_EQ(NextReport(1000), std::nullopt);
    EXPECT_TRUE(run->StillRunning());
    EXPECT_EQ(run->Errors(), "");
}

TEST_F(ServiceProgramsTest, MissingSessionFilesAreReportedWithTheModulesText) {
    std::string missing = folder_.path() + "/none.chf";
    auto remote = Start(FVREM32, {missing});
    auto online = Start(FVONL32, {missing});
    auto gateway = Start(FVGATE, {missing});
    // The gateway has no document to fall back to and ends; the others wait, idle.
    ASSERT_TRUE(gateway->WaitForExit());
    EXPECT_NE(
        gateway->Errors().find("message box [fvhost32]: Cannot find gateway file: " + missing),
        std::string::npos);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(remote->StillRunning());
    EXPECT_TRUE(online->StillRunning());
    EXPECT_NE(
        remote->Errors().find("message box [fvhost32]: Cannot find callhost file: " + missing),
        std::string::npos);
    EXPECT_NE(online->Errors().find("message box [fvhost32]: Cannot find OnlSvc file: " + missing),
              std::string::npos);
}

TEST_F(ServiceProgramsTest, ManagerCreationFailureShowsTheBoxAndEnds) {
    std::string file = folder_.file("host.chf");
    std::map<std::string, std::string> failing{{"FARVANE_TEST_SVCMGR_FAIL", "1"}};
    auto remote = Start(FVREM32, {file}, failing);
    auto gateway = Start(FVGATE, {file}, failing);
    ASSERT_TRUE(remote->WaitForExit());
    ASSERT_TRUE(gateway->WaitForExit());
    EXPECT_NE(remote->Errors().find("message box [fvrem32]: Error creating CRemoteSvcMgr"),
              std::string::npos);
    EXPECT_EQ(gateway->Errors(), "");  // the gateway shows no box
}

TEST_F(ServiceProgramsTest, EleventhRemoteEndsAtOnceAndTheOthersKeepTheirSessions) {
    std::vector<std::unique_ptr<ProgramRun>> runs;
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) {
        files.push_back(folder_.file("host" + std::to_string(i) + ".chf"));
        runs.push_back(Start(FVREM32, {files.back()}));
        ASSERT_TRUE(NextReport()) << "instance " << i;
    }
    auto eleventh = Start(FVREM32, {folder_.file("one-more.chf"), "/W"});
    ASSERT_TRUE(eleventh->WaitForExit());
    EXPECT_EQ(eleventh->ExitCode(), 1);
    EXPECT_EQ(eleventh->Errors(), "");  // silently
    EXPECT_EQ(NextReport(200), std::nullopt);
    for (auto& run : runs) {
        EXPECT_TRUE(run->StillRunning());
    }
    // A killed instance gives its unit back: the next one starts.
    runs[3]->Kill();
    auto replacement = Start(FVREM32, {files[3]});
    EXPECT_EQ(NextReport(), "CRemoteSvcMgr|" + files[3] + "|0|0|(null)");
    EXPECT_TRUE(replacement->StillRunning());
}

TEST_F(ServiceProgramsTest, SecondGatewayEndsAtOnceAndTheFirstKeepsItsSession) {
    std::string file = folder_.file("relay.gwf", kGatewayFile);
    auto first = Start(FVGATE, {file});
    ASSERT_TRUE(NextReport());
    auto second = Start(FVGATE, {folder_.file("other.gwf"), "/W"});
    ASSERT_TRUE(second->WaitForExit(3s));
    EXPECT_EQ(NextReport(200), std::nullopt);
    EXPECT_TRUE(first->StillRunning());
    // The gateway reads its switches after the semaphore: the second never saw its /W.
    EXPECT_EQ(NextExit(200), std::nullopt);
    first->Kill();
    auto third = Start(FVGATE, {file});
    EXPECT_TRUE(NextReport());
}

TEST_F(ServiceProgramsTest, ProgramsOnOnePathShareTheEndEvent) {
    // Backslashes become blanks in the event's name.
    std::string file = folder_.file("a\\b\\c.chf");
    auto remote = Start(FVREM32, {file});
    auto online = Start(FVONL32, {file});
    ASSERT_TRUE(NextReport());
    ASSERT_TRUE(NextReport());
    EXPECT_EQ(SessionEndEventName(file), folder_.path() + "/a b c.chf");
    EndSession(file);
    EXPECT_TRUE(remote->WaitForExit());
    EXPECT_TRUE(online->WaitForExit());
}

TEST_F(ServiceProgramsTest, SessionEndedByTheLibraryClosesTheProgram) {
    std::string file = folder_.file("host.chf");
    auto run = Start(FVREM32, {file, "/W"}, {{"FARVANE_TEST_SVCMGR_END_MS", "200"}});
    ASSERT_TRUE(NextReport());
    ASSERT_TRUE(run->WaitForExit());
    EXPECT_EQ(run->ExitCode(), 0);
    EXPECT_EQ(NextExit(), "1 0");
    // Its unit came back: ten more can start.
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (int i = 0; i < 10; ++i) {
        runs.push_back(Start(FVREM32, {file}));
        ASSERT_TRUE(NextReport()) << "instance " << i;
    }
}

}  // namespace
}  // namespace farvane::services::testing
