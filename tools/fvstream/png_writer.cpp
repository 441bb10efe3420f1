#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace fvstream {

namespace {

// libpng reports errors by longjmp; the message is kept here first.
struct PngErrorSink {
    std::string message;
};

void onPngError(png_structp png, png_const_charp message) {
    static_cast<PngErrorSink*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Everything that touches libpng's longjmp lives here, with no C++ objects that need
// destroying on the way out.
bool encode(std::FILE* file, int width, int height, const png_byte* rgbRows, PngErrorSink& sink) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, onPngError, onPngWarning);
    if (png == nullptr) {
        sink.message = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        if (sink.message.empty()) {
            sink.message = "out of memory";
        }
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgbRows + static_cast<std::size_t>(y) * width * 3);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string writePng(const std::string& path, int width, int height,
                     std::span<const videodecode::Rgb> pixels) {
    if (width <= 0 || height <= 0) {
        return "no picture yet (no video start record)";
    }
    std::vector<png_byte> rows(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        rows[i * 3] = static_cast<png_byte>(pixels[i] >> 16);
        rows[i * 3 + 1] = static_cast<png_byte>(pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<png_byte>(pixels[i]);
    }
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        return "cannot create " + temporary + ": " + std::strerror(errno);
    }
    // mkstemp makes the file private; give it the permissions a plain new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        const std::string reason = std::strerror(errno);
        close(descriptor);
        unlink(temporary.c_str());
        return "cannot write " + temporary + ": " + reason;
    }
    PngErrorSink sink;
    const bool encoded = encode(file, width, height, rows.data(), sink);
    const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const std::string reason = std::strerror(errno);
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !flushed || !closed) {
        unlink(temporary.c_str());
        return "cannot write " + path + ": " + (encoded ? reason : sink.message);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string renameReason = std::strerror(errno);
        unlink(temporary.c_str());
        return "cannot rename " + temporary + " to " + path + ": " + renameReason;
    }
    return {};
}

}  // namespace fvstream
