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
    if (!file.settings.gateway.empty()) {
        // Calling through a gateway needs the gateway's preface before TLS starts; until this
        // build has it, such a file is refused rather than called directly.
        config.failure = std::string(path) + ": [Host] Gateway=" + file.settings.gateway +
                         ": calling a host through a gateway is not supported by this build";
        return config;
    }
    config.hostName = file.host.ToString();
    config.pinnedFingerprint = file.settings.fingerprint;
    config.passwordFile = file.settings.passwordFile;
    config.hello =
        ViewerHello{kViewerProtocolVersion, file.view.capabilities, 0, file.view.reducedMode};
    config.viewOnly = file.view.viewOnly || lSwitch != 0;
    config.fitToWindow = file.view.fitToWindow;
    const net::Endpoint host = file.host;
    const std::uint16_t capabilities = file.view.capabilities;
    config.connect = [host, capabilities](const net::WakeUp& cancel,
                                          std::unique_ptr<ViewerLink>* link, std::string*) {
        return ViewerLink::Call(host, &cancel, kCallTimeoutMs, 0,
                                videodecode::DecoderOptions{capabilities}, link);
    };
    return config;
}

}  // namespace farvane::viewer
