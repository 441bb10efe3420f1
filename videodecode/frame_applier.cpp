#include "videodecode/frame_applier.h"

#include "session/video_wire.h"
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
            const HostPixels host{frame.state.deviceColours,
                                  (frame.state.modeWord & videowire::kModeThreeThreeTwo) != 0};
            draw(*drawing, host);
        } else if (const auto* cursor = std::get_if<CursorOp>(&op)) {
            framebuffer_.setCursor(cursor->shape);
        }
    }
}

void FrameApplier::draw(const DrawOp& op, const HostPixels& host) {
    std::span<const std::uint8_t> source = op.pixels;
    if (op.cacheStore) {
        cache_.store(*op.cacheStore, op.pixels);
    }
    if (op.cacheDraw) {
        source = cache_.bitmap(*op.cacheDraw, op.sourceBytes());
    }
    static const ColourTable kNoColours{};
    paintDrawOp(framebuffer_, op, source, op.hasSource ? coloursFor(op, host) : kNoColours);
}

bool FrameApplier::coloursStillValid(const DrawOp& op, const HostPixels& host) const {
    if (!coloursKey_ || coloursKey_->bitsPerPixel != op.bitsPerPixel || coloursKey_->host != host) {
        return false;
    }
    if (op.bitsPerPixel == 1) {
        return coloursKey_->textColour == op.textColour &&
               coloursKey_->backgroundColour == op.backgroundColour;
    }
    return coloursKey_->palette == framebuffer_.palette();
}

const ColourTable& FrameApplier::coloursFor(const DrawOp& op, const HostPixels& host) {
    if (!coloursStillValid(op, host)) {
        coloursKey_ =
            ColourKey{op.bitsPerPixel, host, op.textColour, op.backgroundColour,
                      op.bitsPerPixel == 1 ? std::vector<PaletteEntry>{} : framebuffer_.palette()};
        colours_ = colourTableFor(op.bitsPerPixel, framebuffer_.palette(), host, op.textColour,
                                  op.backgroundColour);
    }
    return colours_;
}

}  // namespace videodecode
