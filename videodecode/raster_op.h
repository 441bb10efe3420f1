// Ternary raster operations: a 32-bit code whose bits 23..16 are a truth table over the
// pattern (brush), source and destination bits. Bit (p << 2 | s << 1 | d) of that table is the
// result for one combination, applied to every bit of the 24-bit colours.
#pragma once

#include <cstdint>

#include "session/video_wire.h"
#include "videodecode/framebuffer.h"

namespace videodecode {

constexpr std::uint32_t kSrcCopy = videowire::kRasterSrcCopy;
constexpr std::uint32_t kPatCopy = videowire::kRasterPatCopy;

class RasterOp {
public:
    explicit RasterOp(std::uint32_t code) : code_(code) {}

    std::uint32_t code() const { return code_; }
    std::uint8_t table() const { return static_cast<std::uint8_t>(code_ >> 16); }
    // The result changes with the source / the pattern for some inputs.
    bool usesSource() const { return ((table() >> 2 ^ table()) & 0x33) != 0; }
    bool usesPattern() const { return ((table() >> 4 ^ table()) & 0x0F) != 0; }
    // Codes above 24 bits name no operation.
    bool valid() const { return (code_ >> 24) == 0; }

    Rgb apply(Rgb pattern, Rgb source, Rgb destination) const;

private:
    std::uint32_t code_;
};

}  // namespace videodecode
