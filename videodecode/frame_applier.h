// Applies a checked frame to the framebuffer and the bitmap cache's bytes.
#pragma once

#include "videodecode/bitmap_cache.h"
#include "videodecode/frame_reader.h"
#include "videodecode/framebuffer.h"

namespace videodecode {

class FrameApplier {
public:
    explicit FrameApplier(Framebuffer& framebuffer) : framebuffer_(framebuffer) {}

    void apply(const CheckedFrame& frame);

private:
    void draw(const DrawOp& op, std::uint16_t deviceColours);

    Framebuffer& framebuffer_;
    CacheMemory cache_;
};

}  // namespace videodecode
