// Writes a picture as an 8-bit RGB PNG. The file appears whole or not at all: it is written
// beside its final name and renamed into place, so a failure never leaves a partial file where
// a good one was.
#pragma once

#include <span>
#include <string>

#include "videodecode/framebuffer.h"

namespace fvstream {

// Returns an empty string on success, else what went wrong.
std::string writePng(const std::string& path, int width, int height,
                     std::span<const videodecode::Rgb> pixels);

}  // namespace fvstream
