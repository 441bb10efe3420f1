// The pixel reducer, byte by byte: true colour and high colour to BBBGGRRR, the packing of
// 8-bit cells into 1, 2 and 4 bits per pixel, rows with filler bytes.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "videoscan/pixel_reducer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using videoscan::CellBits;

CellBits Cell(Bytes& bytes, std::uint16_t rowBytes, std::uint16_t stride, std::uint16_t rows) {
    CellBits cell;
    cell.data = bytes.data();
    cell.rowBytes = rowBytes;
    cell.stride = stride;
    cell.rows = rows;
    cell.dataLength = static_cast<std::uint32_t>(rowBytes) * rows;
    return cell;
}

Bytes Reduced(const CellBits& cell) {
    return Bytes(cell.data, cell.data + cell.dataLength);
}

TEST(PixelReducer, TrueColourBecomesThreeThreeTwo) {
    // Two 32-bit pixels per row (blue, green, red, 0), two rows.
    Bytes bits = {0xFF, 0x40, 0x20, 0, 0x1F, 0xFF, 0xE0, 0,   // row 0
                  0x00, 0x00, 0x00, 0, 0xFF, 0xFF, 0xFF, 0};  // row 1
    CellBits cell = Cell(bits, 8, 8, 2);
    EXPECT_EQ(videoscan::ReducePixels(cell, 32, 0, 0, {}), 8);
    EXPECT_EQ(cell.rowBytes, 2);
    EXPECT_EQ(cell.stride, 2);
    EXPECT_EQ(Reduced(cell), (Bytes{0xE9, 0x1F, 0x00, 0xFF}));
}

TEST(PixelReducer, TwentyFourBitRowsWithFillerAreReadAtTheirStride) {
    // Three pixels wide: 9 bytes of pixels and one filler byte per row.
    Bytes bits = {0,    0,    0xFF, 0,    0xFF, 0,    0xFF, 0, 0, 0xAA,
                  0xFF, 0xFF, 0xFF, 0x20, 0x40, 0x60, 0,    0, 0, 0xAA};
    CellBits cell = Cell(bits, 9, 10, 2);
    EXPECT_EQ(videoscan::ReducePixels(cell, 24, 0, 0, {}), 8);
    EXPECT_EQ(Reduced(cell), (Bytes{0x07, 0x18, 0xE0, 0xFF, 0x2B, 0x00}));
}

TEST(PixelReducer, HighColourInBothFormats) {
    // 5-5-5: 0x7FFF white, 0x0000 black, pure red 0x7C00, 5-bit 4 in each (0x1084).
    Bytes bits555 = {0xFF, 0x7F, 0x00, 0x00, 0x00, 0x7C, 0x84, 0x10};
    CellBits cell = Cell(bits555, 8, 8, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 16, 0, videoscan::kColourFormat555, {}), 8);
    // 4 widens to 40 (0x28): red 1, green 0 (0x28 & 0xC0), blue 0x20.
    EXPECT_EQ(Reduced(cell), (Bytes{0xFF, 0x00, 0x07, 0x21}));
    // Red and blue 3 widen to 32, green 7 to 64: each just reaches a level the byte keeps.
    Bytes edges = {0xE3, 0x0C};
    cell = Cell(edges, 2, 2, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 16, 0, videoscan::kColourFormat555, {}), 8);
    EXPECT_EQ(Reduced(cell), (Bytes{0x29}));

    // 5-6-5: white 0xFFFF, pure red 0xF800, pure green 0x07E0, pure blue 0x001F.
    Bytes bits565 = {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};
    cell = Cell(bits565, 8, 8, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 16, 3, 565, {}), 8);
    EXPECT_EQ(Reduced(cell), (Bytes{0xFF, 0x07, 0x18, 0xE0}));
}

TEST(PixelReducer, EmptyCellStaysEightBits) {
    Bytes none;
    CellBits cell = Cell(none, 0, 0, 0);
    EXPECT_EQ(videoscan::ReducePixels(cell, 32, 1, 0, {}), 8);
}

TEST(PixelReducer, EightBitCellsPackByMode) {
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<std::uint8_t>(i);  // value = low bits of the pixel
    }
    const videoscan::ReductionTables tables{table, table};

    // Mode 0: untouched.
    Bytes bits(10);
    std::iota(bits.begin(), bits.end(), 1);
    CellBits cell = Cell(bits, 5, 5, 2);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 0, 0, tables), 8);
    EXPECT_EQ(cell.rowBytes, 5);

    // Mode 1: 1 bit per pixel; 9 pixels give 2 bytes a row; rows start on a byte; unused bits 0.
    Bytes mono = {1, 0, 1, 1, 0, 0, 1, 0, 1, 0xEE,  // 9 pixels and a filler byte
                  0, 1, 0, 0, 1, 1, 0, 1, 1, 0xEE};
    cell = Cell(mono, 9, 10, 2);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 1, 0, tables), 1);
    EXPECT_EQ(cell.rowBytes, 2);
    EXPECT_EQ(Reduced(cell), (Bytes{0xB2, 0x80, 0x4D, 0x80}));

    // Mode 2: 2 bits per pixel, values masked to 2 bits.
    Bytes two = {3, 2, 1, 0, 7, 0, 0, 0};
    cell = Cell(two, 5, 5, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 2, 0, tables), 2);
    EXPECT_EQ(cell.rowBytes, 2);
    EXPECT_EQ(Reduced(cell), (Bytes{0xE4, 0xC0}));

    // Mode 3 and any other non-zero mode: 4 bits per pixel.
    Bytes four = {0x1A, 0x0B, 0x0C};
    cell = Cell(four, 3, 3, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 7, 0, tables), 4);
    EXPECT_EQ(Reduced(cell), (Bytes{0xAB, 0xC0}));
}

TEST(PixelReducer, ModeTablesChooseTheValues) {
    std::uint8_t mono[256] = {};
    std::uint8_t reduced[256] = {};
    mono[9] = 1;
    reduced[9] = 2;
    Bytes bits = {9, 8, 9, 8};
    CellBits cell = Cell(bits, 4, 4, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 1, 0, {mono, reduced}), 1);
    EXPECT_EQ(Reduced(cell), (Bytes{0xA0}));
    Bytes again = {9, 8, 9, 8};
    cell = Cell(again, 4, 4, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 8, 2, 0, {mono, reduced}), 2);
    EXPECT_EQ(Reduced(cell), (Bytes{0x88}));
}

TEST(PixelReducer, ShallowCellsAreLeftAlone) {
    Bytes bits = {0x12, 0x34};
    CellBits cell = Cell(bits, 2, 2, 1);
    EXPECT_EQ(videoscan::ReducePixels(cell, 4, 1, 0, {}), 4);
    EXPECT_EQ(Reduced(cell), (Bytes{0x12, 0x34}));
}

}  // namespace
