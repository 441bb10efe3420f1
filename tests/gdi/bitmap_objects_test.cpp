// Handles, selection rules and failure results of the DC and bitmap calls.
#include <gtest/gtest.h>

#include <cstring>

#include "gdi_test_support.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;

class BitmapObjects : public ::testing::Test {
protected:
    void SetUp() override {
        display_ = AttachMemoryDesktop(FreshMemoryName(64, 32, "32"));
        ASSERT_TRUE(display_);
        screen_ = GetDC(GetDesktopWindow());
        ASSERT_TRUE(screen_);
    }
    void TearDown() override { ReleaseDC(GetDesktopWindow(), screen_); }

    std::shared_ptr<MemoryDisplay> display_;
    HDC screen_ = nullptr;
};

TEST_F(BitmapObjects, CreateBitmapChecksItsArguments) {
    EXPECT_EQ(CreateBitmap(-1, 4, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 3, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(100000, 100000, 1, 32, nullptr), nullptr);
    // An empty size gives a 1 x 1 monochrome bitmap.
    HBITMAP empty = CreateBitmap(0, 5, 1, 32, nullptr);
    ASSERT_TRUE(empty);
    BITMAP description{};
    ASSERT_EQ(GetObjectA(empty, sizeof description, &description),
              static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 1);
    EXPECT_EQ(description.bmHeight, 1);
    EXPECT_EQ(description.bmBitsPixel, 1);
    EXPECT_EQ(description.bmWidthBytes, 2);
    EXPECT_TRUE(DeleteObject(empty));
}

TEST_F(BitmapObjects, InitialBitsAreTakenAsPaddedRows) {
    const std::uint8_t bits[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // 3 x 2 at 16 bits
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 16, bits);
    std::uint8_t out[12] = {};
    ASSERT_EQ(GetBitmapBits(bitmap, sizeof out, out), 12);
    EXPECT_EQ(0, std::memcmp(bits, out, sizeof out));
    DeleteObject(bitmap);
}

TEST_F(BitmapObjects, GetObjectAWantsRoomForAWholeBitmapRecord) {
    HBITMAP bitmap = CreateBitmap(5, 3, 1, 32, nullptr);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP) - 1, &description), 0);
    ASSERT_EQ(GetObjectA(bitmap, sizeof description, &description),
              static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmType, 0);
    EXPECT_EQ(description.bmWidthBytes, 20);
    EXPECT_EQ(description.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(screen_, sizeof description, &description), 0);
    DeleteObject(bitmap);
}

TEST_F(BitmapObjects, SelectionRules) {
    HDC first = CreateCompatibleDC(screen_);
    HDC second = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(first && second);
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ stock = SelectObject(first, bitmap);
    ASSERT_NE(stock, nullptr);  // the DC's initial 1 x 1 bitmap
    // One DC at a time.
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    // Not deletable while selected.
    EXPECT_FALSE(DeleteObject(bitmap));
    // Only monochrome bitmaps and bitmaps of the display's layout.
    HBITMAP eightBit = CreateBitmap(8, 8, 1, 8, nullptr);
    EXPECT_EQ(SelectObject(second, eightBit), nullptr);
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, nullptr);
    EXPECT_NE(SelectObject(second, mono), nullptr);
    // Selecting back returns the bitmap that was in.
    EXPECT_EQ(SelectObject(first, stock), static_cast<HGDIOBJ>(bitmap));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), 0);
    EXPECT_EQ(SelectObject(first, bitmap), nullptr);
    // Deleting the DC releases its bitmap.
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteObject(mono));
    EXPECT_TRUE(DeleteObject(eightBit));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
}

TEST_F(BitmapObjects, WrongKindsOfHandlesFail) {
    HDC memory = CreateCompatibleDC(screen_);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    EXPECT_FALSE(DeleteDC(screen_));           // screen DCs are released, not deleted
    EXPECT_EQ(ReleaseDC(nullptr, memory), 0);  // and memory DCs deleted
    EXPECT_FALSE(DeleteObject(memory));
    EXPECT_EQ(SelectObject(screen_, bitmap), nullptr);
    EXPECT_EQ(SelectObject(memory, memory), nullptr);
    EXPECT_EQ(GetBitmapBits(reinterpret_cast<HBITMAP>(memory), 0, nullptr), 0);
    EXPECT_EQ(GetDeviceCaps(reinterpret_cast<HDC>(bitmap), BITSPIXEL), 0);
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(bitmap)), nullptr);
    EXPECT_EQ(GetBkColor(reinterpret_cast<HDC>(bitmap)), CLR_INVALID);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x77)), nullptr);
    EXPECT_EQ(ReleaseDC(reinterpret_cast<HWND>(0x77), screen_), 0);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST_F(BitmapObjects, BitBltRefusesWhatItCannotDo) {
    HDC memory = CreateCompatibleDC(screen_);
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    SelectObject(memory, bitmap);
    EXPECT_FALSE(BitBlt(memory, 0, 0, 4, 4, screen_, 0, 0, PATCOPY));
    EXPECT_FALSE(BitBlt(memory, 0, 0, -4, 4, screen_, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, screen_, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(memory, 0, 0, 0, 0, screen_, 0, 0, SRCCOPY));
    // Wholly outside the screen: nothing to copy, not an error.
    EXPECT_TRUE(BitBlt(memory, 0, 0, 4, 4, screen_, 500, 500, SRCCOPY));
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST_F(BitmapObjects, ColourToMonochromeBlitUsesTheSourceBackground) {
    display_->FillRect(0, 0, 64, 32, RGB(0, 0, 255));
    display_->FillRect(2, 0, 2, 1, RGB(255, 255, 0));
    HDC memory = CreateCompatibleDC(screen_);
    HBITMAP mono = CreateBitmap(8, 1, 1, 1, nullptr);
    SelectObject(memory, mono);
    EXPECT_EQ(SetBkColor(screen_, RGB(255, 255, 0)), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(screen_), RGB(255, 255, 0));
    ASSERT_TRUE(BitBlt(memory, 0, 0, 8, 1, screen_, 0, 0, SRCCOPY));
    std::uint8_t bits[2] = {};
    ASSERT_EQ(GetBitmapBits(mono, 2, bits), 2);
    EXPECT_EQ(bits[0], 0x30);  // 0 0 1 1 0 0 0 0
    EXPECT_EQ(GetTextColor(screen_), RGB(0, 0, 0));
    DeleteDC(memory);
    DeleteObject(mono);
}

TEST_F(BitmapObjects, OverlappingCopyWithinOneBitmap) {
    std::uint8_t bits[4 * 4 * 4];
    for (std::size_t i = 0; i < sizeof bits; ++i) {
        bits[i] = static_cast<std::uint8_t>(i);
    }
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, bits);
    HDC memory = CreateCompatibleDC(screen_);
    SelectObject(memory, bitmap);
    // Shift everything one row down and one pixel right.
    ASSERT_TRUE(BitBlt(memory, 1, 1, 3, 3, memory, 0, 0, SRCCOPY));
    std::uint8_t out[sizeof bits];
    GetBitmapBits(bitmap, sizeof out, out);
    for (int y = 1; y < 4; ++y) {
        for (int x = 1; x < 4; ++x) {
            EXPECT_EQ(out[(y * 4 + x) * 4], bits[((y - 1) * 4 + (x - 1)) * 4]) << x << "," << y;
        }
    }
    EXPECT_EQ(out[0], bits[0]);
    DeleteDC(memory);
    DeleteObject(bitmap);
}

}  // namespace
}  // namespace farvane::gdi
