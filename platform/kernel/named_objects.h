// Objects shared between processes, by name (CreateEventA, OpenEventA and CreateSemaphoreA with
// a non-empty name). They live in the per-user runtime folder (runtime_dir.h) under their
// escaped name; a name never reaches outside that folder.
//
// Supported:
// - Manual-reset events: a mapped state word. SetEvent and ResetEvent work from any process;
//   waits in this process learn of a change at once, waits in other processes within a few
//   milliseconds (they poll). The second CreateEventA of a name that some process has open
//   returns a handle to the same event, keeps its state and sets ERROR_ALREADY_EXISTS;
//   OpenEventA of a name nobody has open fails with ERROR_FILE_NOT_FOUND.
// - Semaphores, as instance limits: one flock'ed slot file per unit. A unit taken belongs to
//   the process that took it and comes back when that process ends, even by a crash. The
//   creator takes maximum - initial units; a second CreateSemaphoreA opens the same semaphore
//   (its creator's maximum holds) and sets ERROR_ALREADY_EXISTS. A process can give back, with
//   ReleaseSemaphore, only units it holds (more fails with ERROR_TOO_MANY_POSTS), and closing
//   its last handle to the semaphore gives back all of them. Waits poll the slots. Maximum
//   counts above kMaximumNamedSemaphoreCount are refused with ERROR_INVALID_PARAMETER.
// - Named and unnamed handles can be mixed in one WaitForMultipleObjects; such a wait polls.
//
// Refused with ERROR_INVALID_PARAMETER (nothing in the system needs them): named auto-reset
// events and named mutexes. A name already used by an object of another kind in this process
// fails with ERROR_INVALID_HANDLE; across processes the kinds do not meet (different files).
//
// Units and open objects are tied to open file descriptions, which are close-on-exec. A child
// made by fork alone shares them with its parent until it execs.
#pragma once

#include "platform/kernel/win_types.h"

inline constexpr LONG kMaximumNamedSemaphoreCount = 256;
