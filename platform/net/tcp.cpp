#include "platform/net/tcp.h"

#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/net/fd_wait.h"

namespace farvane::net {

namespace {

struct AddressList {
    addrinfo* first = nullptr;
    ~AddressList() {
        if (first) {
            freeaddrinfo(first);
        }
    }
};

NetStatus Resolve(const Endpoint& endpoint, bool passive, AddressList* list) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
    std::string port = std::to_string(endpoint.port);
    int error = getaddrinfo(endpoint.host.c_str(), port.c_str(), &hints, &list->first);
    if (error != 0) {
        return NetStatus{NetCode::kBadAddress,
                         "cannot resolve \"" + endpoint.host + "\": " + gai_strerror(error)};
    }
    return NetStatus::Ok();
}

int OpenSocket(const addrinfo* address) {
    return socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                  address->ai_protocol);
}

std::uint16_t BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    }
    return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
}

// Small frames (input events, short video frames) go out at once.
void SetNoDelay(int fd) {
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

TcpSocket::~TcpSocket() {
    close(fd_);
}

void TcpSocket::Shutdown() {
    shutdown(fd_, SHUT_RDWR);
}

std::size_t TcpSocket::Unsent() const {
    int unsent = 0;
    if (ioctl(fd_, SIOCOUTQ, &unsent) != 0 || unsent < 0) {
        return 0;
    }
    return static_cast<std::size_t>(unsent);
}

NetStatus TcpListener::Listen(const Endpoint& endpoint, std::unique_ptr<TcpListener>* listener) {
    AddressList list;
    if (NetStatus status = Resolve(endpoint, true, &list); !status.ok()) {
        return status;
    }
    NetStatus failure{NetCode::kBadAddress, "no address to listen on for " + endpoint.ToString()};
    for (const addrinfo* address = list.first; address; address = address->ai_next) {
        int fd = OpenSocket(address);
        if (fd < 0) {
            failure = SystemFailure(NetCode::kIoFailed, "cannot open a socket", errno);
            continue;
        }
        int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (bind(fd, address->ai_addr, address->ai_addrlen) != 0) {
            int error = errno;
            close(fd);
            NetCode code = error == EADDRINUSE ? NetCode::kAddressInUse
                           : error == EADDRNOTAVAIL || error == EAFNOSUPPORT ? NetCode::kBadAddress
                                                                             : NetCode::kIoFailed;
            failure = SystemFailure(code, "cannot listen on " + endpoint.ToString(), error);
            continue;
        }
        if (::listen(fd, 8) != 0) {
            int error = errno;
            close(fd);
            failure =
                SystemFailure(NetCode::kIoFailed, "cannot listen on " + endpoint.ToString(), error);
            continue;
        }
        listener->reset(new TcpListener(fd, BoundPort(fd)));
        return NetStatus::Ok();
    }
    return failure;
}

TcpListener::~TcpListener() {
    close(fd_);
}

NetStatus TcpListener::Accept(const WakeUp* cancel, int timeoutMs,
                              std::unique_ptr<TcpSocket>* socket) {
    for (;;) {
        NetCode ready = WaitForSocket(fd_, POLLIN, cancel, timeoutMs);
        if (ready != NetCode::kOk) {
            return NetStatus{ready, ready == NetCode::kTimedOut ? "no caller" : "waiting ended"};
        }
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        int fd = accept4(fd_, reinterpret_cast<sockaddr*>(&address), &length,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // A caller that gave up between poll and accept, or a transient shortage.
            if (errno == EAGAIN || errno == ECONNABORTED || errno == EINTR || errno == EPROTO) {
                continue;
            }
            return SystemFailure(NetCode::kIoFailed, "cannot accept a caller", errno);
        }
        SetNoDelay(fd);
        *socket = std::make_unique<TcpSocket>(fd, AddressText(&address, length));
        return NetStatus::Ok();
    }
}

NetStatus SendAll(TcpSocket& socket, const void* bytes, std::size_t length, const WakeUp* cancel,
                  int timeoutMs) {
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    while (length > 0) {
        ssize_t sent = send(socket.fd(), at, length, MSG_NOSIGNAL);
        if (sent > 0) {
            at += sent;
            length -= static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && errno != EAGAIN) {
            return SystemFailure(NetCode::kIoFailed, "cannot send to " + socket.peer(), errno);
        }
        if (NetCode ready = WaitForSocket(socket.fd(), POLLOUT, cancel, timeoutMs);
            ready != NetCode::kOk) {
            return NetStatus{ready, "sending to " + socket.peer() + " did not finish"};
        }
    }
    return NetStatus::Ok();
}

NetStatus Receive(TcpSocket& socket, void* buffer, std::size_t capacity, std::size_t* got,
                  const WakeUp* cancel, int timeoutMs) {
    *got = 0;
    for (;;) {
        ssize_t received = recv(socket.fd(), buffer, capacity, 0);
        if (received > 0) {
            *got = static_cast<std::size_t>(received);
            return NetStatus::Ok();
        }
        if (received == 0) {
            return NetStatus{NetCode::kClosed, socket.peer() + " ended the connection"};
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            return SystemFailure(NetCode::kIoFailed, "cannot receive from " + socket.peer(), errno);
        }
        if (NetCode ready = WaitForSocket(socket.fd(), POLLIN, cancel, timeoutMs);
            ready != NetCode::kOk) {
            return NetStatus{ready, ready == NetCode::kTimedOut
                                        ? socket.peer() + " sent nothing in time"
                                        : "waiting for " + socket.peer() + " ended"};
        }
    }
}

NetStatus ConnectTcp(const Endpoint& endpoint, const WakeUp* cancel, int timeoutMs,
                     std::unique_ptr<TcpSocket>* socket) {
    AddressList list;
    if (NetStatus status = Resolve(endpoint, false, &list); !status.ok()) {
        return status;
    }
    NetStatus failure{NetCode::kUnreachable, "cannot reach " + endpoint.ToString()};
    for (const addrinfo* address = list.first; address; address = address->ai_next) {
        int fd = OpenSocket(address);
        if (fd < 0) {
            failure = SystemFailure(NetCode::kIoFailed, "cannot open a socket", errno);
            continue;
        }
        int error = 0;
        if (connect(fd, address->ai_addr, address->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                NetCode ready = WaitForSocket(fd, POLLOUT, cancel, timeoutMs);
                if (ready == NetCode::kCancelled) {
                    close(fd);
                    return NetStatus{ready, "calling " + endpoint.ToString() + " was cancelled"};
                }
                socklen_t length = sizeof error;
                error = ready == NetCode::kTimedOut ? ETIMEDOUT : 0;
                if (error == 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                    error = errno;
                }
            }
        }
        if (error != 0) {
            close(fd);
            failure =
                SystemFailure(NetCode::kUnreachable, "cannot reach " + endpoint.ToString(), error);
            continue;
        }
        SetNoDelay(fd);
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length);
        *socket = std::make_unique<TcpSocket>(fd, AddressText(&peer, length));
        return NetStatus::Ok();
    }
    return failure;
}

}  // namespace farvane::net
