// The records the check thread sends, byte by byte: the video start record and its mode word,
// drawing records and their flags, palette frames in both entry forms, the background record,
// cursor records, the end record, and the status check that gates them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/gdi/gdi.h"
#include "scanner_harness.h"
#include "videoscan/palettes.h"

namespace scantest {
namespace {

using namespace std::chrono_literals;

Bytes LastCursor(ScannerHarness& harness) {
    Bytes last;
    for (const Record& record : RawRecords(SplitFrames(harness.Transmitted()))) {
        if (record.type == 9) {
            last = record.bytes;
        }
    }
    return last;
}

// Runs video until the first pass has ended (its cursor record went out).
std::vector<Frame> FirstPass(ScannerHarness& harness, WORD capabilities, WORD options = 0) {
    harness.Start();
    harness.AllowVideo();
    harness.RequestBitmaps(capabilities, options);
    std::vector<Frame> frames;
    EXPECT_TRUE(ScannerHarness::Eventually([&] {
        frames = SplitFrames(harness.Transmitted());
        return HasCursorRecord(frames);
    }));
    return frames;
}

HarnessOptions Options(int width, int height, const std::string& depth,
                       const std::string& compression = "0") {
    HarnessOptions options;
    options.desktop = MemoryDesktop(width, height, depth);
    options.compression = compression;
    return options;
}

struct StartCase {
    const char* depth;
    const char* compression;
    WORD modeWord;
    WORD colours;
};

class StartRecord : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartRecord, OpensTheStreamWithTheModeWord) {
    const StartCase& param = GetParam();
    ScannerHarness harness(Options(64, 16, param.depth, param.compression));
    harness.Start();
    harness.AllowVideo();
    ASSERT_TRUE(ScannerHarness::Eventually([&] { return harness.TransmittedSize() >= 23; }));
    const Bytes stream = harness.Transmitted();
    const Bytes head(stream.begin(), stream.begin() + 19);
    const Bytes expected = {0x1B,
                            0x55,
                            17,
                            0,
                            17,
                            0,
                            0x01,
                            0x0F,
                            0x12,
                            0xFF,
                            0xFF,
                            static_cast<BYTE>(param.modeWord),
                            static_cast<BYTE>(param.modeWord >> 8),
                            static_cast<BYTE>(param.colours),
                            static_cast<BYTE>(param.colours >> 8),
                            64,
                            0,
                            16,
                            0};
    EXPECT_EQ(head, expected);
    EXPECT_EQ(harness.CbByte(cb::kVideoState) & 0x18, 0x18);
    EXPECT_EQ(harness.CbByte(cb::kVideoVersion), 18);
    EXPECT_EQ(harness.CbWord(cb::kCapabilities), 0);
    EXPECT_EQ(harness.CbWord(cb::kBitmapRequest), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ModeWords, StartRecord,
    ::testing::Values(StartCase{"32", "", 0x07B6, 257}, StartCase{"8p", "", 0x05B6, 256},
                      StartCase{"8p", "1", 0x05A5, 256}, StartCase{"16", "2", 0x07A6, 257},
                      StartCase{"24", "0x13", 0x07B7, 257}, StartCase{"4", "0", 0x05A4, 16},
                      StartCase{"15", "0x10", 0x07B4, 257}));

// A 64 x 16 screen at 32 bits per pixel: 4 x 2 cells of 16 x 8, each one colour.
void PaintCells(farvane::gdi::MemoryDisplay& display, const std::vector<COLORREF>& colours) {
    for (std::size_t i = 0; i < colours.size(); ++i) {
        display.FillRect(static_cast<int>(i % 4) * 16, static_cast<int>(i / 4) * 8, 16, 8,
                         colours[i]);
    }
}

Bytes CellHead(BYTE flags, WORD x, WORD y) {
    return {0x04,
            flags,
            static_cast<BYTE>(x),
            static_cast<BYTE>(x >> 8),
            static_cast<BYTE>(y),
            static_cast<BYTE>(y >> 8),
            16,
            0,
            8,
            0};
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// The first two cell records of a first pass: cell 0 (with raster operation and format) and
// cell 1, each 16 x 8 pixels of one colour.
Bytes FirstTwoCells(const Frame& cells) {
    const std::size_t size = (10 + 15 + 128) + (10 + 9 + 128);
    if (cells.data.size() < size) {
        return {};
    }
    return Bytes(cells.data.begin(), cells.data.begin() + static_cast<std::ptrdiff_t>(size));
}

Bytes ExpectedFirstTwoCells(BYTE first, BYTE second) {
    Bytes expected = CellHead(0x0F, 0, 0);
    Append(expected, {0x20, 0x00, 0xCC, 0x00, 0, 0, 0, 0, 1, 8, 8, 0, 16, 0, 0});
    Append(expected, Bytes(128, first));
    Append(expected, CellHead(0x03, 16, 0));
    Append(expected, {0, 0, 0, 0, 8, 0, 16, 0, 0});
    Append(expected, Bytes(128, second));
    return expected;
}

TEST(CellRecords, FirstRecordCarriesRasterOperationAndFormat) {
    ScannerHarness harness(Options(64, 16, "32"));
    harness.display()->FillRect(0, 0, 64, 16, RGB(0xFF, 0, 0));
    harness.display()->FillRect(16, 0, 16, 8, RGB(0, 0, 0xFF));
    const auto frames = FirstPass(harness, 0);
    ASSERT_GE(frames.size(), 3u);
    const Frame& cells = frames[2];
    ASSERT_EQ(cells.packed, cells.raw);
    // Mode 0 above 8 bits per pixel: the BBBGGRRR bytes of the reducer, red 0x07, blue 0xE0.
    EXPECT_EQ(FirstTwoCells(cells), ExpectedFirstTwoCells(0x07, 0xE0));
    // 8 cells: the first of 153 bytes, seven of 147.
    EXPECT_EQ(cells.raw, 153 + 7 * 147 + 270);  // and the cursor record
}

// Colours that the system-order palette does not hold go out as their own BBBGGRRR byte too,
// from 16-bit pixels of either layout as from 32-bit ones.
TEST(CellRecords, ModeZeroSendsTheReducerBytesAtEveryDepthAboveEight) {
    struct Case {
        const char* depth;
        COLORREF first, second;
        BYTE firstByte, secondByte;
    };
    const Case cases[] = {
        // (0xA0, 0x80, 0xA0) is grid byte 181; 0x7FFF-like white and a 5-bit teal.
        {"32", RGB(0xA0, 0x80, 0xA0), RGB(0x12, 0x9A, 0x56), 181, 0x50},
        {"16", RGB(0xA0, 0x80, 0xA0), RGB(0xFF, 0xFF, 0xFF), 181, 0xFF},
        {"15", RGB(0x40, 0xC0, 0xE0), RGB(0, 0, 0), 0xFA, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        ScannerHarness harness(Options(64, 16, c.depth));
        harness.display()->FillRect(0, 0, 64, 16, c.first);
        harness.display()->FillRect(16, 0, 16, 8, c.second);
        const auto frames = FirstPass(harness, 0);
        ASSERT_GE(frames.size(), 3u);
        EXPECT_EQ(FirstTwoCells(frames[2]), ExpectedFirstTwoCells(c.firstByte, c.secondByte));
    }
}

TEST(CellRecords, RepeatedCellsGoOutAsCacheReferences) {
    ScannerHarness harness(Options(64, 16, "32"));
    const COLORREF a = RGB(0xFF, 0xFF, 0);
    const COLORREF b = RGB(0, 0x80, 0xFF);
    PaintCells(*harness.display(), {a, b, a, a, b, a, a, a});
    const auto frames = FirstPass(harness, 0x0001);  // 4 KB: 32 slots of 128 bytes
    const Frame& cells = frames[2];
    const Bytes& data = cells.data;
    // Cell 0: new, slot 0, flags 0x8F.
    Bytes first = CellHead(0x8F, 0, 0);
    Append(first, {0x20, 0x00, 0xCC, 0x00, 0, 0, 0, 0, 1, 8, 8, 0, 16, 0, 0, 0, 0, 0});
    ASSERT_GE(data.size(), first.size());
    EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(first.size())), first);
    std::size_t at = first.size() + 128;
    // Cell 1: new, slot 1 at offset 128.
    Bytes second = CellHead(0x83, 16, 0);
    Append(second, {0, 0, 0, 0, 8, 0, 16, 0, 0, 128, 0, 0});
    EXPECT_EQ(Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
                    data.begin() + static_cast<std::ptrdiff_t>(at + second.size())),
              second);
    at += second.size() + 128;
    // Cell 2 repeats cell 0: no rows, no data, offset 0.
    Bytes third = CellHead(0x83, 32, 0);
    Append(third, {0, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0});
    EXPECT_EQ(Bytes(data.begin() + static_cast<std::ptrdiff_t>(at),
                    data.begin() + static_cast<std::ptrdiff_t>(at + third.size())),
              third);
    // Two cells with pixels, six references.
    EXPECT_EQ(cells.raw, 156 + 150 + 6 * 22 + 270);  // and the cursor record
}

TEST(PaletteFrames, ThreeByteFormRotatesEachComponent) {
    ScannerHarness harness(Options(64, 16, "32"));
    const auto frames = FirstPass(harness, 0);
    const Frame& palette = frames[1];
    ASSERT_EQ(palette.tag, 0x44);
    ASSERT_EQ(palette.whole.size(), 5u + 768u);
    EXPECT_EQ(Bytes(palette.whole.begin(), palette.whole.begin() + 5),
              (Bytes{0x1B, 0x44, 0x00, 0x00, 0x03}));
    const auto& system = videoscan::SystemOrderPalette();
    auto rotate = [](BYTE v) { return static_cast<BYTE>(v >> 2 | v << 6); };
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(palette.data[3 * i], rotate(system[i].peRed)) << i;
        ASSERT_EQ(palette.data[3 * i + 1], rotate(system[i].peGreen)) << i;
        ASSERT_EQ(palette.data[3 * i + 2], rotate(system[i].peBlue)) << i;
    }
    EXPECT_EQ(palette.data[9 * 3], 0xA9);  // 0xA6 rotated
}

TEST(PaletteFrames, FourByteFormAndTheGridForReducedModes) {
    HarnessOptions options = Options(64, 16, "24");
    options.reducedMode = 2;
    ScannerHarness harness(options);
    const auto frames = FirstPass(harness, 0x1000);
    const Frame& palette = frames[1];
    ASSERT_EQ(palette.whole.size(), 5u + 1024u);
    EXPECT_EQ(Word(palette.whole, 3), 1024);
    const auto& grid = videoscan::GridPalette();
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(palette.data[4 * i], grid[i].peRed) << i;
        ASSERT_EQ(palette.data[4 * i + 1], grid[i].peGreen) << i;
        ASSERT_EQ(palette.data[4 * i + 2], grid[i].peBlue) << i;
        ASSERT_EQ(palette.data[4 * i + 3], 0) << i;
    }
    // The reduced table classifies the grid: white is 3, pure blue 2, black 0.
    EXPECT_EQ(harness.scanner()->ReducedTable()[0xFF], 3);
    EXPECT_EQ(harness.scanner()->ReducedTable()[0xE0], 2);
    EXPECT_EQ(harness.scanner()->MonoTable()[0xFF], 1);
    EXPECT_EQ(harness.scanner()->MonoTable()[0xE0], 0);
}

TEST(PaletteFrames, PaletteDeviceSendsItsSystemPalette) {
    ScannerHarness harness(Options(64, 16, "8p"));
    PALETTEENTRY entries[2] = {{0x12, 0x34, 0x56, 0}, {0xFE, 0xDC, 0xBA, 0}};
    harness.display()->SetSystemPalette(100, entries, 2);
    const auto frames = FirstPass(harness, 0x1000);
    const Frame& palette = frames[1];
    ASSERT_EQ(palette.data.size(), 1024u);
    EXPECT_EQ(Bytes(palette.data.begin() + 400, palette.data.begin() + 408),
              (Bytes{0x12, 0x34, 0x56, 0, 0xFE, 0xDC, 0xBA, 0}));
}

TEST(BackgroundRecord, PaintsTheScreenWhenAskedAndResendsTheRasterOperation) {
    ScannerHarness harness(Options(64, 16, "32"));
    harness.display()->SetBackgroundColour(RGB(0x11, 0x22, 0x33));
    const auto frames = FirstPass(harness, 0, 0x20);
    const Frame& background = frames[2];
    EXPECT_EQ(background.data,
              (Bytes{0x04, 0x18, 0,    0,    0,    0,    64,   0,    16,   0,    0x21, 0x00,
                     0xF0, 0x00, 0x00, 0x08, 0x00, 0x00, 0x11, 0x22, 0x33, 0x00, 0x00, 0x00}));
    EXPECT_EQ(frames[3].data.at(1), 0x0F);  // SRCCOPY again in the first cell record
}

TEST(CursorRecords, ArrowAtTheFirstPassThenEveryChange) {
    ScannerHarness harness(Options(64, 16, "32"));
    auto frames = FirstPass(harness, 0);
    const Bytes arrow = LastCursor(harness);
    ASSERT_EQ(arrow.size(), 2u + 12u + 256u);
    EXPECT_EQ(Bytes(arrow.begin(), arrow.begin() + 14),
              (Bytes{0x09, 0x01, 0, 0, 0, 0, 32, 0, 32, 0, 4, 0, 1, 1}));

    // A colour cursor of 32 x 32: the same size, its image reduced to 1 bit per pixel.
    std::vector<std::uint8_t> andMask(4 * 32, 0x00);
    std::vector<std::uint8_t> rgb(32 * 32 * 3, 0x00);
    for (int x = 0; x < 8; ++x) {
        rgb[3 * x] = rgb[3 * x + 1] = rgb[3 * x + 2] = 0xFF;  // white on the first row
    }
    harness.display()->SetColourCursor(32, 32, 3, 4, andMask.data(), rgb.data());
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted()), 2); }));
    frames = SplitFrames(harness.Transmitted());
    const Bytes colour = LastCursor(harness);
    ASSERT_EQ(colour.size(), 270u);
    EXPECT_EQ(Bytes(colour.begin(), colour.begin() + 14),
              (Bytes{0x09, 0x01, 3, 0, 4, 0, 32, 0, 32, 0, 4, 0, 1, 1}));
    EXPECT_EQ(colour[14 + 128], 0xFF);  // first byte of the second image
    EXPECT_EQ(colour[14 + 129], 0x00);

    // A cursor that stays the same sends nothing more.
    harness.WaitQuiet(100ms);
    const std::size_t quiet = harness.TransmittedSize();
    harness.WaitQuiet(100ms);
    EXPECT_EQ(harness.TransmittedSize(), quiet);

    // A large cursor is cropped around its hot spot; a narrow one padded to 16 pixels.
    std::vector<std::uint8_t> bigAnd(8 * 200, 0xFF);
    std::vector<std::uint8_t> bigXor(8 * 200, 0x00);
    harness.display()->SetMonochromeCursor(64, 200, 60, 150, bigAnd.data(), bigXor.data());
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted()), 3); }));
    frames = SplitFrames(harness.Transmitted());
    const Bytes big = LastCursor(harness);
    ASSERT_EQ(big.size(), 2u + 12u + 2u * 8u * 128u);
    // 64 wide, the last 128 of its 200 rows: the hot spot moves to (60, 78).
    EXPECT_EQ(Bytes(big.begin(), big.begin() + 14),
              (Bytes{0x09, 0x01, 60, 0, 78, 0, 64, 0, 128, 0, 8, 0, 1, 1}));

    std::vector<std::uint8_t> narrowAnd(4 * 20, 0x00);
    std::vector<std::uint8_t> narrowXor(4 * 20, 0xFF);
    harness.display()->SetMonochromeCursor(20, 20, 1, 1, narrowAnd.data(), narrowXor.data());
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted()), 4); }));
    frames = SplitFrames(harness.Transmitted());
    const Bytes narrow = LastCursor(harness);
    ASSERT_EQ(narrow.size(), 2u + 12u + 2u * 4u * 20u);
    // Row 0 of the AND mask: 20 opaque pixels, then 12 transparent padding pixels.
    EXPECT_EQ(Bytes(narrow.begin() + 14, narrow.begin() + 18), (Bytes{0x00, 0x00, 0x0F, 0xFF}));
    // Row 0 of the XOR mask: 20 set bits, padding clear.
    EXPECT_EQ(Bytes(narrow.begin() + 94, narrow.begin() + 98), (Bytes{0xFF, 0xFF, 0xF0, 0x00}));

    // A colour cursor stored at 4 bits per pixel is classified through its colours.
    std::vector<std::uint8_t> smallAnd(4 * 16, 0x00);
    std::vector<std::uint8_t> smallRgb(16 * 16 * 3, 0xFF);
    harness.display()->SetColourCursor(16, 16, 0, 0, smallAnd.data(), smallRgb.data(), 4);
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted()), 5); }));
    frames = SplitFrames(harness.Transmitted());
    const Bytes shallow = LastCursor(harness);
    ASSERT_EQ(shallow.size(), 2u + 12u + 2u * 2u * 16u);
    EXPECT_EQ(shallow[14 + 32], 0xFF);  // white: second image set
}

// A colour cursor on a true-colour host in mode 0: each pixel's BBBGGRRR byte is classified by
// the colour it stands for (red is dark, yellow bright), not by the system-order palette
// entry of the same number (entry 7 is silver).
TEST(CursorRecords, ColourCursorPixelsAreClassifiedByTheirOwnColour) {
    ScannerHarness harness(Options(64, 16, "32"));
    FirstPass(harness, 0);
    std::vector<std::uint8_t> andMask(4 * 32, 0x00);
    std::vector<std::uint8_t> rgb(32 * 32 * 3, 0x00);
    const std::uint8_t rowColours[4][3] = {
        {0xFF, 0xFF, 0x00}, {0xFF, 0x00, 0x00}, {0xC0, 0xC0, 0xC0}, {0x00, 0x00, 0xFF}};
    for (int x = 0; x < 32; ++x) {
        std::copy_n(rowColours[x / 8], 3, &rgb[3 * x]);
    }
    harness.display()->SetColourCursor(32, 32, 0, 0, andMask.data(), rgb.data());
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted()), 2); }));
    const Bytes colour = LastCursor(harness);
    ASSERT_EQ(colour.size(), 270u);
    // Row 0 of the second image: yellow and silver bright, red and blue dark.
    EXPECT_EQ(Bytes(colour.begin() + 142, colour.begin() + 146), (Bytes{0xFF, 0x00, 0xFF, 0x00}));
}

TEST(EndRecord, SentLastWhileConnected) {
    ScannerHarness harness(Options(64, 16, "32"));
    FirstPass(harness, 0);
    harness.Stop();
    const Bytes stream = harness.Transmitted();
    ASSERT_GE(stream.size(), 7u);
    EXPECT_EQ(Bytes(stream.end() - 7, stream.end()), (Bytes{0x1B, 0x55, 1, 0, 1, 0, 2}));
    EXPECT_EQ(harness.CbByte(cb::kVideoState) & 0x08, 0);
}

TEST(EndRecord, NothingWhenNotConnected) {
    HarnessOptions options = Options(64, 16, "32");
    options.connected = false;
    ScannerHarness harness(options);
    FirstPass(harness, 0);
    const std::size_t before = harness.TransmittedSize();
    harness.Stop();
    EXPECT_EQ(harness.TransmittedSize(), before);
    EXPECT_EQ(harness.CbByte(cb::kVideoState) & 0x08, 0);
}

TEST(StatusCheck, VideoWaitsForEveryCondition) {
    ScannerHarness harness(Options(64, 16, "32"));
    harness.Start();
    harness.SetCbByte(cb::kSessionReady, 1);
    harness.SetCbByte(cb::kVideoState, 0x81);
    harness.SetVideoEvent(true);  // item 74 lacks bit 2
    harness.WaitQuiet(50ms);
    EXPECT_EQ(harness.TransmittedSize(), 0u);
    harness.SetCbByte(cb::kSessionStatus, 0x04);
    harness.SetCbByte(cb::kVideoState, 0xA1);  // bit 5 blocks video
    harness.WaitQuiet(50ms);
    EXPECT_EQ(harness.TransmittedSize(), 0u);
    harness.SetCbByte(cb::kVideoState, 0x81);
    ASSERT_TRUE(ScannerHarness::Eventually([&] { return harness.TransmittedSize() == 23; }));
    EXPECT_NE(harness.CbByte(cb::kVideoState) & 0x40, 0);
    // Running: no cells before a bitmap request.
    harness.WaitQuiet(50ms);
    EXPECT_EQ(harness.TransmittedSize(), 23u);

    // Another party clears bit 3: the next check starts the video again, waiting for a new
    // request.
    harness.RequestBitmaps(0);
    ASSERT_TRUE(ScannerHarness::Eventually(
        [&] { return HasCursorRecord(SplitFrames(harness.Transmitted())); }));
    harness.SetCbByte(cb::kVideoState, static_cast<BYTE>(harness.CbByte(cb::kVideoState) & ~0x08));
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        const auto frames = SplitFrames(harness.Transmitted());
        return frames.size() >= 2 && frames.back().raw == 17 && frames.back().data[0] == 1;
    }));
    const std::size_t afterRestart = harness.TransmittedSize();
    harness.WaitQuiet(50ms);
    EXPECT_EQ(harness.TransmittedSize(), afterRestart);
}

}  // namespace
}  // namespace scantest

namespace scantest {
namespace {

// Palette changes arrive from other threads while the check thread scans; the scanner is then
// destroyed in the middle of a pass. Under ThreadSanitizer this shows the pending-work lock,
// the CB block accesses and the thread's end are sound.
TEST(Concurrency, PaletteChangesFromOtherThreadsWhileScanning) {
    HarnessOptions options;
    options.desktop = MemoryDesktop(64, 64, "8p");
    options.compression = "";
    ScannerHarness harness(options);
    ScannerProbe* scanner = harness.Start();
    harness.AllowVideo();
    harness.RequestBitmaps(0x1011);
    std::atomic<bool> stop{false};
    std::vector<std::thread> changers;
    for (int t = 0; t < 2; ++t) {
        changers.emplace_back([&, t] {
            PALETTEENTRY entry{static_cast<BYTE>(t), 0x40, 0x80, 0};
            while (!stop.load()) {
                harness.display()->SetSystemPalette(50 + t, &entry, 1);
                scanner->PaletteChanged();
                entry.peRed = static_cast<BYTE>(entry.peRed + 2);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ASSERT_TRUE(ScannerHarness::Eventually([&] { return scanner->CompletedPasses() >= 3; }));
    stop = true;
    for (std::thread& changer : changers) {
        changer.join();
    }
    harness.Stop();
    const auto frames = SplitFrames(harness.Transmitted());
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().whole, (Bytes{0x1B, 0x55, 1, 0, 1, 0, 2}));
    int palettes = 0;
    for (const Frame& frame : frames) {
        palettes += frame.tag == 0x44;
    }
    EXPECT_GE(palettes, 2);  // the first, and at least one for the changes
}

}  // namespace
}  // namespace scantest
