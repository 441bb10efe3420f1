// The one process-wide lock that guards the state of every kernel object, the handle table and
// the wait registrations. Critical sections hold it only for a few instructions, so an
// uncontended wait or signal costs two atomic operations and no system call.
#pragma once

#include <mutex>

namespace farvane::kernel {

std::mutex& KernelLock();

using KernelGuard = std::unique_lock<std::mutex>;

}  // namespace farvane::kernel
