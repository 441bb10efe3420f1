#include "image_file.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace fvscan {

namespace {

class PpmReader {
public:
    PpmReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    // Skips blanks and comments, then reads a decimal number of at most 9 digits.
    bool Number(unsigned long& value) {
        SkipBlanks();
        std::size_t digits = 0;
        value = 0;
        while (at_ < size_ && bytes_[at_] >= '0' && bytes_[at_] <= '9') {
            if (++digits > 9) {
                return false;
            }
            value = value * 10 + (bytes_[at_++] - '0');
        }
        return digits > 0;
    }
    // The one whitespace byte between the header and binary pixels.
    bool SingleBlank() {
        if (at_ < size_ && std::isspace(bytes_[at_])) {
            ++at_;
            return true;
        }
        return false;
    }
    std::size_t left() const { return size_ - at_; }
    const std::uint8_t* here() const { return bytes_ + at_; }

private:
    void SkipBlanks() {
        while (at_ < size_) {
            if (bytes_[at_] == '#') {
                while (at_ < size_ && bytes_[at_] != '\n') {
                    ++at_;
                }
            } else if (std::isspace(bytes_[at_])) {
                ++at_;
            } else {
                return;
            }
        }
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 2;  // after the magic
};

std::uint8_t Scale(unsigned long value, unsigned long maximum) {
    return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
}

bool LoadPng(const std::string& path, RgbImage& image, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        error = std::string("not a readable PNG file: ") + png.message;
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxImageSide ||
        png.height > kMaxImageSide) {
        png_image_free(&png);
        error = "PNG size " + std::to_string(png.width) + " x " + std::to_string(png.height) +
                " is out of range (1 to " + std::to_string(kMaxImageSide) + " each way)";
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        error = std::string("cannot decode the PNG file: ") + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace

bool ParsePpm(const std::uint8_t* bytes, std::size_t size, RgbImage& image, std::string& error) {
    if (size < 2 || bytes[0] != 'P' || (bytes[1] != '6' && bytes[1] != '3')) {
        error = "not a PPM file (P6 or P3)";
        return false;
    }
    const bool binary = bytes[1] == '6';
    PpmReader reader(bytes, size);
    unsigned long width = 0;
    unsigned long height = 0;
    unsigned long maximum = 0;
    if (!reader.Number(width) || !reader.Number(height) || !reader.Number(maximum)) {
        error = "PPM header is incomplete";
        return false;
    }
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) {
        error = "PPM size " + std::to_string(width) + " x " + std::to_string(height) +
                " is out of range (1 to " + std::to_string(kMaxImageSide) + " each way)";
        return false;
    }
    if (maximum == 0 || maximum > 65535) {
        error = "PPM maximum value " + std::to_string(maximum) + " is out of range (1 to 65535)";
        return false;
    }
    const std::size_t samples = static_cast<std::size_t>(width) * height * 3;
    std::vector<std::uint8_t> rgb(samples);
    if (binary) {
        const std::size_t sampleBytes = maximum > 255 ? 2 : 1;
        if (!reader.SingleBlank() || reader.left() < samples * sampleBytes) {
            error = "PPM pixel data is cut short";
            return false;
        }
        const std::uint8_t* data = reader.here();
        for (std::size_t i = 0; i < samples; ++i) {
            const unsigned long value =
                sampleBytes == 2 ? (data[2 * i] << 8 | data[2 * i + 1]) : data[i];
            if (value > maximum) {
                error = "PPM sample above the maximum value";
                return false;
            }
            rgb[i] = Scale(value, maximum);
        }
    } else {
        for (std::size_t i = 0; i < samples; ++i) {
            unsigned long value = 0;
            if (!reader.Number(value)) {
                error = "PPM pixel data is cut short or not a number";
                return false;
            }
            if (value > maximum) {
                error = "PPM sample above the maximum value";
                return false;
            }
            rgb[i] = Scale(value, maximum);
        }
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.rgb = std::move(rgb);
    return true;
}

bool LoadImage(const std::string& path, RgbImage& image, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read " + path;
        return false;
    }
    static const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) {
        return LoadPng(path, image, error);
    }
    if (!ParsePpm(bytes.data(), bytes.size(), image, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace fvscan
