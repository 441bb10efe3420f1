#include "platform/gdi/x11_damage.h"

#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <vector>

#include "platform/gdi/x11_connection.h"

namespace farvane::gdi {

struct X11DamageListener::State {
    X11Display::Connection x;
    DamageSource* source = nullptr;
    Damage damage = 0;
    int damageEventBase = 0;
    int fixesEventBase = 0;
    bool haveFixes = false;
    int stopFd = -1;
    std::atomic<bool> alive{true};
};

namespace {

// Takes every event the connection holds; false when the connection was lost.
bool DrainEvents(X11DamageListener::State& state, std::vector<DamageSource::Rows>* drawn,
                 bool* cursorChanged) {
    X11Call call(state.x);
    Display* display = state.x.display;
    XEventsQueued(display, QueuedAfterReading);
    while (!state.x.dead && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == state.damageEventBase + XDamageNotify) {
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
            drawn->push_back({notify.area.y, notify.area.height});
        } else if (state.haveFixes && event.type == state.fixesEventBase + XFixesCursorNotify) {
            *cursorChanged = true;
        }
    }
    if (!drawn->empty() && !state.x.dead) {
        // Raw rectangles need no repair; emptying the server's record keeps it small.
        XDamageSubtract(display, state.damage, None, None);
        XFlush(display);
    }
    return !state.x.dead;
}

}  // namespace

std::unique_ptr<X11DamageListener> X11DamageListener::Start(const std::string& displayName,
                                                            DamageSource& source) {
    auto state = std::make_unique<State>();
    state->source = &source;
    state->x.display = OpenX11Connection(displayName.c_str(), &state->x);
    if (!state->x.display) {
        return nullptr;
    }
    bool ok = false;
    {
        X11Call call(state->x);
        Display* display = state->x.display;
        int errorBase = 0;
        int major = 0;
        int minor = 0;
        const Window root = DefaultRootWindow(display);
        if (XDamageQueryExtension(display, &state->damageEventBase, &errorBase) &&
            XDamageQueryVersion(display, &major, &minor)) {
            state->damage = XDamageCreate(display, root, XDamageReportRawRectangles);
            state->haveFixes = XFixesQueryExtension(display, &state->fixesEventBase, &errorBase);
            if (state->haveFixes) {
                XFixesSelectCursorInput(display, root, XFixesDisplayCursorNotifyMask);
            }
            XSync(display, False);
            ok = state->damage != 0 && call.errors() == 0 && !state->x.dead;
        }
    }
    state->stopFd = ok ? eventfd(0, EFD_CLOEXEC) : -1;
    if (state->stopFd < 0) {
        X11Call call(state->x);
        XCloseDisplay(state->x.display);
        state->x.display = nullptr;
        return nullptr;
    }
    return std::make_unique<X11DamageListener>(std::move(state));
}

X11DamageListener::X11DamageListener(std::unique_ptr<State> state)
    : state_(std::move(state)), thread_([this] { Run(); }) {}

X11DamageListener::~X11DamageListener() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(state_->stopFd, &one, sizeof one);
    thread_.join();
    close(state_->stopFd);
}

bool X11DamageListener::Alive() const {
    return state_->alive.load(std::memory_order_acquire);
}

void X11DamageListener::Run() {
    Listen();
    // Closed on this thread: after a lost connection Xlib leaves the display locked by the
    // thread that met the loss, and a close on another thread would wait for it for ever.
    X11Call call(state_->x);
    if (!state_->x.dead) {
        XDamageDestroy(state_->x.display, state_->damage);
    }
    XCloseDisplay(state_->x.display);
    state_->x.display = nullptr;
}

void X11DamageListener::Listen() {
    State& state = *state_;
    const int serverFd = ConnectionNumber(state.x.display);
    std::vector<DamageSource::Rows> drawn;
    for (;;) {
        drawn.clear();
        bool cursorChanged = false;
        const bool connected = DrainEvents(state, &drawn, &cursorChanged);
        state.source->Report(drawn);
        if (cursorChanged && drawn.empty()) {
            state.source->WakeAll();
        }
        if (!connected) {
            state.alive.store(false, std::memory_order_release);
            state.source->LoseAll();
            return;
        }
        pollfd waits[2] = {{serverFd, POLLIN, 0}, {state.stopFd, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0 && errno != EINTR) {
            state.alive.store(false, std::memory_order_release);
            state.source->LoseAll();
            return;
        }
        if (waits[1].revents != 0) {
            return;
        }
    }
}

}  // namespace farvane::gdi
