#include "platform/kernel/notification.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "platform/kernel/runtime_dir.h"

struct NotificationListener {
    int descriptor;
    sockaddr_un address;
};

namespace {

// The socket address of a channel; false when there is no runtime folder or the path is too
// long for a socket address.
bool ChannelAddress(const char* channel, sockaddr_un& address) {
    if (channel == nullptr || channel[0] == '\0') {
        return false;
    }
    std::string folder = KernelRuntimeDirectory();
    if (folder.empty()) {
        return false;
    }
    std::string path = folder + "/notify-" + KernelEscapeName(channel);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int SendTo(int descriptor, const sockaddr_un& address, const char* message, std::size_t length) {
    ssize_t sent;
    do {
        sent = sendto(descriptor, message, length, MSG_DONTWAIT | MSG_NOSIGNAL,
                      reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (sent < 0 && errno == EINTR);
    if (sent >= 0) {
        return 1;
    }
    if (errno == ENOENT || errno == ECONNREFUSED || errno == EAGAIN || errno == ENOTSOCK) {
        return 0;
    }
    return -1;
}

// Whether a program still listens at the address (a probe datagram of length 0 is ignored by
// receivers).
bool SomeoneListens(const sockaddr_un& address) {
    int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return false;
    }
    bool listening = SendTo(probe, address, "", 0) == 1;
    close(probe);
    return listening;
}

}  // namespace

NotificationListener* NotificationListen(const char* channel) {
    sockaddr_un address;
    if (!ChannelAddress(channel, address)) {
        return nullptr;
    }
    int descriptor = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return nullptr;
    }
    const sockaddr* raw = reinterpret_cast<const sockaddr*>(&address);
    if (bind(descriptor, raw, sizeof address) != 0) {
        if (errno != EADDRINUSE || SomeoneListens(address) || unlink(address.sun_path) != 0 ||
            bind(descriptor, raw, sizeof address) != 0) {
            close(descriptor);
            return nullptr;
        }
    }
    NotificationListener* listener = new (std::nothrow) NotificationListener{descriptor, address};
    if (listener == nullptr) {
        close(descriptor);
        unlink(address.sun_path);
    }
    return listener;
}

int NotificationReceive(NotificationListener* listener, char* message, std::size_t size,
                        DWORD timeoutMs) {
    if (listener == nullptr || size == 0) {
        return -1;
    }
    for (;;) {
        pollfd waiting{listener->descriptor, POLLIN, 0};
        int timeout = timeoutMs == INFINITE ? -1 : static_cast<int>(timeoutMs);
        int ready = poll(&waiting, 1, timeout);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return ready == 0 ? 0 : -1;
        }
        char datagram[NOTIFICATION_MAX_MESSAGE + 1];
        ssize_t got = recv(listener->descriptor, datagram, sizeof datagram, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            continue;  // a probe
        }
        std::size_t length = static_cast<std::size_t>(got) < size - 1 ? got : size - 1;
        std::memcpy(message, datagram, length);
        message[length] = '\0';
        return static_cast<int>(length);
    }
}

void NotificationClose(NotificationListener* listener) {
    if (listener == nullptr) {
        return;
    }
    close(listener->descriptor);
    unlink(listener->address.sun_path);
    delete listener;
}

int NotificationPost(const char* channel, const char* message) {
    sockaddr_un address;
    if (message == nullptr || std::strlen(message) == 0 ||
        std::strlen(message) > NOTIFICATION_MAX_MESSAGE || !ChannelAddress(channel, address)) {
        return -1;
    }
    int descriptor = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return -1;
    }
    int result = SendTo(descriptor, address, message, std::strlen(message));
    close(descriptor);
    return result;
}
