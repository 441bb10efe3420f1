// Turns X images into device-dependent rows.
#include <cstring>

#include "platform/gdi/x11_connection.h"

namespace farvane::gdi {

namespace {

int LowestBit(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1ul) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

BYTE ScaleChannel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    const unsigned long shifted = mask >> LowestBit(mask);
    const unsigned long value = (pixel & mask) >> LowestBit(mask);
    return static_cast<BYTE>(value * 255ul / shifted);
}

bool MasksAre(const X11PixelSource& source, unsigned long red, unsigned long green,
              unsigned long blue) {
    return source.redMask == red && source.greenMask == green && source.blueMask == blue;
}

}  // namespace

bool X11ImageIsDeviceLayout(const XImage* image, const X11PixelSource& source,
                            const PixelFormat& format) {
    if (image->bits_per_pixel != format.bitsPerPixel) {
        return false;
    }
    if (source.indexed) {
        return format.layout == PixelLayout::Indexed && format.bitsPerPixel == 8;
    }
    if (image->byte_order != LSBFirst) {
        return false;
    }
    switch (format.layout) {
        case PixelLayout::Bgrx32:
        case PixelLayout::Bgr24:
            return MasksAre(source, 0xFF0000ul, 0x00FF00ul, 0x0000FFul);
        case PixelLayout::Rgb565:
            return MasksAre(source, 0xF800ul, 0x07E0ul, 0x001Ful);
        case PixelLayout::Rgb555:
            return MasksAre(source, 0x7C00ul, 0x03E0ul, 0x001Ful);
        case PixelLayout::Indexed:
            return false;
    }
    return false;
}

void ClearX11Padding(std::uint8_t* row, int width, const PixelFormat& format) {
    if (format.layout != PixelLayout::Bgrx32) {
        return;
    }
    // The fourth byte is padding to X but zero in a device-dependent bitmap. Eight pixels at a
    // time in a vector the compiler maps onto the processor's (SSE2 on every x86-64).
    typedef std::uint32_t Pixels8 __attribute__((vector_size(32)));
    constexpr Pixels8 kColourBits = {0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu,
                                     0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu};
    const std::size_t pixels = static_cast<std::size_t>(width);
    std::size_t x = 0;
    for (; x + 8 <= pixels; x += 8) {
        Pixels8 eight;
        std::memcpy(&eight, row + 4 * x, sizeof eight);
        eight &= kColourBits;
        std::memcpy(row + 4 * x, &eight, sizeof eight);
    }
    for (; x < pixels; ++x) {
        row[4 * x + 3] = 0;
    }
}

void ConvertX11Row(XImage* image, const X11PixelSource& source, const PixelFormat& format,
                   const ColourTable& colours, int y, std::uint8_t* row) {
    for (int x = 0; x < image->width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        std::uint32_t value;
        if (source.indexed) {
            value = static_cast<std::uint32_t>(pixel);
        } else {
            const COLORREF colour =
                RGB(ScaleChannel(pixel, source.redMask), ScaleChannel(pixel, source.greenMask),
                    ScaleChannel(pixel, source.blueMask));
            value = EncodeColour(format, colours, colour);
        }
        WritePixel(row, x, format.bitsPerPixel, value);
    }
}

namespace {

void CopyRows(XImage* image, const PixelFormat& format, std::uint8_t* rows, std::size_t stride) {
    const std::size_t length = DeviceRowBytes(image->width, format.bitsPerPixel);
    const std::size_t used =
        static_cast<std::size_t>(image->width) * static_cast<std::size_t>(format.bitsPerPixel) / 8;
    for (int y = 0; y < image->height; ++y) {
        const auto* from = reinterpret_cast<const std::uint8_t*>(image->data) +
                           static_cast<std::size_t>(image->bytes_per_line) * y;
        std::uint8_t* to = rows + stride * static_cast<std::size_t>(y);
        std::memcpy(to, from, used);
        std::memset(to + used, 0, length - used);
        ClearX11Padding(to, image->width, format);
    }
}

}  // namespace

void ConvertX11Image(XImage* image, const X11PixelSource& source, const PixelFormat& format,
                     const ColourTable& colours, std::uint8_t* rows, std::size_t stride) {
    if (X11ImageIsDeviceLayout(image, source, format)) {
        CopyRows(image, format, rows, stride);
        return;
    }
    for (int y = 0; y < image->height; ++y) {
        ConvertX11Row(image, source, format, colours, y,
                      rows + stride * static_cast<std::size_t>(y));
    }
}

}  // namespace farvane::gdi
