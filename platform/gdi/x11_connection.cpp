#include "platform/gdi/x11_connection.h"

#include <time.h>

namespace farvane::gdi {

namespace {

// The connection whose lock this thread holds: Xlib reports an error on the thread that
// made the call, so the handler can charge it to the right connection.
thread_local X11Display::Connection* tCurrent = nullptr;

int OnProtocolError(Display*, XErrorEvent* event) {
    if (tCurrent) {
        ++tCurrent->errorCount;
        tCurrent->lastErrorCode = event->error_code;
    }
    return 0;
}

int OnConnectionLost(Display*) {
    if (tCurrent) {
        tCurrent->dead = true;
    }
    return 0;
}

// Called after OnConnectionLost; returning instead of exiting leaves the display unusable
// but the process running.
void OnConnectionLostExit(Display*, void* data) {
    static_cast<X11Display::Connection*>(data)->dead = true;
}

std::once_flag gHandlersInstalled;
std::mutex gOpenMutex;

bool SigpipePending() {
    sigset_t pending;
    sigemptyset(&pending);
    sigpending(&pending);
    return sigismember(&pending, SIGPIPE) == 1;
}

}  // namespace

X11Call::X11Call(X11Display::Connection& connection)
    : connection_(connection), lock_(connection.mutex), errorsAtStart_(connection.errorCount) {
    previous_ = tCurrent;
    tCurrent = &connection_;
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &block, &savedMask_);
    pipeWasPending_ = SigpipePending();
}

X11Call::~X11Call() {
    if (!pipeWasPending_ && SigpipePending()) {
        // Consume the SIGPIPE that writing to a lost server raised while it was blocked.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec zero{0, 0};
        sigtimedwait(&pipe, nullptr, &zero);
    }
    pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
    tCurrent = previous_;
}

Display* OpenX11Connection(const char* name, X11Display::Connection* connection) {
    std::call_once(gHandlersInstalled, [] {
        XSetErrorHandler(OnProtocolError);
        XSetIOErrorHandler(OnConnectionLost);
    });
    std::lock_guard lock(gOpenMutex);
    Display* display = XOpenDisplay(name);
    if (display) {
        XSetIOErrorExitHandler(display, OnConnectionLostExit, connection);
    }
    return display;
}

}  // namespace farvane::gdi
