#include "videoscan/cell_grid.h"

#include <algorithm>

#include "session/video_wire.h"

namespace videoscan {

namespace {

constexpr unsigned kMaxCellData = videowire::kMaxRecordSequence - videowire::kCellRecordOverhead;
// Row bytes of 1-bit cells travel in one byte.
constexpr unsigned kWidestOneBitCell = 255 * 8;

// Bytes of one cell row as it travels: one byte per pixel from 8 bits per pixel up (deeper
// pixels are reduced to 8 bits), packed bits below.
unsigned WireRowBytes(unsigned cellWidth, int planes, int bitsPerPixel) {
    const unsigned bits = bitsPerPixel >= 8 ? 8u : static_cast<unsigned>(bitsPerPixel);
    return static_cast<unsigned>(planes) * ((cellWidth * bits + 7) / 8);
}

unsigned WidestCell(int planes, int bitsPerPixel) {
    const unsigned bits = bitsPerPixel >= 8 ? 8u : static_cast<unsigned>(bitsPerPixel);
    return kMaxCellData / static_cast<unsigned>(planes) * 8 / bits;
}

// The cell height at or above `lowest` that leaves the shortest unscanned strip at the bottom
// of the screen (the lowest such height on a tie). Only heights up to twice the lowest are
// tried, so that raising the height to fit the 2048 cells does not make cells needlessly tall.
unsigned HeightLeavingLeastStrip(unsigned screenHeight, unsigned lowest, unsigned tallest) {
    unsigned best = lowest;
    const unsigned last = std::min(tallest, 2 * lowest);
    for (unsigned height = lowest; height <= last; ++height) {
        if (screenHeight % height < screenHeight % best) {
            best = height;
        }
    }
    return best;
}

}  // namespace

CellGrid FitCellGrid(int screenWidth, int screenHeight, std::uint16_t configuredWidth,
                     std::uint16_t configuredHeight, int planes, int bitsPerPixel) {
    CellGrid grid;
    if (screenWidth <= 0 || screenHeight <= 0 || planes <= 0 || bitsPerPixel <= 0) {
        return grid;
    }
    const auto width = static_cast<unsigned>(screenWidth);
    const auto height = static_cast<unsigned>(screenHeight);
    unsigned cellWidth = configuredWidth;
    if (cellWidth == 0 || cellWidth > width) {
        cellWidth = std::max(width / 4, 1u);
    }
    unsigned cellHeight = configuredHeight;
    if (cellHeight == 0 || cellHeight > height) {
        cellHeight = std::min(8u, height);
    }

    cellWidth = std::min({cellWidth, WidestCell(planes, bitsPerPixel), kWidestOneBitCell});
    if (width / cellWidth > kMaxCells) {
        cellWidth = width / kMaxCells + 1;
    }
    const unsigned tallest =
        std::min(height, kMaxCellData / WireRowBytes(cellWidth, planes, bitsPerPixel));
    cellHeight = std::min(cellHeight, tallest);

    const unsigned columns = width / cellWidth;
    unsigned rows = height / cellHeight;
    if (columns * rows > kMaxCells) {
        const unsigned maxRows = kMaxCells / columns;
        const unsigned needed = height / (maxRows + 1) + 1;
        cellHeight = std::min(std::max(cellHeight, needed), tallest);
        // Any taller cell also keeps the grid within the limit.
        cellHeight = HeightLeavingLeastStrip(height, cellHeight, tallest);
        rows = std::min(height / cellHeight, maxRows);
    }
    grid.cellWidth = static_cast<std::uint16_t>(cellWidth);
    grid.cellHeight = static_cast<std::uint16_t>(cellHeight);
    grid.columns = static_cast<std::uint16_t>(columns);
    grid.rows = static_cast<std::uint16_t>(rows);
    return grid;
}

}  // namespace videoscan
