// fvcodec's rle command: the scanner's run-length coder between standard input and output,
// round-tripping through unrle.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class FvcodecRle : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("fvcodec_rle_" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Runs fvcodec with `command` on `input`; the output, or nothing when it failed.
    bool Run(const std::string& command, const Bytes& input, Bytes& output) {
        const fs::path in = folder_ / "in";
        const fs::path out = folder_ / "out";
        std::ofstream(in, std::ios::binary)
            .write(reinterpret_cast<const char*>(input.data()),
                   static_cast<std::streamsize>(input.size()));
        const std::string line = std::string(FVCODEC_PATH) + " " + command + " <" + in.string() +
                                 " >" + out.string() + " 2>/dev/null";
        const int status = std::system(line.c_str());
        std::ifstream result(out, std::ios::binary);
        output.assign(std::istreambuf_iterator<char>(result), std::istreambuf_iterator<char>());
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    fs::path folder_;
};

TEST_F(FvcodecRle, CodesAndRoundTrips) {
    Bytes coded;
    ASSERT_TRUE(Run("rle", Bytes(241, 0x41), coded));
    EXPECT_EQ(coded, (Bytes{0xF2, 0xF0, 0x41, 0x41}));
    ASSERT_TRUE(Run("rle", Bytes{}, coded));
    EXPECT_TRUE(coded.empty());

    std::mt19937 random(9);
    Bytes input;
    for (int i = 0; i < 5000; ++i) {
        const auto byte = static_cast<std::uint8_t>(random() % 2 ? 0xF2 + random() % 4 : random());
        input.insert(input.end(), 1 + random() % 6, byte);
    }
    ASSERT_TRUE(Run("rle", input, coded));
    Bytes decoded;
    ASSERT_TRUE(Run("unrle", coded, decoded));
    EXPECT_EQ(decoded, input);
    EXPECT_FALSE(Run("rle --fast", input, coded));
}

}  // namespace
