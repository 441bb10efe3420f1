// What the decoder remembers between records and frames, apart from the pixels. A frame is
// checked against a copy of this state and the copy replaces it only when the whole frame
// was good, so a bad frame changes nothing.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "session/video_wire.h"
#include "videodecode/bitmap_cache.h"
#include "videodecode/framebuffer.h"
#include "videodecode/raster_op.h"

namespace videodecode {

// The drawing attributes the host patches: brush style (16 bits), brush colour (R G B 0) and
// hatch (16 bits) at 0; background and text colour (R G B 0 each) at 24.
class AttributeBlock {
public:
    static constexpr std::size_t kSize = videowire::kAttributeBlockSize;

    AttributeBlock() {
        // A fresh drawing context: white background, black text, solid black brush.
        const std::size_t background = videowire::kColourPatchOffset;
        bytes_[background] = bytes_[background + 1] = bytes_[background + 2] = 0xFF;
    }

    bool patch(std::size_t offset, std::span<const std::uint8_t> bytes) {
        if (offset > kSize || bytes.size() > kSize - offset) {
            return false;
        }
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + offset);
        return true;
    }

    std::uint16_t brushStyle() const {
        return static_cast<std::uint16_t>(bytes_[0] | bytes_[1] << 8);
    }
    Rgb brushColour() const { return colourAt(videowire::kBrushPatchOffset + 2); }
    Rgb backgroundColour() const { return colourAt(videowire::kColourPatchOffset); }
    Rgb textColour() const { return colourAt(videowire::kColourPatchOffset + 4); }

private:
    Rgb colourAt(std::size_t offset) const {
        return makeRgb(bytes_[offset], bytes_[offset + 1], bytes_[offset + 2]);
    }

    std::array<std::uint8_t, kSize> bytes_{};
};

struct PixelFormat {
    std::uint8_t planes = 1;
    std::uint8_t bitsPerPixel = 8;
};

struct DecoderState {
    // Between a video start record and a video end record.
    bool videoRunning = false;
    // From the last video start record.
    std::uint16_t modeWord = 0;
    std::uint16_t deviceColours = 0;
    std::uint16_t screenWidth = 0;
    std::uint16_t screenHeight = 0;

    RasterOp rasterOperation{kSrcCopy};
    AttributeBlock attributes;
    std::optional<PixelFormat> format;
    CacheIndex cache;
};

}  // namespace videodecode
