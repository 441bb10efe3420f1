// Internal to the X11 display: a listener for the X server's damage reports on the root window
// (and cursor changes, which need a pass over no row) on an X connection of its own, so that
// reading events never waits for the connection that reads the screen. Its thread sleeps in
// poll() until the server sends something or the listener is stopped.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "platform/gdi/damage_hints.h"

namespace farvane::gdi {

class X11DamageListener {
public:
    // Null when the display cannot be opened or lacks the DAMAGE extension. Reports go to
    // source until the listener is destroyed; a lost connection makes every reader's hints
    // lost.
    static std::unique_ptr<X11DamageListener> Start(const std::string& displayName,
                                                    DamageSource& source);
    ~X11DamageListener();
    X11DamageListener(const X11DamageListener&) = delete;
    X11DamageListener& operator=(const X11DamageListener&) = delete;

    // False once the connection was lost: new readers get no hints.
    bool Alive() const;

    struct State;
    explicit X11DamageListener(std::unique_ptr<State> state);

private:
    void Run();
    void Listen();

    std::unique_ptr<State> state_;
    std::thread thread_;
};

}  // namespace farvane::gdi
