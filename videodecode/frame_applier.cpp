#include "videodecode/frame_applier.h"

#include "videodecode/cell_painter.h"
#include "videodecode/pixel_colours.h"

namespace videodecode {

void FrameApplier::apply(const CheckedFrame& frame) {
    if (frame.palette) {
        framebuffer_.setPalette(*frame.palette);
    }
    for (const RecordOp& op : frame.ops) {
        if (const auto* start = std::get_if<StartOp>(&op)) {
            framebuffer_.resize(start->width, start->height);
            cache_.clear();
        } else if (const auto* drawing = std::get_if<DrawOp>(&op)) {
            draw(*drawing, frame.state.deviceColours);
        } else if (const auto* cursor = std::get_if<CursorOp>(&op)) {
            framebuffer_.setCursor(cursor->shape);
        }
    }
}

void FrameApplier::draw(const DrawOp& op, std::uint16_t deviceColours) {
    std::span<const std::uint8_t> source = op.pixels;
    if (op.cacheStore) {
        cache_.store(*op.cacheStore, op.pixels);
    }
    if (op.cacheDraw) {
        source = cache_.bitmap(*op.cacheDraw, op.sourceBytes());
    }
    ColourTable colours{};
    if (op.hasSource) {
        colours = colourTableFor(op.bitsPerPixel, framebuffer_.palette(), deviceColours,
                                 op.textColour, op.backgroundColour);
    }
    paintDrawOp(framebuffer_, op, source, colours);
}

}  // namespace videodecode
