// A host session as the session library runs one: the host service manager, the CHost service
// with its companion and host object, the session with its dispatch thread, and the host pilot
// loaded from its shared library. The connection, admission and host session stages are
// pluggable processors.
#pragma once

#include <memory>
#include <string>

#include "session/be_host.h"
#include "session/fv_session.h"
#include "session/service_kinds.h"
#include "session/svc_mgr.h"
#include "suite/fvses32/pilot_library.h"
#include "suite/fvses32/session_core.h"

struct HostSessionConfig {
    std::string pilotLibraryPath;  // empty: the default library name (see pilot_library.h)
    // The session window. Null: the session makes its own (session_window.h) when a UI
    // backend runs and this is the UI thread, and destroys it with the session.
    HWND window = nullptr;
    int ntService = 0;  // the manager's NTService()
    HOST_OPTIONS options;
    std::string hostText;
};

class CHostSession {
public:
    // Builds the session and loads the host pilot. Null with `error` set when the library or
    // its action function cannot be found.
    static std::unique_ptr<CHostSession> Create(const HostSessionConfig& config,
                                                std::string* error);
    // Stops the dispatch thread, then frees the session, the service and the library. Must
    // not run on the dispatch thread.
    ~CHostSession();
    CHostSession(const CHostSession&) = delete;
    CHostSession& operator=(const CHostSession&) = delete;

    CFVSession* Session() { return &session_; }
    CSessionCore* Core() { return core_.get(); }
    CHost* Host() { return &host_; }
    CHostSvcMgr* Manager() { return &manager_; }
    const PilotLibrary& Pilot() const { return *pilot_; }

    // Gives the flow to the host pilot with ACT_START; `callOut` becomes its LParam.
    int Start(int callOut);
    bool IsOver() const { return core_->IsOver(); }
    bool WaitOver(DWORD milliseconds) { return core_->WaitOver(milliseconds); }

private:
    CHostSession() = default;

    CHostSvcMgr manager_;
    CBeHost beHost_;
    CHostCompanion companion_;
    CHost host_{&manager_, &companion_};
    CFVSession session_;
    std::unique_ptr<PilotLibrary> pilot_;
    std::unique_ptr<CSessionCore> core_;
    bool ownsWindow_ = false;
};
