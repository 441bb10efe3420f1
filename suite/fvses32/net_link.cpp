#include "suite/fvses32/net_link.h"

#include <cstdio>

#include "platform/net/state_dir.h"
#include "session/gateway_call.h"

using farvane::net::NetCode;
using farvane::net::NetStatus;
using farvane::net::TcpSocket;
using farvane::net::TlsStream;

NetStatus CNetLink::Prepare(bool listen) {
    if (!identity_) {
        std::string folder = config_.identityFolder;
        if (folder.empty()) {
            if (NetStatus status = farvane::net::UserStateDirectory(&folder); !status.ok()) {
                return status;
            }
        }
        if (NetStatus status = farvane::net::TlsIdentity::LoadOrCreate(folder, &identity_);
            !status.ok()) {
            return status;
        }
        fingerprint_ = identity_->Fingerprint();
    }
    if (listen && !listener_) {
        if (NetStatus status = farvane::net::TcpListener::Listen(config_.listen, &listener_);
            !status.ok()) {
            return status;
        }
        Log("listening on " +
            farvane::net::Endpoint{config_.listen.host, listener_->port()}.ToString() +
            ", host key " + fingerprint_);
    }
    return NetStatus::Ok();
}

std::uint16_t CNetLink::ListeningPort() const {
    return listener_ ? listener_->port() : 0;
}

NetStatus CNetLink::WaitForCaller(const farvane::net::WakeUp& cancel) {
    if (NetStatus status = Prepare(true); !status.ok()) {
        return status;
    }
    for (;;) {
        std::unique_ptr<TcpSocket> socket;
        if (NetStatus status = listener_->Accept(&cancel, -1, &socket); !status.ok()) {
            return status;
        }
        const std::string peer = socket->peer();
        std::unique_ptr<TlsStream> stream;
        NetStatus shaken = TlsStream::Accept(std::move(socket), *identity_, &cancel,
                                             config_.handshakeTimeoutMs, &stream);
        if (shaken.code == NetCode::kCancelled) {
            return shaken;
        }
        if (shaken.ok()) {
            Adopt(std::move(stream));
            Note("connection from " + peer);
            return shaken;
        }
        Log("connection from " + peer + " failed: " + shaken.message);
    }
}

NetStatus CNetLink::CallOut(const farvane::net::WakeUp& cancel) {
    if (NetStatus status = Prepare(false); !status.ok()) {
        return status;
    }
    std::unique_ptr<TcpSocket> socket;
    NetStatus called =
        farvane::net::ConnectTcp(*config_.call, &cancel, config_.callTimeoutMs, &socket);
    if (!called.ok()) {
        return called;
    }
    if (!config_.gatewayName.empty()) {
        NetStatus paired =
            RegisterAtGateway(*socket, config_.gatewayName, &cancel, config_.callTimeoutMs, [this] {
                Log("registered as " + config_.gatewayName + " at the gateway " +
                    config_.call->ToString() + ", host key " + fingerprint_);
            });
        if (!paired.ok()) {
            return paired;
        }
    }
    std::unique_ptr<TlsStream> stream;
    NetStatus shaken = TlsStream::Accept(std::move(socket), *identity_, &cancel,
                                         config_.handshakeTimeoutMs, &stream);
    if (!shaken.ok()) {
        // The peer answered but spoke no TLS we accept: try again later, as for no answer.
        return NetStatus{shaken.code == NetCode::kCancelled ? shaken.code : NetCode::kUnreachable,
                         shaken.message};
    }
    Adopt(std::move(stream));
    Note(config_.gatewayName.empty() ? "connected to " + config_.call->ToString()
                                     : "paired through the gateway " + config_.call->ToString());
    return shaken;
}

NetStatus CNetLink::NextMessage(ViewerMessage* message, ViewerParse* parse, std::string* reason,
                                const farvane::net::WakeUp& cancel, int timeoutMs) {
    std::shared_ptr<TlsStream> stream = Stream();
    if (!stream) {
        return NetStatus{NetCode::kClosed, "no connection"};
    }
    for (;;) {
        {
            std::lock_guard guard(lock_);
            std::size_t consumed = 0;
            *parse = ParseViewerMessage(received_, message, &consumed, reason);
            if (*parse != ViewerParse::kNeedMore) {
                received_.erase(received_.begin(), received_.begin() + static_cast<long>(consumed));
                return NetStatus::Ok();
            }
        }
        std::uint8_t buffer[4096];
        std::size_t got = 0;
        NetStatus status = stream->Read(buffer, sizeof buffer, &got, &cancel, timeoutMs);
        if (!status.ok()) {
            return status;
        }
        std::lock_guard guard(lock_);
        received_.insert(received_.end(), buffer, buffer + got);
    }
}

NetStatus CNetLink::Write(const void* bytes, std::size_t length, std::size_t* written,
                          const farvane::net::WakeUp* cancel, int timeoutMs) {
    *written = 0;
    std::shared_ptr<TlsStream> stream = Stream();
    if (!stream) {
        return NetStatus{NetCode::kClosed, "no connection"};
    }
    return stream->Write(bytes, length, written, cancel, timeoutMs);
}

std::size_t CNetLink::Unsent() {
    std::shared_ptr<TlsStream> stream = Stream();
    return stream ? stream->Unsent() : 0;
}

void CNetLink::Release() {
    std::shared_ptr<TlsStream> stream;
    std::string notes;
    {
        std::lock_guard guard(lock_);
        stream = std::move(stream_);
        received_.clear();
        hello_ = ViewerHello{};
        notes = std::move(notes_);
        notes_.clear();
    }
    if (stream) {
        stream->Close();
    }
    if (!notes.empty()) {
        Log(notes);
    }
}

void CNetLink::Note(const std::string& part) {
    std::lock_guard guard(lock_);
    notes_ += notes_.empty() ? part : (notes_.find(':') == std::string::npos ? ": " : "; ") + part;
}

void CNetLink::Break() {
    if (std::shared_ptr<TlsStream> stream = Stream()) {
        stream->Shutdown();
    }
}

std::string CNetLink::Peer() {
    std::shared_ptr<TlsStream> stream = Stream();
    return stream ? stream->peer() : std::string();
}

void CNetLink::SetHello(const ViewerHello& hello) {
    std::lock_guard guard(lock_);
    hello_ = hello;
}

ViewerHello CNetLink::Hello() {
    std::lock_guard guard(lock_);
    return hello_;
}

void CNetLink::Log(const std::string& line) const {
    if (config_.log) {
        config_.log(line);
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
}

std::shared_ptr<TlsStream> CNetLink::Stream() {
    std::lock_guard guard(lock_);
    return stream_;
}

void CNetLink::Adopt(std::unique_ptr<TlsStream> stream) {
    std::lock_guard guard(lock_);
    stream_ = std::move(stream);
    received_.clear();
}
