// The process's timer thread and its table of pending timers.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "suite/fvtime32/fvtime32.h"

namespace farvane::suite {

class TimerService {
public:
    using Clock = std::chrono::steady_clock;

    static TimerService& Instance();
    ~TimerService();

    UINT Start(DWORD delayMs, DWORD periodMs, FVTIMERPROC callback, void* context);
    int Kill(UINT timerId);
    void Stop();
    int PendingCount();

private:
    struct Timer {
        Clock::time_point due;
        DWORD periodMs = 0;
        FVTIMERPROC callback = nullptr;
        void* context = nullptr;
    };

    void Run();
    UINT NextId();
    bool OnTimerThread() const { return std::this_thread::get_id() == threadId_; }

    std::mutex lock_;
    std::condition_variable changed_;
    std::map<UINT, Timer> timers_;
    UINT lastId_ = 0;
    UINT runningId_ = 0;  // timer whose callback runs now, 0 for none
    bool stopping_ = false;
    std::thread thread_;
    std::thread::id threadId_;
};

}  // namespace farvane::suite
