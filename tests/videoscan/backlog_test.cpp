// A congested connection: the check thread begins no pass while much of what it sent has not
// reached the other side, and goes on with the screen as it is now once the backlog is gone.
// (Also run under TSan: the backlog is read on the check thread.)
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "scanner_harness.h"

namespace scantest {
namespace {

using namespace std::chrono_literals;

TEST(Backlog, NoPassBeginsWhileTheConnectionIsBehind) {
    for (const bool hints : {true, false}) {
        SCOPED_TRACE(hints ? "with damage hints" : "without damage hints");
        HarnessOptions options;
        options.desktop = MemoryDesktop(128, 48, "32");
        options.compression = "0";
        options.damageHints = hints;
        ScannerHarness harness(options);
        harness.display()->SetDamageReports(farvane::gdi::MemoryDisplay::DamageReports::Reported);
        ScannerProbe* scanner = harness.Start();
        harness.AllowVideo();
        harness.RequestBitmaps(0);
        ASSERT_TRUE(ScannerHarness::Eventually([&] { return scanner->CompletedPasses() >= 1; }));

        std::atomic<std::size_t> unsent{1 << 20};
        harness.SetUnsent([&] { return unsent.load(); });
        // A pass under way when the backlog appeared may still end.
        std::this_thread::sleep_for(100ms);
        const DWORD passes = scanner->CompletedPasses();
        const std::size_t sent = harness.TransmittedSize();
        harness.display()->FillRect(10, 20, 30, 9, RGB(0xFF, 0x80, 0));
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(scanner->CompletedPasses(), passes);
        EXPECT_EQ(harness.TransmittedSize(), sent);

        unsent = 0;
        EXPECT_TRUE(ScannerHarness::Eventually([&] { return harness.TransmittedSize() > sent; }));
        EXPECT_GT(scanner->CompletedPasses(), passes);
        harness.SetUnsent({});
    }
}

}  // namespace
}  // namespace scantest
