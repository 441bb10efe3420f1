// The PKWARE Data Compression Library "implode" format, with that library's calling interface.
//
// implode() compresses everything its read callback gives into one stream; explode() decodes
// one stream. Both keep all their state in the caller's work area, so they are re-entrant and
// several streams may be coded at once on different threads.
//
// The functions have C++ linkage on purpose: a process may also load another copy of this
// library's interface with C linkage (some archive libraries export one), and mangled names keep
// the two from replacing each other at link or load time.
//
// The stream: byte 0 is the type (0 binary, 1 ASCII), byte 1 the dictionary size as a number of
// bits (4, 5 or 6 for 1024, 2048 or 4096 bytes), then a bit stream read from the low bit of each
// byte up: literals (flag 0, then 8 bits or, for ASCII, a fixed Huffman code) and copies (flag 1,
// length code, distance code), ended by the copy length 519.
#pragma once

// Results of implode and explode.
constexpr unsigned int CMP_NO_ERROR = 0;
constexpr unsigned int CMP_INVALID_DICTSIZE = 1;
constexpr unsigned int CMP_INVALID_MODE = 2;
constexpr unsigned int CMP_BAD_DATA = 3;
constexpr unsigned int CMP_ABORT = 4;

// Types of data.
constexpr unsigned int CMP_BINARY = 0;
constexpr unsigned int CMP_ASCII = 1;

// Size of the work area implode needs (the video scanner keeps one of this size).
constexpr unsigned int CMP_BUFFER_SIZE = 57664;
// Size of the work area explode needs.
constexpr unsigned int EXP_BUFFER_SIZE = 16384;

// Reads up to *size bytes into buf and returns how many it read; 0 means the input has ended.
using ImplodeReadFn = unsigned int (*)(char* buf, unsigned int* size, void* param);
// Takes *size bytes from buf.
using ImplodeWriteFn = void (*)(char* buf, unsigned int* size, void* param);

// Compresses all input of read_buf into one stream given to write_buf. work_buf holds
// CMP_BUFFER_SIZE bytes (any alignment, any content). *type is CMP_BINARY or CMP_ASCII, *dsize
// 1024, 2048 or 4096. Returns CMP_NO_ERROR, CMP_INVALID_MODE, CMP_INVALID_DICTSIZE, or CMP_ABORT
// when a callback or the work area is missing.
unsigned int implode(ImplodeReadFn read_buf, ImplodeWriteFn write_buf, char* work_buf, void* param,
                     unsigned int* type, unsigned int* dsize);

// Decodes one stream from read_buf into write_buf. work_buf holds EXP_BUFFER_SIZE bytes.
// Returns CMP_NO_ERROR after the end mark; CMP_INVALID_MODE or CMP_INVALID_DICTSIZE for a bad
// header; CMP_BAD_DATA for a stream that is truncated or refers to data before its start;
// CMP_ABORT when a callback or the work area is missing. Data decoded before an error has
// already been given to write_buf: callers discard it on error.
unsigned int explode(ImplodeReadFn read_buf, ImplodeWriteFn write_buf, char* work_buf, void* param);
