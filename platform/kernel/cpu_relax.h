// Tells the processor that the thread is spinning on a value, so that it yields to the other
// hardware thread of the core and saves power.
#pragma once

namespace farvane::kernel {

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

}  // namespace farvane::kernel
