// A TLS 1.3 connection over a TCP socket (no other version, no plain-text mode). The host side
// presents its identity; the calling side accepts any certificate and leaves the decision to
// the caller, who compares PeerFingerprint with what it pinned (known_hosts.h).
//
// One thread may read while another writes: every TLS call runs under the stream's lock, on a
// non-blocking socket, and the waits between calls are outside it. Shutdown, from any thread,
// ends every wait at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "platform/net/net_status.h"
#include "platform/net/tcp.h"
#include "platform/net/tls_identity.h"
#include "platform/net/wake_up.h"

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace farvane::net {

class TlsStream {
public:
    // The host's side of the handshake, at most `timeoutMs`.
    static NetStatus Accept(std::unique_ptr<TcpSocket> socket, const TlsIdentity& identity,
                            const WakeUp* cancel, int timeoutMs,
                            std::unique_ptr<TlsStream>* stream);
    // The caller's side of the handshake.
    static NetStatus Connect(std::unique_ptr<TcpSocket> socket, const WakeUp* cancel, int timeoutMs,
                             std::unique_ptr<TlsStream>* stream);
    ~TlsStream();
    TlsStream(const TlsStream&) = delete;
    TlsStream& operator=(const TlsStream&) = delete;

    // The peer's certificate fingerprint ("SHA256:..."); empty when it showed none.
    const std::string& PeerFingerprint() const { return peerFingerprint_; }
    // The peer's address without the port.
    const std::string& peer() const { return socket_->peer(); }

    // Reads up to `capacity` bytes (at least one) into `buffer`. kClosed when the peer ended
    // the connection in order, kIoFailed when it broke.
    NetStatus Read(void* buffer, std::size_t capacity, std::size_t* got, const WakeUp* cancel,
                   int timeoutMs);
    // Writes as much of `bytes` as the connection takes within `timeoutMs`; `*written` says how
    // much (kTimedOut with a count below `length` when the peer reads too slowly). A call after
    // a time-out must offer the same bytes again (more may follow them).
    NetStatus Write(const void* bytes, std::size_t length, std::size_t* written,
                    const WakeUp* cancel, int timeoutMs);
    NetStatus WriteAll(const void* bytes, std::size_t length, const WakeUp* cancel, int timeoutMs);
    // Tells the peer that nothing more follows (best effort, does not wait), then Shutdown.
    void Close();
    // Shuts the socket down: waits in other threads end and every later call fails.
    void Shutdown();
    bool IsShutDown() const { return shutDown_.load(); }
    // Bytes written that the peer has not yet acknowledged.
    std::size_t Unsent() const { return socket_->Unsent(); }

private:
    TlsStream(std::unique_ptr<TcpSocket> socket, SSL_CTX* context, SSL* ssl);
    static NetStatus Start(std::unique_ptr<TcpSocket> socket, SSL_CTX* context, bool server,
                           const WakeUp* cancel, int timeoutMs, std::unique_ptr<TlsStream>* stream);
    // What a TLS call that did not succeed left: SSL_get_error's code and errno, both taken
    // under the lock.
    struct CallFailure {
        int error = 0;
        int savedErrno = 0;
    };
    // Waits as the TLS layer asked after a call failed with `failure`; kOk to call again.
    NetStatus AfterCall(const CallFailure& failure, const char* what, const WakeUp* cancel,
                        int timeoutMs);

    std::unique_ptr<TcpSocket> socket_;
    SSL_CTX* context_;
    SSL* ssl_;
    std::mutex lock_;  // around every call into the TLS layer
    std::atomic<bool> shutDown_{false};
    std::string peerFingerprint_;
};

}  // namespace farvane::net
