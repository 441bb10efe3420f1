#include "platform/gdi/pixel_format.h"

#include <algorithm>
#include <cstring>

namespace farvane::gdi {

namespace {

std::uint8_t Expand5(std::uint32_t value) {
    return static_cast<std::uint8_t>((value << 3) | (value >> 2));
}

std::uint8_t Expand6(std::uint32_t value) {
    return static_cast<std::uint8_t>((value << 2) | (value >> 4));
}

bool IsMonochrome(const PixelFormat& format) {
    return format.bitsPerPixel == 1;
}

}  // namespace

PixelFormat PixelFormat::ForDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 16:
            return {16, PixelLayout::Rgb565};
        case 24:
            return {24, PixelLayout::Bgr24};
        case 32:
            return {32, PixelLayout::Bgrx32};
        default:
            return {bitsPerPixel, PixelLayout::Indexed};
    }
}

bool PixelFormat::IsSupportedDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            return true;
        default:
            return false;
    }
}

std::size_t DeviceRowBytes(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) {
        return 0;
    }
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 15) / 16 * 2;
}

std::uint32_t ReadPixel(const std::uint8_t* row, int x, int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1u;
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        case 8:
            return row[x];
        case 16:
            return row[2 * x] | (static_cast<std::uint32_t>(row[2 * x + 1]) << 8);
        case 24:
            return row[3 * x] | (static_cast<std::uint32_t>(row[3 * x + 1]) << 8) |
                   (static_cast<std::uint32_t>(row[3 * x + 2]) << 16);
        case 32:
            return row[4 * x] | (static_cast<std::uint32_t>(row[4 * x + 1]) << 8) |
                   (static_cast<std::uint32_t>(row[4 * x + 2]) << 16) |
                   (static_cast<std::uint32_t>(row[4 * x + 3]) << 24);
        default:
            return 0;
    }
}

void WritePixel(std::uint8_t* row, int x, int bitsPerPixel, std::uint32_t value) {
    switch (bitsPerPixel) {
        case 1: {
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
            row[x >> 3] = (value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
            break;
        }
        case 4:
            if (x & 1) {
                row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0u) | (value & 0x0Fu));
            } else {
                row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0Fu) | (value << 4));
            }
            break;
        case 8:
            row[x] = static_cast<std::uint8_t>(value);
            break;
        case 16:
            row[2 * x] = static_cast<std::uint8_t>(value);
            row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
            break;
        case 24:
            row[3 * x] = static_cast<std::uint8_t>(value);
            row[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(value >> 16);
            break;
        case 32:
            row[4 * x] = static_cast<std::uint8_t>(value);
            row[4 * x + 1] = static_cast<std::uint8_t>(value >> 8);
            row[4 * x + 2] = static_cast<std::uint8_t>(value >> 16);
            row[4 * x + 3] = static_cast<std::uint8_t>(value >> 24);
            break;
        default:
            break;
    }
}

COLORREF DecodePixel(const PixelFormat& format, const ColourTable& colours, std::uint32_t value) {
    switch (format.layout) {
        case PixelLayout::Indexed: {
            if (value >= colours.size()) {
                return RGB(0, 0, 0);
            }
            const PALETTEENTRY& entry = colours[value];
            return RGB(entry.peRed, entry.peGreen, entry.peBlue);
        }
        case PixelLayout::Rgb555:
            return RGB(Expand5((value >> 10) & 31), Expand5((value >> 5) & 31),
                       Expand5(value & 31));
        case PixelLayout::Rgb565:
            return RGB(Expand5((value >> 11) & 31), Expand6((value >> 5) & 63),
                       Expand5(value & 31));
        case PixelLayout::Bgr24:
        case PixelLayout::Bgrx32:
            return RGB(static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 8),
                       static_cast<BYTE>(value));
    }
    return RGB(0, 0, 0);
}

std::uint32_t NearestIndex(const ColourTable& colours, COLORREF colour) {
    std::uint32_t best = 0;
    std::uint32_t bestDistance = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const int dr = colours[i].peRed - GetRValue(colour);
        const int dg = colours[i].peGreen - GetGValue(colour);
        const int db = colours[i].peBlue - GetBValue(colour);
        const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            best = static_cast<std::uint32_t>(i);
            bestDistance = distance;
            if (distance == 0) {
                break;
            }
        }
    }
    return best;
}

std::uint32_t EncodeColour(const PixelFormat& format, const ColourTable& colours, COLORREF colour) {
    const std::uint32_t red = GetRValue(colour);
    const std::uint32_t green = GetGValue(colour);
    const std::uint32_t blue = GetBValue(colour);
    switch (format.layout) {
        case PixelLayout::Indexed:
            return NearestIndex(colours, colour);
        case PixelLayout::Rgb555:
            return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
        case PixelLayout::Rgb565:
            return ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
        case PixelLayout::Bgr24:
        case PixelLayout::Bgrx32:
            return (red << 16) | (green << 8) | blue;
    }
    return 0;
}

CopyRect ClipCopy(CopyRect wanted, int sourceWidth, int sourceHeight, int destinationWidth,
                  int destinationHeight) {
    CopyRect r = wanted;
    // Move the left and top edges inwards until both rectangles start inside their surface.
    const int shiftX = std::max({0, -r.sourceX, -r.destinationX});
    const int shiftY = std::max({0, -r.sourceY, -r.destinationY});
    r.sourceX += shiftX;
    r.destinationX += shiftX;
    r.width -= shiftX;
    r.sourceY += shiftY;
    r.destinationY += shiftY;
    r.height -= shiftY;
    r.width = std::min({r.width, sourceWidth - r.sourceX, destinationWidth - r.destinationX});
    r.height = std::min({r.height, sourceHeight - r.sourceY, destinationHeight - r.destinationY});
    if (r.width < 0) {
        r.width = 0;
    }
    if (r.height < 0) {
        r.height = 0;
    }
    return r;
}

namespace {

bool ByteAligned(const PixelFormat& format) {
    return format.bitsPerPixel >= 8;
}

void CopyRaw(const PixelView& source, PixelView& destination, const CopyRect& rect) {
    const int bpp = source.format.bitsPerPixel;
    if (ByteAligned(source.format)) {
        const std::size_t pixelBytes = static_cast<std::size_t>(bpp / 8);
        const std::size_t rowLength = pixelBytes * static_cast<std::size_t>(rect.width);
        for (int y = 0; y < rect.height; ++y) {
            const std::uint8_t* from = source.data +
                                       source.stride * static_cast<std::size_t>(rect.sourceY + y) +
                                       pixelBytes * static_cast<std::size_t>(rect.sourceX);
            std::uint8_t* to =
                destination.data +
                destination.stride * static_cast<std::size_t>(rect.destinationY + y) +
                pixelBytes * static_cast<std::size_t>(rect.destinationX);
            std::memmove(to, from, rowLength);
        }
        return;
    }
    for (int y = 0; y < rect.height; ++y) {
        const std::uint8_t* from =
            source.data + source.stride * static_cast<std::size_t>(rect.sourceY + y);
        std::uint8_t* to =
            destination.data + destination.stride * static_cast<std::size_t>(rect.destinationY + y);
        for (int x = 0; x < rect.width; ++x) {
            WritePixel(to, rect.destinationX + x, bpp, ReadPixel(from, rect.sourceX + x, bpp));
        }
    }
}

}  // namespace

void CopyPixels(const PixelView& source, PixelView& destination, const CopyRect& rect,
                const MonoColours& mono) {
    if (rect.empty()) {
        return;
    }
    if (source.format == destination.format) {
        CopyRaw(source, destination, rect);
        return;
    }
    static const ColourTable kNoColours;
    const ColourTable& sourceColours = source.colours ? *source.colours : kNoColours;
    const ColourTable& destinationColours = destination.colours ? *destination.colours : kNoColours;
    const int sourceBpp = source.format.bitsPerPixel;
    const int destinationBpp = destination.format.bitsPerPixel;
    // Conversions repeat the same few colours; remember the last one.
    std::uint32_t lastValue = 0;
    std::uint32_t lastResult = 0;
    bool haveLast = false;
    // A colour source matches the background as the device sees it, after rounding to its
    // own pixel values.
    const std::uint32_t sourceBackgroundValue =
        IsMonochrome(source.format)
            ? 1u
            : EncodeColour(source.format, sourceColours, mono.sourceBackground);
    for (int y = 0; y < rect.height; ++y) {
        const std::uint8_t* from =
            source.data + source.stride * static_cast<std::size_t>(rect.sourceY + y);
        std::uint8_t* to =
            destination.data + destination.stride * static_cast<std::size_t>(rect.destinationY + y);
        for (int x = 0; x < rect.width; ++x) {
            const std::uint32_t value = ReadPixel(from, rect.sourceX + x, sourceBpp);
            if (!haveLast || value != lastValue) {
                if (IsMonochrome(destination.format)) {
                    lastResult = (value == sourceBackgroundValue) ? 1u : 0u;
                } else {
                    const COLORREF colour =
                        IsMonochrome(source.format)
                            ? (value ? mono.destinationBackground : mono.destinationText)
                            : DecodePixel(source.format, sourceColours, value);
                    lastResult = EncodeColour(destination.format, destinationColours, colour);
                }
                lastValue = value;
                haveLast = true;
            }
            WritePixel(to, rect.destinationX + x, destinationBpp, lastResult);
        }
    }
}

}  // namespace farvane::gdi
