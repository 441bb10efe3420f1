#include "videodecode/cell_painter.h"

#include <algorithm>
#include <vector>

namespace videodecode {

namespace {

// Expands one row of packed pixels (high bits first) to colours.
void expandRow(std::span<const std::uint8_t> row, int width, std::uint8_t bitsPerPixel,
               const ColourTable& colours, std::span<Rgb> out) {
    if (bitsPerPixel == 8) {
        for (int x = 0; x < width; ++x) {
            out[x] = colours[row[x]];
        }
        return;
    }
    const unsigned mask = (1u << bitsPerPixel) - 1;
    const int perByte = 8 / bitsPerPixel;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bitsPerPixel * (x % perByte + 1);
        out[x] = colours[row[x / perByte] >> shift & mask];
    }
}

}  // namespace

void paintDrawOp(Framebuffer& framebuffer, const DrawOp& op, std::span<const std::uint8_t> source,
                 const ColourTable& colours) {
    const RasterOp& rop = op.rasterOperation;
    const bool withSource = op.hasSource && rop.usesSource();
    std::vector<Rgb> sourceRow(withSource ? op.width : 0);
    for (int y = 0; y < op.height; ++y) {
        std::span<Rgb> target = framebuffer.row(op.y + y).subspan(op.x, op.width);
        if (withSource) {
            expandRow(source.subspan(static_cast<std::size_t>(y) * op.rowBytes, op.rowBytes),
                      op.width, op.bitsPerPixel, colours, sourceRow);
        }
        if (rop.code() == kSrcCopy && withSource) {
            std::copy(sourceRow.begin(), sourceRow.end(), target.begin());
            continue;
        }
        for (int x = 0; x < op.width; ++x) {
            target[x] = rop.apply(op.brushColour, withSource ? sourceRow[x] : 0, target[x]);
        }
    }
}

}  // namespace videodecode
