// Where the receive, transmit and action queues get their elements from and hand them to.
//
// The queue's bindings hold the addresses of these objects: the input binding a source, the
// output binding a sink (0: none). SetInBinding and SetOutBinding switch them between calls,
// never in the middle of one. Both are called on the queue's own threads.
#pragma once

#include <cstdint>

template <class T>
class CSessQueueSink {
public:
    virtual ~CSessQueueSink() = default;
    // Offered `count` elements at `source`, inside the ring and valid only during the call.
    // Returns how many were taken (0 to count) or one of the SQ_ codes of queue_codes.h.
    // An exception drops the offered elements.
    virtual int MoveOut(T* source, int count) = 0;
};

template <class T>
class CSessQueueSource {
public:
    virtual ~CSessQueueSource() = default;
    // Stores up to `count` elements (count > 0) at `destination` and returns how many. Should
    // wait for data with the kernel layer's waits rather than return 0: the input thread calls
    // again at once while there is room, and teardown can end those waits.
    virtual int MoveIn(T* destination, int count) = 0;
};

template <class T>
std::uintptr_t QueueBinding(T* plug) {
    return reinterpret_cast<std::uintptr_t>(plug);
}
