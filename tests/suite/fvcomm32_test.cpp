#include "suite/fvcomm32/fvcomm32.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

class ComputerName : public ::testing::Test {
protected:
    void TearDown() override { FVCommResetComputerName(); }
};

TEST_F(ComputerName, IsTheSystemsHostName) {
    char expected[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(expected, sizeof expected), 0);
    char buffer[256] = {};
    ASSERT_EQ(GetFVComputerName(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, expected);
}

TEST_F(ComputerName, ALongNameIsCutToTheBuffer) {
    FVCommOverrideComputerName("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    char buffer[25];
    std::memset(buffer, 'x', sizeof buffer);
    ASSERT_EQ(GetFVComputerName(buffer, 25), 1);
    EXPECT_STREQ(buffer, "ABCDEFGHIJKLMNOPQRSTUVWX");
}

TEST_F(ComputerName, FailureLeavesAnEmptyBuffer) {
    FVCommOverrideComputerName(nullptr);
    char buffer[25] = "stale";
    EXPECT_EQ(GetFVComputerName(buffer, 25), 0);
    EXPECT_STREQ(buffer, "");

    FVCommOverrideComputerName("HOST");
    EXPECT_EQ(GetFVComputerName(buffer, 1), 0);
    EXPECT_EQ(GetFVComputerName(nullptr, 25), 0);
    EXPECT_EQ(GetFVComputerName(buffer, 0), 0);
}

}  // namespace
