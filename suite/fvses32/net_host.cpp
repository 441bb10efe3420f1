#include "suite/fvses32/net_host.h"

namespace {

constexpr std::int32_t kActQuit = 9;  // the host pilot's "end the host"
constexpr DWORD kQuitWaitMs = 10000;

}  // namespace

std::unique_ptr<CNetHost> CNetHost::Create(NetHostConfig config, std::string* error) {
    std::unique_ptr<CNetHost> made(new CNetHost());
    const bool listens = !config.link.call.has_value();
    made->link_ = std::make_unique<CNetLink>(std::move(config.link));
    if (farvane::net::NetStatus status = made->link_->Prepare(listens); !status.ok()) {
        *error = status.message;
        return nullptr;
    }
    made->host_ = CHostSession::Create(config.host, error);
    if (!made->host_) {
        return nullptr;
    }
    CSessionCore* core = made->host_->Core();
    made->connect_ = std::make_unique<NetConnectStage>(core, made->link_.get());
    made->admit_ =
        std::make_unique<NetAdmitStage>(core, made->link_.get(), std::move(config.admission));
    made->session_ =
        std::make_unique<NetHostSessionStage>(core, made->link_.get(), std::move(config.session));
    core->SetProcessor(PROC_CONNECT, made->connect_.get());
    core->SetProcessor(PROC_ADMIT, made->admit_.get());
    core->SetProcessor(PROC_HOSTSESSION, made->session_.get());
    return made;
}

CNetHost::~CNetHost() {
    // The stages' threads end first: a session stage that is ending still writes the CB block,
    // which the host pilot's tear-down frees. Their late results are ignored once closed.
    for (WorkerStage* stage :
         {static_cast<WorkerStage*>(connect_.get()), static_cast<WorkerStage*>(admit_.get()),
          static_cast<WorkerStage*>(session_.get())}) {
        if (stage) {
            stage->Close();
        }
    }
    // A host still running is ended the way the host pilot ends one, so that its tear-down
    // frees what its start-up allocated; then the dispatch thread stops.
    if (host_ && !host_->IsOver()) {
        Quit();
        host_->WaitOver(kQuitWaitMs);
    }
    if (host_) {
        host_->Core()->Stop();
    }
    session_.reset();
    admit_.reset();
    connect_.reset();
    if (link_) {
        link_->Release();
    }
    host_.reset();
}

void CNetHost::Quit() {
    host_->Session()->SetAction(PROC_HOSTPILOT, PROC_HOSTPILOT, kActQuit, 0);
}
