// The network side of one host: the listener (kept from one caller to the next, so that the
// port stays the host's), the TLS connection of the caller being served, and the viewer's
// messages read from it. The connection, admission and host session stages share it.
//
// The stages use it from their worker threads, the transmit queue's thread writes to it, and
// Release (on the dispatch thread) ends the connection: every call is safe against the others.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/endpoint.h"
#include "platform/net/tcp.h"
#include "platform/net/tls_identity.h"
#include "platform/net/tls_stream.h"
#include "session/viewer_wire.h"

struct NetLinkConfig {
    farvane::net::Endpoint listen{"127.0.0.1", 5899};
    std::optional<farvane::net::Endpoint> call;  // where to call in call-out mode
    // Not empty: `call` is a gateway, where the host registers under this name and waits for
    // a viewer that asks for it.
    std::string gatewayName;
    std::string identityFolder;  // the host key and certificate
    int handshakeTimeoutMs = 10000;
    int callTimeoutMs = 10000;
    // One line per event worth a person's attention (connections, refusals, ends).
    std::function<void(const std::string&)> log;
};

class CNetLink {
public:
    explicit CNetLink(NetLinkConfig config) : config_(std::move(config)) {}
    CNetLink(const CNetLink&) = delete;
    CNetLink& operator=(const CNetLink&) = delete;

    // Reads (or makes) the host identity and binds the listener if not done yet. Fatal
    // failures (port in use, bad address, no identity) come back as they are.
    farvane::net::NetStatus Prepare(bool listen);
    std::uint16_t ListeningPort() const;
    const std::string& Fingerprint() const { return fingerprint_; }

    // Waits for a caller and completes its TLS handshake; a caller whose handshake fails is
    // logged and the wait goes on.
    farvane::net::NetStatus WaitForCaller(const farvane::net::WakeUp& cancel);
    // Calls the configured peer (through the gateway, when one is named: it returns once a
    // viewer is paired with the host) and completes the handshake as the TLS server.
    farvane::net::NetStatus CallOut(const farvane::net::WakeUp& cancel);
    bool CanCallOut() const { return config_.call.has_value(); }

    // The next viewer message of the current connection. kOk with `*parse` kMessage, or
    // kMalformed with `reason`; a network failure otherwise (kClosed on an orderly end).
    farvane::net::NetStatus NextMessage(ViewerMessage* message, ViewerParse* parse,
                                        std::string* reason, const farvane::net::WakeUp& cancel,
                                        int timeoutMs);
    // Writes to the current connection (see TlsStream::Write).
    farvane::net::NetStatus Write(const void* bytes, std::size_t length, std::size_t* written,
                                  const farvane::net::WakeUp* cancel, int timeoutMs);
    // Bytes written to the current connection that the peer has not yet acknowledged.
    std::size_t Unsent();
    // Ends the current connection (its waits in other threads end at once).
    void Release();
    // Ends the current connection's waits without releasing it (the stream stays until Release).
    void Break();

    // The address of the current caller (empty when none).
    std::string Peer();
    // The hello of the admitted viewer, kept for the host session.
    void SetHello(const ViewerHello& hello);
    ViewerHello Hello();

    void Log(const std::string& line) const;
    // Adds to what is told about the current connection; the whole goes out as one line when
    // the connection is released ("connection from ADDR: admitted; ended: ...").
    void Note(const std::string& part);

private:
    std::shared_ptr<farvane::net::TlsStream> Stream();
    void Adopt(std::unique_ptr<farvane::net::TlsStream> stream);

    NetLinkConfig config_;
    std::unique_ptr<farvane::net::TlsIdentity> identity_;
    std::string fingerprint_;
    std::unique_ptr<farvane::net::TcpListener> listener_;
    mutable std::mutex lock_;  // guards stream_, received_, hello_, notes_
    std::shared_ptr<farvane::net::TlsStream> stream_;
    std::vector<std::uint8_t> received_;  // bytes read but not yet parsed
    std::string notes_;                   // the current connection's line so far
    ViewerHello hello_;
};
