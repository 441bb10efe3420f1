// The X11 display against an Xvfb server started by the test: colours drawn with Xlib are
// read back through the GDI calls, cursor shapes come through XFixes, size changes are seen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "gdi_test_support.h"
#include "platform/gdi/x11_display.h"
#include "xvfb_server.h"

// Xlib's macros (None, Bool...) clash with GoogleTest's names: include it last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace farvane::gdi {
namespace {

using testing::ReadCell;
using testing::XvfbServer;

// Draws on the root window through a connection of the test's own.
class Painter {
public:
    explicit Painter(const std::string& name) : display_(XOpenDisplay(name.c_str())) {}
    ~Painter() {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    bool ok() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }

    void Fill(int x, int y, int width, int height, unsigned long pixel) {
        GC gc = XCreateGC(display_, root(), 0, nullptr);
        XSetForeground(display_, gc, pixel);
        XFillRectangle(display_, root(), gc, x, y, static_cast<unsigned>(width),
                       static_cast<unsigned>(height));
        XFreeGC(display_, gc);
        XSync(display_, False);
    }

    // Puts 32-bit pixels as they are, padding byte included, on a 24-bit screen.
    void Put(int x, int y, int width, int height, std::vector<std::uint32_t> pixels) {
        const int screen = DefaultScreen(display_);
        XImage* image =
            XCreateImage(display_, DefaultVisual(display_, screen), 24, ZPixmap, 0,
                         reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 32, 0);
        GC gc = XCreateGC(display_, root(), 0, nullptr);
        XPutImage(display_, root(), gc, image, 0, 0, x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
        XFreeGC(display_, gc);
        image->data = nullptr;  // the vector's
        XDestroyImage(image);
        XSync(display_, False);
    }

private:
    Display* display_;
};

class X11DisplayTest : public ::testing::Test {
protected:
    void StartServer(const std::string& screen) {
        if (!XvfbServer::Available()) {
            GTEST_SKIP() << "Xvfb is not installed: the X11 display is not tested";
        }
        ASSERT_TRUE(server_.Start(screen)) << "Xvfb did not start";
        painter_ = std::make_unique<Painter>(server_.display());
        ASSERT_TRUE(painter_->ok());
    }

    void AttachServerDesktop() {
        HDESK desktop =
            OpenDesktopA(server_.display().c_str(), DF_ALLOWOTHERACCOUNTHOOK, FALSE, 0x1FF);
        ASSERT_TRUE(desktop);
        ASSERT_TRUE(SetThreadDesktop(desktop));
    }

    XvfbServer server_;
    std::unique_ptr<Painter> painter_;
};

// Pixel x of a 32-bit row: blue, green, red, 0.
std::uint32_t Pixel32(const std::vector<std::uint8_t>& bits, int rowBytes, int x, int y) {
    const std::uint8_t* p = bits.data() + rowBytes * y + 4 * x;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TEST_F(X11DisplayTest, ColoursDrawnOnTheRootAreReadBackAtDepth24) {
    StartServer("640x480x24");
    AttachServerDesktop();
    painter_->Fill(0, 0, 640, 480, 0x000000);
    painter_->Fill(10, 10, 8, 4, 0xFF0000);
    painter_->Fill(18, 10, 8, 4, 0x00FF00);
    painter_->Fill(10, 14, 8, 4, 0x0000FF);
    painter_->Fill(18, 14, 8, 4, 0x123456);

    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    HDC screen = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_FALSE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    ReleaseDC(GetDesktopWindow(), screen);

    const auto read = ReadCell(10, 10, 16, 8);
    ASSERT_TRUE(read.blitted);
    ASSERT_EQ(read.copied, 16 * 8 * 4);
    EXPECT_EQ(read.description.bmWidthBytes, 64);
    EXPECT_EQ(Pixel32(read.bits, 64, 0, 0), 0x00FF0000u);
    EXPECT_EQ(Pixel32(read.bits, 64, 8, 0), 0x0000FF00u);
    EXPECT_EQ(Pixel32(read.bits, 64, 7, 7), 0x000000FFu);
    EXPECT_EQ(Pixel32(read.bits, 64, 15, 7), 0x00123456u);
}

TEST_F(X11DisplayTest, SharedMemoryAndPlainReadsAgree) {
    StartServer("640x480x24");
    for (int x = 0; x < 64; ++x) {
        painter_->Fill(x, 0, 1, 16, static_cast<unsigned long>(x * 0x030507));
    }
    auto withShm = X11Display::Open(server_.display());
    auto plain = X11Display::Open(server_.display(), X11Display::Options{false});
    ASSERT_TRUE(withShm && plain);
    EXPECT_TRUE(withShm->UsesShm());
    EXPECT_FALSE(plain->UsesShm());
    std::vector<std::uint8_t> first(64 * 16 * 4, 0xAA);
    std::vector<std::uint8_t> second(64 * 16 * 4, 0x55);
    const ColourTable none;
    PixelView a{first.data(), 256, 64, 16, PixelFormat::ForDepth(32), &none};
    PixelView b{second.data(), 256, 64, 16, PixelFormat::ForDepth(32), &none};
    ASSERT_TRUE(withShm->ReadRect({0, 0, 0, 0, 64, 16}, a, MonoColours{}));
    ASSERT_TRUE(plain->ReadRect({0, 0, 0, 0, 64, 16}, b, MonoColours{}));
    EXPECT_EQ(first, second);
    EXPECT_EQ(Pixel32(first, 256, 5, 3), (5u * 0x030507u) & 0xFFFFFFu);
    EXPECT_EQ(withShm->ErrorCount(), 0u);
}

// Rows visited straight from the image are the rows ReadRect gives, through shared memory or
// not, whatever the server keeps in the padding byte of a 32-bit pixel.
TEST_F(X11DisplayTest, VisitedRowsAreTheRowsReadRectGives) {
    StartServer("320x64x24");
    std::vector<std::uint32_t> pixels(97 * 21);
    std::uint32_t state = 99;
    for (auto& pixel : pixels) {
        state = state * 1103515245u + 12345u;
        pixel = state;  // the top byte is not zero
    }
    painter_->Put(3, 5, 97, 21, pixels);
    for (bool shm : {true, false}) {
        auto device = X11Display::Open(server_.display(), X11Display::Options{shm});
        ASSERT_TRUE(device);
        EXPECT_EQ(device->UsesShm(), shm);
        std::vector<std::uint8_t> read(90 * 4 * 16, 0xAA);
        const ColourTable none;
        PixelView view{read.data(), 90 * 4, 90, 16, PixelFormat::ForDepth(32), &none};
        ASSERT_TRUE(device->ReadRect({7, 9, 0, 0, 90, 16}, view, MonoColours{}));
        std::vector<std::uint8_t> visited;
        ASSERT_TRUE(device->VisitRows(7, 9, 90, 16, [&](const std::uint8_t* row) {
            visited.insert(visited.end(), row, row + 90 * 4);
        }));
        EXPECT_EQ(visited, read) << (shm ? "shared memory" : "XGetImage");
        EXPECT_EQ(Pixel32(visited, 90 * 4, 0, 0), pixels[4 * 97 + 4] & 0xFFFFFFu);
    }
}

// At 16 bits per pixel with 5-6-5 masks the image is the device's layout too; rows outside the
// screen are refused.
TEST_F(X11DisplayTest, VisitedRowsAtSixteenBitsAndRectanglesOffTheScreen) {
    StartServer("160x40x16");
    painter_->Fill(0, 0, 160, 40, 0xF81F);
    painter_->Fill(10, 10, 5, 5, 0x07E0);
    auto device = X11Display::Open(server_.display());
    ASSERT_TRUE(device);
    std::vector<std::uint8_t> visited;
    ASSERT_TRUE(device->VisitRows(8, 10, 8, 2, [&](const std::uint8_t* row) {
        visited.insert(visited.end(), row, row + 16);
    }));
    const std::vector<std::uint8_t> expected = {0x1F, 0xF8, 0x1F, 0xF8, 0xE0, 0x07, 0xE0, 0x07,
                                                0xE0, 0x07, 0xE0, 0x07, 0xE0, 0x07, 0x1F, 0xF8,
                                                0x1F, 0xF8, 0x1F, 0xF8, 0xE0, 0x07, 0xE0, 0x07,
                                                0xE0, 0x07, 0xE0, 0x07, 0xE0, 0x07, 0x1F, 0xF8};
    EXPECT_EQ(visited, expected);
    int calls = 0;
    EXPECT_FALSE(device->VisitRows(155, 0, 8, 2, [&](const std::uint8_t*) { ++calls; }));
    EXPECT_FALSE(device->VisitRows(0, 39, 8, 2, [&](const std::uint8_t*) { ++calls; }));
    EXPECT_EQ(calls, 0);
}

TEST_F(X11DisplayTest, CellsAtTheEdgesKeepTheRestOfTheBitmap) {
    StartServer("640x480x24");
    AttachServerDesktop();
    painter_->Fill(0, 0, 640, 480, 0x405060);
    const auto read = ReadCell(630, 476, 13, 8, 0xEE);
    ASSERT_TRUE(read.blitted);
    EXPECT_EQ(read.description.bmWidthBytes, 52);
    EXPECT_EQ(Pixel32(read.bits, 52, 9, 3), 0x00405060u);
    EXPECT_EQ(Pixel32(read.bits, 52, 10, 3), 0xEEEEEEEEu);
    EXPECT_EQ(Pixel32(read.bits, 52, 0, 4), 0xEEEEEEEEu);
}

TEST_F(X11DisplayTest, SixteenBitServerGivesFiveSixFiveWords) {
    StartServer("320x200x16");
    AttachServerDesktop();
    painter_->Fill(0, 0, 4, 1, 0xF800);
    painter_->Fill(4, 0, 4, 1, 0x07E0);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
    ReleaseDC(nullptr, screen);
    const auto read = ReadCell(3, 0, 3, 1);
    ASSERT_EQ(read.copied, 6);
    const std::vector<std::uint8_t> expected = {0x00, 0xF8, 0xE0, 0x07, 0xE0, 0x07};
    EXPECT_EQ(read.bits, expected);
}

TEST_F(X11DisplayTest, EightBitServerIsAPaletteDevice) {
    StartServer("320x200x8");
    AttachServerDesktop();
    Display* display = painter_->display();
    if (DefaultVisual(display, DefaultScreen(display))->c_class != PseudoColor) {
        GTEST_SKIP() << "the 8-bit Xvfb screen has no PseudoColor visual";
    }
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    EXPECT_TRUE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(screen, SIZEPALETTE), 256);
    auto device = OpenDisplay(server_.display());
    ASSERT_TRUE(device);
    const std::uint32_t generation = device->PaletteGeneration();

    // A writable colour cell, drawn with and then changed.
    Colormap colormap = DefaultColormap(display, DefaultScreen(display));
    unsigned long planes = 0;
    unsigned long cell = 0;
    ASSERT_TRUE(XAllocColorCells(display, colormap, False, &planes, 0, &cell, 1));
    XColor colour{};
    colour.pixel = cell;
    colour.red = 0x1200;
    colour.green = 0x3400;
    colour.blue = 0x5600;
    colour.flags = DoRed | DoGreen | DoBlue;
    XStoreColor(display, colormap, &colour);
    painter_->Fill(0, 0, 4, 1, cell);
    const auto read = ReadCell(0, 0, 2, 1);
    ASSERT_EQ(read.copied, 2);
    EXPECT_EQ(read.bits[0], cell);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    PALETTEENTRY entry{};
    ASSERT_EQ(GetSystemPaletteEntries(screen, static_cast<UINT>(cell), 1, &entry), 1u);
    EXPECT_EQ(entry.peRed, 0x12);
    EXPECT_EQ(entry.peGreen, 0x34);
    EXPECT_EQ(entry.peBlue, 0x56);
    EXPECT_NE(device->PaletteGeneration(), generation);
    ReleaseDC(nullptr, screen);
}

TEST_F(X11DisplayTest, ScreenSizeChangesAreFollowed) {
    StartServer("640x480x24");
    AttachServerDesktop();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    const std::string command =
        "xrandr -display " + server_.display() + " --fb 800x600 >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        GTEST_SKIP() << "xrandr could not resize the Xvfb screen";
    }
    int width = 0;
    for (int i = 0; i < 40 && width != 800; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        width = GetSystemMetrics(SM_CXSCREEN);
    }
    EXPECT_EQ(width, 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    painter_->Fill(700, 550, 10, 10, 0xABCDEF);
    const auto read = ReadCell(700, 550, 4, 2);
    ASSERT_TRUE(read.blitted);
    EXPECT_EQ(Pixel32(read.bits, 16, 3, 1), 0x00ABCDEFu);
}

TEST_F(X11DisplayTest, CursorShapesComeThroughXfixes) {
    StartServer("640x480x24");
    AttachServerDesktop();
    HookMouseInstall();
    HCURSOR initial = HookMouseQuery();
    ASSERT_TRUE(initial) << "the server reports no cursor";
    EXPECT_EQ(HookMouseQuery(), initial);  // unchanged shape, same handle

    // A 16 x 16 cursor: a filled 8 x 8 red square at the top left, hot spot (3, 4).
    Display* display = painter_->display();
    Pixmap source = XCreatePixmap(display, painter_->root(), 16, 16, 1);
    Pixmap mask = XCreatePixmap(display, painter_->root(), 16, 16, 1);
    GC gc = XCreateGC(display, source, 0, nullptr);
    for (Pixmap pixmap : {source, mask}) {
        XSetForeground(display, gc, 0);
        XFillRectangle(display, pixmap, gc, 0, 0, 16, 16);
        XSetForeground(display, gc, 1);
        XFillRectangle(display, pixmap, gc, 0, 0, 8, 8);
    }
    XColor red{};
    red.red = 0xFFFF;
    XColor white{};
    white.red = white.green = white.blue = 0xFFFF;
    Cursor cursor = XCreatePixmapCursor(display, source, mask, &red, &white, 3, 4);
    XDefineCursor(display, painter_->root(), cursor);
    XSync(display, False);

    HCURSOR changed = nullptr;
    for (int i = 0; i < 20 && (!changed || changed == initial); ++i) {
        changed = HookMouseQuery();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(changed);
    ASSERT_NE(changed, initial);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(changed, &info));
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 4u);
    ASSERT_TRUE(info.hbmColor);
    BITMAP maskDescription{};
    BITMAP colourDescription{};
    GetObjectA(info.hbmMask, sizeof maskDescription, &maskDescription);
    GetObjectA(info.hbmColor, sizeof colourDescription, &colourDescription);
    EXPECT_EQ(maskDescription.bmWidth, 32);
    EXPECT_EQ(maskDescription.bmHeight, 32);
    EXPECT_EQ(maskDescription.bmBitsPixel, 1);
    EXPECT_EQ(colourDescription.bmWidth, 32);
    EXPECT_EQ(colourDescription.bmBitsPixel, 32);
    std::vector<std::uint8_t> maskBits(4 * 32);
    std::vector<std::uint8_t> colourBits(128 * 32);
    ASSERT_EQ(GetBitmapBits(info.hbmMask, 128, maskBits.data()), 128);
    ASSERT_EQ(GetBitmapBits(info.hbmColor, 128 * 32, colourBits.data()), 128 * 32);
    EXPECT_EQ(maskBits[0], 0x00);       // pixels 0-7 of row 0 drawn
    EXPECT_EQ(maskBits[1], 0xFF);       // pixels 8-15 transparent
    EXPECT_EQ(maskBits[4 * 10], 0xFF);  // row 10 transparent
    EXPECT_EQ(Pixel32(colourBits, 128, 2, 2), 0x00FF0000u);
    EXPECT_EQ(Pixel32(colourBits, 128, 12, 2), 0u);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    HookMouseRemove();
    XFreeGC(display, gc);
    XFreeCursor(display, cursor);
    XFreePixmap(display, source);
    XFreePixmap(display, mask);
}

TEST_F(X11DisplayTest, CursorPositionIsThePointerOnTheRoot) {
    StartServer("640x480x24");
    AttachServerDesktop();
    ASSERT_TRUE(SetCursorPos(100, 120));
    POINT point{};
    ASSERT_TRUE(GetCursorPos(&point));
    EXPECT_EQ(point.x, 100);
    EXPECT_EQ(point.y, 120);
}

TEST_F(X11DisplayTest, LostServerFailsReadsButNeverEndsTheProcess) {
    StartServer("320x200x24");
    auto device = X11Display::Open(server_.display());
    ASSERT_TRUE(device);
    HDESK desktop = OpenDesktopA(server_.display().c_str(), 0, FALSE, 0x1FF);
    ASSERT_TRUE(desktop);
    ASSERT_TRUE(SetThreadDesktop(desktop));
    HWND window = GetDesktopWindow();
    ASSERT_TRUE(IsWindow(window));
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    SelectObject(memory, bitmap);
    ASSERT_TRUE(BitBlt(memory, 0, 0, 8, 8, screen, 0, 0, SRCCOPY));

    painter_.reset();
    server_.Stop();

    std::vector<std::uint8_t> bits(8 * 8 * 4);
    const ColourTable none;
    PixelView view{bits.data(), 32, 8, 8, PixelFormat::ForDepth(32), &none};
    EXPECT_FALSE(device->ReadRect({0, 0, 0, 0, 8, 8}, view, MonoColours{}));
    EXPECT_FALSE(device->IsAlive());
    EXPECT_FALSE(BitBlt(memory, 0, 0, 8, 8, screen, 0, 0, SRCCOPY));
    EXPECT_FALSE(IsWindow(window));
    // The desktop is opened again when a server answers on that display (here none, unless
    // another test's server took the number meanwhile); the lost window never comes back.
    EXPECT_NE(GetDesktopWindow(), window);
    POINT point{};
    EXPECT_FALSE(device->CursorPosition(&point));
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, screen);
}

// Damage hints come from the server's reports: a drawing marks the bands it touched and wakes
// the reader; a lost server makes the hints lost, so that a reader reads everything.
TEST_F(X11DisplayTest, DrawingMarksTheBandsItTouchedAndALostServerLosesTheHints) {
    StartServer("320x200x24");
    auto device = X11Display::Open(server_.display());
    ASSERT_TRUE(device);
    std::atomic<int> wakes{0};
    auto hints = device->WatchDamage(8, 25, [&] { ++wakes; });
    ASSERT_TRUE(hints);
    auto eventually = [](const std::function<bool()>& condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return condition();
    };
    // The server reports drawing of its own too (the root's background at first, the pointer's
    // sprite): the pointer goes to the bottom band, out of the way, and once a drawing of the
    // test's own there has come through, the bands start with no marks.
    XWarpPointer(painter_->display(), 0, painter_->root(), 0, 0, 0, 0, 300, 196);
    painter_->Fill(0, 192, 5, 5, 0x00FF00);
    ASSERT_TRUE(eventually([&] { return hints->Pending(24); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (int band = 0; band < 25; ++band) {
        hints->Take(band);
    }
    painter_->Fill(10, 30, 20, 12, 0xFF0000);  // rows 30 to 41: bands 3 to 5
    ASSERT_TRUE(eventually([&] { return hints->Pending(5); }));
    EXPECT_GE(wakes.load(), 1);
    for (int band = 0; band < 24; ++band) {
        EXPECT_EQ(hints->Take(band), band >= 3 && band <= 5) << "band " << band;
    }

    painter_.reset();
    server_.Stop();
    ASSERT_TRUE(eventually([&] { return hints->Lost(); }));
    EXPECT_TRUE(hints->Take(0));
    hints->Detach();
}

}  // namespace
}  // namespace farvane::gdi
