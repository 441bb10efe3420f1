// Desktop names: which display a desktop opened with OpenDesktopA shows.
//
//   name         := "Default" | x11-name | memory-name
//   x11-name     := ["x11:"] [host] ":" display ["." screen]
//   memory-name  := "memory:" width "x" height "x" depth ["#" tag]
//   depth        := "1" | "4" | "8" | "8p" | "15" | "16" | "24" | "32"
//
// "Default" (any case) is the process default desktop. An X11 name is what XOpenDisplay takes
// (":1", "unix:1.0", "localhost:10"); host names are letters, digits, '.', '-' and '_'.
// A memory name gives the size in pixels (1 to 16384 each way, at most 256 MiB of pixels) and
// the depth: "8p" is an 8-bit palette device, "15" is 16 bits per pixel in 5-5-5, "16" in
// 5-6-5. The tag (1 to 32 letters, digits, '-' or '_') tells apart memory displays of the
// same size and depth. Names are at most 128 characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi/pixel_format.h"

namespace farvane::gdi {

struct MemoryDisplayConfig {
    int width = 0;
    int height = 0;
    PixelFormat format;
    bool paletteDevice = false;
};

struct DesktopName {
    enum class Kind { Default, X11, Memory };
    Kind kind = Kind::Default;
    // Names that mean the same display have the same canonical form (":1" and "x11::1.0"
    // both give "x11::1.0").
    std::string canonical;
    std::string x11Display;  // X11: the name for XOpenDisplay
    MemoryDisplayConfig memory;
};

std::optional<DesktopName> ParseDesktopName(std::string_view name);

}  // namespace farvane::gdi
