// A thread started by CreateThread: its record, start routine, suspend count, priority value
// and exit code. The handle is signalled once the thread has ended.
#pragma once

#include "platform/kernel/kernel_object.h"
#include "platform/kernel/thread.h"
#include "platform/kernel/thread_record.h"

namespace farvane::kernel {

class ThreadObject final : public KernelObject {
public:
    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, bool suspended)
        : KernelObject(ObjectKind::Thread),
          start(start),
          parameter(parameter),
          record(NewThreadRecord()),
          suspendCount(suspended ? 1 : 0) {
        record->object = this;
    }
    ~ThreadObject() override { RecycleThreadRecord(record); }

    bool IsSignalledFor(const ThreadRecord&) const override { return ended; }
    AcquireResult TryAcquire(ThreadRecord&) override {
        return ended ? AcquireResult::Acquired : AcquireResult::NotSignalled;
    }

    const LPTHREAD_START_ROUTINE start;
    const LPVOID parameter;
    ThreadRecord* const record;
    DWORD suspendCount;
    int priority = THREAD_PRIORITY_NORMAL;
    DWORD exitCode = STILL_ACTIVE;
    DWORD terminateCode = 0;
    bool ended = false;
};

}  // namespace farvane::kernel
