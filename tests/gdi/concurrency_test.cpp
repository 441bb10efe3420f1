// The scanner reads the screen on its own thread while tests and tools draw on it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "gdi_test_support.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;

TEST(Concurrency, CellsReadWhileAnotherThreadDrawsAreNeverTorn) {
    const std::string name = FreshMemoryName(96, 32, "32");
    auto display = FindMemoryDisplay(name);
    ASSERT_TRUE(display);
    display->FillRect(0, 0, 96, 32, RGB(0, 0, 0));
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        int step = 0;
        while (!stop.load()) {
            // Whole-screen fills: a cell must see one of them, never a mix.
            display->FillRect(0, 0, 96, 32, (step++ & 1) ? RGB(255, 255, 255) : RGB(0, 0, 0));
            const std::uint8_t rgb[3] = {1, 2, 3};
            display->LoadRgb(200, 200, 1, 1, rgb, 3);  // off screen: nothing happens
        }
    });
    std::thread cursorMover([&] {
        AttachMemoryDesktop(name);
        const std::vector<std::uint8_t> andMask(64, 0x00);
        const std::vector<std::uint8_t> rgb(16 * 16 * 3, 0x80);
        while (!stop.load()) {
            display->SetColourCursor(16, 16, 0, 0, andMask.data(), rgb.data());
            SetCursorPos(5, 5);
        }
    });
    std::atomic<int> torn{0};
    std::vector<std::thread> scanners;
    for (int s = 0; s < 2; ++s) {
        scanners.emplace_back([&] {
            ASSERT_TRUE(AttachMemoryDesktop(name));
            HookMouseInstall();
            HDC screen = GetDC(GetDesktopWindow());
            HDC memory = CreateCompatibleDC(screen);
            HBITMAP cell = CreateBitmap(24, 8, 1, 32, nullptr);
            HGDIOBJ previous = SelectObject(memory, cell);
            std::vector<std::uint8_t> bits(24 * 8 * 4);
            for (int pass = 0; pass < 150; ++pass) {
                for (int row = 0; row < 4; ++row) {
                    for (int column = 0; column < 4; ++column) {
                        BitBlt(memory, 0, 0, 24, 8, screen, column * 24, row * 8, SRCCOPY);
                        GetBitmapBits(cell, static_cast<LONG>(bits.size()), bits.data());
                        for (std::size_t i = 4; i < bits.size(); i += 4) {
                            if (bits[i] != bits[0]) {
                                ++torn;
                                break;
                            }
                        }
                    }
                }
                HCURSOR cursor = HookMouseQuery();
                ICONINFO info{};
                if (cursor && GetIconInfo(cursor, &info)) {
                    DeleteObject(info.hbmMask);
                    if (info.hbmColor) {
                        DeleteObject(info.hbmColor);
                    }
                }
            }
            SelectObject(memory, previous);
            DeleteObject(cell);
            DeleteDC(memory);
            ReleaseDC(GetDesktopWindow(), screen);
            HookMouseRemove();
        });
    }
    for (auto& scanner : scanners) {
        scanner.join();
    }
    stop = true;
    painter.join();
    cursorMover.join();
    EXPECT_EQ(torn.load(), 0);
}

TEST(Concurrency, DesktopsOpenedAndClosedFromManyThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                const std::string name = "memory:8x8x8p#shared" + std::to_string(i % 3);
                HDESK desktop = OpenDesktopA(name.c_str(), 0, FALSE, 0x1FF);
                if (!desktop || !SetThreadDesktop(desktop)) {
                    ++failures;
                    continue;
                }
                if (GetSystemMetrics(SM_CXSCREEN) != 8 || !IsWindow(GetDesktopWindow())) {
                    ++failures;
                }
                FindMemoryDisplay(name)->SetPixelValue(t, t, static_cast<std::uint32_t>(i));
                HDC screen = GetDC(nullptr);
                PALETTEENTRY entries[4];
                if (GetSystemPaletteEntries(screen, 0, 4, entries) != 4) {
                    ++failures;
                }
                ReleaseDC(nullptr, screen);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace farvane::gdi
