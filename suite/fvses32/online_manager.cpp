// The online service manager's session: it listens at the OnlSvc file's address and serves
// the first host that calls out to it (the host needs no open port). The host stays the TLS
// server, so its certificate is the one checked, as when the viewer calls.
#include <cstdio>
#include <string>

#include "platform/net/tcp.h"
#include "session/session_end_event.h"
#include "suite/fvses32/session_files.h"
#include "suite/fvses32/viewer_managers.h"

namespace farvane::viewer {

namespace {

constexpr int kHandshakeTimeoutMs = 10000;

// Waits for a host that calls out; a caller that speaks no TLS we accept is logged and the
// wait goes on.
net::NetStatus WaitForHost(const net::Endpoint& listen, std::uint16_t capabilities,
                           const net::WakeUp& cancel, std::unique_ptr<ViewerLink>* link,
                           std::string* hostName) {
    std::unique_ptr<net::TcpListener> listener;
    if (net::NetStatus status = net::TcpListener::Listen(listen, &listener); !status.ok()) {
        return status;
    }
    std::fprintf(stderr, "fvonl32: waiting for a host to call %s\n",
                 net::Endpoint{listen.host, listener->port()}.ToString().c_str());
    std::fflush(stderr);
    for (;;) {
        std::unique_ptr<net::TcpSocket> socket;
        if (net::NetStatus status = listener->Accept(&cancel, -1, &socket); !status.ok()) {
            return status;
        }
        const std::string peer = socket->peer();
        net::NetStatus shaken = ViewerLink::Over(std::move(socket), &cancel, kHandshakeTimeoutMs,
                                                 videodecode::DecoderOptions{capabilities}, link);
        if (shaken.ok() || shaken.code == net::NetCode::kCancelled) {
            *hostName = peer;
            return shaken;
        }
        std::fprintf(stderr, "fvonl32: a call from %s failed: %s\n", peer.c_str(),
                     shaken.message.c_str());
    }
}

}  // namespace

ViewerSessionConfig OnlineSessionConfig(const char* path, int lSwitch) {
    ViewerSessionConfig config;
    config.programTitle = "fvonl32";
    config.endEventName = SessionEndEventName(path ? path : "");
    OnlineServiceFile file;
    if (!path || !ReadOnlineServiceFile(path, &file, &config.failure)) {
        if (config.failure.empty()) {
            config.failure = "No OnlSvc file was given";
        }
        return config;
    }
    config.hostName = "the host calling " + file.listen.ToString();
    config.pinnedFingerprint = file.settings.fingerprint;
    config.passwordFile = file.settings.passwordFile;
    config.hello =
        ViewerHello{kViewerProtocolVersion, file.view.capabilities, 0, file.view.reducedMode};
    config.viewOnly = file.view.viewOnly || lSwitch != 0;
    config.fitToWindow = file.view.fitToWindow;
    const net::Endpoint listen = file.listen;
    const std::uint16_t capabilities = file.view.capabilities;
    config.connect = [listen, capabilities](const net::WakeUp& cancel,
                                            std::unique_ptr<ViewerLink>* link,
                                            std::string* hostName) {
        return WaitForHost(listen, capabilities, cancel, link, hostName);
    };
    return config;
}

}  // namespace farvane::viewer
