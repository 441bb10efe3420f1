// fvscan: its picture reader, its command line, and runs of the program whose output the
// decoder turns back into the picture.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "decoded_screen.h"
#include "image_file.h"
#include "options.h"

namespace {

namespace fs = std::filesystem;
using scantest::Bytes;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(PpmReader, ReadsBinaryAndPlainPictures) {
    fvscan::RgbImage image;
    std::string error;
    Bytes binary = Text("P6\n# a comment\n2 1\n255\n");
    binary.insert(binary.end(), {0xFF, 0x00, 0x10, 0x01, 0x02, 0x03});
    ASSERT_TRUE(fvscan::ParsePpm(binary.data(), binary.size(), image, error)) << error;
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.rgb, (Bytes{0xFF, 0x00, 0x10, 0x01, 0x02, 0x03}));

    const Bytes plain = Text("P3 1 2 15  15 0 0\n 0 15 7");
    ASSERT_TRUE(fvscan::ParsePpm(plain.data(), plain.size(), image, error)) << error;
    EXPECT_EQ(image.rgb, (Bytes{0xFF, 0x00, 0x00, 0x00, 0xFF, 0x77}));

    Bytes wide = Text("P6 1 1 65535\n");
    wide.insert(wide.end(), {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00});
    ASSERT_TRUE(fvscan::ParsePpm(wide.data(), wide.size(), image, error)) << error;
    EXPECT_EQ(image.rgb, (Bytes{0xFF, 0x80, 0x00}));
}

TEST(PpmReader, RefusesBadPicturesWithAReason) {
    const char* cases[] = {
        "P5 1 1 255\n\x01",        // grey map
        "P6 1 1 255\n\x01\x02",    // cut short
        "P6 0 1 255\n",            // empty
        "P6 16385 1 255\n",        // too wide
        "P6 1 1 0\n\x01\x02\x03",  // no maximum
        "P6 1 1 65536\n",          // maximum too large
        "P6 1 1",                  // header cut short
        "P6 99999999999 1 255\n",  // number too long
        "P3 1 1 255 1 2",          // plain, cut short
        "P3 1 1 9 1 2 10",         // sample above the maximum
    };
    for (const char* text : cases) {
        fvscan::RgbImage image;
        std::string error;
        const Bytes bytes = Text(text);
        EXPECT_FALSE(fvscan::ParsePpm(bytes.data(), bytes.size(), image, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_TRUE(image.rgb.empty()) << text;
    }
}

TEST(FvscanOptions, ParsesAndRefuses) {
    std::string error;
    auto options = fvscan::ParseOptions(
        {"--image", "a.ppm", "--out", "o", "--cap", "0x8011", "--option-word", "32", "--reduced",
         "2", "--compression", "-1", "--cell", "32x8", "--depth", "8p", "--seconds", "1.5"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->capabilities, 0x8011);
    EXPECT_EQ(options->optionWord, 32);
    EXPECT_EQ(options->reducedMode, 2);
    EXPECT_EQ(options->compression, -1);
    EXPECT_EQ(options->cell, (std::pair<unsigned, unsigned>{32, 8}));
    EXPECT_EQ(options->depth, "8p");
    EXPECT_FALSE(options->passes);
    EXPECT_DOUBLE_EQ(*options->seconds, 1.5);

    options = fvscan::ParseOptions({"--display", ":9", "--out", "o"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->passes, 1u);  // one pass unless told
    EXPECT_FALSE(options->compression);

    const std::vector<std::vector<std::string>> bad = {
        {"--out", "o"},
        {"--display", ":1", "--image", "a", "--out", "o"},
        {"--display", ":1"},
        {"--display", ":1", "--out", "o", "--cap", "0x10000"},
        {"--display", ":1", "--out", "o", "--cap", "-1"},
        {"--display", ":1", "--out", "o", "--reduced", "256"},
        {"--display", ":1", "--out", "o", "--cell", "32"},
        {"--display", ":1", "--out", "o", "--passes", "0"},
        {"--display", ":1", "--out", "o", "--seconds", "nan"},
        {"--display", ":1", "--out", "o", "--depth", "12"},
        {"--display", ":1", "--out", "o", "--compression", "x"},
        {"--display", ":1", "--out"},
        {"--display", ":1", "--out", "o", "--fast", "1"},
    };
    for (const auto& arguments : bad) {
        error.clear();
        EXPECT_FALSE(fvscan::ParseOptions(arguments, error));
        EXPECT_FALSE(error.empty());
    }
}

class FvscanRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("fvscan_test_" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    int Run(const std::string& arguments) {
        const std::string line = std::string(FVSCAN_PATH) + " " + arguments + " >" +
                                 (folder_ / "log").string() + " 2>&1";
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Bytes Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path folder_;
};

TEST_F(FvscanRun, RecordsAStreamThatDecodesToThePicture) {
    // 64 x 24 of grid colours in blocks, written as a binary PPM.
    const int width = 64;
    const int height = 24;
    const std::uint8_t levels[] = {0x00, 0x40, 0x80, 0xFF};
    Bytes picture = Text("P6 64 24 255\n");
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.insert(picture.end(), {levels[x / 16], levels[y / 8 + 1], levels[(x + y) % 4]});
        }
    }
    const fs::path image = folder_ / "picture.ppm";
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(picture.data()),
               static_cast<std::streamsize>(picture.size()));
    const fs::path out = folder_ / "stream.bin";
    ASSERT_EQ(Run("--image " + image.string() + " --passes 2 --cap 0x8011 --out " + out.string()),
              0);

    const scantest::DecodedStream decoded = scantest::Decode(Read(out), 0x8011);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_FALSE(decoded.videoRunning);  // the end record closes it
    ASSERT_EQ(decoded.framebuffer.width(), width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
            const videodecode::Rgb wanted = scantest::ExpectedColour(
                RGB(picture[13 + at], picture[14 + at], picture[15 + at]), true, 32, 0);
            ASSERT_EQ(decoded.framebuffer.pixel(x, y), wanted) << x << "," << y;
        }
    }
}

TEST_F(FvscanRun, FailureLeavesTheOldOutputAlone) {
    const fs::path out = folder_ / "stream.bin";
    std::ofstream(out) << "previous";
    const fs::path bad = folder_ / "bad.ppm";
    std::ofstream(bad) << "P6 4 4 255\nshort";
    EXPECT_EQ(Run("--image " + bad.string() + " --out " + out.string()), 1);
    EXPECT_EQ(Read(out), Text("previous"));
    EXPECT_EQ(Run("--image " + (folder_ / "missing.png").string() + " --out " + out.string()), 1);
    EXPECT_EQ(Run("--display nosuch:display:name --out " + out.string()), 1);
    EXPECT_EQ(Run("--cap 1 --out " + out.string()), 2);
    EXPECT_EQ(Read(out), Text("previous"));
    EXPECT_FALSE(fs::exists(folder_ / "stream.bin.fvscan-tmp"));
    for (const auto& entry : fs::directory_iterator(folder_)) {
        EXPECT_NE(entry.path().extension(), ".tmp") << "left a temporary file " << entry.path();
    }
}

}  // namespace
