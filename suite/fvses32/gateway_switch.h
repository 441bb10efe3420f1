// The gateway's one session: it takes hosts on one listener and viewers on the other, reads
// each caller's preface, keeps registered hosts waiting under their names, pairs the first
// viewer that names a waiting host with it, and then relays the bytes between the two without
// reading them. One relayed pair at a time: while it runs, every new caller is answered busy.
//
// Everything happens on the thread that calls Run, in one poll over all sockets and the
// wake-up, so a teardown never waits for a socket.
#pragma once

#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/relay_pipe.h"
#include "platform/net/tcp.h"
#include "platform/net/wake_up.h"
#include "session/gateway_preface.h"

struct GatewaySwitchConfig {
    // One line per event worth a person's attention (registrations, pairings, refusals, ends).
    std::function<void(const std::string&)> log;
    // See the bytes relayed towards the viewer and towards the host (tests).
    farvane::net::RelayPipe::Tap tapToViewer;
    farvane::net::RelayPipe::Tap tapToHost;
    std::chrono::milliseconds prefaceTimeout{10000};  // for a caller to say who it is
    std::chrono::milliseconds drainTimeout{5000};     // for the last bytes after a side ended
    std::size_t maxCallers = 16;                      // callers whose preface is awaited
    std::size_t maxWaitingHosts = 8;
    std::size_t relayBuffer = 64 * 1024;  // each direction
};

class GatewaySwitch {
public:
    GatewaySwitch(std::unique_ptr<farvane::net::TcpListener> hosts,
                  std::unique_ptr<farvane::net::TcpListener> viewers, GatewaySwitchConfig config);
    ~GatewaySwitch();
    GatewaySwitch(const GatewaySwitch&) = delete;
    GatewaySwitch& operator=(const GatewaySwitch&) = delete;

    // Runs until the relayed pair has ended (true) or `cancel` is signalled (false).
    bool Run(const farvane::net::WakeUp& cancel);

private:
    using Clock = std::chrono::steady_clock;
    struct Caller {
        std::unique_ptr<farvane::net::TcpSocket> socket;
        GatewayRole port;  // which listener took it
        std::vector<std::uint8_t> bytes;
        Clock::time_point deadline;
        bool gone = false;
    };
    struct WaitingHost {
        std::string name;
        std::unique_ptr<farvane::net::TcpSocket> socket;
        bool gone = false;
    };
    struct Relay;

    std::vector<pollfd> PollEntries(const farvane::net::WakeUp& cancel) const;
    int PollTimeout() const;
    // Hears the callers and the waiting hosts that poll reported in `entries`.
    void ServeCallers(const std::vector<pollfd>& entries);
    void Accept(farvane::net::TcpListener& listener, GatewayRole port);
    void ReadPreface(Caller& caller);
    void Admit(Caller& caller, const GatewayPreface& preface);
    void Pair(Caller& viewer, const std::string& name);
    // Sends one answer byte; false when the caller is gone.
    bool Answer(farvane::net::TcpSocket& socket, GatewayAnswer answer);
    void Turn(Caller& caller, GatewayAnswer answer, const std::string& why);
    // Moves the relay's bytes as poll reported; true when the relayed pair has ended.
    bool StepRelay(short hostEvents, short viewerEvents);
    void Log(const std::string& line) const;

    std::unique_ptr<farvane::net::TcpListener> hosts_;
    std::unique_ptr<farvane::net::TcpListener> viewers_;
    GatewaySwitchConfig config_;
    std::vector<Caller> callers_;
    std::vector<WaitingHost> waiting_;
    std::unique_ptr<Relay> relay_;
};
