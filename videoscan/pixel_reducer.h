// Lowers the colour depth of a cell's bits in place.
//
// Above 8 bits per pixel every pixel becomes one byte BBBGGRRR (blue in bits 7..5, green in
// bits 4..3, red in bits 2..0). At 8 bits per pixel a reduced colour mode packs table values
// into 1 (mode 1, mono table), 2 (mode 2) or 4 (any other non-zero mode) bits per pixel;
// every row starts on a byte boundary and the unused low bits of a row's last byte are 0.
#pragma once

#include <cstdint>

namespace videoscan {

// Colour format value that marks 5-5-5 pixels at 16 bits per pixel.
inline constexpr std::uint16_t kColourFormat555 = 555;

// A cell's bits: `rows` rows of `rowBytes` bytes of pixels, `stride` bytes apart.
struct CellBits {
    std::uint8_t* data = nullptr;
    std::uint32_t dataLength = 0;  // rows x rowBytes
    std::uint16_t rowBytes = 0;
    std::uint16_t stride = 0;
    std::uint16_t rows = 0;
};

struct ReductionTables {
    const std::uint8_t* mono = nullptr;     // 256 entries: mode 1
    const std::uint8_t* reduced = nullptr;  // 256 entries: the scanner's reduced colour mode
};

// Reduces the bits in place and returns the bits per pixel of the result. Afterwards the rows
// are packed tight (stride = rowBytes) whenever anything changed. Depths below 8 are left as
// they are.
int ReducePixels(CellBits& cell, int bitsPerPixel, std::uint16_t reducedMode,
                 std::uint16_t colourFormat, const ReductionTables& tables);

}  // namespace videoscan
