#include "decoded_screen.h"

namespace scantest {

namespace {

constexpr std::uint8_t kLevels3[8] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xFF};
constexpr std::uint8_t kLevels2[4] = {0x00, 0x40, 0x80, 0xFF};
constexpr videodecode::Rgb kGreys[4] = {0x000000, 0xC0C0C0, 0x808080, 0xFFFFFF};
constexpr videodecode::Rgb kBase[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                        0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                        0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

struct Colour {
    int red, green, blue;
};

Colour FromRgb(videodecode::Rgb rgb) {
    return {static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
            static_cast<int>(rgb & 0xFF)};
}

videodecode::Rgb ToRgb(Colour colour) {
    return videodecode::makeRgb(static_cast<std::uint8_t>(colour.red),
                                static_cast<std::uint8_t>(colour.green),
                                static_cast<std::uint8_t>(colour.blue));
}

videodecode::Rgb Classify(Colour colour, BYTE mode) {
    const int luminance = (3 * colour.blue + 5 * colour.green + colour.red + 4) / 8;
    if (mode == 1) {
        return luminance >= 148 ? 0xFFFFFF : 0x000000;
    }
    if (mode == 2) {
        const int grey = luminance < 72 ? 0 : luminance <= 144 ? 2 : luminance <= 216 ? 1 : 3;
        return kGreys[grey];
    }
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        const Colour base = FromRgb(kBase[i]);
        const long distance = (base.red - colour.red) * (base.red - colour.red) +
                              (base.green - colour.green) * (base.green - colour.green) +
                              (base.blue - colour.blue) * (base.blue - colour.blue);
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return kBase[best];
}

}  // namespace

videodecode::Rgb ExpectedColour(COLORREF colour, bool trueColour, int bitsPerPixel,
                                BYTE reducedMode) {
    Colour shown{GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    if (bitsPerPixel == 15 || bitsPerPixel == 16) {
        // The reducer sees the pixel's top five bits of each component and widens them its
        // own way: 0 stays 0, 31 becomes 255, v becomes v x 8 + 8.
        auto widen = [](int component) {
            const int value = component >> 3;
            return value == 0 ? 0 : value == 31 ? 255 : value * 8 + 8;
        };
        shown = Colour{widen(shown.red), widen(shown.green), widen(shown.blue)};
    }
    if (trueColour) {
        // The screen colour becomes the BBBGGRRR byte; its grid colour is what the palette
        // shows, apart from byte 222 (silver screens pixels), which shows silver.
        const int grid = (shown.blue & 0xE0) | ((shown.green & 0xC0) >> 3) | (shown.red >> 5);
        shown = Colour{kLevels3[grid & 7], kLevels2[(grid >> 3) & 3], kLevels3[grid >> 5]};
        if (grid == 222) {
            shown = Colour{0xC0, 0xC0, 0xC0};
        }
    }
    if (reducedMode == 0 || (!trueColour && bitsPerPixel < 8)) {
        return ToRgb(shown);
    }
    return Classify(shown, reducedMode);
}

std::vector<videodecode::Rgb> ExpectedScreen(farvane::gdi::MemoryDisplay& display, BYTE reducedMode,
                                             int coveredWidth, int coveredHeight) {
    const farvane::gdi::DisplayGeometry geometry = display.Geometry();
    const bool trueColour = geometry.format.bitsPerPixel > 8;
    std::vector<videodecode::Rgb> pixels;
    for (int y = 0; y < coveredHeight; ++y) {
        for (int x = 0; x < coveredWidth; ++x) {
            pixels.push_back(ExpectedColour(display.GetPixel(x, y), trueColour,
                                            geometry.format.bitsPerPixel, reducedMode));
        }
    }
    return pixels;
}

DecodedStream Decode(const Bytes& stream, std::optional<WORD> capabilities) {
    videodecode::DecoderOptions options;
    options.capabilityWord = capabilities;
    videodecode::StreamDecoder decoder(options);
    DecodedStream result;
    decoder.onFrameApplied(
        [&](const videodecode::FrameInfo& frame) { result.frames.push_back(frame); });
    const videodecode::PushResult pushed = decoder.push(stream);
    result.ok = pushed.ok();
    if (!result.ok) {
        result.error = pushed.error->message;
    }
    result.framebuffer = decoder.framebuffer();
    result.videoRunning = decoder.videoRunning();
    return result;
}

std::vector<videodecode::Rgb> Covered(const videodecode::Framebuffer& framebuffer, int width,
                                      int height) {
    std::vector<videodecode::Rgb> pixels;
    if (framebuffer.width() < width || framebuffer.height() < height) {
        return pixels;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(framebuffer.pixel(x, y));
        }
    }
    return pixels;
}

}  // namespace scantest
