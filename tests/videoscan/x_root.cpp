#include "x_root.h"

#include <X11/Xlib.h>

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

}  // namespace scantest
