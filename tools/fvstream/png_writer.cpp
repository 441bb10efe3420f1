#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "platform/kernel/replace_file.h"

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
    // The encoder writes through a stream of its own on a copy of the descriptor, so that
    // closing the stream leaves the file to the replacement.
    std::string reason;
    auto writeEncoded = [&](int descriptor) {
        const int own = dup(descriptor);
        std::FILE* file = own >= 0 ? fdopen(own, "wb") : nullptr;
        if (file == nullptr) {
            reason = std::strerror(errno);
            if (own >= 0) {
                close(own);
            }
            return false;
        }
        PngErrorSink sink;
        const bool encoded = encode(file, width, height, rows.data(), sink);
        const bool flushed = std::fflush(file) == 0;
        reason = encoded ? std::strerror(errno) : sink.message;
        const bool closed = std::fclose(file) == 0;
        const bool ok = encoded && flushed && closed;
        if (ok) {
            reason.clear();
        }
        return ok;
    };
    ReplaceFileStep failed = ReplaceFileStep::None;
    if (!ReplaceFileContent(path.c_str(), writeEncoded, {0666}, &failed)) {
        if (failed != ReplaceFileStep::Write || reason.empty()) {
            reason = std::strerror(errno);
        }
        const char* what = failed == ReplaceFileStep::Create   ? "cannot create "
                           : failed == ReplaceFileStep::Rename ? "cannot replace "
                                                               : "cannot write ";
        return what + path + ": " + reason;
    }
    return {};
}

}  // namespace fvstream
