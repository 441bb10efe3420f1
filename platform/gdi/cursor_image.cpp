#include "platform/gdi/cursor_image.h"

#include <algorithm>
#include <cstring>

namespace farvane::gdi {

namespace {

constexpr int kMaxCursorSide = 256;

bool ValidCursor(int width, int height, int hotX, int hotY) {
    return width > 0 && height > 0 && width <= kMaxCursorSide && height <= kMaxCursorSide &&
           hotX >= 0 && hotY >= 0 && hotX < width && hotY < height;
}

HCURSOR Register(const std::shared_ptr<CursorImage>& cursor) {
    return ToHandle<HCURSOR>(HandleTable::Instance().Add(cursor));
}

std::shared_ptr<CursorImage> NewCursor(int width, int height, int hotX, int hotY, bool colour) {
    auto cursor = std::make_shared<CursorImage>();
    cursor->width = width;
    cursor->height = height;
    cursor->hotX = hotX;
    cursor->hotY = hotY;
    cursor->colour = colour;
    cursor->mask.assign(DeviceRowBytes(width, 1) * static_cast<std::size_t>(cursor->maskHeight()),
                        0);
    return cursor;
}

// The arrow: 'X' outline (black), '.' fill (white), anything else transparent.
constexpr const char* kArrowRows[] = {
    "X",           "XX",           "X.X",          "X..X",       "X...X",
    "X....X",      "X.....X",      "X......X",     "X.......X",  "X........X",
    "X.........X", "X..........X", "X......XXXXX", "X...X..X",   "X..XX..X",
    "X.X  X..X",   "XX   X..X",    "X     X..X",   "      X..X", "       X..X",
    "       XX",
};

}  // namespace

HCURSOR MakeMonochromeCursor(int width, int height, int hotX, int hotY, const std::uint8_t* andMask,
                             const std::uint8_t* xorMask) {
    if (!ValidCursor(width, height, hotX, hotY) || !andMask || !xorMask) {
        return nullptr;
    }
    auto cursor = NewCursor(width, height, hotX, hotY, false);
    const std::size_t maskBytes = DeviceRowBytes(width, 1) * static_cast<std::size_t>(height);
    std::memcpy(cursor->mask.data(), andMask, maskBytes);
    std::memcpy(cursor->mask.data() + maskBytes, xorMask, maskBytes);
    return Register(cursor);
}

HCURSOR MakeColourCursor(int width, int height, int hotX, int hotY, const std::uint8_t* andMask,
                         const std::uint8_t* rgb, const PixelFormat& format,
                         const ColourTable& colours) {
    if (!ValidCursor(width, height, hotX, hotY) || !andMask || !rgb ||
        !PixelFormat::IsSupportedDepth(format.bitsPerPixel)) {
        return nullptr;
    }
    auto cursor = NewCursor(width, height, hotX, hotY, true);
    std::memcpy(cursor->mask.data(), andMask, cursor->mask.size());
    cursor->colourFormat = format;
    cursor->colourTable = colours;
    const std::size_t stride = DeviceRowBytes(width, format.bitsPerPixel);
    cursor->colourBits.assign(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = cursor->colourBits.data() + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = rgb + 3 * (static_cast<std::size_t>(y) * width + x);
            WritePixel(row, x, format.bitsPerPixel,
                       EncodeColour(format, colours, RGB(pixel[0], pixel[1], pixel[2])));
        }
    }
    return Register(cursor);
}

HCURSOR MakeCursorFromArgb(int width, int height, int hotX, int hotY, const std::uint32_t* argb,
                           const PixelFormat& format, const ColourTable& colours) {
    if (width <= 0 || height <= 0 || !argb) {
        return nullptr;
    }
    // Source pixels per cursor pixel, in 1/256ths; 1:1 unless the image is too large.
    const int largest = std::max(width, height);
    const long step =
        largest > kCursorSize ? (static_cast<long>(largest) * 256) / kCursorSize : 256;
    const int side = kCursorSize;
    std::vector<std::uint8_t> andMask(DeviceRowBytes(side, 1) * side, 0);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(side) * side * 3, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const long sourceX = (x * step) / 256;
            const long sourceY = (y * step) / 256;
            std::uint32_t pixel = 0;
            if (sourceX < width && sourceY < height) {
                pixel = argb[sourceY * width + sourceX];
            }
            const std::uint32_t alpha = pixel >> 24;
            if (alpha < 128) {
                WritePixel(andMask.data() + DeviceRowBytes(side, 1) * y, x, 1, 1);
                continue;
            }
            // Undo the premultiplication so that the drawn colour is the image's own.
            std::uint8_t* out = rgb.data() + 3 * (static_cast<std::size_t>(y) * side + x);
            out[0] =
                static_cast<std::uint8_t>(std::min(255u, ((pixel >> 16) & 0xFFu) * 255 / alpha));
            out[1] =
                static_cast<std::uint8_t>(std::min(255u, ((pixel >> 8) & 0xFFu) * 255 / alpha));
            out[2] = static_cast<std::uint8_t>(std::min(255u, (pixel & 0xFFu) * 255 / alpha));
        }
    }
    const int scaledHotX = std::clamp(static_cast<int>((hotX * 256L) / step), 0, side - 1);
    const int scaledHotY = std::clamp(static_cast<int>((hotY * 256L) / step), 0, side - 1);
    return MakeColourCursor(side, side, scaledHotX, scaledHotY, andMask.data(), rgb.data(), format,
                            colours);
}

HCURSOR StandardArrow() {
    static const HCURSOR arrow = [] {
        const std::size_t stride = DeviceRowBytes(kCursorSize, 1);
        std::vector<std::uint8_t> andMask(stride * kCursorSize, 0xFF);
        std::vector<std::uint8_t> xorMask(stride * kCursorSize, 0x00);
        int row = 0;
        for (const char* text : kArrowRows) {
            for (int x = 0; text[x] != '\0'; ++x) {
                if (text[x] == 'X' || text[x] == '.') {
                    WritePixel(andMask.data() + stride * row, x, 1, 0);
                    WritePixel(xorMask.data() + stride * row, x, 1, text[x] == '.' ? 1 : 0);
                }
            }
            ++row;
        }
        return MakeMonochromeCursor(kCursorSize, kCursorSize, 0, 0, andMask.data(), xorMask.data());
    }();
    return arrow;
}

std::shared_ptr<CursorImage> FindCursor(HCURSOR cursor) {
    return HandleTable::Instance().Find<CursorImage>(cursor, ObjectKind::Cursor);
}

}  // namespace farvane::gdi
