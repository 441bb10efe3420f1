// TCP connections and listeners over IPv4 and IPv6. Sockets are non-blocking; every wait is
// bounded and ends early when its wake-up is signalled.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/net/endpoint.h"
#include "platform/net/net_status.h"
#include "platform/net/wake_up.h"

namespace farvane::net {

// One connected socket. Shutdown may be called from any thread while another waits on it:
// the waiter wakes and its next call fails.
class TcpSocket {
public:
    explicit TcpSocket(int fd, std::string peer) : fd_(fd), peer_(std::move(peer)) {}
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    int fd() const { return fd_; }
    // The peer's address without the port.
    const std::string& peer() const { return peer_; }
    void Shutdown();
    // Bytes written that the peer has not yet acknowledged (0 when the system cannot say).
    std::size_t Unsent() const;

private:
    int fd_;
    std::string peer_;
};

class TcpListener {
public:
    // Binds and listens on `endpoint` (a name is resolved; the first address that binds wins).
    // kAddressInUse when the port is taken, kBadAddress when the host cannot be resolved or is
    // not an address of this machine.
    static NetStatus Listen(const Endpoint& endpoint, std::unique_ptr<TcpListener>* listener);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // For a poll of its own; Accept with a time-out of 0 then takes the caller.
    int fd() const { return fd_; }
    // The port bound (useful after listening on port 0).
    std::uint16_t port() const { return port_; }
    // Waits for a caller for at most `timeoutMs` (-1: no limit).
    NetStatus Accept(const WakeUp* cancel, int timeoutMs, std::unique_ptr<TcpSocket>* socket);

private:
    TcpListener(int fd, std::uint16_t port) : fd_(fd), port_(port) {}

    int fd_;
    std::uint16_t port_;
};

// Plain bytes on a socket, for what goes before TLS. SendAll sends all of `bytes` within
// `timeoutMs`; Receive takes up to `capacity` bytes (at least one) and reports an orderly end
// as kClosed.
NetStatus SendAll(TcpSocket& socket, const void* bytes, std::size_t length, const WakeUp* cancel,
                  int timeoutMs);
NetStatus Receive(TcpSocket& socket, void* buffer, std::size_t capacity, std::size_t* got,
                  const WakeUp* cancel, int timeoutMs);

// Connects to `endpoint`, trying each address the name resolves to. kUnreachable when no
// address answered (refused, no route, timed out), kBadAddress when the name does not resolve.
NetStatus ConnectTcp(const Endpoint& endpoint, const WakeUp* cancel, int timeoutMs,
                     std::unique_ptr<TcpSocket>* socket);

}  // namespace farvane::net
