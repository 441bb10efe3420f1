// Named notifications between the system's programs: a program listens on a channel and other
// programs post short messages to it, as a registered window message posted to another
// program's window. A channel is a datagram socket in the per-user runtime folder named after
// the channel (escaped, so no name reaches outside the folder). Posting when nobody listens is
// not an error: the message is simply not delivered.
#pragma once

#include <cstddef>

#include "platform/kernel/win_types.h"

struct NotificationListener;

// Starts listening on a channel (one listener per channel; a listener left behind by a program
// that ended is replaced). Returns null when the channel cannot be made.
NotificationListener* NotificationListen(const char* channel);
// Waits up to timeoutMs (INFINITE waits for ever) for a message and copies it NUL-terminated.
// Returns its length, 0 on time-out, -1 on an error.
int NotificationReceive(NotificationListener* listener, char* message, std::size_t size,
                        DWORD timeoutMs);
// Stops listening and removes the channel.
void NotificationClose(NotificationListener* listener);

// Posts a message (at most NOTIFICATION_MAX_MESSAGE bytes) without waiting. Returns 1 when
// delivered, 0 when nobody listens (or the listener's queue is full), -1 on a bad channel or
// message.
int NotificationPost(const char* channel, const char* message);

inline constexpr std::size_t NOTIFICATION_MAX_MESSAGE = 256;
