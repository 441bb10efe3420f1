// The scan reads a cell (or a whole row of cells) straight from the screen and checksums it on
// the way; the cell buffers and the checksums must be exactly what the way through the cell bitmap
// (GetScreenBits, then CheckSum) gives, at every depth, with and without filler bytes at the ends
// of rows.
#include <gtest/gtest.h>

#include <random>

#include "scanner_harness.h"

namespace scantest {
namespace {

struct DirectCase {
    const char* depth;
    const char* cellWidth;
};

class DirectRead : public ::testing::TestWithParam<DirectCase> {};

TEST_P(DirectRead, SameBytesAndChecksumAsThroughTheCellBitmap) {
    HarnessOptions options;
    options.desktop = MemoryDesktop(130, 24, GetParam().depth);
    options.cellWidth = GetParam().cellWidth;
    ScannerHarness harness(options);
    ScannerProbe* scanner = harness.Start();  // no video allowed: the check thread waits
    std::mt19937 random(5);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 130; ++x) {
            harness.display()->SetPixel(x, y, random() & 0xFFFFFF);
        }
    }
    const std::size_t size = scanner->CellBufferSize();
    ASSERT_GT(size, 0u);
    for (WORD row = 0; row < scanner->Rows(); ++row) {
        // A whole row read at once gives every cell of the row the same bytes and checksum.
        ASSERT_TRUE(scanner->ReadRowWithChecksums(row));
        std::vector<std::vector<BYTE>> rowCells;
        std::vector<DWORD> rowChecksums;
        for (WORD column = 0; column < scanner->Columns(); ++column) {
            rowCells.emplace_back(scanner->RowCellBuffer(column),
                                  scanner->RowCellBuffer(column) + size);
            rowChecksums.push_back(scanner->RowCellChecksum(column));
        }
        // Summed where the display keeps them, without a copy: the same checksums.
        ASSERT_TRUE(scanner->SumRowInPlace(row));
        for (WORD column = 0; column < scanner->Columns(); ++column) {
            EXPECT_EQ(scanner->RowCellSum(column), rowChecksums[column])
                << "row summed, cell " << column << "," << row;
        }
        for (WORD column = 0; column < scanner->Columns(); ++column) {
            DWORD direct = 0;
            ASSERT_TRUE(scanner->ReadCellWithChecksum(column, row, &direct));
            const std::vector<BYTE> directBytes(scanner->CellBuffer(),
                                                scanner->CellBuffer() + size);
            std::vector<BYTE> bitmapBytes(size, 0xEE);
            ASSERT_EQ(
                scanner->GetScreenBits(column, row, bitmapBytes.data(), static_cast<DWORD>(size)),
                static_cast<int>(size));
            EXPECT_EQ(directBytes, bitmapBytes) << "cell " << column << "," << row;
            EXPECT_EQ(direct, scanner->CheckSum(bitmapBytes.data(), scanner->CellDataSize()))
                << "cell " << column << "," << row;
            EXPECT_EQ(rowCells[column], bitmapBytes) << "row read, cell " << column << "," << row;
            EXPECT_EQ(rowChecksums[column], direct) << "row read, cell " << column << "," << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, DirectRead,
                         ::testing::Values(DirectCase{"8", ""}, DirectCase{"8p", "13"},
                                           DirectCase{"15", ""}, DirectCase{"16", "13"},
                                           DirectCase{"24", ""}, DirectCase{"24", "13"},
                                           DirectCase{"32", ""}, DirectCase{"32", "65"}));

// Below 8 bits per pixel a row of a cell need not start on a byte: such cells take the way
// through the cell bitmap.
TEST(DirectRead, CellsOfFewerThanEightBitsPerPixelGoThroughTheBitmap) {
    for (const char* depth : {"1", "4"}) {
        HarnessOptions options;
        options.desktop = MemoryDesktop(64, 16, depth);
        ScannerHarness harness(options);
        ScannerProbe* scanner = harness.Start();
        DWORD checksum = 0;
        EXPECT_FALSE(scanner->ReadCellWithChecksum(0, 0, &checksum)) << depth;
        EXPECT_FALSE(scanner->ReadRowWithChecksums(0)) << depth;
    }
}

}  // namespace
}  // namespace scantest
