// Pictures that fvscan shows on a memory display: binary or plain PPM (P6, P3) and PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fvscan {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // red, green, blue per pixel, rows packed tight
};

// Largest picture accepted each way (the memory display's limit).
inline constexpr int kMaxImageSide = 16384;

// Reads a PPM or PNG file (told apart by their first bytes). False with `error` set when the
// file cannot be read or is not a picture of a supported kind and size.
bool LoadImage(const std::string& path, RgbImage& image, std::string& error);

// Parses a PPM held in memory (P6 with any maximum value up to 65535, or P3).
bool ParsePpm(const std::uint8_t* bytes, std::size_t size, RgbImage& image, std::string& error);

}  // namespace fvscan
