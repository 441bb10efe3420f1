#include "videodecode/framebuffer.h"

namespace videodecode {

void Framebuffer::resize(int width, int height) {
    if (width == width_ && height == height_) {
        return;
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * height, 0);
}

std::vector<Rgb> Framebuffer::composed() const {
    std::vector<Rgb> image = pixels_;
    if (!cursor_.present) {
        return image;
    }
    const int left = cursorX_ - cursor_.hotSpotX;
    const int top = cursorY_ - cursor_.hotSpotY;
    for (int y = 0; y < cursor_.height; ++y) {
        const int screenY = top + y;
        if (screenY < 0 || screenY >= height_) {
            continue;
        }
        for (int x = 0; x < cursor_.width; ++x) {
            const int screenX = left + x;
            if (screenX < 0 || screenX >= width_) {
                continue;
            }
            const std::size_t bit = static_cast<std::size_t>(y) * cursor_.width + x;
            Rgb& pixel = image[static_cast<std::size_t>(screenY) * width_ + screenX];
            const Rgb keep = cursor_.andMask[bit] ? 0xFFFFFF : 0;
            const Rgb flip = cursor_.xorMask[bit] ? 0xFFFFFF : 0;
            pixel = (pixel & keep) ^ flip;
        }
    }
    return image;
}

}  // namespace videodecode
