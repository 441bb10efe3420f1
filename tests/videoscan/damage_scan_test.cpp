// Scanning with damage hints: a pass reads only the rows drawn on, sends exactly what a pass
// without hints sends for the same drawing, and a full pass every 2 s still finds drawing the
// display never reported. The displays are memory displays whose drawing helpers report damage
// (or, to stand for a server that misses some, report nothing).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <thread>

#include "scanner_harness.h"

namespace scantest {
namespace {

using Reports = farvane::gdi::MemoryDisplay::DamageReports;

constexpr int kWidth = 128;
constexpr int kHeight = 48;  // six rows of 8-pixel cells

// A scanner on a display with the given damage reports; passes are driven by the test (the
// check thread waits: video is not allowed).
struct HintedScanner {
    explicit HintedScanner(Reports reports) : harness(Options()) {
        harness.display()->SetDamageReports(reports);
        harness.display()->FillRect(0, 0, kWidth, kHeight, RGB(0x20, 0x40, 0x60));
        scanner = harness.Start();
    }
    static HarnessOptions Options() {
        HarnessOptions options;
        options.desktop = MemoryDesktop(kWidth, kHeight, "32");
        options.compression = "0";
        options.damageHints = true;
        return options;
    }
    // A pass, and the wait until its bytes went through the transmit queue.
    void Pass(int firstPass, DWORD now) {
        scanner->Pass(firstPass, now);
        harness.WaitQuiet(std::chrono::milliseconds(30));
    }
    // The cell rows read since the last call.
    std::set<int> RowsRead() {
        std::set<int> rows;
        for (int y : harness.display()->TakeReadLog()) {
            rows.insert(y / scanner->CellHeight());
        }
        return rows;
    }
    ScannerHarness harness;
    ScannerProbe* scanner = nullptr;
};

TEST(DamageScan, APassReadsOnlyTheRowsDrawnOn) {
    HintedScanner hinted(Reports::Reported);
    hinted.Pass(1, 0);
    ASSERT_TRUE(hinted.scanner->Hinted());
    EXPECT_EQ(hinted.RowsRead().size(), 6u);  // the first pass reads everything

    hinted.harness.display()->FillRect(40, 3 * 8 + 2, 5, 3, RGB(0xFF, 0, 0));
    // A drawing across a row boundary marks both rows.
    hinted.harness.display()->FillRect(100, 7, 3, 2, RGB(0, 0xFF, 0));
    const std::size_t before = hinted.harness.TransmittedSize();
    hinted.Pass(0, 100);
    EXPECT_EQ(hinted.RowsRead(), (std::set<int>{0, 1, 3}));
    EXPECT_GT(hinted.harness.TransmittedSize(), before);

    hinted.Pass(0, 200);
    EXPECT_TRUE(hinted.RowsRead().empty());
}

TEST(DamageScan, HintedPassesSendTheBytesOfPassesWithoutHints) {
    HintedScanner hinted(Reports::Reported);
    HintedScanner plain(Reports::None);
    std::mt19937 random(11);
    for (int pass = 0; pass < 12; ++pass) {
        for (HintedScanner* side : {&hinted, &plain}) {
            side->Pass(pass == 0 ? 1 : 0, static_cast<DWORD>(pass * 100));
        }
        // The same drawing on both screens, in one row or across several.
        const int x = static_cast<int>(random() % kWidth);
        const int y = static_cast<int>(random() % kHeight);
        const int width = 1 + static_cast<int>(random() % 40);
        const int height = 1 + static_cast<int>(random() % 20);
        const COLORREF colour = random() & 0xFFFFFF;
        for (HintedScanner* side : {&hinted, &plain}) {
            side->harness.display()->FillRect(x, y, width, height, colour);
        }
    }
    EXPECT_TRUE(hinted.scanner->Hinted());
    EXPECT_FALSE(plain.scanner->Hinted());
    const Bytes sent = hinted.harness.Transmitted();
    EXPECT_GT(RawRecords(SplitFrames(sent)).size(), 40u);
    EXPECT_EQ(sent, plain.harness.Transmitted());
}

TEST(DamageScan, AFullPassEveryTwoSecondsFindsDrawingThatWasNeverReported) {
    HintedScanner hinted(Reports::Missed);
    hinted.Pass(1, 10000);
    hinted.RowsRead();
    hinted.harness.display()->FillRect(70, 5 * 8, 9, 8, RGB(0xFF, 0xFF, 0));
    const std::size_t before = hinted.harness.TransmittedSize();
    hinted.Pass(0, 11999);
    EXPECT_TRUE(hinted.RowsRead().empty());
    EXPECT_EQ(hinted.harness.TransmittedSize(), before);

    hinted.Pass(0, 12000);
    EXPECT_EQ(hinted.RowsRead().size(), 6u);
    const Bytes sent = hinted.harness.Transmitted();
    const std::vector<Record> records =
        RawRecords(SplitFrames(Bytes(sent.begin() + static_cast<long>(before), sent.end())));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Word(records[0].bytes, 2), 64);  // the cell's left edge
    EXPECT_EQ(Word(records[0].bytes, 4), 5 * 8);
}

// The check thread against a drawing thread: each drawing's damage wakes the waiting scan, and
// when the drawing stops the picture sent ends equal to the screen. (Also run under TSan.)
TEST(DamageScan, TheCheckThreadFollowsDrawingThatGoesOnWhileItScans) {
    HarnessOptions options = HintedScanner::Options();
    ScannerHarness harness(options);
    harness.display()->SetDamageReports(Reports::Reported);
    ScannerProbe* scanner = harness.Start();
    harness.AllowVideo();
    harness.RequestBitmaps(0);
    ASSERT_TRUE(ScannerHarness::Eventually([&] { return scanner->CompletedPasses() >= 1; }));
    std::thread painter([&] {
        std::mt19937 random(3);
        for (int i = 0; i < 300; ++i) {
            harness.display()->FillRect(static_cast<int>(random() % kWidth),
                                        static_cast<int>(random() % kHeight), 7, 5,
                                        random() & 0xFFFFFF);
            if (i % 16 == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    });
    painter.join();
    const DWORD passes = scanner->CompletedPasses();
    ASSERT_TRUE(
        ScannerHarness::Eventually([&] { return scanner->CompletedPasses() >= passes + 2; }));
    harness.WaitQuiet(std::chrono::milliseconds(100));
    // What the scan sent last for each cell is what the screen shows now: a final hint-free
    // pass over the same screen finds nothing left to send.
    harness.SetVideoEvent(false);
    ASSERT_TRUE(ScannerHarness::Eventually([&] {
        const std::size_t size = harness.TransmittedSize();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return harness.TransmittedSize() == size;
    }));
    // Again, now that the check thread is waiting for the event: what its last step wrote is
    // ordered before what this thread does next.
    harness.SetVideoEvent(false);
    const std::size_t settled = harness.TransmittedSize();
    harness.display()->SetDamageReports(Reports::None);
    for (WORD row = 0; row < scanner->Rows(); ++row) {
        scanner->ScanCellRow(row, 0);
    }
    scanner->FlushSeqBuffer();
    harness.WaitQuiet(std::chrono::milliseconds(50));
    EXPECT_EQ(harness.TransmittedSize(), settled);
}

}  // namespace
}  // namespace scantest
