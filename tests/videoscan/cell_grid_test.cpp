// How the screen is divided into cells, with the configured sizes and the two limits.
#include <gtest/gtest.h>

#include "videoscan/cell_grid.h"

namespace {

using videoscan::FitCellGrid;

TEST(CellGrid, DefaultsAreAQuarterOfTheWidthAndEightRows) {
    const auto grid = FitCellGrid(1024, 768, 0xFFFF, 0xFFFF, 1, 32);
    EXPECT_EQ(grid.cellWidth, 256);
    EXPECT_EQ(grid.cellHeight, 8);
    EXPECT_EQ(grid.columns, 4);
    EXPECT_EQ(grid.rows, 96);
    // 0 and sizes beyond the screen behave as absent.
    const auto zero = FitCellGrid(1024, 768, 0, 0, 1, 32);
    EXPECT_EQ(zero.cellWidth, 256);
    EXPECT_EQ(zero.cellHeight, 8);
    const auto wide = FitCellGrid(1024, 768, 1025, 769, 1, 32);
    EXPECT_EQ(wide.cellWidth, 256);
    EXPECT_EQ(wide.cellHeight, 8);
}

TEST(CellGrid, ConfiguredSizesLeaveAStripAtTheEdges) {
    const auto grid = FitCellGrid(1000, 750, 64, 16, 1, 8);
    EXPECT_EQ(grid.cellWidth, 64);
    EXPECT_EQ(grid.cellHeight, 16);
    EXPECT_EQ(grid.columns, 15);  // 40 pixels at the right are never scanned
    EXPECT_EQ(grid.rows, 46);
}

TEST(CellGrid, CellsNeverOutgrowTheSequenceBuffer) {
    // A quarter of 8192 at 8 rows would be 16384 bytes a cell at one byte per pixel.
    const auto grid = FitCellGrid(8192, 1024, 0xFFFF, 0xFFFF, 1, 32);
    EXPECT_LE(grid.cellWidth * grid.cellHeight + 39, 10240);
    EXPECT_GE(grid.cellHeight, 1);
    // A configured full-screen cell.
    const auto whole = FitCellGrid(640, 480, 640, 480, 1, 24);
    EXPECT_EQ(whole.cellWidth, 640);
    EXPECT_EQ(whole.cellHeight, 15);  // 15 x 640 + 39 <= 10240
    EXPECT_EQ(whole.rows, 32);
    // At 1 bit per pixel a row of 640 pixels is 80 bytes.
    const auto mono = FitCellGrid(640, 480, 640, 480, 1, 1);
    EXPECT_EQ(mono.cellHeight, 127);
    // Rows of 1-bit cells carry their row bytes in one byte.
    const auto wideMono = FitCellGrid(4096, 64, 4096, 8, 1, 1);
    EXPECT_LE((wideMono.cellWidth + 7) / 8, 255);
}

TEST(CellGrid, GridNeverExceeds2048Cells) {
    // 1-pixel cells: the width is raised until at most 2048 columns remain.
    const auto tiny = FitCellGrid(4000, 100, 1, 1, 1, 8);
    EXPECT_LE(tiny.columns * tiny.rows, 2048);
    EXPECT_GT(tiny.columns, 0);
    // Many rows: cells get taller, and the whole height is still covered within a cell.
    const auto tall = FitCellGrid(1920, 8000, 0xFFFF, 0xFFFF, 1, 32);
    EXPECT_LE(tall.columns * tall.rows, 2048);
    EXPECT_GT(tall.rows * tall.cellHeight + tall.cellHeight, 8000 - 1);
    EXPECT_LE(tall.cellWidth * tall.cellHeight + 39, 10240);
    // A screen too large for both limits: rows past the 2048th cell are left out.
    const auto huge = FitCellGrid(16384, 16384, 0xFFFF, 0xFFFF, 1, 32);
    EXPECT_LE(huge.columns * huge.rows, 2048);
    EXPECT_LE(huge.cellWidth * huge.cellHeight + 39, 10240);
}

TEST(CellGrid, TinyScreens) {
    const auto grid = FitCellGrid(3, 5, 0xFFFF, 0xFFFF, 1, 8);
    EXPECT_EQ(grid.cellWidth, 1);
    EXPECT_EQ(grid.cellHeight, 5);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.rows, 1);
    EXPECT_EQ(FitCellGrid(0, 0, 0, 0, 1, 8).columns, 0);
}

}  // namespace
