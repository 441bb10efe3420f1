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

// Narrow configured cells on large screens: raising the height to stay within 2048 cells picks
// a height that divides the screen height, so no row of pixels is left unscanned at the bottom.
TEST(CellGrid, FittingTheCellLimitCoversTheWholeHeight) {
    struct Case {
        int width, height;
        std::uint16_t cellWidth, cellHeight;
        int expectedHeight;
    };
    for (const Case c :
         {Case{1920, 1080, 64, 8, 18}, Case{2560, 1440, 64, 8, 30}, Case{2560, 1440, 80, 8, 24},
          Case{1280, 800, 40, 8, 16}, Case{1920, 1080, 32, 4, 36}, Case{1680, 1050, 0, 2, 3}}) {
        const auto grid = FitCellGrid(c.width, c.height, c.cellWidth, c.cellHeight, 1, 32);
        EXPECT_EQ(grid.cellHeight, c.expectedHeight) << c.width << "x" << c.height;
        EXPECT_LE(grid.columns * grid.rows, 2048) << c.width << "x" << c.height;
        EXPECT_EQ(grid.rows * grid.cellHeight, c.height) << c.width << "x" << c.height;
    }
    // No divisor near (1019 is prime): the height with the shortest strip. The least height that
    // fits, 16, would leave 11 rows of pixels; 29 leaves 4.
    const auto prime = FitCellGrid(1280, 1019, 40, 1, 1, 8);
    EXPECT_LE(prime.columns * prime.rows, 2048);
    EXPECT_EQ(prime.cellHeight, 29);
    EXPECT_EQ(1019 - prime.rows * prime.cellHeight, 4);
    // A grid within the limit keeps the configured height, strip and all.
    EXPECT_EQ(FitCellGrid(1280, 800, 320, 3, 1, 32).cellHeight, 3);
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
