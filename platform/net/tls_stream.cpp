#include "platform/net/tls_stream.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/net/fd_wait.h"

namespace farvane::net {

namespace {

using Clock = std::chrono::steady_clock;

// The socket under the TLS layer, written with send(MSG_NOSIGNAL): a peer that went away must
// end the session with an error, not the whole process with SIGPIPE.
int SocketWrite(BIO* bio, const char* data, int length) {
    int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    ssize_t count = send(fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        BIO_set_retry_write(bio);
    }
    return static_cast<int>(count);
}

int SocketRead(BIO* bio, char* data, int length) {
    int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio)));
    BIO_clear_retry_flags(bio);
    ssize_t count = recv(fd, data, static_cast<std::size_t>(length), 0);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        BIO_set_retry_read(bio);
    }
    return static_cast<int>(count);
}

long SocketControl(BIO*, int command, long, void*) {
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int SocketCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* SocketMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* made =
            BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "farvane socket");
        BIO_meth_set_write(made, SocketWrite);
        BIO_meth_set_read(made, SocketRead);
        BIO_meth_set_ctrl(made, SocketControl);
        BIO_meth_set_create(made, SocketCreate);
        return made;
    }();
    return method;
}

SSL_CTX* NewContext(bool server) {
    SSL_CTX* context = SSL_CTX_new(server ? TLS_server_method() : TLS_client_method());
    if (!context) {
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context, TLS1_3_VERSION);
    SSL_CTX_set_max_proto_version(context, TLS1_3_VERSION);
    // Sessions are never resumed: no tickets to send after the handshake.
    SSL_CTX_set_num_tickets(context, 0);
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    // The calling side pins the host's certificate itself (known_hosts.h).
    SSL_CTX_set_verify(context, SSL_VERIFY_NONE, nullptr);
    return context;
}

std::string LastTlsError(const char* what) {
    unsigned long error = ERR_get_error();
    std::string text = what;
    if (error != 0) {
        char reason[256];
        ERR_error_string_n(error, reason, sizeof reason);
        text += ": ";
        text += reason;
    }
    ERR_clear_error();
    return text;
}

int LeftMs(Clock::time_point until, int timeoutMs) {
    if (timeoutMs < 0) {
        return -1;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

TlsStream::TlsStream(std::unique_ptr<TcpSocket> socket, SSL_CTX* context, SSL* ssl)
    : socket_(std::move(socket)), context_(context), ssl_(ssl) {}

TlsStream::~TlsStream() {
    SSL_free(ssl_);
    SSL_CTX_free(context_);
}

NetStatus TlsStream::Accept(std::unique_ptr<TcpSocket> socket, const TlsIdentity& identity,
                            const WakeUp* cancel, int timeoutMs,
                            std::unique_ptr<TlsStream>* stream) {
    SSL_CTX* context = NewContext(true);
    if (!context || SSL_CTX_use_certificate(context, identity.certificate()) != 1 ||
        SSL_CTX_use_PrivateKey(context, identity.key()) != 1) {
        SSL_CTX_free(context);
        return NetStatus{NetCode::kTlsFailed, LastTlsError("cannot set up TLS")};
    }
    return Start(std::move(socket), context, true, cancel, timeoutMs, stream);
}

NetStatus TlsStream::Connect(std::unique_ptr<TcpSocket> socket, const WakeUp* cancel, int timeoutMs,
                             std::unique_ptr<TlsStream>* stream) {
    SSL_CTX* context = NewContext(false);
    if (!context) {
        return NetStatus{NetCode::kTlsFailed, LastTlsError("cannot set up TLS")};
    }
    return Start(std::move(socket), context, false, cancel, timeoutMs, stream);
}

NetStatus TlsStream::Start(std::unique_ptr<TcpSocket> socket, SSL_CTX* context, bool server,
                           const WakeUp* cancel, int timeoutMs,
                           std::unique_ptr<TlsStream>* stream) {
    SSL* ssl = SSL_new(context);
    BIO* bio = ssl ? BIO_new(SocketMethod()) : nullptr;
    if (!bio) {
        SSL_free(ssl);
        SSL_CTX_free(context);
        return NetStatus{NetCode::kTlsFailed, LastTlsError("cannot set up TLS")};
    }
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(socket->fd())));
    SSL_set_bio(ssl, bio, bio);
    std::unique_ptr<TlsStream> made(new TlsStream(std::move(socket), context, ssl));
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        errno = 0;
        int result = server ? SSL_accept(ssl) : SSL_connect(ssl);
        if (result == 1) {
            break;
        }
        CallFailure failure{SSL_get_error(ssl, result), errno};
        NetStatus status =
            made->AfterCall(failure, "the TLS handshake failed", cancel, LeftMs(until, timeoutMs));
        if (!status.ok()) {
            return status;
        }
    }
    if (X509* certificate = SSL_get1_peer_certificate(ssl)) {
        made->peerFingerprint_ = CertificateFingerprint(certificate);
        X509_free(certificate);
    }
    *stream = std::move(made);
    return NetStatus::Ok();
}

NetStatus TlsStream::AfterCall(const CallFailure& failure, const char* what, const WakeUp* cancel,
                               int timeoutMs) {
    const int error = failure.error;
    const int saved = failure.savedErrno;
    if (shutDown_.load()) {
        ERR_clear_error();
        return NetStatus{NetCode::kCancelled, "the connection was shut down"};
    }
    short events = 0;
    if (error == SSL_ERROR_WANT_READ) {
        events = POLLIN;
    } else if (error == SSL_ERROR_WANT_WRITE) {
        events = POLLOUT;
    } else if (error == SSL_ERROR_ZERO_RETURN) {
        return NetStatus{NetCode::kClosed, "the peer closed the connection"};
    } else if (error == SSL_ERROR_SYSCALL) {
        ERR_clear_error();
        return saved != 0 ? SystemFailure(NetCode::kIoFailed, "the connection broke", saved)
                          : NetStatus{NetCode::kIoFailed, "the connection broke"};
    } else if (ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        ERR_clear_error();
        return NetStatus{NetCode::kIoFailed, "the connection broke"};
    } else {
        return NetStatus{NetCode::kTlsFailed, LastTlsError(what)};
    }
    NetCode ready = WaitForSocket(socket_->fd(), events, cancel, timeoutMs);
    if (ready == NetCode::kTimedOut) {
        return NetStatus{ready, "timed out"};
    }
    if (ready != NetCode::kOk) {
        return NetStatus{ready, ready == NetCode::kCancelled ? "cancelled" : "waiting failed"};
    }
    return shutDown_.load() ? NetStatus{NetCode::kCancelled, "the connection was shut down"}
                            : NetStatus::Ok();
}

NetStatus TlsStream::Read(void* buffer, std::size_t capacity, std::size_t* got,
                          const WakeUp* cancel, int timeoutMs) {
    *got = 0;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        CallFailure failure;
        {
            std::lock_guard guard(lock_);
            if (shutDown_.load()) {
                return NetStatus{NetCode::kCancelled, "the connection was shut down"};
            }
            errno = 0;
            int result = SSL_read_ex(ssl_, buffer, capacity, got);
            if (result == 1) {
                return NetStatus::Ok();
            }
            failure = CallFailure{SSL_get_error(ssl_, result), errno};
        }
        NetStatus status = AfterCall(failure, "reading failed", cancel, LeftMs(until, timeoutMs));
        if (!status.ok()) {
            return status;
        }
    }
}

NetStatus TlsStream::Write(const void* bytes, std::size_t length, std::size_t* written,
                           const WakeUp* cancel, int timeoutMs) {
    *written = 0;
    const auto* next = static_cast<const unsigned char*>(bytes);
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (*written < length) {
        CallFailure failure;
        {
            std::lock_guard guard(lock_);
            if (shutDown_.load()) {
                return NetStatus{NetCode::kCancelled, "the connection was shut down"};
            }
            errno = 0;
            std::size_t count = 0;
            int result = SSL_write_ex(ssl_, next + *written, length - *written, &count);
            if (result == 1) {
                *written += count;
                continue;
            }
            failure = CallFailure{SSL_get_error(ssl_, result), errno};
        }
        NetStatus status = AfterCall(failure, "writing failed", cancel, LeftMs(until, timeoutMs));
        if (!status.ok()) {
            return status;
        }
    }
    return NetStatus::Ok();
}

NetStatus TlsStream::WriteAll(const void* bytes, std::size_t length, const WakeUp* cancel,
                              int timeoutMs) {
    std::size_t written = 0;
    return Write(bytes, length, &written, cancel, timeoutMs);
}

void TlsStream::Close() {
    {
        std::lock_guard guard(lock_);
        if (!shutDown_.load()) {
            SSL_shutdown(ssl_);
            ERR_clear_error();
        }
    }
    Shutdown();
}

void TlsStream::Shutdown() {
    shutDown_.store(true);
    socket_->Shutdown();
}

}  // namespace farvane::net
