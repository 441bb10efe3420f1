#include "platform/sysparams/system_parameters.h"

#include <X11/Xlib.h>

#include <cstdlib>
#include <mutex>

namespace farvane::sysparams {
namespace {

// The screen saver as Win32 describes it: an active flag and a time-out that is kept while the
// saver is off. X has only the time-out (0 = off), so the time-out of a disabled saver is
// remembered here and given back to the server when the saver is switched on again.
struct ScreenSaver {
    BOOL active = TRUE;
    int timeoutSeconds = 600;
};

struct State {
    std::mutex lock;
    Store store = Store::Automatic;
    ScreenSaver memory;
    int rememberedTimeout = 600;  // the X time-out while the saver is off
};

State& Global() {
    static State state;
    return state;
}

// An X connection for one call, closed again at the end of it.
class Display {
public:
    Display() {
        const char* name = std::getenv("DISPLAY");
        if (name != nullptr && *name != '\0') {
            display_ = XOpenDisplay(nullptr);
        }
    }
    ~Display() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    ::Display* get() const { return display_; }

private:
    ::Display* display_ = nullptr;
};

struct XSaver {
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
};

XSaver ReadX(::Display* display) {
    XSaver saver;
    XGetScreenSaver(display, &saver.timeout, &saver.interval, &saver.preferBlanking,
                    &saver.allowExposures);
    return saver;
}

void WriteX(::Display* display, const XSaver& saver) {
    XSetScreenSaver(display, saver.timeout, saver.interval, saver.preferBlanking,
                    saver.allowExposures);
    XSync(display, False);
}

BOOL OnX(State& state, ::Display* display, UINT action, UINT param, void* value) {
    XSaver saver = ReadX(display);
    switch (action) {
        case SPI_GETSCREENSAVEACTIVE:
            *static_cast<BOOL*>(value) = saver.timeout > 0 ? TRUE : FALSE;
            return TRUE;
        case SPI_GETSCREENSAVETIMEOUT:
            *static_cast<int*>(value) = saver.timeout > 0 ? saver.timeout : state.rememberedTimeout;
            return TRUE;
        case SPI_SETSCREENSAVEACTIVE:
            if (param != 0 && saver.timeout == 0) {
                saver.timeout = state.rememberedTimeout;
            } else if (param == 0 && saver.timeout > 0) {
                state.rememberedTimeout = saver.timeout;
                saver.timeout = 0;
            }
            WriteX(display, saver);
            return TRUE;
        case SPI_SETSCREENSAVETIMEOUT:
            // The protocol carries the time-out in 16 signed bits; a larger one would make the
            // server answer with an error that ends the process.
            if (param > 32767) {
                return FALSE;
            }
            state.rememberedTimeout = static_cast<int>(param);
            if (saver.timeout > 0) {
                saver.timeout = static_cast<int>(param);
                WriteX(display, saver);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL InMemory(ScreenSaver& saver, UINT action, UINT param, void* value) {
    switch (action) {
        case SPI_GETSCREENSAVEACTIVE:
            *static_cast<BOOL*>(value) = saver.active;
            return TRUE;
        case SPI_GETSCREENSAVETIMEOUT:
            *static_cast<int*>(value) = saver.timeoutSeconds;
            return TRUE;
        case SPI_SETSCREENSAVEACTIVE:
            saver.active = param != 0 ? TRUE : FALSE;
            return TRUE;
        case SPI_SETSCREENSAVETIMEOUT:
            saver.timeoutSeconds = static_cast<int>(param);
            return TRUE;
        default:
            return FALSE;
    }
}

bool IsGet(UINT action) {
    return action == SPI_GETSCREENSAVEACTIVE || action == SPI_GETSCREENSAVETIMEOUT;
}

bool Known(UINT action) {
    return IsGet(action) || action == SPI_SETSCREENSAVEACTIVE || action == SPI_SETSCREENSAVETIMEOUT;
}

}  // namespace

BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT) {
    if (!Known(action) || (IsGet(action) && value == nullptr)) {
        return FALSE;
    }
    if (action == SPI_SETSCREENSAVETIMEOUT && param > 0x7FFFFFFFu) {
        return FALSE;  // not a time-out: the field is a signed int
    }
    State& state = Global();
    std::lock_guard guard(state.lock);
    if (state.store == Store::Automatic) {
        Display display;
        if (display.get() != nullptr) {
            return OnX(state, display.get(), action, param, value);
        }
    }
    return InMemory(state.memory, action, param, value);
}

void UseStore(Store store) {
    State& state = Global();
    std::lock_guard guard(state.lock);
    state.store = store;
}

void SetMemorySettings(BOOL active, int timeoutSeconds) {
    State& state = Global();
    std::lock_guard guard(state.lock);
    state.memory.active = active;
    state.memory.timeoutSeconds = timeoutSeconds;
}

}  // namespace farvane::sysparams
