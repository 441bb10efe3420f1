// fvstream: pass boundaries, its command line, and whole runs on stream files.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "options.h"
#include "pass_tracker.h"
#include "stream_builder.h"
#include "stream_report.h"

namespace {

using namespace streamtest;
namespace fs = std::filesystem;

videodecode::FrameInfo frameWithCells(std::vector<std::pair<int, int>> cells, bool start = false) {
    videodecode::FrameInfo frame;
    if (start) {
        frame.records.push_back({});
        frame.records.back().kind = videodecode::RecordKind::VideoStart;
    }
    for (auto [x, y] : cells) {
        videodecode::RecordInfo record;
        record.kind = videodecode::RecordKind::Cell;
        record.x = static_cast<std::uint16_t>(x);
        record.y = static_cast<std::uint16_t>(y);
        frame.records.push_back(record);
    }
    return frame;
}

TEST(PassTracker, APassEndsWhenTheScanStartsOver) {
    fvstream::PassTracker passes;
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({}, true)));
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({{0, 0}, {8, 0}})));
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({{16, 0}, {0, 8}})));  // next row
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({})));                 // palette, cursor
    EXPECT_TRUE(passes.beginsNewPass(frameWithCells({{0, 8}})));  // same cell again: new pass
    EXPECT_EQ(passes.passesEnded(), 1);
    EXPECT_TRUE(passes.beginsNewPass(frameWithCells({{0, 0}})));
    EXPECT_TRUE(passes.beginsNewPass(frameWithCells({}, true)));   // a restart ends a pass
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({}, true)));  // nothing drawn since
    EXPECT_FALSE(passes.beginsNewPass(frameWithCells({{8, 8}})));
    EXPECT_TRUE(passes.passOpen());
    passes.endStream();
    EXPECT_EQ(passes.passesEnded(), 4);
    EXPECT_FALSE(passes.passOpen());
}

TEST(FvstreamOptions, PatternsAndArguments) {
    EXPECT_EQ(fvstream::expandPattern("pass%d.png", 7), "pass7.png");
    EXPECT_EQ(fvstream::expandPattern("p%04d.png", 12), "p0012.png");
    EXPECT_EQ(fvstream::expandPattern("100%%-%3d", 5), "100%-  5");
    EXPECT_EQ(fvstream::expandPattern("pass.png", 1), std::nullopt);
    EXPECT_EQ(fvstream::expandPattern("%d-%d", 1), std::nullopt);
    EXPECT_EQ(fvstream::expandPattern("%s", 1), std::nullopt);
    EXPECT_EQ(fvstream::expandPattern("end%", 1), std::nullopt);

    fvstream::Options options;
    EXPECT_EQ(
        fvstream::parseOptions({"--cap", "0x1091", "-v", "--cursor", "3,-4", "in.bin"}, options),
        std::nullopt);
    EXPECT_EQ(options.capabilityWord, 0x1091);
    EXPECT_TRUE(options.verbose);
    EXPECT_EQ(options.cursorAt, (std::pair<int, int>{3, -4}));
    EXPECT_EQ(options.streamPath, "in.bin");
    for (std::vector<std::string> bad :
         std::vector<std::vector<std::string>>{{},
                                               {"--cap", "70000", "x"},
                                               {"--cap"},
                                               {"--png-each-pass", "p.png", "x"},
                                               {"--frobnicate", "x"},
                                               {"a", "b"},
                                               {"--cursor", "3", "x"}}) {
        fvstream::Options o;
        EXPECT_NE(fvstream::parseOptions(bad, o), std::nullopt) << bad.size();
    }
}

class FvstreamRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("fvstream_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string writeStream(const Bytes& bytes) {
        const std::string path = (dir_ / "stream.bin").string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    int run(std::vector<std::string> arguments) {
        fvstream::Options options;
        auto problem = fvstream::parseOptions(arguments, options);
        EXPECT_EQ(problem, std::nullopt);
        out_.str("");
        err_.str("");
        return fvstream::runReport(options, out_, err_);
    }

    // Two passes over a 4 x 2 screen of two 2 x 2 cells, then a cursor and the end.
    Bytes twoPasses() {
        Bytes palette = paletteFrame4(rampPalette(256));
        return startFrame(4, 2) + palette +
               rawFrame(cell8(0, 0, 2, 2, {1, 1, 1, 1}).encode() +
                        cell8(2, 0, 2, 2, {2, 2, 2, 2}, false).encode()) +
               rawFrame(cell8(2, 0, 2, 2, {3, 3, 3, 3}, false).encode()) +
               rawFrame(noCursorRecord()) + rawFrame(endRecord());
    }

    fs::path dir_;
    std::ostringstream out_;
    std::ostringstream err_;
};

std::vector<std::uint8_t> readPng(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

TEST_F(FvstreamRun, SummarisesFramesAndWritesAPictureForEachPass) {
    const std::string stream = writeStream(twoPasses());
    const std::string pattern = (dir_ / "pass%d.png").string();
    const std::string final = (dir_ / "final.png").string();
    ASSERT_EQ(run({"-v", "--png-each-pass", pattern, "--png", final, stream}), 0) << err_.str();
    const std::string text = out_.str();
    EXPECT_NE(
        text.find("offset 0         video    packed    17 raw    17  raw         video start 1"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("palette  256 entries of 4 bytes"), std::string::npos);
    EXPECT_NE(text.find("cells 2"), std::string::npos);
    EXPECT_NE(text.find("cell (2, 0) 2x2 flags 0x03 rop 0x00CC0020, 8 bpp, rows of 2"),
              std::string::npos)
        << "the summary must not invent rows: this cell's rows are 2 bytes";
    EXPECT_NE(text.find("pass 1 ends"), std::string::npos);
    EXPECT_NE(text.find("pass 2 ends"), std::string::npos);
    EXPECT_NE(text.find("6 frames (5 video, 1 palette), 2 passes"), std::string::npos) << text;

    int width = 0, height = 0;
    auto first = readPng((dir_ / "pass1.png").string(), width, height);
    ASSERT_EQ(first.size(), 4u * 2 * 3);
    EXPECT_EQ(width, 4);
    EXPECT_EQ(height, 2);
    auto palette = rampPalette(256);
    EXPECT_EQ(first[2 * 3], palette[2].red);  // pixel (2, 0) after pass 1
    EXPECT_EQ(first[2 * 3 + 1], palette[2].green);
    auto second = readPng((dir_ / "pass2.png").string(), width, height);
    ASSERT_EQ(second.size(), 4u * 2 * 3);
    EXPECT_EQ(second[2 * 3 + 1], palette[3].green);
    EXPECT_EQ(readPng(final, width, height), second);
    EXPECT_FALSE(fs::exists(dir_ / "pass3.png"));
}

TEST_F(FvstreamRun, ErrorsNameTheOffsetAndLeaveNoPicture) {
    Bytes good = twoPasses();
    Bytes bad = startFrame(4, 2) + rawFrame(cell8(3, 0, 2, 2, {1, 1, 1, 1}).encode());
    const std::string final = (dir_ / "final.png").string();
    std::ofstream(final) << "an older picture";
    ASSERT_EQ(run({"--png", final, writeStream(bad)}), 1);
    EXPECT_NE(err_.str().find("offset 29 (frame at 23, record at 0 of the unpacked frame): "
                              "drawing record: rectangle"),
              std::string::npos)
        << err_.str();
    std::ifstream kept(final);
    std::string content((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "an older picture");

    // Cut short: the end of the file is inside a frame.
    good.resize(good.size() - 3);
    ASSERT_EQ(run({writeStream(good)}), 1);
    EXPECT_NE(err_.str().find("ends inside a frame"), std::string::npos) << err_.str();

    // With --keep-going a bad frame is reported and skipped, and the exit is still 1.
    Bytes skipped = bad + rawFrame(cell8(0, 0, 2, 2, {1, 1, 1, 1}).encode());
    ASSERT_EQ(run({"--keep-going", writeStream(skipped)}), 1);
    EXPECT_NE(out_.str().find("2 frames"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("1 failed"), std::string::npos) << out_.str();

    EXPECT_EQ(run({(dir_ / "missing.bin").string()}), 1);
    EXPECT_NE(err_.str().find("cannot open"), std::string::npos);
    EXPECT_EQ(run({"--png", (dir_ / "no/such/dir.png").string(), writeStream(twoPasses())}), 1);
    EXPECT_NE(err_.str().find("cannot create"), std::string::npos) << err_.str();
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_EQ(entry.path().string().find(".png."), std::string::npos)
            << "left a temporary file " << entry.path();
        EXPECT_NE(entry.path().extension(), ".tmp") << "left a temporary file " << entry.path();
    }
}

}  // namespace
