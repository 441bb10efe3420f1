// The checked form of a record sequence: what each record does to the framebuffer, ready to be
// applied once the whole frame was found good.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

#include "videodecode/framebuffer.h"
#include "videodecode/raster_op.h"

namespace videodecode {

struct StartOp {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
};

struct EndOp {};

struct DrawOp {
    std::uint16_t x = 0, y = 0, width = 0, height = 0;
    RasterOp rasterOperation{kSrcCopy};
    Rgb brushColour = 0;
    Rgb textColour = 0;
    Rgb backgroundColour = 0;
    bool hasSource = false;
    std::uint8_t bitsPerPixel = 0;
    std::uint16_t rowBytes = 0;
    // The pixel data in the record; empty when drawing from the cache.
    std::span<const std::uint8_t> pixels;
    std::optional<std::uint32_t> cacheStore;
    std::optional<std::uint32_t> cacheDraw;

    std::size_t sourceBytes() const { return static_cast<std::size_t>(height) * rowBytes; }
};

struct CursorOp {
    CursorShape shape;
};

using RecordOp = std::variant<StartOp, EndOp, DrawOp, CursorOp>;

}  // namespace videodecode
