// The scanner against the decoder: what the other side shows equals the screen as the
// reduction maps it, at every depth, reduced colour mode and compression mode; changes, palette
// changes, the cache and the cursor go through as they should.
#include <gtest/gtest.h>

#include <set>

#include "decoded_screen.h"
#include "scanner_harness.h"

namespace scantest {
namespace {

using namespace std::chrono_literals;

// Grid colours, silver, colours whose BBBGGRRR byte the system-order palette leaves out (181,
// 221, 253, 254) and colours between the grid levels.
const COLORREF kColours[] = {RGB(0, 0, 0),          RGB(0xFF, 0xFF, 0xFF), RGB(0xFF, 0, 0),
                             RGB(0, 0xFF, 0),       RGB(0, 0, 0xFF),       RGB(0x60, 0x40, 0x20),
                             RGB(0xC0, 0xC0, 0xC0), RGB(0x80, 0x80, 0x80), RGB(0x20, 0x80, 0xA0),
                             RGB(0xFF, 0xFF, 0),    RGB(0xA0, 0x40, 0x80), RGB(0x40, 0xFF, 0x80),
                             RGB(0xA0, 0x80, 0xA0), RGB(0xA0, 0xFF, 0xC0), RGB(0xA0, 0xFF, 0xFF),
                             RGB(0xC0, 0xFF, 0xFF), RGB(0x12, 0x34, 0x56), RGB(0xE7, 0x9B, 0x3D)};
constexpr int kColourCount = sizeof kColours / sizeof kColours[0];

// 128 x 48: 4 x 6 cells of 32 x 8 by default. Cells get a colour each, some repeat, and every
// third cell a line of another colour.
void PaintPattern(farvane::gdi::MemoryDisplay& display, int width, int height, int cellWidth,
                  int cellHeight, int seed) {
    const int columns = width / cellWidth;
    const int rows = height / cellHeight;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int cell = row * columns + column;
            const COLORREF colour = kColours[(cell % 5 == 4 ? 0 : cell * 7 + seed) % kColourCount];
            display.FillRect(column * cellWidth, row * cellHeight, cellWidth, cellHeight, colour);
            if (cell % 3 == 0) {
                display.FillRect(column * cellWidth + 1, row * cellHeight + cellHeight / 2,
                                 cellWidth - 2, 1, kColours[(cell + 3 + seed) % kColourCount]);
            }
        }
    }
}

struct ScreenCase {
    const char* depth;
    BYTE mode;
    const char* compression;  // "" for absent
    WORD capabilities;
    const char* cellWidth = "";
};

std::ostream& operator<<(std::ostream& out, const ScreenCase& c) {
    return out << c.depth << " mode " << int{c.mode} << " compression '" << c.compression
               << "' capabilities " << std::hex << c.capabilities;
}

class EndToEnd : public ::testing::TestWithParam<ScreenCase> {
protected:
    void SetUp() override {
        const ScreenCase& param = GetParam();
        HarnessOptions options;
        options.desktop = MemoryDesktop(kWidth, kHeight, param.depth);
        options.compression = param.compression;
        options.reducedMode = param.mode;
        options.cellWidth = param.cellWidth;
        harness_ = std::make_unique<ScannerHarness>(options);
        scanner_ = harness_->Start();
        coveredWidth_ = scanner_->Columns() * scanner_->CellWidth();
        coveredHeight_ = scanner_->Rows() * scanner_->CellHeight();
        PaintPattern(*harness_->display(), kWidth, kHeight, scanner_->CellWidth(),
                     scanner_->CellHeight(), 0);
        harness_->AllowVideo();
        harness_->RequestBitmaps(param.capabilities);
    }

    // The first pass decodes to the screen as the reduction maps it; a change inside one cell
    // sends that cell only.
    void ShowsTheScreenAndThenOnlyChangedCells();

    DecodedStream DecodeAll() { return Decode(harness_->Transmitted(), GetParam().capabilities); }

    // Waits until the decoded picture equals the expected one.
    bool Converges() {
        const auto expected =
            ExpectedScreen(*harness_->display(), GetParam().mode, coveredWidth_, coveredHeight_);
        DecodedStream decoded;
        const bool same = ScannerHarness::Eventually([&] {
            decoded = DecodeAll();
            return decoded.ok &&
                   Covered(decoded.framebuffer, coveredWidth_, coveredHeight_) == expected;
        });
        if (!same) {
            ADD_FAILURE() << "decoded picture differs; decoder: "
                          << (decoded.ok ? "ok" : decoded.error);
        }
        return same;
    }

    static constexpr int kWidth = 128;
    static constexpr int kHeight = 48;
    std::unique_ptr<ScannerHarness> harness_;
    ScannerProbe* scanner_ = nullptr;
    int coveredWidth_ = 0;
    int coveredHeight_ = 0;
};

// Cell records (with pixels or from the cache) in frames that start at or after `from`.
std::vector<videodecode::RecordInfo> CellRecordsFrom(const DecodedStream& decoded,
                                                     std::uint64_t from) {
    std::vector<videodecode::RecordInfo> cells;
    for (const auto& frame : decoded.frames) {
        if (frame.offset < from) {
            continue;
        }
        for (const auto& record : frame.records) {
            if (record.kind == videodecode::RecordKind::Cell ||
                record.kind == videodecode::RecordKind::CacheDraw) {
                cells.push_back(record);
            }
        }
    }
    return cells;
}

void EndToEnd::ShowsTheScreenAndThenOnlyChangedCells() {
    ASSERT_TRUE(Converges());
    harness_->WaitQuiet(60ms);
    const std::uint64_t before = harness_->TransmittedSize();

    // Change the inside of one cell (column 1, row 2).
    const int x = scanner_->CellWidth() + 2;
    const int y = 2 * scanner_->CellHeight() + 1;
    harness_->display()->FillRect(x, y, 3, 2, RGB(0xFF, 0xFF, 0xFF));
    harness_->display()->FillRect(x + 3, y, 2, 2, RGB(0, 0, 0));
    ASSERT_TRUE(Converges());
    harness_->WaitQuiet(60ms);
    const auto cells = CellRecordsFrom(DecodeAll(), before);
    ASSERT_FALSE(cells.empty());
    for (const auto& record : cells) {
        EXPECT_EQ(record.x, scanner_->CellWidth());
        EXPECT_EQ(record.y, 2 * scanner_->CellHeight());
    }
}

TEST_P(EndToEnd, FirstPassShowsTheScreenAndChangesSendOnlyTheirCells) {
    ShowsTheScreenAndThenOnlyChangedCells();
}

TEST_P(EndToEnd, PaletteChangeResendsEveryCellOnce) {
    ASSERT_TRUE(Converges());
    harness_->WaitQuiet(60ms);
    const std::uint64_t before = harness_->TransmittedSize();
    scanner_->PaletteChanged();
    scanner_->PaletteChanged();  // two changes within a pass: one palette frame
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        return CellRecordsFrom(DecodeAll(), before).size() >=
               static_cast<std::size_t>(scanner_->Columns() * scanner_->Rows());
    }));
    harness_->WaitQuiet(100ms);
    const DecodedStream decoded = DecodeAll();
    int palettes = 0;
    for (const auto& frame : decoded.frames) {
        palettes += frame.offset >= before && frame.kind == videodecode::FrameKind::Palette;
    }
    EXPECT_EQ(palettes, 1);
    std::set<std::pair<int, int>> seen;
    for (const auto& record : CellRecordsFrom(decoded, before)) {
        EXPECT_TRUE(seen.insert({record.x, record.y}).second) << record.x << "," << record.y;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(scanner_->Columns() * scanner_->Rows()));
    ASSERT_TRUE(Converges());
}

TEST_P(EndToEnd, EndRecordStopsTheVideo) {
    ASSERT_TRUE(Converges());
    harness_->Stop();
    const DecodedStream decoded = DecodeAll();
    EXPECT_TRUE(decoded.ok) << decoded.error;
    EXPECT_FALSE(decoded.videoRunning);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, EndToEnd,
    ::testing::Values(
        // Palette and low depths with reduced colour modes 0 to 3 (raw frames), and one
        // reduced mode per true-colour depth (TrueColourEndToEnd covers every combination).
        ScreenCase{"8p", 0, "0", 0}, ScreenCase{"8p", 1, "0", 0}, ScreenCase{"8p", 2, "0", 0},
        ScreenCase{"8p", 3, "0", 0}, ScreenCase{"8", 0, "0", 0}, ScreenCase{"8", 2, "0", 0},
        ScreenCase{"4", 0, "0", 0}, ScreenCase{"1", 0, "0", 0}, ScreenCase{"15", 2, "0", 0},
        ScreenCase{"16", 1, "0", 0}, ScreenCase{"24", 0, "0", 0}, ScreenCase{"32", 3, "0", 0},
        // Each compression mode, with and without a cache and the 4-byte palette form.
        ScreenCase{"32", 0, "1", 0x0001}, ScreenCase{"32", 0, "2", 0x1002},
        ScreenCase{"32", 0, "", 0x0010}, ScreenCase{"32", 0, "", 0x8011},
        ScreenCase{"32", 0, "0x12", 0x0090}, ScreenCase{"16", 1, "", 0x1010},
        ScreenCase{"8p", 3, "3", 0x0082}, ScreenCase{"24", 2, "1", 0x8021},
        // Odd cell widths: rows with filler bytes at 8 and 24 bits per pixel.
        ScreenCase{"24", 0, "0", 0, "13"}, ScreenCase{"24", 3, "", 0x0010, "13"},
        ScreenCase{"8p", 0, "1", 0x0001, "13"}, ScreenCase{"8p", 1, "0", 0, "13"},
        ScreenCase{"4", 0, "0", 0, "13"}));

// Every true-colour depth in every reduced colour mode and every compression mode.
class TrueColourEndToEnd : public EndToEnd {};

TEST_P(TrueColourEndToEnd, DecodedPictureIsTheReducedScreen) {
    ShowsTheScreenAndThenOnlyChangedCells();
}

std::vector<ScreenCase> TrueColourCases() {
    struct Compression {
        const char* option;
        WORD capabilities;
    };
    // Raw, run-length, implode (with the 4-byte palette form), deflate.
    const Compression compressions[] = {{"0", 0}, {"1", 0x0001}, {"2", 0x1002}, {"", 0x0010}};
    std::vector<ScreenCase> cases;
    for (const char* depth : {"15", "16", "24", "32"}) {
        for (BYTE mode = 0; mode <= 3; ++mode) {
            for (const Compression& compression : compressions) {
                cases.push_back(
                    ScreenCase{depth, mode, compression.option, compression.capabilities});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryMode, TrueColourEndToEnd, ::testing::ValuesIn(TrueColourCases()));

// The cache: cells that repeat go out as references.
TEST(EndToEndCache, RepeatedCellsAreDrawnFromTheCache) {
    HarnessOptions options;
    options.desktop = MemoryDesktop(128, 48, "32");
    options.compression = "0";
    ScannerHarness harness(options);
    harness.display()->FillRect(0, 0, 128, 48, RGB(0, 0, 0xFF));
    harness.display()->FillRect(0, 0, 32, 8, RGB(0xFF, 0, 0));
    ScannerProbe* scanner = harness.Start();
    harness.AllowVideo();
    harness.RequestBitmaps(0x0001);
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        const DecodedStream decoded = Decode(harness.Transmitted(), 0x0001);
        return decoded.ok && decoded.framebuffer.width() == 128 &&
               decoded.framebuffer.pixel(127, 47) == 0x0000FF &&
               decoded.framebuffer.pixel(0, 0) == 0xFF0000;
    }));
    harness.WaitQuiet(60ms);
    const DecodedStream decoded = Decode(harness.Transmitted(), 0x0001);
    int drawn = 0;
    int fromCache = 0;
    for (const auto& frame : decoded.frames) {
        for (const auto& record : frame.records) {
            drawn += record.kind == videodecode::RecordKind::Cell;
            fromCache += record.kind == videodecode::RecordKind::CacheDraw;
        }
    }
    EXPECT_EQ(drawn, 2);  // one red, one blue
    EXPECT_EQ(fromCache, scanner->Columns() * scanner->Rows() - 2);
}

TEST(EndToEndCursor, CursorChangesReachTheOtherSide) {
    HarnessOptions options;
    options.desktop = MemoryDesktop(128, 48, "24");
    options.compression = "";
    ScannerHarness harness(options);
    harness.Start();
    harness.AllowVideo();
    harness.RequestBitmaps(0x0010);
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        const DecodedStream decoded = Decode(harness.Transmitted(), 0x0010);
        return decoded.ok && decoded.framebuffer.cursor().present &&
               decoded.framebuffer.cursor().width == 32;
    }));
    std::vector<std::uint8_t> andMask(2 * 16, 0x00);
    std::vector<std::uint8_t> xorMask(2 * 16, 0xFF);
    harness.display()->SetMonochromeCursor(16, 16, 7, 8, andMask.data(), xorMask.data());
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        const DecodedStream decoded = Decode(harness.Transmitted(), 0x0010);
        const auto& cursor = decoded.framebuffer.cursor();
        return decoded.ok && cursor.present && cursor.width == 16 && cursor.height == 16 &&
               cursor.hotSpotX == 7 && cursor.hotSpotY == 8 && cursor.andMask[0] == 0 &&
               cursor.xorMask[0] == 1;
    }));
}

}  // namespace
}  // namespace scantest
