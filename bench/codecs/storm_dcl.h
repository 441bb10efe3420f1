// StormLib's copy of the DCL implode and explode, the baseline of this benchmark. Kept apart
// from our implode.h so that the two declarations never meet.
#pragma once

namespace storm_dcl {

using ReadFn = unsigned int (*)(char* buf, unsigned int* size, void* param);
using WriteFn = void (*)(char* buf, unsigned int* size, void* param);

// Larger than either routine's work area.
constexpr unsigned int kWorkAreaSize = 65536;

unsigned int Implode(ReadFn read, WriteFn write, char* work, void* param, unsigned int* type,
                     unsigned int* dictionary_size);
unsigned int Explode(ReadFn read, WriteFn write, char* work, void* param);

}  // namespace storm_dcl
