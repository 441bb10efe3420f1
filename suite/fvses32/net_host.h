// A host over the network as the suite's main program runs one: the host session (service,
// session, host pilot from its shared library) with the connection, admission and host
// session stages on one network link. Start gives the flow to the host pilot with ACT_START.
#pragma once

#include <memory>
#include <string>

#include "suite/fvses32/host_session.h"
#include "suite/fvses32/net_link.h"
#include "suite/fvses32/net_stages.h"

struct NetHostConfig {
    HostSessionConfig host;
    NetLinkConfig link;
    AdmissionConfig admission;
    NetSessionConfig session;
};

class CNetHost {
public:
    // Builds the host and readies the link: the host identity, and the listener unless the host
    // only calls out. Null with `error` set when the pilot library cannot be loaded or the
    // link cannot be readied (port in use, bad address, unreadable key).
    static std::unique_ptr<CNetHost> Create(NetHostConfig config, std::string* error);
    // Ends the host if it still runs (ACT_QUIT, waiting for the host pilot's tear-down), then
    // stops the stages and the session.
    ~CNetHost();
    CNetHost(const CNetHost&) = delete;
    CNetHost& operator=(const CNetHost&) = delete;

    // ACT_START for the host pilot; `callOut` non-zero asks it to call out.
    int Start(int callOut) { return host_->Start(callOut); }
    // Asks the host pilot to end the host (ACT_QUIT); the session is over once it did.
    void Quit();
    bool WaitOver(DWORD milliseconds) { return host_->WaitOver(milliseconds); }
    bool IsOver() const { return host_->IsOver(); }

    std::uint16_t ListeningPort() const { return link_->ListeningPort(); }
    const std::string& Fingerprint() const { return link_->Fingerprint(); }
    CHostSession* Host() { return host_.get(); }

private:
    CNetHost() = default;

    std::unique_ptr<CHostSession> host_;
    std::unique_ptr<CNetLink> link_;
    std::unique_ptr<NetConnectStage> connect_;
    std::unique_ptr<NetAdmitStage> admit_;
    std::unique_ptr<NetHostSessionStage> session_;
};
