// The screen of an X display: read with XShm (XGetImage when XShm is missing or refused),
// the cursor through XFixes, the screen size re-read from the root window so that size
// changes are followed. X errors never end the process: protocol errors are counted, and a
// lost connection makes the device dead (IsAlive() false, reads fail).
//
// Each connection is used by one thread at a time under its own lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/gdi/display_device.h"

namespace farvane::gdi {

class X11DamageListener;

class X11Display : public DisplayDevice {
public:
    struct Options {
        bool useShm = true;  // false: always XGetImage
    };

    // Null when the display cannot be opened or its visual cannot be read.
    static std::shared_ptr<X11Display> Open(const std::string& displayName);
    static std::shared_ptr<X11Display> Open(const std::string& displayName, Options options);
    ~X11Display() override;

    // Whether reads go through shared memory.
    bool UsesShm();
    // Protocol errors recorded on this connection so far.
    std::uint64_t ErrorCount();
    // The colour GetSysColor(COLOR_BACKGROUND) reports (X has no desktop colour; black
    // until set).
    void SetBackgroundColour(COLORREF colour);

    // DisplayDevice
    bool IsAlive() override;
    DisplayGeometry Geometry() override;
    ColourTable Colours() override;
    bool ReadRect(const CopyRect& rect, PixelView& destination, const MonoColours& mono) override;
    // Writing onto an X screen is not supported: always false.
    bool VisitRows(int x, int y, int width, int height, const RowVisitor& visitor) override;
    bool WriteRect(const PixelView& source, const CopyRect& rect, const MonoColours& mono) override;
    COLORREF BackgroundColour() override;
    HCURSOR CurrentCursor() override;
    bool CursorPosition(POINT* point) override;
    bool MoveCursor(int x, int y) override;
    // Colormap changes are seen when the colours are next read (at most once a second).
    std::uint32_t PaletteGeneration() override;
    // From the server's damage reports on the root window, read by a listener with a
    // connection of its own that starts with the first reader; null without the DAMAGE
    // extension.
    std::shared_ptr<DamageHints> WatchDamage(int bandHeight, int bandCount,
                                             std::function<void()> wake) override;

    struct Connection;
    X11Display(std::unique_ptr<Connection> connection, std::string displayName);

private:
    std::unique_ptr<Connection> x_;
    const std::string displayName_;
    std::mutex damageMutex_;  // guards listener_ and listenerTried_
    DamageSource damage_;
    std::unique_ptr<X11DamageListener> listener_;
    bool listenerTried_ = false;
};

}  // namespace farvane::gdi
