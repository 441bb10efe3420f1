// Applies a checked frame to the framebuffer and the bitmap cache's bytes.
#pragma once

#include "videodecode/bitmap_cache.h"
#include "videodecode/frame_reader.h"
#include "videodecode/framebuffer.h"
#include "videodecode/pixel_colours.h"

#include <optional>
#include <vector>

namespace videodecode {

class FrameApplier {
public:
    explicit FrameApplier(Framebuffer& framebuffer) : framebuffer_(framebuffer) {}

    void apply(const CheckedFrame& frame);

private:
    void draw(const DrawOp& op, const HostPixels& host);
    const ColourTable& coloursFor(const DrawOp& op, const HostPixels& host);
    bool coloursStillValid(const DrawOp& op, const HostPixels& host) const;

    Framebuffer& framebuffer_;
    CacheMemory cache_;
    // The colour table of the last cell, kept while nothing that shapes it changes: most cells
    // in a row share one.
    struct ColourKey {
        std::uint8_t bitsPerPixel = 0;
        HostPixels host;
        Rgb textColour = 0;
        Rgb backgroundColour = 0;
        std::vector<PaletteEntry> palette;
        bool operator==(const ColourKey&) const = default;
    };
    std::optional<ColourKey> coloursKey_;
    ColourTable colours_{};
};

}  // namespace videodecode
