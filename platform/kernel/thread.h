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

// Forces a thread to end. The thread is never killed where it stands: it is cancelled at
// the layer's wait points (every wait of the thread fails from then on, Sleep returns at once)
// and this call waits until it has left them and ended; its exit code is then exitCode.
// A thread stuck outside the layer's wait points (a blocking system call, a busy loop) is
// waited for until it comes back into one.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
