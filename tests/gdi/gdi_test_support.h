// Helpers shared by the display layer's tests.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/display_registry.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/memory_display.h"

namespace farvane::gdi::testing {

// A memory desktop name of its own for each call, so that tests never share a display.
inline std::string FreshMemoryName(int width, int height, const std::string& depth) {
    static std::atomic<int> counter{0};
    return "memory:" + std::to_string(width) + "x" + std::to_string(height) + "x" + depth + "#t" +
           std::to_string(++counter);
}

// Opens the desktop and attaches the calling thread to it; returns its memory display.
inline std::shared_ptr<MemoryDisplay> AttachMemoryDesktop(const std::string& name) {
    HDESK desktop = OpenDesktopA(name.c_str(), DF_ALLOWOTHERACCOUNTHOOK, FALSE, 0x1FF);
    if (!desktop || !SetThreadDesktop(desktop)) {
        return nullptr;
    }
    return FindMemoryDisplay(name);
}

// What the scanner does for one cell: BitBlt from the screen into a bitmap of the display's
// depth selected into a memory DC, then GetBitmapBits. The bitmap starts filled with `fill`.
struct CellRead {
    BOOL blitted = FALSE;
    LONG copied = 0;
    BITMAP description{};
    std::vector<std::uint8_t> bits;
};

inline CellRead ReadCell(int x, int y, int width, int height, std::uint8_t fill = 0) {
    CellRead read;
    HDC screen = GetDC(GetDesktopWindow());
    HDC memory = CreateCompatibleDC(screen);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * depth + 15) / 16 * 2;
    std::vector<std::uint8_t> initial(rowBytes * height, fill);
    HBITMAP bitmap = CreateBitmap(width, height, 1, depth, initial.data());
    HGDIOBJ previous = SelectObject(memory, bitmap);
    read.blitted = BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    GetObjectA(bitmap, sizeof read.description, &read.description);
    read.bits.assign(initial.size() + 16, 0xCD);
    read.copied = GetBitmapBits(bitmap, static_cast<LONG>(read.bits.size()), read.bits.data());
    read.bits.resize(read.copied > 0 ? static_cast<std::size_t>(read.copied) : 0);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(GetDesktopWindow(), screen);
    return read;
}

}  // namespace farvane::gdi::testing
