// The viewer's end of a connection to a host: TLS (the host is the TLS server, whichever side
// called), the check of the host's key against the pinned ones, the hello and the password,
// the video stream decoded into a framebuffer, and the viewer's input towards the host.
// fvview and the session library's viewer window both use it.
//
// Reading (Receive) and writing (Send) may run on two threads at once, as the TLS stream
// allows; Shutdown from any thread ends both at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "platform/net/endpoint.h"
#include "platform/net/net_status.h"
#include "platform/net/tcp.h"
#include "platform/net/tls_stream.h"
#include "session/viewer_wire.h"
#include "videodecode/stream_decoder.h"

namespace farvane::viewer {

// How a step ended: go on, failed (no connection, bad stream), or refused (the host's key or
// the host's verdict).
enum class ViewerStep { kOk, kFailed, kRefused };

// The bitmap request word a viewer sends once admitted.
inline constexpr std::uint16_t kBitmapRequestWord = 1;

struct HostKeyCheck {
    std::string knownHostsFile;  // empty: known_hosts in the user's state folder
    std::string hostName;        // the host as the user wrote it: the name in that file
    // Asked when the host is not known yet; true pins its key. Null: refuse unknown hosts.
    std::function<bool(const std::string& fingerprint)> acceptUnknown;
};

class ViewerLink {
public:
    // Calls `host` and completes the handshake as the TLS client. With a `gatewayName`, `host`
    // is a gateway, asked first for the host registered there under that name. A non-zero
    // `receiveBuffer` shrinks the socket's receive buffer (to act as a slow link).
    static net::NetStatus Call(const net::Endpoint& host, const std::string& gatewayName,
                               const net::WakeUp* cancel, int timeoutMs, int receiveBuffer,
                               videodecode::DecoderOptions decoding,
                               std::unique_ptr<ViewerLink>* link);
    // Completes the handshake as the TLS client over a connection a host made to us (the host
    // called out): its certificate is still the one checked.
    static net::NetStatus Over(std::unique_ptr<net::TcpSocket> socket, const net::WakeUp* cancel,
                               int timeoutMs, videodecode::DecoderOptions decoding,
                               std::unique_ptr<ViewerLink>* link);
    ViewerLink(const ViewerLink&) = delete;
    ViewerLink& operator=(const ViewerLink&) = delete;

    const std::string& Fingerprint() const { return stream_->PeerFingerprint(); }
    const std::string& Peer() const { return stream_->peer(); }

    // Checks the host's key: known passes, changed is refused naming both keys, unknown is
    // pinned when `check.acceptUnknown` says so. `*pinnedIn` names the file a new key went to.
    ViewerStep CheckHostKey(const HostKeyCheck& check, std::string* error, std::string* pinnedIn);
    // Sends the hello and the password and reads the host's verdict.
    ViewerStep Admit(const ViewerHello& hello, const std::string& password,
                     const net::WakeUp* cancel, int timeoutMs, std::string* error);

    bool Send(const ViewerMessage& message, std::string* error);
    bool SendKey(std::uint32_t keysym, bool down, std::string* error);
    bool SendPointer(const ViewerPointer& pointer, std::string* error);
    bool RequestBitmap(std::string* error);

    // Reads what arrived within `timeoutMs` into `buffer` and decodes it, holding `decoding`
    // (when given) only while it decodes, so that a painter may read the picture meanwhile.
    // kTimedOut when nothing came; kClosed when the host ended the connection; kIoFailed with a
    // message when the stream does not decode (the picture would be wrong from there on).
    net::NetStatus Receive(std::span<std::uint8_t> buffer, std::size_t* got,
                           const net::WakeUp* cancel, int timeoutMs,
                           std::mutex* decoding = nullptr);
    videodecode::StreamDecoder& Decoder() { return decoder_; }

    // Says bye (best effort) and closes the connection.
    void Close();
    // Ends every wait on the connection at once (from any thread).
    void Shutdown() { stream_->Shutdown(); }

private:
    ViewerLink(std::unique_ptr<net::TlsStream> stream, videodecode::DecoderOptions decoding)
        : stream_(std::move(stream)), decoder_(decoding) {}

    std::unique_ptr<net::TlsStream> stream_;
    videodecode::StreamDecoder decoder_;
};

// The X keysym that types `character` (Latin-1 maps to itself; line end, tab and backspace to
// their keys).
std::uint32_t KeysymForCharacter(unsigned char character);

}  // namespace farvane::viewer
