#include "suite/fvses32/gateway_switch.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

using farvane::net::RelayPipe;
using farvane::net::TcpListener;
using farvane::net::TcpSocket;
using farvane::net::WakeUp;

struct GatewaySwitch::Relay {
    Relay(std::string hostName, std::unique_ptr<TcpSocket> hostSocket,
          std::unique_ptr<TcpSocket> viewerSocket, const GatewaySwitchConfig& config)
        : name(std::move(hostName)),
          host(std::move(hostSocket)),
          viewer(std::move(viewerSocket)),
          toViewer(host->fd(), viewer->fd(), config.relayBuffer, config.tapToViewer),
          toHost(viewer->fd(), host->fd(), config.relayBuffer, config.tapToHost) {}

    std::string name;
    std::unique_ptr<TcpSocket> host;
    std::unique_ptr<TcpSocket> viewer;
    RelayPipe toViewer;  // reads the host
    RelayPipe toHost;    // reads the viewer
    std::optional<Clock::time_point> drainUntil;
};

GatewaySwitch::GatewaySwitch(std::unique_ptr<TcpListener> hosts,
                             std::unique_ptr<TcpListener> viewers, GatewaySwitchConfig config)
    : hosts_(std::move(hosts)), viewers_(std::move(viewers)), config_(std::move(config)) {}

GatewaySwitch::~GatewaySwitch() = default;

void GatewaySwitch::Log(const std::string& line) const {
    if (config_.log) {
        config_.log(line);
    }
}

int GatewaySwitch::PollTimeout() const {
    std::optional<Clock::time_point> next;
    for (const Caller& caller : callers_) {
        next = next ? std::min(*next, caller.deadline) : caller.deadline;
    }
    if (relay_ && relay_->drainUntil) {
        next = next ? std::min(*next, *relay_->drainUntil) : *relay_->drainUntil;
    }
    if (!next) {
        return -1;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count() + 1, 0));
}

// The poll set: the wake-up, the two listeners, the callers, the waiting hosts, and the
// relayed pair's two sockets (host first) when there is one.
std::vector<pollfd> GatewaySwitch::PollEntries(const WakeUp& cancel) const {
    std::vector<pollfd> entries;
    entries.push_back({cancel.fd(), POLLIN, 0});
    entries.push_back({hosts_->fd(), POLLIN, 0});
    entries.push_back({viewers_->fd(), POLLIN, 0});
    for (const Caller& caller : callers_) {
        entries.push_back({caller.socket->fd(), POLLIN, 0});
    }
    // A waiting host says nothing until it is paired: anything it sends, or its hang-up,
    // means it is gone.
    for (const WaitingHost& host : waiting_) {
        entries.push_back({host.socket->fd(), POLLIN, 0});
    }
    if (relay_) {
        auto events = [](const RelayPipe& in, const RelayPipe& out) {
            return static_cast<short>((in.WantsRead() ? POLLIN : 0) |
                                      (out.WantsWrite() ? POLLOUT : 0));
        };
        entries.push_back({relay_->host->fd(), events(relay_->toViewer, relay_->toHost), 0});
        entries.push_back({relay_->viewer->fd(), events(relay_->toHost, relay_->toViewer), 0});
    }
    return entries;
}

bool GatewaySwitch::Run(const WakeUp& cancel) {
    for (;;) {
        std::vector<pollfd> entries = PollEntries(cancel);
        if (poll(entries.data(), entries.size(), PollTimeout()) < 0 && errno != EINTR) {
            Log("the gateway cannot wait for its sockets: " + std::string(strerror(errno)));
            return false;
        }
        if (entries[0].revents != 0) {
            return false;
        }
        const std::size_t relayAt = 3 + callers_.size() + waiting_.size();
        if (relay_ && StepRelay(entries[relayAt].revents, entries[relayAt + 1].revents)) {
            return true;
        }
        ServeCallers(entries);
        if (entries[1].revents != 0) {
            Accept(*hosts_, GatewayRole::kHost);
        }
        if (entries[2].revents != 0) {
            Accept(*viewers_, GatewayRole::kViewer);
        }
    }
}

void GatewaySwitch::ServeCallers(const std::vector<pollfd>& entries) {
    for (std::size_t at = 0; at < waiting_.size(); ++at) {
        if (entries[3 + callers_.size() + at].revents != 0) {
            Log("host " + waiting_[at].name + " left the gateway");
            waiting_[at].gone = true;
        }
    }
    // Hosts registered here are added behind those polled, and looked at next time.
    const Clock::time_point now = Clock::now();
    for (std::size_t at = 0; at < callers_.size(); ++at) {
        Caller& caller = callers_[at];
        if (entries[3 + at].revents != 0) {
            ReadPreface(caller);
        } else if (now >= caller.deadline) {
            Turn(caller, GatewayAnswer::kRefused, "no preface in time");
        }
    }
    std::erase_if(callers_, [](const Caller& caller) { return caller.gone; });
    std::erase_if(waiting_, [](const WaitingHost& host) { return host.gone; });
}

void GatewaySwitch::Accept(TcpListener& listener, GatewayRole port) {
    std::unique_ptr<TcpSocket> socket;
    if (!listener.Accept(nullptr, 0, &socket).ok()) {
        return;
    }
    if (callers_.size() >= config_.maxCallers) {
        Log("turned away " + socket->peer() + ": too many callers at once");
        Answer(*socket, GatewayAnswer::kBusy);
        return;
    }
    callers_.push_back(Caller{std::move(socket), port, {}, Clock::now() + config_.prefaceTimeout});
}

void GatewaySwitch::ReadPreface(Caller& caller) {
    // Exactly the preface: a byte more would belong to what follows it.
    const std::size_t wanted = GatewayPrefaceSizeSoFar(caller.bytes) - caller.bytes.size();
    std::uint8_t buffer[kMaxGatewayPrefaceSize];
    const ssize_t got = recv(caller.socket->fd(), buffer, wanted, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        caller.gone = true;
        return;
    }
    if (got < 0) {
        return;
    }
    caller.bytes.insert(caller.bytes.end(), buffer, buffer + got);
    GatewayPreface preface;
    std::size_t consumed = 0;
    std::string reason;
    switch (ParseGatewayPreface(caller.bytes, &preface, &consumed, &reason)) {
        case ViewerParse::kNeedMore:
            return;
        case ViewerParse::kMalformed:
            Turn(caller, GatewayAnswer::kRefused, reason);
            return;
        case ViewerParse::kMessage:
            Admit(caller, preface);
            return;
    }
}

void GatewaySwitch::Admit(Caller& caller, const GatewayPreface& preface) {
    if (preface.role != caller.port) {
        Turn(caller, GatewayAnswer::kRefused,
             preface.role == GatewayRole::kHost ? "a host came to the viewers' port"
                                                : "a viewer came to the hosts' port");
        return;
    }
    if (relay_) {
        Turn(caller, GatewayAnswer::kBusy, "the gateway relays " + relay_->name + " already");
        return;
    }
    if (preface.role == GatewayRole::kViewer) {
        Pair(caller, preface.name);
        return;
    }
    const bool taken = std::any_of(waiting_.begin(), waiting_.end(), [&](const WaitingHost& host) {
        return !host.gone && host.name == preface.name;
    });
    if (taken || waiting_.size() >= config_.maxWaitingHosts) {
        Turn(caller, GatewayAnswer::kBusy,
             taken ? "a host named " + preface.name + " waits already" : "too many hosts wait");
        return;
    }
    caller.gone = true;
    if (Answer(*caller.socket, GatewayAnswer::kRegistered)) {
        Log("host " + preface.name + " registered from " + caller.socket->peer());
        waiting_.push_back(WaitingHost{preface.name, std::move(caller.socket)});
    }
}

void GatewaySwitch::Pair(Caller& viewer, const std::string& name) {
    auto host = std::find_if(waiting_.begin(), waiting_.end(), [&](const WaitingHost& waiting) {
        return !waiting.gone && waiting.name == name;
    });
    if (host == waiting_.end()) {
        Turn(viewer, GatewayAnswer::kUnknownName, "no host named " + name + " waits");
        return;
    }
    viewer.gone = true;
    host->gone = true;
    // The host hears first: it must be ready for the viewer's handshake.
    if (!Answer(*host->socket, GatewayAnswer::kPaired)) {
        Log("host " + name + " left the gateway");
        Answer(*viewer.socket, GatewayAnswer::kUnknownName);
        return;
    }
    if (!Answer(*viewer.socket, GatewayAnswer::kPaired)) {
        Log("the viewer from " + viewer.socket->peer() + " left before its pairing with " + name);
        return;  // the host goes too: it was told it is paired
    }
    Log("viewer from " + viewer.socket->peer() + " paired with host " + name);
    relay_ =
        std::make_unique<Relay>(name, std::move(host->socket), std::move(viewer.socket), config_);
}

bool GatewaySwitch::Answer(TcpSocket& socket, GatewayAnswer answer) {
    const auto byte = static_cast<std::uint8_t>(answer);
    for (;;) {
        ssize_t sent = send(socket.fd(), &byte, 1, MSG_NOSIGNAL);
        if (sent == 1) {
            return true;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        return false;  // a fresh connection always takes one byte, unless it is gone
    }
}

void GatewaySwitch::Turn(Caller& caller, GatewayAnswer answer, const std::string& why) {
    Log("turned away " + caller.socket->peer() + ": " + why);
    Answer(*caller.socket, answer);
    caller.gone = true;
}

bool GatewaySwitch::StepRelay(short hostEvents, short viewerEvents) {
    Relay& relay = *relay_;
    auto step = [](short events, RelayPipe& in, RelayPipe& out) {
        if (events & (POLLIN | POLLERR | POLLHUP)) {
            in.OnReadable();
        }
        if (events & (POLLOUT | POLLERR)) {
            out.OnWritable();
        }
    };
    step(hostEvents, relay.toViewer, relay.toHost);
    step(viewerEvents, relay.toHost, relay.toViewer);
    // A socket that hung up while its pipe had no room to read is gone all the same.
    const bool hostGone = (hostEvents & (POLLERR | POLLHUP)) && !relay.toViewer.WantsRead();
    const bool viewerGone = (viewerEvents & (POLLERR | POLLHUP)) && !relay.toHost.WantsRead();
    std::string how;
    if (relay.toViewer.state() == RelayPipe::State::kBroken || hostGone) {
        how = "the connection to the host broke";
    } else if (relay.toHost.state() == RelayPipe::State::kBroken || viewerGone) {
        how = "the connection to the viewer broke";
    } else if (relay.toViewer.Done()) {
        how = "the host hung up";
    } else if (relay.toHost.Done()) {
        how = "the viewer hung up";
    } else if (relay.toViewer.state() == RelayPipe::State::kEnded ||
               relay.toHost.state() == RelayPipe::State::kEnded) {
        // One side ended: its last bytes go out, for a while.
        if (!relay.drainUntil) {
            relay.drainUntil = Clock::now() + config_.drainTimeout;
        } else if (Clock::now() >= *relay.drainUntil) {
            how = "a side ended and the other took no more";
        }
    }
    if (how.empty()) {
        return false;
    }
    // A closed side closes the other.
    Log("the relay of host " + relay.name + " ended: " + how);
    relay.host->Shutdown();
    relay.viewer->Shutdown();
    relay_.reset();
    return true;
}
