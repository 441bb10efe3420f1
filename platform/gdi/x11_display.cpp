#include "platform/gdi/x11_display.h"

#include <X11/extensions/Xfixes.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <utility>

#include "platform/gdi/cursor_image.h"
#include "platform/gdi/handle_table.h"
#include "platform/gdi/x11_connection.h"
#include "platform/gdi/x11_damage.h"

namespace farvane::gdi {

namespace {

using Clock = std::chrono::steady_clock;

// How long a read screen size or colormap is trusted before it is read again.
constexpr auto kGeometryLifetime = std::chrono::milliseconds(250);
constexpr auto kColoursLifetime = std::chrono::milliseconds(1000);
// Recent cursor shapes whose handles stay valid after the cursor changed.
constexpr std::size_t kKeptCursors = 8;

int PixmapBitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) {
            bits = formats[i].bits_per_pixel;
        }
    }
    if (formats) {
        XFree(formats);
    }
    return bits;
}

bool MasksAre(const X11PixelSource& source, unsigned long red, unsigned long green,
              unsigned long blue) {
    return source.redMask == red && source.greenMask == green && source.blueMask == blue;
}

// The device layout for a visual: its own when GDI has one like it, else 32 bits.
bool ChooseFormat(X11Display::Connection& x) {
    const int visualClass = x.visual->c_class;
    x.source.bitsPerPixel = PixmapBitsPerPixel(x.display, x.depth);
    x.source.redMask = x.visual->red_mask;
    x.source.greenMask = x.visual->green_mask;
    x.source.blueMask = x.visual->blue_mask;
    if (x.source.bitsPerPixel <= 0) {
        return false;
    }
    if (visualClass == TrueColor || visualClass == DirectColor) {
        x.source.indexed = false;
        if (x.source.bitsPerPixel == 16 && MasksAre(x.source, 0x7C00, 0x03E0, 0x001F)) {
            x.format = {16, PixelLayout::Rgb555};
        } else if (x.source.bitsPerPixel == 16 && MasksAre(x.source, 0xF800, 0x07E0, 0x001F)) {
            x.format = {16, PixelLayout::Rgb565};
        } else if (x.source.bitsPerPixel == 24 && MasksAre(x.source, 0xFF0000, 0xFF00, 0xFF)) {
            x.format = {24, PixelLayout::Bgr24};
        } else {
            x.format = {32, PixelLayout::Bgrx32};
        }
        return true;
    }
    if (x.depth > 8) {
        return false;
    }
    x.source.indexed = true;
    x.format = {x.depth == 1 ? 1 : 8, PixelLayout::Indexed};
    x.paletteDevice = visualClass == PseudoColor || visualClass == GrayScale;
    return true;
}

void RefreshGeometry(X11Display::Connection& x) {
    Window root = 0;
    int left = 0;
    int top = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (!x.dead &&
        XGetGeometry(x.display, x.root, &root, &left, &top, &width, &height, &border, &depth)) {
        x.width = static_cast<int>(width);
        x.height = static_cast<int>(height);
    }
    x.geometryRead = Clock::now();
}

void EnsureGeometry(X11Display::Connection& x) {
    if (Clock::now() - x.geometryRead >= kGeometryLifetime) {
        RefreshGeometry(x);
    }
}

void EnsureColours(X11Display::Connection& x) {
    if (!x.source.indexed || x.dead || Clock::now() - x.coloursRead < kColoursLifetime) {
        return;
    }
    const int count = std::min(x.visual->map_entries, x.format.bitsPerPixel == 1 ? 2 : 256);
    std::vector<XColor> cells(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        cells[i].pixel = static_cast<unsigned long>(i);
    }
    XQueryColors(x.display, x.colormap, cells.data(), count);
    ColourTable colours(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        colours[i] = PALETTEENTRY{static_cast<BYTE>(cells[i].red >> 8),
                                  static_cast<BYTE>(cells[i].green >> 8),
                                  static_cast<BYTE>(cells[i].blue >> 8), 0};
    }
    const auto same = [](const PALETTEENTRY& a, const PALETTEENTRY& b) {
        return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
    };
    if (!std::equal(colours.begin(), colours.end(), x.colours.begin(), x.colours.end(), same)) {
        ++x.paletteGeneration;
        x.colours = std::move(colours);
    }
    x.coloursRead = Clock::now();
}

void ReleaseShm(X11Display::Connection& x) {
    if (x.shmCapacity == 0) {
        return;
    }
    if (!x.dead) {
        XShmDetach(x.display, &x.shm);
        XSync(x.display, False);
    }
    shmdt(x.shm.shmaddr);
    x.shm = XShmSegmentInfo{};
    x.shmCapacity = 0;
}

// Makes the shared segment hold at least `bytes`; false (and XShm off for good) when the
// server refuses it, which happens with servers on another machine.
bool EnsureShm(X11Display::Connection& x, X11Call& call, std::size_t bytes) {
    if (x.shmCapacity >= bytes) {
        return true;
    }
    ReleaseShm(x);
    bytes = std::max<std::size_t>(bytes, 64 * 1024);
    XShmSegmentInfo shm{};
    shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shm.shmid < 0) {
        x.useShm = false;
        return false;
    }
    void* address = shmat(shm.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(shm.shmid, IPC_RMID, nullptr);
        x.useShm = false;
        return false;
    }
    shm.shmaddr = static_cast<char*>(address);
    shm.readOnly = False;
    const std::uint64_t errorsBefore = call.errors();
    const Bool attached = XShmAttach(x.display, &shm);
    XSync(x.display, False);
    // Marked for removal now: it goes away once both sides have let go, even after a crash.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!attached || call.errors() != errorsBefore || x.dead) {
        shmdt(shm.shmaddr);
        x.useShm = false;
        return false;
    }
    x.shm = shm;
    x.shmCapacity = bytes;
    return true;
}

// An image of a rectangle of the screen, in the shared segment or from XGetImage.
class GrabbedImage {
public:
    GrabbedImage() = default;
    GrabbedImage(XImage* image, bool shared) : image_(image), shared_(shared) {}
    GrabbedImage(GrabbedImage&& other) noexcept
        : image_(std::exchange(other.image_, nullptr)), shared_(other.shared_) {}
    GrabbedImage& operator=(GrabbedImage&&) = delete;
    ~GrabbedImage() {
        if (image_ && shared_) {
            XFree(image_);  // the struct only: its data is the shared segment
        } else if (image_) {
            XDestroyImage(image_);
        }
    }
    XImage* get() const { return image_; }

private:
    XImage* image_ = nullptr;
    bool shared_ = false;
};

// Reads a rectangle that lies on the screen; an empty image when the read failed.
GrabbedImage GrabImage(X11Display::Connection& x, X11Call& call, int left, int top, int width,
                       int height) {
    const std::uint64_t errorsBefore = call.errors();
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    if (x.useShm && EnsureShm(x, call, bytes)) {
        GrabbedImage image(
            XShmCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap,
                            x.shm.shmaddr, &x.shm, static_cast<unsigned>(width),
                            static_cast<unsigned>(height)),
            true);
        const bool ok =
            image.get() &&
            static_cast<std::size_t>(image.get()->bytes_per_line) * height <= x.shmCapacity &&
            XShmGetImage(x.display, x.root, image.get(), left, top, AllPlanes) &&
            call.errors() == errorsBefore && !x.dead;
        return ok ? std::move(image) : GrabbedImage();
    }
    GrabbedImage image(XGetImage(x.display, x.root, left, top, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), AllPlanes, ZPixmap),
                       false);
    const bool ok = image.get() && call.errors() == errorsBefore && !x.dead;
    return ok ? std::move(image) : GrabbedImage();
}

// Reads a rectangle that lies on the screen into x.scratch in the device format.
bool Grab(X11Display::Connection& x, X11Call& call, int left, int top, int width, int height) {
    const std::size_t stride = DeviceRowBytes(width, x.format.bitsPerPixel);
    x.scratch.resize(stride * static_cast<std::size_t>(height));
    const GrabbedImage image = GrabImage(x, call, left, top, width, height);
    if (!image.get()) {
        return false;
    }
    ConvertX11Image(image.get(), x.source, x.format, x.colours, x.scratch.data(), stride);
    return true;
}

}  // namespace

X11Display::X11Display(std::unique_ptr<Connection> connection, std::string displayName)
    : x_(std::move(connection)), displayName_(std::move(displayName)) {}

std::shared_ptr<X11Display> X11Display::Open(const std::string& displayName) {
    return Open(displayName, Options{});
}

std::shared_ptr<X11Display> X11Display::Open(const std::string& displayName, Options options) {
    auto connection = std::make_unique<Connection>();
    Connection& x = *connection;
    x.display = OpenX11Connection(displayName.c_str(), &x);
    if (!x.display) {
        return nullptr;
    }
    {
        X11Call call(x);
        x.screen = DefaultScreen(x.display);
        x.root = RootWindow(x.display, x.screen);
        x.visual = DefaultVisual(x.display, x.screen);
        x.depth = DefaultDepth(x.display, x.screen);
        x.colormap = DefaultColormap(x.display, x.screen);
        if (!ChooseFormat(x)) {
            XCloseDisplay(x.display);
            return nullptr;
        }
        int major = 0;
        int minor = 0;
        Bool pixmaps = False;
        x.useShm = options.useShm && XShmQueryVersion(x.display, &major, &minor, &pixmaps);
        int eventBase = 0;
        int errorBase = 0;
        x.haveXfixes = XFixesQueryExtension(x.display, &eventBase, &errorBase) &&
                       XFixesQueryVersion(x.display, &major, &minor) && major >= 1;
        RefreshGeometry(x);
    }
    return std::make_shared<X11Display>(std::move(connection), displayName);
}

X11Display::~X11Display() {
    {
        std::lock_guard guard(damageMutex_);
        listener_.reset();
    }
    {
        X11Call call(*x_);
        ReleaseShm(*x_);
        for (HCURSOR cursor : x_->oldCursors) {
            HandleTable::Instance().Remove(cursor);
        }
        if (x_->cursor) {
            HandleTable::Instance().Remove(x_->cursor);
        }
        XCloseDisplay(x_->display);
        x_->display = nullptr;
    }
}

bool X11Display::UsesShm() {
    X11Call call(*x_);
    return x_->useShm;
}

std::uint64_t X11Display::ErrorCount() {
    X11Call call(*x_);
    return x_->errorCount;
}

void X11Display::SetBackgroundColour(COLORREF colour) {
    X11Call call(*x_);
    x_->background = colour & 0x00FFFFFFu;
}

bool X11Display::IsAlive() {
    X11Call call(*x_);
    Connection& x = *x_;
    if (!x.dead) {
        // A non-blocking read notices a server that went away; events that arrive (none are
        // asked for, but some are always sent) are dropped.
        XEventsQueued(x.display, QueuedAfterReading);
        while (!x.dead && XPending(x.display) > 0) {
            XEvent event;
            XNextEvent(x.display, &event);
        }
    }
    return !x.dead;
}

DisplayGeometry X11Display::Geometry() {
    X11Call call(*x_);
    EnsureGeometry(*x_);
    return DisplayGeometry{x_->width, x_->height, x_->format, x_->paletteDevice};
}

ColourTable X11Display::Colours() {
    X11Call call(*x_);
    EnsureColours(*x_);
    return x_->colours;
}

bool X11Display::ReadRect(const CopyRect& rect, PixelView& destination, const MonoColours& mono) {
    X11Call call(*x_);
    Connection& x = *x_;
    if (x.dead) {
        return false;
    }
    EnsureGeometry(x);
    EnsureColours(x);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const CopyRect clipped =
            ClipCopy(rect, x.width, x.height, destination.width, destination.height);
        if (clipped.empty()) {
            return true;
        }
        if (Grab(x, call, clipped.sourceX, clipped.sourceY, clipped.width, clipped.height)) {
            const PixelView grabbed{
                x.scratch.data(), DeviceRowBytes(clipped.width, x.format.bitsPerPixel),
                clipped.width,    clipped.height,
                x.format,         &x.colours};
            CopyRect local = clipped;
            local.sourceX = 0;
            local.sourceY = 0;
            CopyPixels(grabbed, destination, local, mono);
            return true;
        }
        if (x.dead) {
            return false;
        }
        // The screen may have shrunk since its size was read: read it again and retry.
        RefreshGeometry(x);
    }
    return false;
}

bool X11Display::VisitRows(int x, int y, int width, int height, const RowVisitor& visitor) {
    X11Call call(*x_);
    Connection& connection = *x_;
    if (connection.dead) {
        return false;
    }
    EnsureGeometry(connection);
    EnsureColours(connection);
    const int bitsPerPixel = connection.format.bitsPerPixel;
    if (bitsPerPixel < 8 || x < 0 || y < 0 || width <= 0 || height <= 0 ||
        x > connection.width - width || y > connection.height - height) {
        return false;
    }
    const GrabbedImage grabbed = GrabImage(connection, call, x, y, width, height);
    XImage* image = grabbed.get();
    if (!image) {
        return false;
    }
    if (X11ImageIsDeviceLayout(image, connection.source, connection.format)) {
        // The rows go to the reader from the image itself; only the padding byte of 32-bit
        // pixels is changed, in place.
        auto* row = reinterpret_cast<std::uint8_t*>(image->data);
        for (int line = 0; line < height; ++line, row += image->bytes_per_line) {
            ClearX11Padding(row, width, connection.format);
            visitor(row);
        }
        return true;
    }
    // Pixels of another layout are converted a row at a time.
    connection.scratch.resize(DeviceRowBytes(width, bitsPerPixel));
    for (int line = 0; line < height; ++line) {
        ConvertX11Row(image, connection.source, connection.format, connection.colours, line,
                      connection.scratch.data());
        visitor(connection.scratch.data());
    }
    return true;
}

bool X11Display::WriteRect(const PixelView&, const CopyRect&, const MonoColours&) {
    return false;
}

COLORREF X11Display::BackgroundColour() {
    X11Call call(*x_);
    return x_->background;
}

HCURSOR X11Display::CurrentCursor() {
    X11Call call(*x_);
    Connection& x = *x_;
    if (x.dead || !x.haveXfixes) {
        return nullptr;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(x.display);
    if (!image) {
        return nullptr;
    }
    if (x.cursor && image->cursor_serial == x.cursorSerial) {
        XFree(image);
        return x.cursor;
    }
    // Xlib hands the 32-bit ARGB pixels over in unsigned longs.
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(image->width) * image->height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        argb[i] = static_cast<std::uint32_t>(image->pixels[i]);
    }
    EnsureColours(x);
    HCURSOR cursor = MakeCursorFromArgb(image->width, image->height, image->xhot, image->yhot,
                                        argb.data(), x.format, x.colours);
    x.cursorSerial = image->cursor_serial;
    XFree(image);
    if (x.cursor) {
        x.oldCursors.push_back(x.cursor);
        if (x.oldCursors.size() > kKeptCursors) {
            HandleTable::Instance().Remove(x.oldCursors.front());
            x.oldCursors.pop_front();
        }
    }
    x.cursor = cursor;
    return cursor;
}

bool X11Display::CursorPosition(POINT* point) {
    if (!point) {
        return false;
    }
    X11Call call(*x_);
    Connection& x = *x_;
    if (x.dead) {
        return false;
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned buttons = 0;
    if (!XQueryPointer(x.display, x.root, &root, &child, &rootX, &rootY, &windowX, &windowY,
                       &buttons) ||
        x.dead) {
        return false;
    }
    point->x = rootX;
    point->y = rootY;
    return true;
}

std::uint32_t X11Display::PaletteGeneration() {
    X11Call call(*x_);
    EnsureColours(*x_);
    return x_->paletteGeneration;
}

std::shared_ptr<DamageHints> X11Display::WatchDamage(int bandHeight, int bandCount,
                                                     std::function<void()> wake) {
    std::lock_guard guard(damageMutex_);
    if (!listenerTried_) {
        listenerTried_ = true;
        listener_ = X11DamageListener::Start(displayName_, damage_);
    }
    if (!listener_ || !listener_->Alive()) {
        return nullptr;
    }
    std::shared_ptr<DamageHints> hints = damage_.Watch(bandHeight, bandCount, std::move(wake));
    // A connection lost after the check above lost the readers it knew, perhaps not this one.
    if (!listener_->Alive()) {
        hints->Lose();
    }
    return hints;
}

bool X11Display::MoveCursor(int px, int py) {
    X11Call call(*x_);
    Connection& x = *x_;
    if (x.dead) {
        return false;
    }
    XWarpPointer(x.display, None, x.root, 0, 0, 0, 0, px, py);
    XFlush(x.display);
    return !x.dead;
}

}  // namespace farvane::gdi
