#include "options.h"

#include "session/gateway_preface.h"

namespace fvhost {

const char* const kUsage =
    "usage: fvhost [OPTIONS]\n"
    "Runs a host: waits for a viewer (or calls one), admits it by password, and lets it see\n"
    "and work this computer's X display.\n"
    "\n"
    "  --display NAME        the X display to show (default: $DISPLAY)\n"
    "  --listen ADDR:PORT    where to wait for viewers (default 127.0.0.1:5899; [::1]:PORT\n"
    "                        for IPv6). Only loopback unless you say otherwise.\n"
    "  --call ADDR:PORT      call a waiting viewer instead of listening\n"
    "  --gateway-name NAME   with --call: ADDR:PORT is a gateway; register there as NAME and\n"
    "                        wait for a viewer that asks for NAME (only NAME travels in the\n"
    "                        clear; the session is TLS from here to the viewer)\n"
    "  --password-file FILE  the password for this run, in plain text (first line)\n"
    "  --set-password        store the password's hash in the host's options file (read\n"
    "                        from the terminal, or from standard input) and stop\n"
    "  --view-only           the viewer sees the display but cannot type or click\n"
    "  --once                end after the first session\n"
    "  --demo                show a memory display with moving content instead of X\n"
    "  --help                this text\n"
    "\n"
    "The host key and the options file live in $FARVANE_STATE_DIR, else\n"
    "$XDG_STATE_HOME/farvane, else ~/.local/state/farvane.\n";

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& name = arguments[at];
        auto value = [&](std::string* into) {
            if (at + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            *into = arguments[++at];
            return true;
        };
        auto endpoint = [&](farvane::net::Endpoint* into) {
            std::string text;
            if (!value(&text)) {
                return false;
            }
            farvane::net::NetStatus status = farvane::net::ParseEndpoint(text, into);
            error = status.message;
            return status.ok();
        };
        if (name == "--display") {
            if (!value(&options.display)) {
                return std::nullopt;
            }
        } else if (name == "--listen") {
            if (!endpoint(&options.listen)) {
                return std::nullopt;
            }
        } else if (name == "--call") {
            farvane::net::Endpoint call;
            if (!endpoint(&call)) {
                return std::nullopt;
            }
            if (call.port == 0) {
                error = "--call needs a port other than 0";
                return std::nullopt;
            }
            options.call = call;
        } else if (name == "--gateway-name") {
            if (!value(&options.gatewayName)) {
                return std::nullopt;
            }
            if (!IsGatewayName(options.gatewayName)) {
                error = "--gateway-name " + options.gatewayName +
                        ": 1 to 63 letters, digits, '.', '_' or '-'";
                return std::nullopt;
            }
        } else if (name == "--password-file") {
            if (!value(&options.passwordFile)) {
                return std::nullopt;
            }
        } else if (name == "--set-password") {
            options.setPassword = true;
        } else if (name == "--view-only") {
            options.viewOnly = true;
        } else if (name == "--once") {
            options.once = true;
        } else if (name == "--demo") {
            options.demo = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (options.demo && !options.display.empty()) {
        error = "--demo and --display exclude each other";
        return std::nullopt;
    }
    if (!options.gatewayName.empty() && !options.call) {
        error = "--gateway-name needs --call ADDR:PORT (the gateway's port for hosts)";
        return std::nullopt;
    }
    return options;
}

}  // namespace fvhost
