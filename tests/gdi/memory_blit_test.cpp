// Reading cells of a memory display the way the video scanner does, at every depth.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gdi_test_support.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;
using testing::ReadCell;

struct Depth {
    std::string name;  // depth part of the desktop name
    int bitsPerPixel;
};

void PrintTo(const Depth& depth, std::ostream* out) {
    *out << depth.name;
}

// A distinct raw value for every pixel that fits the depth.
std::uint32_t PatternValue(int x, int y, int bitsPerPixel) {
    const std::uint32_t value = static_cast<std::uint32_t>(x * 7 + y * 131 + x * y * 3 + 1);
    switch (bitsPerPixel) {
        case 1:
            return (x + y) % 3 == 0 ? 1u : 0u;
        case 4:
            return value & 0xFu;
        case 8:
            return value & 0xFFu;
        case 16:
            return (value * 2654435761u) >> 16;
        default:
            return (value * 2654435761u) & 0xFFFFFFu;
    }
}

// The bytes the cell's bitmap must hold, written with explicit layout rules: rows padded to
// 2 bytes, sub-byte pixels high bits first, wider pixels little-endian.
std::vector<std::uint8_t> ExpectedCell(int left, int top, int width, int height, int screenWidth,
                                       int screenHeight, int bpp, std::uint8_t fill) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bpp + 15) / 16 * 2;
    std::vector<std::uint8_t> bytes(rowBytes * height, fill);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (left + x >= screenWidth || top + y >= screenHeight) {
                continue;  // outside the screen: the bitmap keeps its pixels
            }
            const std::uint32_t value = PatternValue(left + x, top + y, bpp);
            std::uint8_t* row = bytes.data() + rowBytes * y;
            if (bpp < 8) {
                const int perByte = 8 / bpp;
                const int shift = 8 - bpp * (x % perByte + 1);
                const std::uint8_t mask = static_cast<std::uint8_t>(((1u << bpp) - 1) << shift);
                std::uint8_t& target = row[x / perByte];
                target = static_cast<std::uint8_t>((target & ~mask) | (value << shift));
            } else {
                for (int b = 0; b < bpp / 8; ++b) {
                    row[x * (bpp / 8) + b] = static_cast<std::uint8_t>(value >> (8 * b));
                }
            }
        }
    }
    return bytes;
}

class MemoryBlit : public ::testing::TestWithParam<Depth> {
protected:
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 50;

    void SetUp() override {
        display_ = AttachMemoryDesktop(FreshMemoryName(kWidth, kHeight, GetParam().name));
        ASSERT_TRUE(display_);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                display_->SetPixelValue(x, y, PatternValue(x, y, GetParam().bitsPerPixel));
            }
        }
    }

    void ExpectCell(int left, int top, int width, int height) {
        const int bpp = GetParam().bitsPerPixel;
        const std::uint8_t fill = bpp == 1 ? 0x00 : 0xEE;
        const auto read = ReadCell(left, top, width, height, fill);
        EXPECT_TRUE(read.blitted);
        const auto expected = ExpectedCell(left, top, width, height, kWidth, kHeight, bpp, fill);
        ASSERT_EQ(read.copied, static_cast<LONG>(expected.size()));
        ASSERT_EQ(read.bits.size(), expected.size());
        if (bpp < 8) {
            // Bits past the last pixel of a row are filler; compare pixel bits only.
            const std::size_t rowBytes = expected.size() / height;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const int bit = x * bpp;
                    const std::uint8_t mask =
                        static_cast<std::uint8_t>(((1u << bpp) - 1) << (8 - bpp - bit % 8));
                    EXPECT_EQ(read.bits[rowBytes * y + bit / 8] & mask,
                              expected[rowBytes * y + bit / 8] & mask)
                        << "pixel " << x << "," << y << " of cell at " << left << "," << top;
                }
            }
        } else {
            const std::size_t rowBytes = expected.size() / height;
            const std::size_t used = static_cast<std::size_t>(width) * bpp / 8;
            for (int y = 0; y < height; ++y) {
                EXPECT_EQ(0, std::memcmp(read.bits.data() + rowBytes * y,
                                         expected.data() + rowBytes * y, used))
                    << "row " << y << " of cell at " << left << "," << top;
            }
        }
        EXPECT_EQ(read.description.bmWidth, width);
        EXPECT_EQ(read.description.bmHeight, height);
        EXPECT_EQ(read.description.bmWidthBytes, static_cast<LONG>(expected.size() / height));
        EXPECT_EQ(read.description.bmPlanes, 1);
        EXPECT_EQ(read.description.bmBitsPixel, bpp);
    }

    std::shared_ptr<MemoryDisplay> display_;
};

TEST_P(MemoryBlit, DeviceReportsItsDepth) {
    HDC screen = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), GetParam().bitsPerPixel);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), kWidth);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), kHeight);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), kWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), kHeight);
    EXPECT_EQ(ReleaseDC(GetDesktopWindow(), screen), 1);
}

TEST_P(MemoryBlit, CellsInsideTheScreen) {
    ExpectCell(0, 0, 25, 8);
    ExpectCell(25, 8, 25, 8);
    ExpectCell(16, 3, 16, 8);
}

TEST_P(MemoryBlit, CellsOfOddWidth) {
    ExpectCell(13, 8, 13, 8);
    ExpectCell(3, 5, 3, 3);
    ExpectCell(1, 1, 1, 1);
}

TEST_P(MemoryBlit, CellsAtTheRightAndBottomEdges) {
    ExpectCell(91, 0, 13, 8);   // 9 columns on the screen
    ExpectCell(0, 45, 25, 8);   // 5 rows on the screen
    ExpectCell(95, 46, 25, 8);  // the corner
    ExpectCell(75, 42, 25, 8);  // exactly at the edges
}

TEST_P(MemoryBlit, ShortBufferGetsOnlyWhatFits) {
    HDC screen = GetDC(GetDesktopWindow());
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateBitmap(7, 4, 1, GetParam().bitsPerPixel, nullptr);
    SelectObject(memory, bitmap);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 7, 4, screen, 0, 0, SRCCOPY));
    const LONG total = GetBitmapBits(bitmap, 0, nullptr);
    EXPECT_EQ(total, static_cast<LONG>((7 * GetParam().bitsPerPixel + 15) / 16 * 2 * 4));
    std::vector<std::uint8_t> all(total);
    ASSERT_EQ(GetBitmapBits(bitmap, total, all.data()), total);
    std::vector<std::uint8_t> part(total, 0x5A);
    ASSERT_EQ(GetBitmapBits(bitmap, 3, part.data()), 3);
    EXPECT_EQ(0, std::memcmp(part.data(), all.data(), 3));
    EXPECT_EQ(part[3], 0x5A);
    EXPECT_EQ(GetBitmapBits(bitmap, -1, part.data()), 0);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

TEST_P(MemoryBlit, BitmapCopiedBackOntoTheScreen) {
    HDC screen = GetDC(GetDesktopWindow());
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateBitmap(10, 6, 1, GetParam().bitsPerPixel, nullptr);
    SelectObject(memory, bitmap);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 10, 6, screen, 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(screen, 50, 20, 10, 6, memory, 0, 0, SRCCOPY));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(display_->PixelValue(50 + x, 20 + y),
                      PatternValue(x, y, GetParam().bitsPerPixel));
        }
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(EveryDepth, MemoryBlit,
                         ::testing::Values(Depth{"1", 1}, Depth{"4", 4}, Depth{"8", 8},
                                           Depth{"8p", 8}, Depth{"15", 16}, Depth{"16", 16},
                                           Depth{"24", 24}, Depth{"32", 32}),
                         [](const ::testing::TestParamInfo<Depth>& info) {
                             return "bpp" + info.param.name;
                         });

TEST(MemoryBlitFormat, TwentyFourBitCellOfThreePixelsHasTenByteRows) {
    auto display = AttachMemoryDesktop(FreshMemoryName(8, 2, "24"));
    ASSERT_TRUE(display);
    display->SetPixel(0, 0, RGB(0x11, 0x22, 0x33));
    display->SetPixel(1, 0, RGB(0x44, 0x55, 0x66));
    display->SetPixel(2, 0, RGB(0x77, 0x88, 0x99));
    display->SetPixel(0, 1, RGB(0xAA, 0xBB, 0xCC));
    const auto read = ReadCell(0, 0, 3, 2, 0);
    ASSERT_EQ(read.copied, 20);
    EXPECT_EQ(read.description.bmWidthBytes, 10);
    const std::vector<std::uint8_t> expected = {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99,
                                                0x88, 0x77, 0x00, 0xCC, 0xBB, 0xAA, 0,
                                                0,    0,    0,    0,    0,    0x00};
    EXPECT_EQ(read.bits, expected);
}

TEST(MemoryBlitFormat, ThirtyTwoBitPixelsAreBlueGreenRedZero) {
    auto display = AttachMemoryDesktop(FreshMemoryName(4, 1, "32"));
    ASSERT_TRUE(display);
    display->SetPixel(1, 0, RGB(0x12, 0x34, 0x56));
    const auto read = ReadCell(0, 0, 2, 1, 0xFF);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 0x56, 0x34, 0x12, 0x00};
    EXPECT_EQ(read.bits, expected);
}

TEST(MemoryBlitFormat, MonochromeRowsPadTo16Bits) {
    auto display = AttachMemoryDesktop(FreshMemoryName(20, 2, "1"));
    ASSERT_TRUE(display);
    display->FillRect(0, 0, 20, 2, RGB(0, 0, 0));
    display->SetPixel(0, 0, RGB(255, 255, 255));
    display->SetPixel(9, 0, RGB(255, 255, 255));
    display->SetPixel(16, 1, RGB(255, 255, 255));
    const auto read = ReadCell(0, 0, 17, 2, 0);
    EXPECT_EQ(read.description.bmWidthBytes, 4);
    const std::vector<std::uint8_t> expected = {0x80, 0x40, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00};
    EXPECT_EQ(read.bits, expected);
}

TEST(MemoryBlitFormat, LoadRgbConvertsToTheDepth) {
    const std::uint8_t rgb[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    auto sixteen = AttachMemoryDesktop(FreshMemoryName(4, 1, "16"));
    ASSERT_TRUE(sixteen);
    sixteen->LoadRgb(0, 0, 4, 1, rgb, sizeof rgb);
    EXPECT_EQ(sixteen->PixelValue(0, 0), 0xF800u);
    EXPECT_EQ(sixteen->PixelValue(1, 0), 0x07E0u);
    EXPECT_EQ(sixteen->PixelValue(2, 0), 0x001Fu);
    EXPECT_EQ(sixteen->PixelValue(3, 0), 0xFFFFu);
    auto fifteen = AttachMemoryDesktop(FreshMemoryName(4, 1, "15"));
    fifteen->LoadRgb(0, 0, 4, 1, rgb, sizeof rgb);
    EXPECT_EQ(fifteen->PixelValue(0, 0), 0x7C00u);
    EXPECT_EQ(fifteen->PixelValue(3, 0), 0x7FFFu);
    auto four = AttachMemoryDesktop(FreshMemoryName(4, 1, "4"));
    four->LoadRgb(0, 0, 4, 1, rgb, sizeof rgb);
    EXPECT_EQ(four->PixelValue(0, 0), 9u);
    EXPECT_EQ(four->PixelValue(1, 0), 10u);
    EXPECT_EQ(four->PixelValue(2, 0), 12u);
    EXPECT_EQ(four->PixelValue(3, 0), 15u);
    // Drawing past the edges keeps to the screen.
    four->LoadRgb(2, -1, 4, 2, rgb, 6);
    EXPECT_EQ(four->PixelValue(2, 0), 12u);  // from the second row of rgb: blue
    EXPECT_EQ(four->GetPixel(4, 0), CLR_INVALID);
}

TEST(MemoryBlitFormat, ResizeKeepsTheTopLeftAndChangesMetrics) {
    auto display = AttachMemoryDesktop(FreshMemoryName(10, 10, "8"));
    ASSERT_TRUE(display);
    display->SetPixelValue(2, 3, 77);
    ASSERT_TRUE(display->Resize(30, 5));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 30);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 5);
    EXPECT_EQ(display->PixelValue(2, 3), 77u);
    EXPECT_EQ(display->PixelValue(25, 4), 0u);
    EXPECT_FALSE(display->Resize(0, 5));
}

}  // namespace
}  // namespace farvane::gdi
