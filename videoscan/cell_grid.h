// How the screen is divided into cells.
#pragma once

#include <cstdint>

namespace videoscan {

// Most cells a grid has: the scanner keeps a palette generation per cell and the bitmap cache
// at most as many entries, in fixed tables.
inline constexpr unsigned kMaxCells = 2048;

struct CellGrid {
    std::uint16_t cellWidth = 0;
    std::uint16_t cellHeight = 0;
    std::uint16_t columns = 0;
    std::uint16_t rows = 0;
};

// The grid for a screen from the configured cell size ("CellWidth" and "CellHeight" as 16-bit
// values: 0 or more than the screen means a quarter of the screen width, and 8 rows).
//
// Two limits keep every cell sendable: one cell's record (its pixels at the depth they travel
// at, at most 8 bits per pixel, plus 39 bytes) must fit the 10240-byte sequence buffer, so the
// cell height is lowered (and, for very wide cells, the width) until it does; and the grid may
// hold at most 2048 cells, so cells are made taller (and narrower grids wider) until it does,
// to a height that divides the screen height where one is near (else the one that leaves the
// shortest strip), so that fitting the limit does not leave rows of the screen unscanned.
// Cells are at most 2040 pixels wide, since the row bytes of 1-bit cells travel in one byte.
// When both cannot hold at once (a screen of more than about 20 million pixels) the rows past
// the 2048th cell are left out. A strip narrower than a cell at the right or bottom edge is
// never scanned.
CellGrid FitCellGrid(int screenWidth, int screenHeight, std::uint16_t configuredWidth,
                     std::uint16_t configuredHeight, int planes, int bitsPerPixel);

}  // namespace videoscan
