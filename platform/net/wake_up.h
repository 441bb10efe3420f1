// A wake-up that ends the network layer's waits from another thread. Once signalled it stays
// signalled until Reset, so every wait that starts later ends at once too.
#pragma once

namespace farvane::net {

class WakeUp {
public:
    WakeUp();
    ~WakeUp();
    WakeUp(const WakeUp&) = delete;
    WakeUp& operator=(const WakeUp&) = delete;

    void Signal();
    void Reset();
    bool IsSignalled() const;
    // Waits up to `timeoutMs` for the signal; true when it came.
    bool Wait(int timeoutMs) const;
    // Readable while signalled; for poll.
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace farvane::net
