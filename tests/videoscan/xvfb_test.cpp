// The scanner on a real X server (an Xvfb started here): what it sends decodes to what was
// drawn on the root window, and a later change sends only the cells it touched.
#include <gtest/gtest.h>

#include "decoded_screen.h"
#include "scanner_harness.h"
#include "x_root.h"
#include "xvfb_server.h"

namespace scantest {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 256;
constexpr int kHeight = 64;

unsigned long Rgb(COLORREF colour) {
    return static_cast<unsigned long>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 |
           GetBValue(colour);
}

TEST(Xvfb, ScannedScreenDecodesToWhatWasDrawn) {
    if (!farvane::gdi::testing::XvfbServer::Available()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    farvane::gdi::testing::XvfbServer server;
    ASSERT_TRUE(server.Start(std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"));
    XRoot root(server.display());
    ASSERT_TRUE(root.ok());
    // Columns of colour blocks, 16 x 8 each, from colours both fixed palettes hold.
    const COLORREF colours[] = {RGB(0, 0, 0),          RGB(0xFF, 0, 0),       RGB(0, 0xFF, 0),
                                RGB(0, 0, 0xFF),       RGB(0xFF, 0xFF, 0xFF), RGB(0x60, 0x40, 0x20),
                                RGB(0xC0, 0xC0, 0xC0), RGB(0x20, 0x80, 0xA0)};
    std::vector<COLORREF> screen(static_cast<std::size_t>(kWidth) * kHeight);
    auto fill = [&](int x, int y, int width, int height, COLORREF colour) {
        root.Fill(x, y, width, height, Rgb(colour));
        for (int row = y; row < y + height; ++row) {
            for (int column = x; column < x + width; ++column) {
                screen[static_cast<std::size_t>(row) * kWidth + column] = colour;
            }
        }
    };
    for (int y = 0; y < kHeight; y += 8) {
        for (int x = 0; x < kWidth; x += 16) {
            fill(x, y, 16, 8, colours[(x / 16 + y / 8 * 3) % 8]);
        }
    }

    HarnessOptions options;
    options.desktop = server.display();
    ScannerHarness harness(options);
    ScannerProbe* scanner = harness.Start();
    ASSERT_EQ(scanner->CellWidth(), kWidth / 4);
    harness.AllowVideo();
    harness.RequestBitmaps(0x8011);

    auto expected = [&] {
        std::vector<videodecode::Rgb> pixels;
        for (COLORREF colour : screen) {
            pixels.push_back(ExpectedColour(colour, true, 32, 0));
        }
        return pixels;
    };
    auto converges = [&] {
        const auto wanted = expected();
        return ScannerHarness::Eventually([&] {
            const DecodedStream decoded = Decode(harness.Transmitted(), 0x8011);
            return decoded.ok && Covered(decoded.framebuffer, kWidth, kHeight) == wanted;
        });
    };
    ASSERT_TRUE(converges());
    harness.WaitQuiet(100ms);
    const std::uint64_t before = harness.TransmittedSize();

    fill(kWidth / 4 + 5, 3 * 8 + 2, 7, 3, RGB(0xFF, 0xFF, 0));
    ASSERT_TRUE(converges());
    harness.WaitQuiet(100ms);
    const DecodedStream decoded = Decode(harness.Transmitted(), 0x8011);
    int cells = 0;
    for (const auto& frame : decoded.frames) {
        if (frame.offset < before) {
            continue;
        }
        for (const auto& record : frame.records) {
            if (record.kind == videodecode::RecordKind::Cell ||
                record.kind == videodecode::RecordKind::CacheDraw) {
                ++cells;
                EXPECT_EQ(record.x, kWidth / 4);
                EXPECT_EQ(record.y, 3 * 8);
            }
        }
    }
    EXPECT_GE(cells, 1);
    harness.Stop();
}

}  // namespace
}  // namespace scantest
