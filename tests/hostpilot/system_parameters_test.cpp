#include "platform/sysparams/system_parameters.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace farvane::sysparams;

BOOL Active() {
    BOOL active = -1;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    return active;
}

int Timeout() {
    int timeout = -1;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0));
    return timeout;
}

TEST(ScreenSaverInMemory, SetAndGetRoundTrip) {
    UseStore(Store::Memory);
    SetMemorySettings(FALSE, 300);
    EXPECT_EQ(Active(), FALSE);
    EXPECT_EQ(Timeout(), 300);
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_SENDWININICHANGE));
    EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 1, nullptr, SPIF_SENDWININICHANGE));
    EXPECT_EQ(Active(), TRUE);
    EXPECT_EQ(Timeout(), 1);
}

TEST(ScreenSaverInMemory, BadCallsFailWithoutChangingAnything) {
    UseStore(Store::Memory);
    SetMemorySettings(TRUE, 60);
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfoA(9999, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 0x80000000u, nullptr, 0));
    EXPECT_EQ(Timeout(), 60);
}

// Against a real X server: the settings reach the server, and switching the saver off and on
// again keeps the time-out. Runs only where Xvfb is installed.
class ScreenSaverOnX : public ::testing::Test {
protected:
    void SetUp() override {
        if (system("command -v Xvfb >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        display_ = ":" + std::to_string(90 + getpid() % 500);
        server_ = fork();
        if (server_ == 0) {
            // -noreset: the settings are the server's and must outlive each short connection.
            execlp("Xvfb", "Xvfb", display_.c_str(), "-nolisten", "tcp", "-noreset", nullptr);
            _exit(127);
        }
        setenv("DISPLAY", display_.c_str(), 1);
        UseStore(Store::Automatic);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string probe = "xset -display " + display_ + " q >/dev/null 2>&1";
            if (system(probe.c_str()) == 0) {
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        GTEST_SKIP() << "Xvfb did not start";
    }
    void TearDown() override {
        unsetenv("DISPLAY");
        UseStore(Store::Memory);
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    std::string display_;
    pid_t server_ = -1;
};

TEST_F(ScreenSaverOnX, SettingsReachTheServer) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0));
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 120, nullptr, 0));
    EXPECT_EQ(Active(), TRUE);
    EXPECT_EQ(Timeout(), 120);

    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0));
    EXPECT_EQ(Active(), FALSE);
    EXPECT_EQ(Timeout(), 120);  // kept while off
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0));
    EXPECT_EQ(Timeout(), 120);

    // A time-out the protocol cannot carry is refused rather than ending the process.
    EXPECT_FALSE(SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 40000, nullptr, 0));
    EXPECT_EQ(Timeout(), 120);
}

}  // namespace
