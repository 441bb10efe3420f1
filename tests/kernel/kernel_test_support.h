// Helpers shared by the kernel tests: threads from lambdas, owned handles, a faster clock.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/tick.h"

namespace kernel_test {

struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Runs the clock `scale` times faster for the life of the object.
class ScopedTimeScale {
public:
    explicit ScopedTimeScale(unsigned scale) : previous_(KernelTimeScale()) {
        KernelSetTimeScale(scale);
    }
    ~ScopedTimeScale() { KernelSetTimeScale(previous_); }
    ScopedTimeScale(const ScopedTimeScale&) = delete;
    ScopedTimeScale& operator=(const ScopedTimeScale&) = delete;

private:
    unsigned previous_;
};

// CreateThread with a lambda as the thread body.
inline HANDLE StartThread(std::function<DWORD()> body, DWORD flags = 0, DWORD* id = nullptr) {
    auto* boxed = new std::function<DWORD()>(std::move(body));
    return CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            std::unique_ptr<std::function<DWORD()>> owned(
                static_cast<std::function<DWORD()>*>(parameter));
            return (*owned)();
        },
        boxed, flags, id);
}

// Polls `condition` for up to ten seconds of real time; true once it holds.
inline bool Eventually(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Gives threads that were just told to wait a moment to block. Nothing depends on it for
// correctness; it only makes the tests exercise the blocked path more often.
inline void LetThreadsBlock() {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

}  // namespace kernel_test
