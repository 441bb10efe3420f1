// Cursor shapes as GetIconInfo hands them out: an AND mask and either an XOR mask stacked
// under it (monochrome) or a colour image (colour cursor).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/handle_table.h"
#include "platform/gdi/pixel_format.h"

namespace farvane::gdi {

class CursorImage : public GdiObject {
public:
    CursorImage() : GdiObject(ObjectKind::Cursor) {}

    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    // 1 bit per pixel, rows of DeviceRowBytes(width, 1) bytes; height rows for a colour
    // cursor, 2 x height rows (AND mask, then XOR mask) for a monochrome one.
    std::vector<std::uint8_t> mask;
    bool colour = false;
    // Colour cursors: width x height pixels in colourFormat, rows padded to 2 bytes.
    PixelFormat colourFormat;
    ColourTable colourTable;
    std::vector<std::uint8_t> colourBits;

    int maskHeight() const { return colour ? height : 2 * height; }
};

// Size of the cursors that displays hand out (SM_CXCURSOR, SM_CYCURSOR).
inline constexpr int kCursorSize = 32;

// The cursor builders check sizes (1 to 256 pixels each way) and register the cursor; they
// return NULL for a bad size. Masks are rows of DeviceRowBytes(width, 1) bytes; AND bit 1
// keeps the screen pixel, XOR bit 1 inverts it (monochrome) and the colour image is drawn
// where the AND bit is 0.
HCURSOR MakeMonochromeCursor(int width, int height, int hotX, int hotY, const std::uint8_t* andMask,
                             const std::uint8_t* xorMask);
// rgb: width x height pixels of red, green, blue bytes, rows packed tight.
HCURSOR MakeColourCursor(int width, int height, int hotX, int hotY, const std::uint8_t* andMask,
                         const std::uint8_t* rgb, const PixelFormat& format,
                         const ColourTable& colours);
// Builds a kCursorSize square colour cursor from premultiplied ARGB pixels (0xAARRGGBB):
// pixels at least half opaque are drawn, the rest is transparent. Larger images are scaled
// down to fit, keeping the hot spot on the same point of the image; smaller ones sit at the
// top left.
HCURSOR MakeCursorFromArgb(int width, int height, int hotX, int hotY, const std::uint32_t* argb,
                           const PixelFormat& format, const ColourTable& colours);

// The system's standard arrow, a monochrome 32 x 32 cursor; the same handle every time.
HCURSOR StandardArrow();

std::shared_ptr<CursorImage> FindCursor(HCURSOR cursor);

}  // namespace farvane::gdi
