// The gateway's service manager: on its gateway file it listens for hosts and for viewers and
// runs one relayed session (gateway_switch.h) on a thread of its own. When the relayed pair
// ends, the session is over and the session end event named after the file is signalled; the
// manager's destruction ends the session at once, wherever it is.
//
// A file that cannot be read or is wrong, or a port that cannot be had, fails the construction
// with the memory exception the service program catches, after saying why on standard error.
//
// Setting read only by tests (environment):
//   FARVANE_TEST_GATEWAY_TAP=PREFIX  the bytes relayed go to PREFIX.to-viewer and PREFIX.to-host
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "platform/kernel/synch.h"
#include "platform/net/tcp.h"
#include "session/session_end_event.h"
#include "session/svc_mgr.h"
#include "suite/fvses32/gateway_file.h"
#include "suite/fvses32/gateway_switch.h"
#include "suite/fvses32/stand_in_session.h"

using farvane::net::Endpoint;
using farvane::net::NetStatus;
using farvane::net::TcpListener;

namespace {

void Log(const std::string& line) {
    std::fprintf(stderr, "gateway: %s\n", line.c_str());
    std::fflush(stderr);
}

// Appends what passes to a file, for tests that check what the gateway could see.
farvane::net::RelayPipe::Tap FileTap(const std::string& path) {
    auto file = std::make_shared<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    return [file](std::span<const std::uint8_t> bytes) {
        file->write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
        file->flush();
    };
}

class GatewaySession {
public:
    static std::unique_ptr<GatewaySession> Start(const char* path, std::string* error) {
        if (path == nullptr) {
            *error = "no gateway file";
            return nullptr;
        }
        GatewayFile file;
        if (!ReadGatewayFile(path, &file, error)) {
            return nullptr;
        }
        std::unique_ptr<TcpListener> hosts;
        std::unique_ptr<TcpListener> viewers;
        if (!Listen(file.hosts, "hosts", &hosts, error) ||
            !Listen(file.viewers, "viewers", &viewers, error)) {
            return nullptr;
        }
        Log("hosts register at " + Endpoint{file.hosts.host, hosts->port()}.ToString() +
            ", viewers connect at " + Endpoint{file.viewers.host, viewers->port()}.ToString());
        GatewaySwitchConfig config;
        config.log = Log;
        if (const char* tap = std::getenv("FARVANE_TEST_GATEWAY_TAP"); tap && *tap) {
            config.tapToViewer = FileTap(std::string(tap) + ".to-viewer");
            config.tapToHost = FileTap(std::string(tap) + ".to-host");
        }
        // Held from the start, so that the event stays while the program's worker opens it.
        HANDLE endEvent = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(path).c_str());
        if (endEvent == nullptr) {
            *error = "cannot make the session end event";
            return nullptr;
        }
        return std::unique_ptr<GatewaySession>(new GatewaySession(
            std::make_unique<GatewaySwitch>(std::move(hosts), std::move(viewers), config),
            endEvent));
    }

    ~GatewaySession() {
        wake_.Signal();
        thread_.join();
        CloseHandle(endEvent_);
    }
    GatewaySession(const GatewaySession&) = delete;
    GatewaySession& operator=(const GatewaySession&) = delete;

private:
    GatewaySession(std::unique_ptr<GatewaySwitch> relaySwitch, HANDLE endEvent)
        : switch_(std::move(relaySwitch)), endEvent_(endEvent) {
        thread_ = std::thread([this] {
            if (switch_->Run(wake_)) {
                SetEvent(endEvent_);
            }
        });
    }

    static bool Listen(const Endpoint& endpoint, const char* side,
                       std::unique_ptr<TcpListener>* listener, std::string* error) {
        NetStatus status = TcpListener::Listen(endpoint, listener);
        if (!status.ok()) {
            *error = std::string("no place for ") + side + ": " + status.message;
        }
        return status.ok();
    }

    std::unique_ptr<GatewaySwitch> switch_;
    HANDLE endEvent_;
    farvane::net::WakeUp wake_;
    std::thread thread_;
};

// The managers add no fields to the class the service program allocates: each one's session
// is kept here.
std::mutex gSessionsLock;
std::map<const CGatewaySvcMgr*, std::unique_ptr<GatewaySession>> gSessions;

}  // namespace

CGatewaySvcMgr::CGatewaySvcMgr(const char* sessionFile) {
    StartStandInSession("CGatewaySvcMgr", sessionFile, 0, 0, nullptr);
    std::string error;
    std::unique_ptr<GatewaySession> session = GatewaySession::Start(sessionFile, &error);
    if (!session) {
        Log(error);
        throw std::bad_alloc();
    }
    std::lock_guard guard(gSessionsLock);
    gSessions[this] = std::move(session);
}

CGatewaySvcMgr::~CGatewaySvcMgr() {
    std::unique_ptr<GatewaySession> session;
    {
        std::lock_guard guard(gSessionsLock);
        if (auto found = gSessions.find(this); found != gSessions.end()) {
            session = std::move(found->second);
            gSessions.erase(found);
        }
    }
}
