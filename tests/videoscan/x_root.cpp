#include "x_root.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace scantest {

XRoot::XRoot(const std::string& name) : display_(XOpenDisplay(name.c_str())) {}

XRoot::~XRoot() {
    if (display_ != nullptr) {
        XCloseDisplay(static_cast<Display*>(display_));
    }
}

void XRoot::Fill(int x, int y, int width, int height, unsigned long rgb) {
    auto* display = static_cast<Display*>(display_);
    GC gc = XCreateGC(display, DefaultRootWindow(display), 0, nullptr);
    XSetForeground(display, gc, rgb);
    XFillRectangle(display, DefaultRootWindow(display), gc, x, y, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
    XFreeGC(display, gc);
    XSync(display, False);
}

void XRoot::Draw(int x, int y, int width, int height, const unsigned* rgb) {
    auto* display = static_cast<Display*>(display_);
    const int screen = DefaultScreen(display);
    std::vector<unsigned> pixels(rgb, rgb + static_cast<std::size_t>(width) * height);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(width),
                     static_cast<unsigned>(height), 32, width * 4);
    GC gc = XCreateGC(display, DefaultRootWindow(display), 0, nullptr);
    XPutImage(display, DefaultRootWindow(display), gc, image, 0, 0, x, y,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFreeGC(display, gc);
    image->data = nullptr;  // the pixels are the vector's
    XDestroyImage(image);
    XSync(display, False);
}

}  // namespace scantest
