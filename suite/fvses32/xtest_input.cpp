#include "suite/fvses32/xtest_input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

Display* AsDisplay(void* display) {
    return static_cast<Display*>(display);
}

// X buttons of the viewer's mask bits: left, middle, right, back, forward.
constexpr unsigned kButtons[5] = {1, 2, 3, 8, 9};
constexpr unsigned kWheelAway = 4;
constexpr unsigned kWheelToward = 5;

}  // namespace

std::unique_ptr<XTestInjector> XTestInjector::Open(const std::string& displayName,
                                                   std::string* error) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) {
        *error = "cannot open the display " + displayName + " for input";
        return nullptr;
    }
    int event = 0, base = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &base, &major, &minor)) {
        XCloseDisplay(display);
        *error = "the display " + displayName + " has no XTest extension: no input";
        return nullptr;
    }
    return std::unique_ptr<XTestInjector>(new XTestInjector(display));
}

XTestInjector::~XTestInjector() {
    XCloseDisplay(AsDisplay(display_));
}

void XTestInjector::Key(std::uint32_t keysym, bool down) {
    Display* display = AsDisplay(display_);
    KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0) {
        return;  // no key of this keyboard makes that symbol
    }
    // A symbol on a key's shifted level needs Shift held around it.
    const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != keysym &&
                         XkbKeycodeToKeysym(display, code, 0, 1) == keysym;
    KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    if (down && shifted && shift != 0) {
        XTestFakeKeyEvent(display, shift, True, CurrentTime);
        shiftedKeys_.insert(keysym);
    }
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    if (down) {
        pressed_.insert(code);
    } else {
        pressed_.erase(code);
    }
    if (!down && shiftedKeys_.erase(keysym) != 0) {
        XTestFakeKeyEvent(display, shift, False, CurrentTime);
    }
    XFlush(display);
}

void XTestInjector::Pointer(const ViewerPointer& pointer) {
    Display* display = AsDisplay(display_);
    const int screen = DefaultScreen(display);
    const int x = std::min<int>(pointer.x, DisplayWidth(display, screen) - 1);
    const int y = std::min<int>(pointer.y, DisplayHeight(display, screen) - 1);
    XTestFakeMotionEvent(display, screen, x, y, CurrentTime);
    for (unsigned bit = 0; bit < 5; ++bit) {
        const bool was = (buttons_ >> bit) & 1;
        const bool is = (pointer.buttons >> bit) & 1;
        if (was != is) {
            Button(kButtons[bit], is);
        }
    }
    buttons_ = pointer.buttons;
    for (int click = 0; click < (pointer.wheel < 0 ? -pointer.wheel : pointer.wheel); ++click) {
        const unsigned button = pointer.wheel > 0 ? kWheelAway : kWheelToward;
        Button(button, true);
        Button(button, false);
    }
    XFlush(display);
}

void XTestInjector::ReleaseAll() {
    Display* display = AsDisplay(display_);
    for (unsigned code : pressed_) {
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    if (!shiftedKeys_.empty()) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Shift_L), False, CurrentTime);
    }
    pressed_.clear();
    shiftedKeys_.clear();
    for (unsigned bit = 0; bit < 5; ++bit) {
        if ((buttons_ >> bit) & 1) {
            Button(kButtons[bit], false);
        }
    }
    buttons_ = 0;
    XFlush(display);
}

void XTestInjector::Button(unsigned button, bool down) {
    XTestFakeButtonEvent(AsDisplay(display_), button, down ? True : False, CurrentTime);
}
