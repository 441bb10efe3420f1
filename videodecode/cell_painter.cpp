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

struct PaintArea {
    int width = 0;
    int height = 0;
};

// The part of the record's rectangle that lies inside the framebuffer and, with a source, that
// the source's rows and row bytes hold. The record parser refuses records that break either
// bound; clipping here as well means that a fault in those checks can never make the painter
// write outside the framebuffer or read outside the record's data.
PaintArea clippedArea(const Framebuffer& framebuffer, const DrawOp& op,
                      std::span<const std::uint8_t> source, bool withSource) {
    PaintArea area;
    area.width = std::max(0, std::min<int>(op.width, framebuffer.width() - op.x));
    area.height = std::max(0, std::min<int>(op.height, framebuffer.height() - op.y));
    if (withSource) {
        const int bits = op.bitsPerPixel;
        const bool packable = bits == 1 || bits == 2 || bits == 4 || bits == 8;
        const std::size_t rows = op.rowBytes == 0 ? 0 : source.size() / op.rowBytes;
        area.height = static_cast<int>(std::min<std::size_t>(area.height, rows));
        area.width = packable ? std::min(area.width, op.rowBytes * 8 / bits) : 0;
    }
    return area;
}

}  // namespace

void paintDrawOp(Framebuffer& framebuffer, const DrawOp& op, std::span<const std::uint8_t> source,
                 const ColourTable& colours) {
    const RasterOp& rop = op.rasterOperation;
    const bool withSource = op.hasSource && rop.usesSource();
    const PaintArea area = clippedArea(framebuffer, op, source, withSource);
    if (area.width == 0 || area.height == 0) {
        return;
    }
    std::vector<Rgb> sourceRow(withSource ? area.width : 0);
    for (int y = 0; y < area.height; ++y) {
        std::span<Rgb> target = framebuffer.row(op.y + y).subspan(op.x, area.width);
        if (withSource) {
            expandRow(source.subspan(static_cast<std::size_t>(y) * op.rowBytes, op.rowBytes),
                      area.width, op.bitsPerPixel, colours, sourceRow);
        }
        if (rop.code() == kSrcCopy && withSource) {
            std::copy(sourceRow.begin(), sourceRow.end(), target.begin());
            continue;
        }
        for (int x = 0; x < area.width; ++x) {
            target[x] = rop.apply(op.brushColour, withSource ? sourceRow[x] : 0, target[x]);
        }
    }
}

}  // namespace videodecode
