// Reproducible sample inputs for the codec tests and benchmarks: text, structured binary data,
// random bytes and the bytes of a screen-like 8-bit image.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace samples {

using Bytes = std::vector<std::uint8_t>;

// Sentences of words drawn with a skewed frequency, with punctuation and CR LF line ends.
inline Bytes Text(std::size_t size, unsigned seed = 1) {
    static const char* const kWords[] = {
        "the",      "of",     "and",    "to",      "a",      "in",      "session", "host",
        "remote",   "screen", "cell",   "frame",   "record", "palette", "cursor",  "is",
        "that",     "for",    "it",     "with",    "as",     "was",     "on",      "be",
        "window",   "editor", "buffer", "line",    "script", "command", "when",    "which",
        "compress", "bitmap", "change", "scanner", "caller", "service", "program", "file"};
    constexpr int kCount = sizeof kWords / sizeof kWords[0];
    std::mt19937 rng(seed);
    std::geometric_distribution<int> pick(0.12);
    Bytes out;
    int column = 0;
    bool capital = true;
    while (out.size() < size) {
        std::string word = kWords[pick(rng) % kCount];
        if (capital) {
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
            capital = false;
        }
        if (rng() % 9 == 0) {
            word += (rng() % 3 == 0) ? "." : ",";
            capital = word.back() == '.';
        }
        if (column + word.size() > 72) {
            out.push_back('\r');
            out.push_back('\n');
            column = 0;
        } else if (column > 0) {
            out.push_back(' ');
            ++column;
        }
        out.insert(out.end(), word.begin(), word.end());
        column += static_cast<int>(word.size());
    }
    out.resize(size);
    return out;
}

// Fixed-size records of little-endian counters, small flags, names and floating point values,
// as a program's data file would hold them.
inline Bytes Binary(std::size_t size, unsigned seed = 2) {
    std::mt19937 rng(seed);
    Bytes out;
    std::uint32_t counter = 1000;
    while (out.size() < size) {
        counter += rng() % 7;
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(counter >> (8 * i)));
        }
        out.push_back(static_cast<std::uint8_t>(rng() % 4));
        out.push_back(0);
        const char* names[] = {"alpha", "beta", "gamma", "delta"};
        const std::string name = names[rng() % 4];
        for (std::size_t i = 0; i < 10; ++i) {
            out.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
        }
        const double value = static_cast<double>(rng() % 100000) / 100.0;
        const auto* raw = reinterpret_cast<const std::uint8_t*>(&value);
        out.insert(out.end(), raw, raw + sizeof value);
    }
    out.resize(size);
    return out;
}

inline Bytes Random(std::size_t size, unsigned seed = 3) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& byte : out) {
        byte = static_cast<std::uint8_t>(rng());
    }
    return out;
}

// An 8-bit screen: a plain background, windows with title bars and borders, and lines of
// glyph-like pixel patterns, row by row.
inline Bytes Screen(int width, int height, unsigned seed = 4) {
    std::mt19937 rng(seed);
    Bytes pixels(static_cast<std::size_t>(width) * height, 0x03);
    auto fill = [&](int x0, int y0, int w, int h, std::uint8_t colour) {
        for (int y = y0; y < y0 + h && y < height; ++y) {
            for (int x = x0; x < x0 + w && x < width; ++x) {
                pixels[static_cast<std::size_t>(y) * width + x] = colour;
            }
        }
    };
    for (int window = 0; window < 6; ++window) {
        const int x0 = static_cast<int>(rng() % (width / 2));
        const int y0 = static_cast<int>(rng() % (height / 2));
        const int w = width / 3 + static_cast<int>(rng() % (width / 3));
        const int h = height / 3 + static_cast<int>(rng() % (height / 3));
        fill(x0, y0, w, h, 0x00);
        fill(x0 + 1, y0 + 1, w - 2, h - 2, 0xFF);
        fill(x0 + 1, y0 + 1, w - 2, 18, 0x04);
        for (int line = y0 + 24; line + 10 < y0 + h; line += 14) {
            int x = x0 + 6;
            while (x + 8 < x0 + w - 6 && rng() % 40 != 0) {
                const int glyph = static_cast<int>(rng() % 60);
                for (int gy = 0; gy < 10; ++gy) {
                    const std::uint32_t bits = (glyph * 2654435761u) >> (gy * 3);
                    for (int gx = 0; gx < 7; ++gx) {
                        if ((bits >> gx) & 1) {
                            fill(x + gx, line + gy, 1, 1, 0x00);
                        }
                    }
                }
                x += (glyph % 11 == 0) ? 12 : 8;
            }
        }
    }
    return pixels;
}

}  // namespace samples
