#include "storm_dcl.h"

// StormLib exports its DCL copy with C linkage and the DCL's own signatures.
extern "C" {
unsigned int implode(unsigned int (*read_buf)(char*, unsigned int*, void*),
                     void (*write_buf)(char*, unsigned int*, void*), char* work_buf, void* param,
                     unsigned int* type, unsigned int* dsize);
unsigned int explode(unsigned int (*read_buf)(char*, unsigned int*, void*),
                     void (*write_buf)(char*, unsigned int*, void*), char* work_buf, void* param);
}

namespace storm_dcl {

unsigned int Implode(ReadFn read, WriteFn write, char* work, void* param, unsigned int* type,
                     unsigned int* dictionary_size) {
    return ::implode(read, write, work, param, type, dictionary_size);
}

unsigned int Explode(ReadFn read, WriteFn write, char* work, void* param) {
    return ::explode(read, write, work, param);
}

}  // namespace storm_dcl
