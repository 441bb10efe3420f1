// Cursors as GetIconInfo hands them out, and the mouse hook's view of the cursor in use.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_support.h"
#include "platform/gdi/cursor_image.h"
#include "platform/gdi/default_colours.h"

namespace farvane::gdi {
namespace {

using testing::AttachMemoryDesktop;
using testing::FreshMemoryName;

struct Bits {
    BITMAP description{};
    std::vector<std::uint8_t> bytes;
};

Bits ReadBitmap(HBITMAP bitmap) {
    Bits bits;
    GetObjectA(bitmap, sizeof bits.description, &bits.description);
    bits.bytes.resize(static_cast<std::size_t>(GetBitmapBits(bitmap, 0, nullptr)));
    GetBitmapBits(bitmap, static_cast<LONG>(bits.bytes.size()), bits.bytes.data());
    return bits;
}

bool Bit(const Bits& bits, int x, int y) {
    return (bits.bytes[bits.description.bmWidthBytes * y + x / 8] >> (7 - x % 8)) & 1;
}

class HookScope {
public:
    HookScope() { HookMouseInstall(); }
    ~HookScope() { HookMouseRemove(); }
};

TEST(Cursor, StandardArrowIsMonochromeWithStackedMasks) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    EXPECT_EQ(LoadCursorA(nullptr, "ARROW"), nullptr);
    EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(0x400000), IDC_ARROW), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr);
    const Bits mask = ReadBitmap(info.hbmMask);
    EXPECT_EQ(mask.description.bmWidth, 32);
    EXPECT_EQ(mask.description.bmHeight, 64);
    EXPECT_EQ(mask.description.bmWidthBytes, 4);
    EXPECT_EQ(mask.description.bmBitsPixel, 1);
    ASSERT_EQ(mask.bytes.size(), 256u);
    // The tip is drawn black (AND 0, XOR 0), the inside white (AND 0, XOR 1), the far corner
    // is transparent (AND 1, XOR 0).
    EXPECT_FALSE(Bit(mask, 0, 0));
    EXPECT_FALSE(Bit(mask, 0, 32));
    EXPECT_FALSE(Bit(mask, 1, 5));
    EXPECT_TRUE(Bit(mask, 1, 32 + 5));
    EXPECT_TRUE(Bit(mask, 31, 31));
    EXPECT_FALSE(Bit(mask, 31, 63));
    // Each call gives new bitmaps that the caller deletes.
    ICONINFO again{};
    ASSERT_TRUE(GetIconInfo(arrow, &again));
    EXPECT_NE(again.hbmMask, info.hbmMask);
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_TRUE(DeleteObject(again.hbmMask));
    EXPECT_FALSE(GetIconInfo(nullptr, &info));
    EXPECT_FALSE(GetIconInfo(arrow, nullptr));
}

TEST(Cursor, HookReportsTheCursorInUseOnlyWhileInstalled) {
    auto display = AttachMemoryDesktop(FreshMemoryName(64, 64, "32"));
    ASSERT_TRUE(display);
    EXPECT_FALSE(HookMouseRemove());
    EXPECT_EQ(HookMouseQuery(), nullptr);
    {
        HookScope hook;
        EXPECT_EQ(HookMouseQuery(), LoadCursorA(nullptr, IDC_ARROW));
        display->UseCursor(nullptr);
        EXPECT_EQ(HookMouseQuery(), nullptr);
        const std::vector<std::uint8_t> andMask(2 * 16, 0xFF);
        const std::vector<std::uint8_t> xorMask(2 * 16, 0x00);
        HCURSOR first = display->SetMonochromeCursor(16, 16, 1, 2, andMask.data(), xorMask.data());
        ASSERT_TRUE(first);
        EXPECT_EQ(HookMouseQuery(), first);
        HCURSOR second = display->SetMonochromeCursor(16, 16, 1, 2, andMask.data(), xorMask.data());
        EXPECT_NE(second, first);  // a new shape is a new cursor
        EXPECT_EQ(HookMouseQuery(), second);
    }
    EXPECT_EQ(HookMouseQuery(), nullptr);
}

TEST(Cursor, MonochromeCursorOfAnySize) {
    auto display = AttachMemoryDesktop(FreshMemoryName(64, 64, "8p"));
    ASSERT_TRUE(display);
    // 20 x 3: rows of 4 bytes.
    std::vector<std::uint8_t> andMask(4 * 3, 0x00);
    std::vector<std::uint8_t> xorMask(4 * 3, 0x00);
    andMask[0] = 0x80;
    xorMask[4 * 2 + 2] = 0x10;  // pixel 19 of row 2
    HCURSOR cursor = display->SetMonochromeCursor(20, 3, 19, 2, andMask.data(), xorMask.data());
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, 19u);
    EXPECT_EQ(info.yHotspot, 2u);
    EXPECT_EQ(info.hbmColor, nullptr);
    const Bits mask = ReadBitmap(info.hbmMask);
    EXPECT_EQ(mask.description.bmHeight, 6);
    EXPECT_EQ(mask.description.bmWidthBytes, 4);
    EXPECT_TRUE(Bit(mask, 0, 0));
    EXPECT_FALSE(Bit(mask, 1, 0));
    EXPECT_TRUE(Bit(mask, 19, 3 + 2));
    DeleteObject(info.hbmMask);
    EXPECT_EQ(display->SetMonochromeCursor(0, 3, 0, 0, andMask.data(), xorMask.data()), nullptr);
    EXPECT_EQ(display->SetMonochromeCursor(20, 3, 20, 0, andMask.data(), xorMask.data()), nullptr);
    EXPECT_EQ(display->SetMonochromeCursor(20, 3, 0, 0, nullptr, xorMask.data()), nullptr);
}

TEST(Cursor, ColourCursorAtTheDisplayDepth) {
    auto display = AttachMemoryDesktop(FreshMemoryName(64, 64, "24"));
    ASSERT_TRUE(display);
    // 5 x 2, so the 24-bit rows need a filler byte (15 -> 16).
    std::vector<std::uint8_t> andMask(2 * 2, 0x00);
    andMask[0] = 0x08;  // pixel 4 of row 0 transparent
    std::vector<std::uint8_t> rgb(5 * 2 * 3, 0);
    rgb[0] = 0x10;  // pixel 0: red 0x10, green 0x20, blue 0x30
    rgb[1] = 0x20;
    rgb[2] = 0x30;
    HCURSOR cursor = display->SetColourCursor(5, 2, 2, 1, andMask.data(), rgb.data());
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    ASSERT_TRUE(info.hbmColor);
    const Bits mask = ReadBitmap(info.hbmMask);
    EXPECT_EQ(mask.description.bmWidth, 5);
    EXPECT_EQ(mask.description.bmHeight, 2);  // the AND mask alone
    EXPECT_TRUE(Bit(mask, 4, 0));
    EXPECT_FALSE(Bit(mask, 3, 0));
    const Bits colour = ReadBitmap(info.hbmColor);
    EXPECT_EQ(colour.description.bmBitsPixel, 24);
    EXPECT_EQ(colour.description.bmWidthBytes, 16);
    EXPECT_EQ(colour.description.bmHeight, 2);
    ASSERT_EQ(colour.bytes.size(), 32u);
    EXPECT_EQ(colour.bytes[0], 0x30);
    EXPECT_EQ(colour.bytes[1], 0x20);
    EXPECT_EQ(colour.bytes[2], 0x10);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST(Cursor, ColourCursorAtAStatedDepth) {
    auto display = AttachMemoryDesktop(FreshMemoryName(64, 64, "32"));
    ASSERT_TRUE(display);
    std::vector<std::uint8_t> andMask(4 * 32, 0x00);
    std::vector<std::uint8_t> rgb(32 * 32 * 3, 0xFF);
    for (int bpp : {8, 16, 32}) {
        HCURSOR cursor = display->SetColourCursor(32, 32, 0, 0, andMask.data(), rgb.data(), bpp);
        ASSERT_TRUE(cursor) << bpp;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        const Bits colour = ReadBitmap(info.hbmColor);
        EXPECT_EQ(colour.description.bmBitsPixel, bpp);
        EXPECT_EQ(colour.description.bmWidthBytes, 32 * bpp / 8);
        // Mask plus colour image of a 32 x 32 cursor at 32 bits fill 4224 bytes.
        if (bpp == 32) {
            EXPECT_EQ(colour.bytes.size() + ReadBitmap(info.hbmMask).bytes.size(), 4224u);
        }
        const COLORREF first = DecodePixel(PixelFormat::ForDepth(bpp), Default256Colours(),
                                           ReadPixel(colour.bytes.data(), 0, bpp));
        EXPECT_EQ(first, RGB(255, 255, 255));
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
    EXPECT_EQ(display->SetColourCursor(32, 32, 0, 0, andMask.data(), rgb.data(), 7), nullptr);
}

TEST(Cursor, ArgbImagesBecomeThirtyTwoPixelColourCursors) {
    const PixelFormat format = PixelFormat::ForDepth(32);
    const ColourTable none;
    // 16 x 16: opaque red square at the top left quarter, half-transparent blue next to it.
    std::vector<std::uint32_t> small(16 * 16, 0);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            small[y * 16 + x] = 0xFFFF0000u;
            small[y * 16 + x + 8] = 0x80000080u;  // premultiplied: full blue at alpha 0x80
        }
    }
    HCURSOR cursor = MakeCursorFromArgb(16, 16, 3, 4, small.data(), format, none);
    ASSERT_TRUE(cursor);
    auto image = FindCursor(cursor);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->hotX, 3);
    EXPECT_EQ(image->hotY, 4);
    EXPECT_TRUE(image->colour);
    auto maskBit = [&](int x, int y) { return (image->mask[4 * y + x / 8] >> (7 - x % 8)) & 1; };
    auto colourAt = [&](int x, int y) {
        return ReadPixel(image->colourBits.data() + 128 * y, x, 32);
    };
    EXPECT_EQ(maskBit(0, 0), 0);
    EXPECT_EQ(colourAt(0, 0), 0x00FF0000u);
    EXPECT_EQ(maskBit(9, 0), 0);
    EXPECT_EQ(colourAt(9, 0), 0x000000FFu);
    EXPECT_EQ(maskBit(0, 9), 1);  // transparent inside the image
    EXPECT_EQ(colourAt(0, 9), 0u);
    EXPECT_EQ(maskBit(20, 20), 1);  // outside the image
    // 64 x 64 scales down by two, hot spot too.
    std::vector<std::uint32_t> large(64 * 64, 0xFF00FF00u);
    auto scaled = FindCursor(MakeCursorFromArgb(64, 64, 40, 62, large.data(), format, none));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled->width, 32);
    EXPECT_EQ(scaled->hotX, 20);
    EXPECT_EQ(scaled->hotY, 31);
    EXPECT_EQ(ReadPixel(scaled->colourBits.data() + 128 * 31, 31, 32), 0x0000FF00u);
    EXPECT_EQ(MakeCursorFromArgb(0, 4, 0, 0, large.data(), format, none), nullptr);
}

TEST(Cursor, PositionStaysOnTheScreen) {
    auto display = AttachMemoryDesktop(FreshMemoryName(64, 48, "16"));
    ASSERT_TRUE(display);
    ASSERT_TRUE(SetCursorPos(10, 20));
    POINT point{};
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 10);
    EXPECT_EQ(point.y, 20);
    ASSERT_TRUE(SetCursorPos(500, -3));
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 63);
    EXPECT_EQ(point.y, 0);
    EXPECT_FALSE(GetCursorPos(nullptr));
}

}  // namespace
}  // namespace farvane::gdi
