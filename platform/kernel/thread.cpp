// CreateThread and the calls on thread handles.
//
// Each thread runs ThreadBody on a detached POSIX thread. The body waits while the thread is
// suspended, calls the start routine unless the thread was terminated first, and then ends the
// thread: it abandons the mutexes the thread still owns, stores the exit code and signals the
// handle. ExitThread leaves through pthread_exit, whose unwinding runs the same ending.
#include "platform/kernel/thread.h"

#include <pthread.h>
#include <sched.h>

#include "platform/kernel/handle_table.h"
#include "platform/kernel/kernel_lock.h"
#include "platform/kernel/mutex_object.h"
#include "platform/kernel/parking.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread_object.h"
#include "platform/kernel/unlocked_access.h"
#include "platform/kernel/wait_engine.h"

using farvane::kernel::CurrentThread;
using farvane::kernel::HandleTable;
using farvane::kernel::KernelGuard;
using farvane::kernel::KernelObject;
using farvane::kernel::ObjectKind;
using farvane::kernel::ThreadObject;
using farvane::kernel::ThreadRecord;

namespace {

// Stacks smaller than this are raised to it: Win32 callers pass a commit size, often tiny.
constexpr std::size_t kMinimumStackSize = 1024 * 1024;

// Ends the thread when the thread body is left, by return or by pthread_exit.
class ThreadEnding {
public:
    explicit ThreadEnding(ThreadObject& thread) : thread_(thread) { current = this; }
    ThreadEnding(const ThreadEnding&) = delete;
    ThreadEnding& operator=(const ThreadEnding&) = delete;

    ~ThreadEnding() {
        current = nullptr;
        KernelGuard lock;
        AbandonOwnedMutexes(*thread_.record);
        thread_.exitCode = thread_.record->cancelled ? thread_.terminateCode : exitCode;
        thread_.ended = true;
        SignalWaiters(thread_);
        farvane::kernel::DetachThreadRecord();
        farvane::kernel::ReleaseReference(&thread_);
    }

    DWORD exitCode = 0;
    // The ending of the calling thread, if it was started by CreateThread.
    static thread_local ThreadEnding* current;

private:
    ThreadObject& thread_;
};

thread_local ThreadEnding* ThreadEnding::current = nullptr;

// Returns false when the thread was terminated before it was ever resumed.
bool WaitUntilResumed(ThreadObject& thread) {
    KernelGuard lock;
    while (thread.suspendCount > 0 && !thread.record->cancelled) {
        farvane::kernel::Park(lock, *thread.record, nullptr);
    }
    return !thread.record->cancelled;
}

// Threads of the layer mostly hand work to each other through events. With the default
// policy a woken thread preempts its waker at once when they share a processor (as on a busy
// machine), so a producer and a consumer alternate after every item instead of each doing a
// batch in its time slice: a byte queue then moves a few kilobytes per two context switches.
// Batch scheduling keeps the waker running until its slice ends or another processor is free;
// a woken thread waits at most one time slice for that, and gets the same share of processor
// time as before.
void UseBatchScheduling() {
    const sched_param parameters{};
    // Without it the thread simply keeps the default policy.
    (void)pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
}

void* ThreadBody(void* argument) {
    auto& thread = *static_cast<ThreadObject*>(argument);
    UseBatchScheduling();
    farvane::kernel::AttachThreadRecord(thread.record);
    ThreadEnding ending(thread);
    if (WaitUntilResumed(thread)) {
        ending.exitCode = thread.start(thread.parameter);
    }
    return nullptr;
}

ThreadObject* FindThread(HANDLE handle) {
    KernelObject* object = HandleTable::Instance().Find(handle);
    if (object == nullptr || object->kind != ObjectKind::Thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return static_cast<ThreadObject*>(object);
}

bool StartPosixThread(ThreadObject* thread, std::size_t stackSize) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize > kMinimumStackSize) {
        pthread_attr_setstacksize(&attributes, stackSize);
    }
    pthread_t posixThread;
    const bool started = pthread_create(&posixThread, &attributes, ThreadBody, thread) == 0;
    pthread_attr_destroy(&attributes);
    return started;
}

bool IsKnownPriority(int priority) {
    switch (priority) {
        case THREAD_PRIORITY_IDLE:
        case THREAD_PRIORITY_LOWEST:
        case THREAD_PRIORITY_BELOW_NORMAL:
        case THREAD_PRIORITY_NORMAL:
        case THREAD_PRIORITY_ABOVE_NORMAL:
        case THREAD_PRIORITY_HIGHEST:
        case THREAD_PRIORITY_TIME_CRITICAL:
            return true;
        default:
            return false;
    }
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, std::size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, DWORD* threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* thread = new ThreadObject(start, parameter, (creationFlags & CREATE_SUSPENDED) != 0);
    // One reference for the handle, one for the running thread.
    thread->references = 2;
    HANDLE handle;
    {
        KernelGuard lock;
        handle = HandleTable::Instance().Insert(thread);
    }
    if (handle == nullptr || !StartPosixThread(thread, stackSize)) {
        KernelGuard lock;
        if (handle != nullptr) {
            HandleTable::Instance().Remove(handle);
        }
        // An unlocked reader may have found it through the handle meanwhile.
        RetireObject(thread);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) {
        *threadId = thread->record->id;
    }
    return handle;
}

DWORD ResumeThread(HANDLE handle) {
    KernelGuard lock;
    ThreadObject* thread = FindThread(handle);
    if (thread == nullptr) {
        return static_cast<DWORD>(-1);
    }
    const DWORD previous = thread->suspendCount;
    if (previous > 0 && --thread->suspendCount == 0) {
        farvane::kernel::QueueWake(*thread->record);
    }
    return previous;
}

BOOL SetThreadPriority(HANDLE handle, int priority) {
    KernelGuard lock;
    ThreadObject* thread = FindThread(handle);
    if (thread == nullptr) {
        return FALSE;
    }
    if (!IsKnownPriority(priority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    thread->priority = priority;
    return TRUE;
}

int GetThreadPriority(HANDLE handle) {
    KernelGuard lock;
    ThreadObject* thread = FindThread(handle);
    return thread == nullptr ? THREAD_PRIORITY_ERROR_RETURN : thread->priority;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode) {
    KernelGuard lock;
    ThreadObject* thread = FindThread(handle);
    if (thread == nullptr) {
        return FALSE;
    }
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *exitCode = thread->exitCode;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    return CurrentThread().id;
}

void ExitThread(DWORD exitCode) {
    if (ThreadEnding::current != nullptr) {
        ThreadEnding::current->exitCode = exitCode;
    }
    // Threads not started by CreateThread abandon their mutexes in their record's guard.
    pthread_exit(nullptr);
}

BOOL TerminateThread(HANDLE handle, DWORD exitCode) {
    ThreadRecord& self = CurrentThread();
    KernelGuard lock;
    ThreadObject* thread = FindThread(handle);
    if (thread == nullptr) {
        return FALSE;
    }
    if (thread->ended) {
        return TRUE;
    }
    if (!thread->record->cancelled) {
        thread->terminateCode = exitCode;
        thread->suspendCount = 0;
        farvane::kernel::CancelThread(*thread->record);
    }
    if (thread->record == &self) {
        lock.unlock();
        ExitThread(exitCode);
    }
    KernelObject* objects[1] = {thread};
    return farvane::kernel::WaitLocked(lock, self, objects, 1, false, INFINITE) == WAIT_OBJECT_0
               ? TRUE
               : FALSE;
}
