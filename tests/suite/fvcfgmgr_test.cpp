#include "suite/fvcfgmgr/fvcfgmgr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "suite/fvcfgmgr/options_file.h"

namespace {

using farvane::suite::ParseOptions;

TEST(OptionsFile, ReadsNumberedValuesOfTheOptionsSectionOnly) {
    auto options = ParseOptions(
        "[Other]\n10=7\n"
        "[ options ]\r\n"
        "; a comment\n"
        " 10 = 1 \n"
        "11=0x1F\n"
        "12=-5\n"
        "# another comment\n"
        "13=0x\n"
        "14=12abc\n"
        "abc=3\n"
        "-1=3\n"
        "15\n"
        "10=2\n"
        "[Next]\n16=1\n");
    EXPECT_EQ(options.size(), 3u);
    EXPECT_EQ(options[10], 2);  // the later line wins
    EXPECT_EQ(options[11], 0x1F);
    EXPECT_EQ(options[12], -5);
    EXPECT_EQ(options.count(16), 0u);
}

TEST(OptionsFile, OddInputIsSkippedNotMisread) {
    EXPECT_TRUE(ParseOptions("").empty());
    EXPECT_TRUE(ParseOptions("[Options").empty());
    EXPECT_TRUE(ParseOptions("[Options]\n1=99999999999999999999999\n").empty());
    EXPECT_TRUE(ParseOptions("[Options]\n1=0x-1\n99999999999=1\n").empty());
    EXPECT_EQ(ParseOptions("[Options]\n1=0xFFFFFFFF").at(1), 0xFFFFFFFFLL);
}

class Configuration : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fvcfgmgr-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        std::ofstream(dir_ + "/" + FV_OPTIONS_FILE_NAME)
            << "[Options]\n10=1\n20=300\n21=-1\n22=0x123456789\n";
    }
    void TearDown() override {
        FVConfigFilesTerminate(0, 0);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string dir_;
};

TEST_F(Configuration, OptionsComeFromTheOpenDirectory) {
    ASSERT_EQ(FVConfigFilesInit(dir_.c_str(), dir_.c_str()), 1);
    std::int32_t value = 0;
    EXPECT_EQ(FVRegGetOptionValue(10, 4, &value, 0), 1);
    EXPECT_EQ(value, 1);
    std::int16_t narrow = 0;
    EXPECT_EQ(FVRegGetOptionValue(20, 2, &narrow, 0), 1);
    EXPECT_EQ(narrow, 300);
    std::int32_t negative = 0;
    EXPECT_EQ(FVRegGetOptionValue(21, 4, &negative, 0), 1);
    EXPECT_EQ(negative, -1);
    std::int64_t wide = 0;
    EXPECT_EQ(FVRegGetOptionValue(22, 8, &wide, 0), 1);
    EXPECT_EQ(wide, 0x123456789LL);
}

TEST_F(Configuration, DefaultsWhenClosedMissingOrTooWide) {
    std::int32_t value = 99;
    EXPECT_EQ(FVRegGetOptionValue(10, 4, &value, 7), 0);  // not open yet
    EXPECT_EQ(value, 7);

    ASSERT_EQ(FVConfigFilesInit(dir_.c_str(), nullptr), 1);
    EXPECT_EQ(FVRegGetOptionValue(99, 4, &value, 5), 0);
    EXPECT_EQ(value, 5);
    std::uint8_t small = 0;
    EXPECT_EQ(FVRegGetOptionValue(20, 1, &small, 4), 0);  // 300 does not fit in a byte
    EXPECT_EQ(small, 4);
    std::int32_t wide = 0;
    EXPECT_EQ(FVRegGetOptionValue(22, 4, &wide, 3), 0);
    EXPECT_EQ(wide, 3);

    EXPECT_EQ(FVRegGetOptionValue(10, 3, &value, 0), -1);
    EXPECT_EQ(FVRegGetOptionValue(10, 4, nullptr, 0), -1);

    EXPECT_EQ(FVConfigFilesTerminate(0, 0), 1);
    EXPECT_EQ(FVConfigFilesTerminate(0, 0), 0);
    EXPECT_EQ(FVRegGetOptionValue(10, 4, &value, 8), 0);
    EXPECT_EQ(value, 8);
}

TEST_F(Configuration, ADirectoryWithoutAnOptionsFileGivesDefaults) {
    EXPECT_EQ(FVConfigFilesInit("", ""), 0);
    EXPECT_EQ(FVConfigFilesInit(nullptr, nullptr), 0);
    ASSERT_EQ(FVConfigFilesInit("/nonexistent/dir/", nullptr), 1);
    std::int32_t value = 0;
    EXPECT_EQ(FVRegGetOptionValue(10, 4, &value, 6), 0);
    EXPECT_EQ(value, 6);
}

}  // namespace
