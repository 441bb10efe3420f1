#include "platform/kernel/thread_record.h"

#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/mutex_object.h"

namespace farvane::kernel {

namespace {

DWORD NextThreadId() {
    // Like Win32 thread ids: never 0, multiples of 4.
    static std::atomic<DWORD> next{0x100};
    return next.fetch_add(4, std::memory_order_relaxed);
}

// Owns the record of a thread that did not come from CreateThread and ends it with the thread.
struct ThreadRecordGuard {
    ThreadRecord* record = nullptr;
    bool ownsRecord = false;

    ~ThreadRecordGuard() {
        if (record == nullptr || !ownsRecord) {
            return;
        }
        {
            KernelGuard lock(KernelLock());
            AbandonOwnedMutexes(*record);
        }
        delete record;
        record = nullptr;
    }
};

thread_local ThreadRecordGuard currentRecord;

}  // namespace

ThreadRecord::ThreadRecord() : id(NextThreadId()) {}

ThreadRecord& CurrentThread() {
    if (currentRecord.record == nullptr) {
        currentRecord.record = new ThreadRecord;
        currentRecord.ownsRecord = true;
    }
    return *currentRecord.record;
}

void AttachThreadRecord(ThreadRecord* record) {
    currentRecord.record = record;
    currentRecord.ownsRecord = false;
}

void DetachThreadRecord() {
    currentRecord.record = nullptr;
    currentRecord.ownsRecord = false;
}

}  // namespace farvane::kernel
