// Threads with Win32 semantics: created running or suspended, resumable, with an exit code
// that GetExitCodeThread reports (STILL_ACTIVE while running). A thread handle is waitable
// and becomes signalled when the thread has ended.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, std::size_t stackSize,
                    LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                    DWORD* threadId);
DWORD ResumeThread(HANDLE thread);
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
DWORD GetCurrentThreadId();
[[noreturn]] void ExitThread(DWORD exitCode);

// Forces a thread to end. The thread is never killed where it stands, since it could hold a
// lock or go on to use freed memory: it is cancelled at the layer's wait points instead. A wait
// it is blocked in returns WAIT_FAILED with ERROR_OPERATION_ABORTED, so does every later wait,
// and Sleep returns at once; a suspended thread is resumed and never starts its routine. This
// call then waits until the thread routine has returned and the thread has ended, and its
// exit code is exitCode. Mutexes it still owns are abandoned.
//
// The thread's own code decides how soon that is. A thread stuck outside the layer's wait
// points - in a blocking system call, a busy loop, EnterCriticalSection, a foreign lock - is
// waited for until it reaches one and returns; if it never does, neither does this call.
// Calling it on the own thread ends the thread like ExitThread. An ended thread keeps its exit
// code and the call returns TRUE.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
