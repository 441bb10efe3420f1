// The picture that the decoder builds from a video stream: the host's screen as 0xRRGGBB
// pixels, the host's cursor shape and the last palette the host sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace videodecode {

// 0x00RRGGBB.
using Rgb = std::uint32_t;

constexpr Rgb makeRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Rgb>(red) << 16 | static_cast<Rgb>(green) << 8 | blue;
}

struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
    bool operator==(const PaletteEntry&) const = default;
};

// A cursor as the host describes it: two masks of one bit per pixel. Where the AND mask is 1
// the screen shows through, XORed with the XOR mask (1 inverts it); where it is 0 the pixel is
// black or white by the XOR mask.
struct CursorShape {
    bool present = false;  // false: the host shows no cursor, or none was received yet
    std::uint16_t hotSpotX = 0, hotSpotY = 0;
    std::uint16_t width = 0, height = 0;
    std::vector<std::uint8_t> andMask;  // width x height, one 0/1 byte per pixel, row by row
    std::vector<std::uint8_t> xorMask;
    bool operator==(const CursorShape&) const = default;
};

class Framebuffer {
public:
    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }

    Rgb pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    std::span<const Rgb> pixels() const { return pixels_; }
    std::span<Rgb> row(int y) {
        return std::span<Rgb>(pixels_).subspan(static_cast<std::size_t>(y) * width_, width_);
    }

    // A new screen size clears the picture to black; the same size keeps it, because a host
    // that restarts its video resends only the cells it believes changed.
    void resize(int width, int height);

    const CursorShape& cursor() const { return cursor_; }
    void setCursor(CursorShape shape) { cursor_ = std::move(shape); }

    // The stream does not carry the cursor position (the viewer's own mouse does); whoever
    // shows the picture sets it here so that composed() can draw the cursor.
    int cursorX() const { return cursorX_; }
    int cursorY() const { return cursorY_; }
    void setCursorPosition(int x, int y) {
        cursorX_ = x;
        cursorY_ = y;
    }

    const std::vector<PaletteEntry>& palette() const { return palette_; }
    void setPalette(std::vector<PaletteEntry> entries) { palette_ = std::move(entries); }

    // The pixels with the cursor drawn with its hot spot at the cursor position.
    std::vector<Rgb> composed() const;

    bool operator==(const Framebuffer&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
    CursorShape cursor_;
    int cursorX_ = 0;
    int cursorY_ = 0;
    std::vector<PaletteEntry> palette_;
};

}  // namespace videodecode
