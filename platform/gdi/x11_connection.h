// Internal to the X11 display: the state of one X connection and the guard that every use
// of the connection goes through.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/gdi/x11_display.h"

namespace farvane::gdi {

// How the X server lays out pixels of the root window's visual.
struct X11PixelSource {
    int bitsPerPixel = 32;  // of a ZPixmap image at the root depth
    bool indexed = false;   // pixel values are colormap indexes
    unsigned long redMask = 0;
    unsigned long greenMask = 0;
    unsigned long blueMask = 0;
};

struct X11Display::Connection {
    std::mutex mutex;
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    X11PixelSource source;
    PixelFormat format;
    bool paletteDevice = false;
    bool dead = false;  // set when the connection was lost

    std::uint64_t errorCount = 0;
    int lastErrorCode = 0;

    int width = 0;
    int height = 0;
    std::chrono::steady_clock::time_point geometryRead;

    bool useShm = false;
    XShmSegmentInfo shm{};
    std::size_t shmCapacity = 0;

    bool haveXfixes = false;
    unsigned long cursorSerial = 0;
    HCURSOR cursor = nullptr;
    std::deque<HCURSOR> oldCursors;  // recent shapes, kept valid for a while

    ColourTable colours;
    std::uint32_t paletteGeneration = 0;
    std::chrono::steady_clock::time_point coloursRead;
    std::vector<std::uint8_t> scratch;
    COLORREF background = RGB(0, 0, 0);
};

// Holds a connection's lock for one use of Xlib: protocol errors raised meanwhile are counted
// on this connection, and SIGPIPE from a server that went away is kept from the process.
class X11Call {
public:
    explicit X11Call(X11Display::Connection& connection);
    ~X11Call();
    X11Call(const X11Call&) = delete;
    X11Call& operator=(const X11Call&) = delete;

    // Protocol errors recorded since the call began.
    std::uint64_t errors() const { return connection_.errorCount - errorsAtStart_; }

private:
    X11Display::Connection& connection_;
    std::unique_lock<std::mutex> lock_;
    std::uint64_t errorsAtStart_;
    X11Display::Connection* previous_;
    sigset_t savedMask_;
    bool pipeWasPending_;
};

// Installs the process-wide error handlers once and opens a connection, with the connection
// lost handler that marks it dead instead of ending the process.
Display* OpenX11Connection(const char* name, X11Display::Connection* connection);

// Whether the image's bytes already are the device's pixels (but for the padding byte of 32-bit
// pixels, which ClearX11Padding zeroes in a row).
bool X11ImageIsDeviceLayout(const XImage* image, const X11PixelSource& source,
                            const PixelFormat& format);
void ClearX11Padding(std::uint8_t* row, int width, const PixelFormat& format);
// Converts row y of a ZPixmap image of the source layout into a row of `format`.
void ConvertX11Row(XImage* image, const X11PixelSource& source, const PixelFormat& format,
                   const ColourTable& colours, int y, std::uint8_t* row);
// Converts a ZPixmap image of the source layout into rows of `format` (stride bytes apart).
void ConvertX11Image(XImage* image, const X11PixelSource& source, const PixelFormat& format,
                     const ColourTable& colours, std::uint8_t* rows, std::size_t stride);

}  // namespace farvane::gdi
