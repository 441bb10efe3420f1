// The remote control manager's session: the host that a callhost file names, called directly.
#include <string>

#include "session/session_end_event.h"
#include "suite/fvses32/session_files.h"
#include "suite/fvses32/viewer_managers.h"

namespace farvane::viewer {

namespace {

constexpr int kCallTimeoutMs = 10000;

}  // namespace

ViewerSessionConfig RemoteSessionConfig(const char* path, int /*xSwitch*/, int lSwitch,
                                        const char* /*xText*/) {
    ViewerSessionConfig config;
    config.programTitle = "fvrem32";
    config.endEventName = SessionEndEventName(path ? path : "");
    CallhostFile file;
    if (!path || !ReadCallhostFile(path, &file, &config.failure)) {
        if (config.failure.empty()) {
            config.failure = "No callhost file was given";
        }
        return config;
    }
    // Through a gateway, Address and Port are the gateway's port for viewers, and the host is
    // known by its name there.
    const std::string gateway = file.settings.gateway;
    config.hostName = (gateway.empty() ? "" : gateway + "@") + file.host.ToString();
    config.pinnedFingerprint = file.settings.fingerprint;
    config.passwordFile = file.settings.passwordFile;
    config.hello =
        ViewerHello{kViewerProtocolVersion, file.view.capabilities, 0, file.view.reducedMode};
    config.viewOnly = file.view.viewOnly || lSwitch != 0;
    config.fitToWindow = file.view.fitToWindow;
    const net::Endpoint host = file.host;
    const std::uint16_t capabilities = file.view.capabilities;
    config.connect = [host, gateway, capabilities](const net::WakeUp& cancel,
                                                   std::unique_ptr<ViewerLink>* link,
                                                   std::string*) {
        return ViewerLink::Call(host, gateway, &cancel, kCallTimeoutMs, 0,
                                videodecode::DecoderOptions{capabilities}, link);
    };
    return config;
}

}  // namespace farvane::viewer
