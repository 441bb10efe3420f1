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
    static const ColourTable kNoColours{};
    paintDrawOp(framebuffer_, op, source,
                op.hasSource ? coloursFor(op, deviceColours) : kNoColours);
}

bool FrameApplier::coloursStillValid(const DrawOp& op, std::uint16_t deviceColours) const {
    if (!coloursKey_ || coloursKey_->bitsPerPixel != op.bitsPerPixel ||
        coloursKey_->deviceColours != deviceColours) {
        return false;
    }
    if (op.bitsPerPixel == 1) {
        return coloursKey_->textColour == op.textColour &&
               coloursKey_->backgroundColour == op.backgroundColour;
    }
    return coloursKey_->palette == framebuffer_.palette();
}

const ColourTable& FrameApplier::coloursFor(const DrawOp& op, std::uint16_t deviceColours) {
    if (!coloursStillValid(op, deviceColours)) {
        coloursKey_ =
            ColourKey{op.bitsPerPixel, deviceColours, op.textColour, op.backgroundColour,
                      op.bitsPerPixel == 1 ? std::vector<PaletteEntry>{} : framebuffer_.palette()};
        colours_ = colourTableFor(op.bitsPerPixel, framebuffer_.palette(), deviceColours,
                                  op.textColour, op.backgroundColour);
    }
    return colours_;
}

}  // namespace videodecode
