// Codes and time-outs of the threaded session queues.
#pragma once

#include "platform/kernel/win_types.h"

// Which worker threads a queue runs (bits, combined with |).
inline constexpr unsigned SQ_NO_THREADS = 0;
inline constexpr unsigned SQ_INPUT_THREAD = 1;   // pulls elements in from the queue's source
inline constexpr unsigned SQ_OUTPUT_THREAD = 2;  // hands elements to the queue's sink
inline constexpr unsigned SQ_BOTH_THREADS = SQ_INPUT_THREAD | SQ_OUTPUT_THREAD;

// What a sink's MoveOut may return instead of a count, and what the output thread does.
inline constexpr int SQ_PAUSE_OUTPUT = -500;  // pause the output thread until it is resumed
inline constexpr int SQ_END_OUTPUT = -300;    // end the output thread (its exit code)
inline constexpr int SQ_SKIP_ROUND = -304;    // deliver nothing more until data is added again
inline constexpr int SQ_UNWRAP = -312;        // make wrapped contents contiguous, offer again

// Write's result when the input stayed paused for the whole resume wait.
inline constexpr int SQ_INPUT_PAUSED = -501;

// Exit codes of the worker threads.
inline constexpr int SQ_OUTPUT_STOPPED = -308;
inline constexpr int SQ_INPUT_STOPPED = -309;
inline constexpr int SQ_WAIT_FAILED = -400;
inline constexpr DWORD SQ_FORCED_EXIT = 0xFFFFFFFFu;  // teardown ended a thread that hung

// Time-outs in milliseconds.
inline constexpr DWORD SQ_SPACE_WAIT_MS = 5000;          // Write waiting for room
inline constexpr DWORD SQ_RESUME_WAIT_MS = 5000;         // Write waiting out an input pause
inline constexpr DWORD SQ_OUT_MUTEX_WAIT_MS = 30000;     // output side waiting for its mutex
inline constexpr DWORD SQ_OUT_BINDING_WAIT_MS = 10000;   // rebinding the sink
inline constexpr DWORD SQ_UNWRAP_MUTEX_WAIT_MS = 10000;  // unwrap waiting for the producers
inline constexpr DWORD SQ_TEARDOWN_WAIT_MS = 1000;       // teardown waiting for each thread
