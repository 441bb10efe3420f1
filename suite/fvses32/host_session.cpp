#include "suite/fvses32/host_session.h"

#include "suite/fvses32/session_window.h"

std::unique_ptr<CHostSession> CHostSession::Create(const HostSessionConfig& config,
                                                   std::string* error) {
    std::unique_ptr<PilotLibrary> pilot =
        PilotLibrary::Load(config.pilotLibraryPath, FV_HOST_PILOT_ACTION_FUNC, error);
    if (!pilot) {
        return nullptr;
    }
    std::unique_ptr<CHostSession> host(new CHostSession());
    host->pilot_ = std::move(pilot);
    host->manager_.SetNTService(config.ntService);
    host->beHost_.Options() = config.options;
    host->beHost_.SetHostText(config.hostText.c_str());
    host->host_.BeHost() = &host->beHost_;
    host->companion_.Session = &host->session_;
    if (config.window != nullptr) {
        host->session_.m_hWnd = config.window;
    } else {
        host->session_.m_hWnd = CreateSessionWindow(config.hostText.c_str());
        host->ownsWindow_ = host->session_.m_hWnd != nullptr;
    }
    host->session_.m_pService = &host->host_;
    host->core_ = std::make_unique<CSessionCore>(&host->session_);
    host->session_.m_pCore = host->core_.get();
    host->core_->SetProcessor(PROC_HOSTPILOT, host->pilot_->ActionFunc());
    return host;
}

CHostSession::~CHostSession() {
    if (core_) {
        core_->Stop();
    }
    session_.m_pCore = nullptr;
    core_.reset();
    // After the dispatch thread stopped: nothing posts to the window any more.
    if (ownsWindow_) {
        DestroySessionWindow(session_.m_hWnd);
        session_.m_hWnd = nullptr;
    }
}

int CHostSession::Start(int callOut) {
    CAction start(PROC_HOSTPILOT, PROC_SESSION, 3, 0);
    start.SetLParam(callOut);
    return core_->PushFlow(start);
}
