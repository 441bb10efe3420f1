// What the other side should show for a screen the scanner watches: the display's colours as
// the pixel reduction and the palette the scanner sends map them, and the stream decoded by the
// project's decoder.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/gdi/memory_display.h"
#include "scanner_harness.h"
#include "videodecode/stream_decoder.h"

namespace scantest {

// The colour a screen colour shows with on the other side. `trueColour`: the display is above
// 8 bits per pixel; otherwise `colour` is the display's colour table entry of the pixel.
videodecode::Rgb ExpectedColour(COLORREF colour, bool trueColour, int bitsPerPixel,
                                BYTE reducedMode);

// The whole expected picture of a memory display (only the part covered by cells).
std::vector<videodecode::Rgb> ExpectedScreen(farvane::gdi::MemoryDisplay& display, BYTE reducedMode,
                                             int coveredWidth, int coveredHeight);

struct DecodedStream {
    bool ok = false;
    std::string error;
    videodecode::Framebuffer framebuffer;
    std::vector<videodecode::FrameInfo> frames;
    bool videoRunning = false;
};
DecodedStream Decode(const Bytes& stream, std::optional<WORD> capabilities);

// The covered part of a decoded picture, row by row.
std::vector<videodecode::Rgb> Covered(const videodecode::Framebuffer& framebuffer, int width,
                                      int height);

}  // namespace scantest
