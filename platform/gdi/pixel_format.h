// Pixel layouts of device-dependent bitmaps and displays, and the conversions between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace farvane::gdi {

enum class PixelLayout {
    Indexed,  // 1, 4 or 8 bits per pixel, the value is an index into a colour table
    Rgb555,   // 16-bit little-endian word 0RRRRRGGGGGBBBBB
    Rgb565,   // 16-bit little-endian word RRRRRGGGGGGBBBBB
    Bgr24,    // bytes blue, green, red
    Bgrx32,   // bytes blue, green, red, 0
};

struct PixelFormat {
    int bitsPerPixel = 8;
    PixelLayout layout = PixelLayout::Indexed;

    // The layout a bitmap of that depth has unless a display says otherwise (5-6-5 at 16).
    static PixelFormat ForDepth(int bitsPerPixel);
    static bool IsSupportedDepth(int bitsPerPixel);
    bool operator==(const PixelFormat&) const = default;
};

using ColourTable = std::vector<PALETTEENTRY>;

// Bytes of one bitmap row, padded to 2 bytes as GetBitmapBits returns rows.
std::size_t DeviceRowBytes(int width, int bitsPerPixel);

// Raw pixel value at column x of a row (bits of sub-byte pixels are taken high bit first).
std::uint32_t ReadPixel(const std::uint8_t* row, int x, int bitsPerPixel);
void WritePixel(std::uint8_t* row, int x, int bitsPerPixel, std::uint32_t value);

COLORREF DecodePixel(const PixelFormat& format, const ColourTable& colours, std::uint32_t value);
std::uint32_t EncodeColour(const PixelFormat& format, const ColourTable& colours, COLORREF colour);
// Index of the nearest entry (sum of squared differences; the lowest index among equals).
std::uint32_t NearestIndex(const ColourTable& colours, COLORREF colour);

// A rectangle of pixels in memory, rows `stride` bytes apart.
struct PixelView {
    std::uint8_t* data = nullptr;
    std::size_t stride = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
    const ColourTable* colours = nullptr;  // needed for indexed formats only
};

// The colours that govern copies between monochrome and colour pixels, as BitBlt uses them:
// a colour pixel equal to the source background becomes 1 (white) in a monochrome
// destination, every other colour 0; a monochrome 0 becomes the destination's text colour
// and a 1 its background colour.
struct MonoColours {
    COLORREF sourceBackground = RGB(255, 255, 255);
    COLORREF destinationText = RGB(0, 0, 0);
    COLORREF destinationBackground = RGB(255, 255, 255);
};

// A copy rectangle after clipping to both surfaces.
struct CopyRect {
    int sourceX = 0;
    int sourceY = 0;
    int destinationX = 0;
    int destinationY = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Clips a copy of width x height pixels from (sourceX, sourceY) of a source of the given
// size to (destinationX, destinationY) of a destination of the given size.
CopyRect ClipCopy(CopyRect wanted, int sourceWidth, int sourceHeight, int destinationWidth,
                  int destinationHeight);

// Copies a rectangle that lies inside both views. Same formats copy raw values; different
// formats convert through colours.
void CopyPixels(const PixelView& source, PixelView& destination, const CopyRect& rect,
                const MonoColours& mono);

}  // namespace farvane::gdi
