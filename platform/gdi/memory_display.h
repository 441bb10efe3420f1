// A display held in memory, of any size at 1, 4, 8 (palette device or not), 16 (5-5-5 or
// 5-6-5), 24 or 32 bits per pixel. Tests and tools draw on it with the helpers below while
// other threads read it through the GDI calls; one lock guards all its state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/damage_hints.h"
#include "platform/gdi/desktop_name.h"
#include "platform/gdi/display_device.h"

namespace farvane::gdi {

class MemoryDisplay : public DisplayDevice {
public:
    // Null when the configuration is out of range (see desktop_name.h for the limits).
    static std::shared_ptr<MemoryDisplay> Create(const MemoryDisplayConfig& config);
    explicit MemoryDisplay(const MemoryDisplayConfig& config);

    // Drawing helpers; coordinates outside the screen are left out. Colours are turned into
    // the display's pixel values (the nearest palette entry up to 8 bits per pixel).
    void FillRect(int x, int y, int width, int height, COLORREF colour);
    void SetPixel(int x, int y, COLORREF colour);
    // The colour at a point, CLR_INVALID outside the screen.
    COLORREF GetPixel(int x, int y);
    // Raw pixel values in the display's layout (palette indexes, 16-bit words...).
    void SetPixelValue(int x, int y, std::uint32_t value);
    std::uint32_t PixelValue(int x, int y);
    // Draws width x height pixels of red, green, blue bytes, rows `stride` bytes apart.
    void LoadRgb(int x, int y, int width, int height, const std::uint8_t* rgb, std::size_t stride);
    // Changes the screen size; the top left part is kept, new parts are pixel value 0.
    bool Resize(int width, int height);

    // Colour table entries from `start` (up to 8 bits per pixel; on a palette device this is
    // the system palette). Returns the number of entries set.
    unsigned SetSystemPalette(unsigned start, const PALETTEENTRY* entries, unsigned count);
    void SetBackgroundColour(COLORREF colour);

    // Cursors: each call makes a new cursor the one in use and returns its handle. Masks are
    // rows of DeviceRowBytes(width, 1) bytes (see cursor_image.h). A colour cursor's image
    // is kept at colourBitsPerPixel, or at the display's depth when that is 0.
    HCURSOR SetMonochromeCursor(int width, int height, int hotX, int hotY,
                                const std::uint8_t* andMask, const std::uint8_t* xorMask);
    HCURSOR SetColourCursor(int width, int height, int hotX, int hotY, const std::uint8_t* andMask,
                            const std::uint8_t* rgb, int colourBitsPerPixel = 0);
    // Makes an existing cursor (or NULL: none) the one in use.
    void UseCursor(HCURSOR cursor);

    // Damage reports, as an X server gives them: None (the default) offers no damage hints;
    // Reported marks what each drawing helper, WriteRect and Resize touch; Missed offers hints
    // but reports nothing, like a server that misses drawing.
    enum class DamageReports { None, Reported, Missed };
    void SetDamageReports(DamageReports reports);
    // The top row of every rectangle read (ReadRect, VisitRows) since the last call, while
    // damage reports are not None; at most kReadLogLimit are kept.
    std::vector<int> TakeReadLog();
    static constexpr std::size_t kReadLogLimit = 65536;

    // DisplayDevice
    DisplayGeometry Geometry() override;
    ColourTable Colours() override;
    bool ReadRect(const CopyRect& rect, PixelView& destination, const MonoColours& mono) override;
    bool VisitRows(int x, int y, int width, int height, const RowVisitor& visitor) override;
    bool WriteRect(const PixelView& source, const CopyRect& rect, const MonoColours& mono) override;
    COLORREF BackgroundColour() override;
    HCURSOR CurrentCursor() override;
    bool CursorPosition(POINT* point) override;
    bool MoveCursor(int x, int y) override;
    std::uint32_t PaletteGeneration() override;
    std::shared_ptr<DamageHints> WatchDamage(int bandHeight, int bandCount,
                                             std::function<void()> wake) override;

private:
    void FillPixels(int x, int y, int width, int height, COLORREF colour);
    void ResizePixels(int width, int height);
    // Tells damage readers that rows y to y + height - 1 were drawn on.
    void ReportDrawn(int y, int height);
    void LogReadLocked(int y);

    PixelView ViewLocked();
    std::uint32_t EncodeLocked(COLORREF colour) const;
    std::uint8_t* RowLocked(int y) {
        return pixels_.data() + stride_ * static_cast<std::size_t>(y);
    }
    bool InsideLocked(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    std::mutex mutex_;
    int width_;
    int height_;
    const PixelFormat format_;
    const bool paletteDevice_;
    std::size_t stride_;
    std::vector<std::uint8_t> pixels_;
    ColourTable colours_;
    std::uint32_t paletteGeneration_ = 0;
    COLORREF background_ = RGB(0, 128, 128);
    HCURSOR cursor_;
    POINT cursorPosition_;
    DamageReports damageReports_ = DamageReports::None;
    std::vector<int> readLog_;
    DamageSource damage_;
};

}  // namespace farvane::gdi
