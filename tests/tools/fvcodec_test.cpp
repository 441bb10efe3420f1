// fvcodec end to end: the program is run as a user runs it, with files on stdin and stdout.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct CodecRun {
    int exit_code;
    Bytes output;
    std::string errors;
};

class Fvcodec : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("fvcodec_test_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    CodecRun Codec(const std::string& arguments, const Bytes& input) {
        const fs::path in = folder_ / "in";
        const fs::path out = folder_ / "out";
        const fs::path err = folder_ / "err";
        std::ofstream(in, std::ios::binary)
            .write(reinterpret_cast<const char*>(input.data()),
                   static_cast<std::streamsize>(input.size()));
        const std::string command = std::string(FVCODEC_PATH) + " " + arguments + " <" +
                                    in.string() + " >" + out.string() + " 2>" + err.string();
        const int status = std::system(command.c_str());
        return CodecRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), [&] {
                            const Bytes text = Slurp(err);
                            return std::string(text.begin(), text.end());
                        }()};
    }

    static Bytes Slurp(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    fs::path folder_;
};

Bytes SomeText() {
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "line " + std::to_string(i % 37) + " of the remote screen\r\n";
    }
    return Bytes(text.begin(), text.end());
}

TEST_F(Fvcodec, ImplodeAndExplodeRoundTrip) {
    const Bytes data = SomeText();
    for (const std::string options : {"", "--ascii", "--dict 2048", "--ascii --dict 4096"}) {
        const CodecRun packed = Codec("implode " + options, data);
        ASSERT_EQ(packed.exit_code, 0) << packed.errors;
        ASSERT_GE(packed.output.size(), 4u);
        EXPECT_LT(packed.output.size(), data.size() / 4);
        EXPECT_EQ(packed.output[0], options.find("--ascii") != std::string::npos ? 1 : 0);
        EXPECT_EQ(packed.output[1], options.find("4096") != std::string::npos   ? 6
                                    : options.find("2048") != std::string::npos ? 5
                                                                                : 4);
        const CodecRun unpacked = Codec("explode", packed.output);
        ASSERT_EQ(unpacked.exit_code, 0) << unpacked.errors;
        EXPECT_EQ(unpacked.output, data);
    }
}

TEST_F(Fvcodec, DeflateAndInflateRoundTrip) {
    const Bytes data = SomeText();
    const CodecRun packed = Codec("deflate", data);
    ASSERT_EQ(packed.exit_code, 0) << packed.errors;
    EXPECT_LT(packed.output.size(), data.size() / 4);
    const CodecRun unpacked = Codec("inflate", packed.output);
    ASSERT_EQ(unpacked.exit_code, 0) << unpacked.errors;
    EXPECT_EQ(unpacked.output, data);
}

TEST_F(Fvcodec, UnrleDecodesTheScannersForm) {
    const CodecRun run =
        Codec("unrle", {0x41, 0xF2, 0x04, 0x42, 0xF3, 0xF4, 0x43, 0xF5, 0xF2, 0xF2});
    ASSERT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_EQ(run.output, (Bytes{0x41, 0x42, 0x42, 0x42, 0x42, 0, 0, 0, 0x43, 0x43, 0x43, 0xFF,
                                 0xFF, 0xFF, 0xF2}));
}

TEST_F(Fvcodec, BadInputFailsWithAMessageAndNoOutput) {
    const Bytes text = SomeText();
    Bytes truncated = Codec("implode", text).output;
    truncated.resize(truncated.size() / 2);
    const CodecRun explode = Codec("explode", truncated);
    EXPECT_EQ(explode.exit_code, 1);
    EXPECT_TRUE(explode.output.empty());
    EXPECT_NE(explode.errors.find("corrupt or truncated"), std::string::npos) << explode.errors;

    const CodecRun unrle = Codec("unrle", {0x10, 0x20, 0xF2, 0x07});
    EXPECT_EQ(unrle.exit_code, 1);
    EXPECT_TRUE(unrle.output.empty());
    EXPECT_NE(unrle.errors.find("offset 2"), std::string::npos) << unrle.errors;

    const CodecRun inflate = Codec("inflate", {0x12, 0x34, 0x56});
    EXPECT_EQ(inflate.exit_code, 1);
    EXPECT_TRUE(inflate.output.empty());
}

TEST_F(Fvcodec, BadArgumentsShowTheUsage) {
    for (const std::string arguments :
         {"", "squash", "implode --dict 3000", "implode --dict", "implode --fast", "unrle -x"}) {
        const CodecRun run = Codec(arguments, {1, 2, 3});
        EXPECT_EQ(run.exit_code, 2) << arguments;
        EXPECT_NE(run.errors.find("usage: fvcodec"), std::string::npos) << arguments;
        EXPECT_TRUE(run.output.empty());
    }
    const CodecRun help = Codec("--help", {});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_FALSE(help.output.empty());
}

}  // namespace
