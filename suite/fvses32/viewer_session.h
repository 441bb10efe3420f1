// One viewer session of a service manager, on a thread of its own: make the connection (call
// the host, or wait for one that calls out), check the host's key (a new key is shown to the
// person to accept, a changed one is refused naming both), be admitted (the password from a
// file or a dialog), then show the host in the viewer window until the window is closed or the
// host hangs up. Then the session signals its end event, which ends the program.
//
// Whatever ends the session early (a bad session file, no answer, a refusal) is shown in a
// message box first. Only the UI thread shows windows: the session's thread asks it with
// posted tasks and waits for their answers, always ready to be cancelled.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/net/wake_up.h"
#include "session/viewer_wire.h"
#include "suite/fvses32/viewer_link.h"

namespace farvane::viewer {

struct ViewerSessionConfig {
    std::string programTitle;  // the caption of the session's boxes and of its window
    std::string endEventName;  // signalled when the session is over
    // When set, the session only shows this and ends (a session file that cannot be used).
    std::string failure;
    std::string hostName;           // the host in texts and in the known-hosts file
    std::string pinnedFingerprint;  // empty: the known-hosts file decides
    std::string knownHostsFile;     // empty: the user's
    std::string passwordFile;       // empty: a dialog asks
    ViewerHello hello;
    bool viewOnly = false;
    bool fitToWindow = true;
    // Makes the connection; may rename the host (a host that called out names itself by its
    // address). Must end early with kCancelled when `cancel` is signalled.
    std::function<net::NetStatus(const net::WakeUp& cancel, std::unique_ptr<ViewerLink>* link,
                                 std::string* hostName)>
        connect;
};

class CViewerSession {
public:
    // Opens the end event and starts the session's thread; throws std::bad_alloc when either
    // cannot be had, as the service program expects of a manager that cannot be made.
    explicit CViewerSession(ViewerSessionConfig config);
    // Stops the session (its thread, its connection, its window) without signalling the end:
    // the program that destroys its manager ends the session itself.
    ~CViewerSession();
    CViewerSession(const CViewerSession&) = delete;
    CViewerSession& operator=(const CViewerSession&) = delete;

    struct Shared;

private:
    void Run();
    bool Connect(std::shared_ptr<ViewerLink>* link);
    bool TrustHost(ViewerLink& link);
    bool Password(std::string* password);
    void Show();

    ViewerSessionConfig config_;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace farvane::viewer
