// The cell painter on its own, given records that the parser would refuse: it must keep to the
// framebuffer and to the pixel data it is given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "videodecode/cell_painter.h"

namespace {

using namespace videodecode;

constexpr Rgb kInk = 0x123456;

struct Painted {
    Framebuffer framebuffer;
    ColourTable colours{};

    Painted() {
        framebuffer.resize(8, 8);
        colours[7] = kInk;
    }
    void paint(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height,
               std::uint16_t rowBytes, const std::vector<std::uint8_t>& pixels) {
        DrawOp op;
        op.x = x;
        op.y = y;
        op.width = width;
        op.height = height;
        op.hasSource = true;
        op.bitsPerPixel = 8;
        op.rowBytes = rowBytes;
        paintDrawOp(framebuffer, op, pixels, colours);
    }
    // The inked pixels, as "x,y" in row order.
    std::vector<std::string> inked() const {
        std::vector<std::string> found;
        for (int y = 0; y < framebuffer.height(); ++y) {
            for (int x = 0; x < framebuffer.width(); ++x) {
                if (framebuffer.pixel(x, y) == kInk) {
                    found.push_back(std::to_string(x) + "," + std::to_string(y));
                }
            }
        }
        return found;
    }
};

using Pixels = std::vector<std::string>;

TEST(CellPainter, ClipsAtTheRightAndBottomEdges) {
    Painted painted;
    // Unclipped, row 6 would run on into the start of row 7, and rows 8 and 9 past the end.
    painted.paint(6, 6, 4, 4, 4, std::vector<std::uint8_t>(16, 7));
    EXPECT_EQ(painted.inked(), (Pixels{"6,6", "7,6", "6,7", "7,7"}));
    Painted outside;
    outside.paint(9, 9, 2, 2, 2, std::vector<std::uint8_t>(4, 7));
    EXPECT_TRUE(outside.inked().empty());
}

TEST(CellPainter, DrawsOnlyWhatTheSourceHolds) {
    Painted shortRows;  // two rows of data for a rectangle four rows high
    shortRows.paint(0, 0, 2, 4, 2, std::vector<std::uint8_t>(4, 7));
    EXPECT_EQ(shortRows.inked(), (Pixels{"0,0", "1,0", "0,1", "1,1"}));
    Painted narrowRows;  // rows of two bytes for a rectangle three pixels wide
    narrowRows.paint(0, 0, 3, 1, 2, std::vector<std::uint8_t>(2, 7));
    EXPECT_EQ(narrowRows.inked(), (Pixels{"0,0", "1,0"}));
}

}  // namespace
