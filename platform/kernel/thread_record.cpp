#include "platform/kernel/thread_record.h"

#include <mutex>

#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/mutex_object.h"

namespace farvane::kernel {

namespace {

DWORD NextThreadId() {
    // Like Win32 thread ids: never 0, multiples of 4.
    static std::atomic<DWORD> next{0x100};
    return next.fetch_add(4, std::memory_order_relaxed);
}

std::mutex& PoolLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::vector<ThreadRecord*>& Pool() {
    static auto* pool = new std::vector<ThreadRecord*>;
    return *pool;
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
            KernelGuard lock;
            AbandonOwnedMutexes(*record);
        }
        RecycleThreadRecord(record);
        record = nullptr;
    }
};

thread_local ThreadRecordGuard currentRecord;

// Every record ever made, newest first; records are never freed, so the list only grows.
constinit std::atomic<ThreadRecord*> allRecords{nullptr};

void Publish(ThreadRecord* record) {
    ThreadRecord* head = allRecords.load(std::memory_order_relaxed);
    do {
        record->nextRecord = head;
    } while (!allRecords.compare_exchange_weak(head, record, std::memory_order_release,
                                               std::memory_order_relaxed));
}

}  // namespace

ThreadRecord* NewThreadRecord() {
    ThreadRecord* record = nullptr;
    {
        std::lock_guard<std::mutex> lock(PoolLock());
        if (!Pool().empty()) {
            record = Pool().back();
            Pool().pop_back();
        }
    }
    if (record == nullptr) {
        record = new ThreadRecord;
        Publish(record);
    }
    record->id = NextThreadId();
    return record;
}

void RecycleThreadRecord(ThreadRecord* record) {
    record->cancelled.store(false, std::memory_order_relaxed);
    record->blockedWait = nullptr;
    record->ownedMutexes.clear();
    record->object = nullptr;
    std::lock_guard<std::mutex> lock(PoolLock());
    Pool().push_back(record);
}

bool AnyThreadHolds(const KernelObject* object) {
    for (const ThreadRecord* record = allRecords.load(std::memory_order_acquire); record != nullptr;
         record = record->nextRecord) {
        if (record->hazard.load(std::memory_order_seq_cst) == object) {
            return true;
        }
    }
    return false;
}

ThreadRecord& CurrentThread() {
    if (currentRecord.record == nullptr) {
        currentRecord.record = NewThreadRecord();
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
