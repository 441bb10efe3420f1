// Waitable kernel objects: events, mutexes and semaphores, the two wait calls, Sleep and
// CloseHandle, with the semantics and return codes of the Win32 calls of the same names.
//
// Handles are opaque; each one must be closed exactly once with CloseHandle. A wait on a
// closed or unknown handle fails with WAIT_FAILED and ERROR_INVALID_HANDLE.
//
// Named objects (a non-null, non-empty name) live in the per-user runtime folder and are
// shared between processes: see named_objects.h for what is supported.
#pragma once

#include "platform/kernel/win_types.h"

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                    LPCSTR name);
HANDLE OpenEventA(DWORD access, BOOL inherit, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount,
                        LPCSTR name);
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount);

// Time-outs are in milliseconds of the layer's clock (see tick.h: tests may run it faster).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
void Sleep(DWORD milliseconds);

BOOL CloseHandle(HANDLE handle);

DWORD GetLastError();
void SetLastError(DWORD error);

inline constexpr DWORD EVENT_ALL_ACCESS = 0x001F0003u;
inline constexpr DWORD SYNCHRONIZE = 0x00100000u;
inline constexpr DWORD EVENT_MODIFY_STATE = 0x0002u;
