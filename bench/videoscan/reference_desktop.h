// A synthetic desktop picture for measuring what the scanner sends: a background, windows with
// title bars, text-like glyph rows, icons, a photo-like gradient and a taskbar.
#pragma once

#include <cstdint>
#include <vector>

namespace benchvideo {

// Red, green, blue bytes per pixel, rows packed tight.
std::vector<std::uint8_t> ReferenceDesktop(int width, int height);

}  // namespace benchvideo
