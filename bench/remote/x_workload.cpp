#include "x_workload.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Display* AsDisplay(void* display) {
    return static_cast<Display*>(display);
}

}  // namespace

XWorkload::XWorkload(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    display_ = display;
    if (!display) {
        return;
    }
    int errorBase = 0;
    int event = 0;
    int major = 0;
    int minor = 0;
    if (!XDamageQueryExtension(display, &damageEvent_, &errorBase) ||
        !XTestQueryExtension(display, &event, &errorBase, &major, &minor)) {
        return;
    }
    damage_ = XDamageCreate(display, DefaultRootWindow(display), XDamageReportRawRectangles);
    width_ = DisplayWidth(display, DefaultScreen(display));
    height_ = DisplayHeight(display, DefaultScreen(display));
    XSync(display, False);
    screen_ = Grab(0, 0, width_, height_);
}

XWorkload::~XWorkload() {
    if (display_) {
        if (damage_) {
            XDamageDestroy(AsDisplay(display_), damage_);
        }
        XCloseDisplay(AsDisplay(display_));
    }
}

void XWorkload::SetRootBackground(std::uint32_t rgb) {
    Display* display = AsDisplay(display_);
    XSetWindowBackground(display, DefaultRootWindow(display), rgb);
    XClearWindow(display, DefaultRootWindow(display));
    XSync(display, False);
}

unsigned long XWorkload::FindWindow(const std::string& name, std::chrono::milliseconds limit) {
    Display* display = AsDisplay(display_);
    const auto until = Clock::now() + limit;
    while (Clock::now() < until) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && found == 0; ++i) {
                XClassHint hint{};
                XWindowAttributes attributes{};
                if (XGetClassHint(display, children[i], &hint)) {
                    if (hint.res_name && name == hint.res_name &&
                        XGetWindowAttributes(display, children[i], &attributes) &&
                        attributes.map_state == IsViewable) {
                        found = children[i];
                    }
                    XFree(hint.res_name);
                    XFree(hint.res_class);
                }
            }
            XFree(children);
        }
        if (found != 0) {
            return found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

void XWorkload::Type(char character) {
    Display* display = AsDisplay(display_);
    KeySym keysym = static_cast<KeySym>(static_cast<unsigned char>(character));
    if (character == '\n') {
        keysym = XK_Return;
    } else if (character == ' ') {
        keysym = XK_space;
    } else if (character == '-') {
        keysym = XK_minus;
    } else if (character == '/') {
        keysym = XK_slash;
    }
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

void XWorkload::MoveWindow(unsigned long window, int x, int y) {
    XMoveWindow(AsDisplay(display_), window, x, y);
    XFlush(AsDisplay(display_));
}

void XWorkload::MovePointer(int x, int y) {
    XTestFakeMotionEvent(AsDisplay(display_), DefaultScreen(AsDisplay(display_)), x, y,
                         CurrentTime);
    XSync(AsDisplay(display_), False);
}

bool XWorkload::NextDamage(std::chrono::milliseconds wait, int* left, int* top, int* right,
                           int* bottom) {
    Display* display = AsDisplay(display_);
    const auto until = Clock::now() + wait;
    bool any = false;
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != damageEvent_ + XDamageNotify) {
                continue;
            }
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
            *left = std::min(*left, static_cast<int>(notify.area.x));
            *top = std::min(*top, static_cast<int>(notify.area.y));
            *right = std::max(*right, notify.area.x + notify.area.width);
            *bottom = std::max(*bottom, notify.area.y + notify.area.height);
            any = true;
        }
        if (any) {
            return true;
        }
        const auto left_ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left_ms <= 0) {
            return false;
        }
        pollfd wait_fd{ConnectionNumber(display), POLLIN, 0};
        poll(&wait_fd, 1, static_cast<int>(left_ms));
    }
}

void XWorkload::Settle(std::chrono::milliseconds quiet) {
    int left = width_, top = height_, right = 0, bottom = 0;
    while (NextDamage(quiet, &left, &top, &right, &bottom)) {
    }
    screen_ = Grab(0, 0, width_, height_);
}

std::vector<ScreenPoint> XWorkload::Changes(std::chrono::milliseconds quiet,
                                            std::chrono::milliseconds limit, std::size_t count) {
    int left = width_, top = height_, right = 0, bottom = 0;
    if (!NextDamage(limit, &left, &top, &right, &bottom)) {
        return {};
    }
    while (NextDamage(quiet, &left, &top, &right, &bottom)) {
    }
    left = std::clamp(left, 0, width_);
    right = std::clamp(right, left, width_);
    top = std::clamp(top, 0, height_);
    bottom = std::clamp(bottom, top, height_);
    const std::vector<std::uint32_t> now = Grab(left, top, right - left, bottom - top);
    std::vector<ScreenPoint> changed;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::uint32_t rgb =
                now[static_cast<std::size_t>(y - top) * (right - left) + (x - left)];
            std::uint32_t& before = screen_[static_cast<std::size_t>(y) * width_ + x];
            if (rgb != before) {
                changed.push_back({x, y, rgb});
                before = rgb;
            }
        }
    }
    if (changed.size() <= count) {
        return changed;
    }
    std::vector<ScreenPoint> spread;
    for (std::size_t i = 0; i < count; ++i) {
        spread.push_back(changed[i * changed.size() / count]);
    }
    return spread;
}

std::vector<std::uint32_t> XWorkload::Grab(int x, int y, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    if (width <= 0 || height <= 0) {
        return pixels;
    }
    Display* display = AsDisplay(display_);
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) {
        return pixels;
    }
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            pixels[static_cast<std::size_t>(row) * width + column] =
                static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return pixels;
}
