#include "reference_desktop.h"

#include <cmath>
#include <random>

namespace benchvideo {

namespace {

struct Canvas {
    int width;
    int height;
    std::vector<std::uint8_t> rgb;

    void Set(int x, int y, std::uint32_t colour) {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return;
        }
        std::uint8_t* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        pixel[0] = static_cast<std::uint8_t>(colour >> 16);
        pixel[1] = static_cast<std::uint8_t>(colour >> 8);
        pixel[2] = static_cast<std::uint8_t>(colour);
    }
    void Fill(int x, int y, int w, int h, std::uint32_t colour) {
        for (int row = y; row < y + h; ++row) {
            for (int column = x; column < x + w; ++column) {
                Set(column, row, colour);
            }
        }
    }
};

// Rows of 7 x 9 glyph cells with random strokes, like text in a window.
void Text(Canvas& canvas, std::mt19937& random, int x, int y, int w, int h, std::uint32_t ink) {
    for (int line = y; line + 12 <= y + h; line += 14) {
        const int length = static_cast<int>(random() % static_cast<unsigned>(w / 7));
        for (int glyph = 0; glyph < length; ++glyph) {
            if (random() % 6 == 0) {
                continue;  // a space
            }
            const std::uint32_t pattern = random();
            for (int bit = 0; bit < 30; ++bit) {
                if (pattern >> bit & 1) {
                    canvas.Set(x + glyph * 7 + 1 + bit % 5, line + 2 + bit / 5 + (bit % 3 == 0),
                               ink);
                }
            }
        }
    }
}

void Window(Canvas& canvas, std::mt19937& random, int x, int y, int w, int h) {
    canvas.Fill(x - 1, y - 1, w + 2, h + 2, 0x404040);
    canvas.Fill(x, y, w, 22, 0x0A246A);
    Text(canvas, random, x + 6, y + 4, std::min(w - 12, 200), 14, 0xFFFFFF);
    canvas.Fill(x, y + 22, w, h - 22, 0xECE9D8);
    canvas.Fill(x + 4, y + 26, w - 8, 18, 0xD4D0C8);  // a toolbar
    canvas.Fill(x + 6, y + 48, w - 12, h - 54, 0xFFFFFF);
    Text(canvas, random, x + 10, y + 52, w - 20, h - 60, 0x000000);
}

}  // namespace

std::vector<std::uint8_t> ReferenceDesktop(int width, int height) {
    Canvas canvas{width, height,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    std::mt19937 random(1998);
    canvas.Fill(0, 0, width, height, 0x3A6EA5);
    // Desktop icons.
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t colour = random() & 0xFFFFFF;
        canvas.Fill(20, 20 + i * 80, 40, 40, colour);
        Text(canvas, random, 10, 64 + i * 80, 70, 14, 0xFFFFFF);
    }
    // A photo-like gradient.
    const int photoX = width / 2;
    const int photoY = height / 8;
    for (int y = 0; y < height / 3; ++y) {
        for (int x = 0; x < width / 3; ++x) {
            const double v = std::sin(x / 37.0) * std::cos(y / 23.0);
            const auto red = static_cast<std::uint32_t>(128 + 100 * v + (random() % 16));
            const auto green = static_cast<std::uint32_t>(90 + y * 120 / (height / 3));
            const auto blue = static_cast<std::uint32_t>(60 + x * 150 / (width / 3));
            canvas.Set(photoX + x, photoY + y, red << 16 | green << 8 | blue);
        }
    }
    Window(canvas, random, width / 10, height / 10, width / 2, height / 2);
    Window(canvas, random, width / 4, height / 3, width / 2, height / 2);
    // Taskbar.
    canvas.Fill(0, height - 30, width, 30, 0xD4D0C8);
    canvas.Fill(2, height - 27, 60, 24, 0x3C8C3C);
    Text(canvas, random, 70, height - 26, width / 3, 14, 0x000000);
    return canvas.rgb;
}

}  // namespace benchvideo
