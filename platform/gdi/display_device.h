// A display device: a screen of pixels in one of the device-dependent layouts, with a colour
// table up to 8 bits per pixel, a desktop background colour and a mouse cursor. The memory
// display and the X11 display implement it; the GDI calls reach it through a screen DC.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/gdi/damage_hints.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/pixel_format.h"
#include "platform/gdi/row_visitor.h"

namespace farvane::gdi {

struct DisplayGeometry {
    int width = 0;
    int height = 0;
    PixelFormat format;
    bool paletteDevice = false;  // a settable system palette (RC_PALETTE)
};

class DisplayDevice : public std::enable_shared_from_this<DisplayDevice> {
public:
    DisplayDevice();
    virtual ~DisplayDevice();
    DisplayDevice(const DisplayDevice&) = delete;
    DisplayDevice& operator=(const DisplayDevice&) = delete;

    // The desktop window of this display; each device has its own, never reused.
    HWND window() const { return window_; }

    // False once the device can no longer be read (a lost X connection).
    virtual bool IsAlive() { return true; }
    virtual DisplayGeometry Geometry() = 0;
    // The colour table of an indexed display (its system palette on a palette device);
    // empty above 8 bits per pixel.
    virtual ColourTable Colours() = 0;
    // Copies rect (source coordinates on the screen) into destination, in the destination's
    // format. Parts outside the screen or the destination are left out. False when the
    // screen could not be read.
    virtual bool ReadRect(const CopyRect& rect, PixelView& destination,
                          const MonoColours& mono) = 0;
    // Hands the rows of a rectangle of the screen to visitor, top first, straight from where
    // the display keeps them, so that a reader needs no bitmap in between. Only for pixels of
    // whole bytes (8 bits per pixel or more) and rectangles inside the screen; false, with no
    // row visited, when the display cannot do that or the screen could not be read.
    virtual bool VisitRows(int x, int y, int width, int height, const RowVisitor& visitor);
    // Copies from source onto the screen; rect gives source and screen coordinates.
    virtual bool WriteRect(const PixelView& source, const CopyRect& rect,
                           const MonoColours& mono) = 0;
    virtual COLORREF BackgroundColour() = 0;
    // The cursor shown now, or NULL when there is none or it cannot be known.
    virtual HCURSOR CurrentCursor() = 0;
    virtual bool CursorPosition(POINT* point) = 0;
    virtual bool MoveCursor(int x, int y) = 0;
    // Goes up whenever the colour table changes, so that the host can tell the scanner that
    // the system palette changed.
    virtual std::uint32_t PaletteGeneration() = 0;
    // Starts damage hints for a reader in bands of bandHeight rows (see damage_hints.h); null
    // when the display learns nothing of drawing, and the reader must read everything.
    virtual std::shared_ptr<DamageHints> WatchDamage(int bandHeight, int bandCount,
                                                     std::function<void()> wake);

private:
    HWND window_;
};

// The live device whose desktop window this is, or null.
std::shared_ptr<DisplayDevice> DisplayForWindow(HWND window);

}  // namespace farvane::gdi
