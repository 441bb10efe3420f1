// fvscan's picture reader on any input: it either refuses with a reason or gives a picture
// whose pixel bytes match its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fvscan::RgbImage image;
    std::string error;
    if (fvscan::ParsePpm(data, size, image, error)) {
        if (image.width <= 0 || image.height <= 0 ||
            image.rgb.size() != static_cast<std::size_t>(image.width) * image.height * 3) {
            std::abort();
        }
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
