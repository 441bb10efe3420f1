#include "suite/fvtime32/timer_service.h"

#include "platform/kernel/clock.h"

namespace farvane::suite {

TimerService& TimerService::Instance() {
    static TimerService instance;
    return instance;
}

TimerService::~TimerService() {
    Stop();
}

UINT TimerService::NextId() {
    do {
        ++lastId_;
    } while (lastId_ == 0 || timers_.count(lastId_) != 0);
    return lastId_;
}

UINT TimerService::Start(DWORD delayMs, DWORD periodMs, FVTIMERPROC callback, void* context) {
    if (callback == nullptr) {
        return 0;
    }
    std::unique_lock guard(lock_);
    if (stopping_ && thread_.joinable() && !OnTimerThread()) {
        // Stopped from a callback earlier: that thread has left its loop, so collect it.
        std::thread finished = std::move(thread_);
        guard.unlock();
        finished.join();
        guard.lock();
    }
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread([this] { Run(); });
        threadId_ = thread_.get_id();
    }
    UINT id = NextId();
    timers_[id] = Timer{Clock::now() + kernel::RealDuration(delayMs), periodMs, callback, context};
    changed_.notify_all();
    return id;
}

int TimerService::Kill(UINT timerId) {
    std::unique_lock guard(lock_);
    bool existed = timers_.erase(timerId) != 0;
    if (runningId_ == timerId && timerId != 0) {
        existed = true;
        if (!OnTimerThread()) {
            changed_.wait(guard, [&] { return runningId_ != timerId; });
        }
    }
    changed_.notify_all();
    return existed ? 1 : 0;
}

void TimerService::Stop() {
    std::thread finished;
    {
        std::unique_lock guard(lock_);
        timers_.clear();
        stopping_ = true;
        changed_.notify_all();
        if (thread_.joinable() && !OnTimerThread()) {
            finished = std::move(thread_);
        }
    }
    if (finished.joinable()) {
        finished.join();
    }
}

int TimerService::PendingCount() {
    std::lock_guard guard(lock_);
    return static_cast<int>(timers_.size());
}

void TimerService::Run() {
    std::unique_lock guard(lock_);
    while (!stopping_) {
        if (timers_.empty()) {
            changed_.wait(guard);
            continue;
        }
        auto earliest = timers_.begin();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due < earliest->second.due) {
                earliest = it;
            }
        }
        // A copy: the timer may be killed (and its entry freed) while this thread waits.
        Clock::time_point due = earliest->second.due;
        if (Clock::now() < due) {
            changed_.wait_until(guard, due);
            continue;
        }
        UINT id = earliest->first;
        Timer timer = earliest->second;
        runningId_ = id;
        guard.unlock();
        int again = timer.callback(id, timer.context);
        guard.lock();
        runningId_ = 0;
        auto still = timers_.find(id);
        if (still != timers_.end()) {
            if (again != 0) {
                still->second.due = Clock::now() + kernel::RealDuration(timer.periodMs);
            } else {
                timers_.erase(still);
            }
        }
        changed_.notify_all();
    }
}

}  // namespace farvane::suite

int FVTimerInit() {
    return 1;
}

void FVTimerExit() {
    farvane::suite::TimerService::Instance().Stop();
}

UINT FVStartTimer(DWORD delayMs, DWORD periodMs, FVTIMERPROC callback, void* context, int) {
    return farvane::suite::TimerService::Instance().Start(delayMs, periodMs, callback, context);
}

int FVKillTimer(UINT timerId) {
    return farvane::suite::TimerService::Instance().Kill(timerId);
}

int FVTimerPendingCount() {
    return farvane::suite::TimerService::Instance().PendingCount();
}
