// The GDI objects behind bitmap and DC handles.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/display_device.h"
#include "platform/gdi/handle_table.h"
#include "platform/gdi/pixel_format.h"

namespace farvane::gdi {

// A device-dependent bitmap: rows of DeviceRowBytes(width, bits per pixel) bytes.
class Bitmap : public GdiObject {
public:
    // owner: the display whose colour table gives meaning to indexed pixel values of the
    // display's depth (may be null).
    Bitmap(int width, int height, PixelFormat format, std::shared_ptr<DisplayDevice> owner);

    // Creates and registers a bitmap; null when the size is out of range.
    static std::shared_ptr<Bitmap> Create(int width, int height, PixelFormat format,
                                          std::shared_ptr<DisplayDevice> owner);

    int width() const { return width_; }
    int height() const { return height_; }
    const PixelFormat& format() const { return format_; }
    std::size_t stride() const { return stride_; }
    // The colour table that indexed pixel values refer to.
    ColourTable Colours() const;
    PixelView View(const ColourTable* colours);

    // Guards bits.
    std::mutex bitsMutex;
    std::vector<std::uint8_t> bits;

    // Guarded by the handle table's selection mutex.
    std::uintptr_t selectedInto = 0;
    bool stock = false;

private:
    int width_;
    int height_;
    PixelFormat format_;
    std::size_t stride_;
    std::shared_ptr<DisplayDevice> owner_;
};

// Largest bitmap accepted, in bytes of bits.
inline constexpr std::size_t kMaxBitmapBytes = std::size_t{512} << 20;

class DeviceContext : public GdiObject {
public:
    DeviceContext(ObjectKind kind, std::shared_ptr<DisplayDevice> device, HWND window)
        : GdiObject(kind), device(std::move(device)), window(window) {}

    bool isScreen() const { return kind() == ObjectKind::ScreenDc; }

    const std::shared_ptr<DisplayDevice> device;
    const HWND window;  // screen DCs: the window GetDC was given (NULL for the whole screen)
    // Memory DCs: the bitmap selected, guarded by the handle table's selection mutex.
    std::shared_ptr<Bitmap> selected;
    std::atomic<COLORREF> background{RGB(255, 255, 255)};
    std::atomic<COLORREF> text{RGB(0, 0, 0)};
};

// The 1x1 monochrome bitmap that every new memory DC holds.
std::shared_ptr<Bitmap> StockBitmap();

}  // namespace farvane::gdi
