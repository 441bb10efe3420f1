#include "options.h"

#include <charconv>
#include <cstdlib>

#include "session/gateway_preface.h"

namespace fvview {

const char* const kUsage =
    "usage: fvview ADDR:PORT [OPTIONS]\n"
    "Connects to a host, shows nothing, and reports what it received: for scripts and tests.\n"
    "\n"
    "  --password-file FILE  the password (first line); else it is asked at the terminal\n"
    "  --trust-new           pin the host's key if this host is not known yet, without asking\n"
    "  --known-hosts FILE    the pinned host keys (default: known_hosts in the state folder)\n"
    "  --cap WORD            the capability word to announce (default 0x0010)\n"
    "  --reduced MODE        the reduced colour mode to ask for (default 0)\n"
    "  --png FILE            write the picture as a PNG file at the end\n"
    "  --passes N            end after N passes of the host over its screen\n"
    "  --seconds S           end after S seconds\n"
    "  --type TEXT           type TEXT on the host after the first pass (\\n is Return)\n"
    "  --click X,Y           click the left button at X,Y after the first pass (before typing)\n"
    "  --stats               print what was received: bytes, frames, passes, times\n"
    "  --read-rate BYTES     read at most BYTES a second, as over a slow link\n"
    "  --gateway-name NAME   ADDR:PORT is a gateway's port for viewers: ask it for the host\n"
    "                        registered as NAME (its key is pinned as NAME@ADDR:PORT)\n"
    "  --help                this text\n"
    "\n"
    "Without --passes and --seconds: one pass when --png is given, else until the host ends.\n"
    "A pass that finds nothing changed sends nothing, so on a still screen --passes waits;\n"
    "give --seconds as well to bound the wait.\n";

namespace {

template <typename Number>
bool ParseNumber(const std::string& text, Number max, Number* value) {
    unsigned long long parsed = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        parsed > static_cast<unsigned long long>(max)) {
        return false;
    }
    *value = static_cast<Number>(parsed);
    return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    bool haveHost = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& name = arguments[at];
        std::string value;
        auto take = [&] {
            if (at + 1 >= arguments.size()) {
                error = name + " needs a value";
                return false;
            }
            value = arguments[++at];
            return true;
        };
        auto bad = [&](const char* what) {
            error = name + " " + value + ": " + what;
            return std::nullopt;
        };
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--trust-new") {
            options.trustNew = true;
        } else if (name == "--stats") {
            options.stats = true;
        } else if (name == "--password-file" || name == "--known-hosts" || name == "--png" ||
                   name == "--type") {
            if (!take()) {
                return std::nullopt;
            }
            std::string* into = name == "--password-file" ? &options.passwordFile
                                : name == "--known-hosts" ? &options.knownHosts
                                : name == "--png"         ? &options.png
                                                          : &options.type;
            *into = value;
        } else if (name == "--gateway-name") {
            if (!take() || !IsGatewayName(value)) {
                return error.empty() ? bad("must be 1 to 63 letters, digits, '.', '_' or '-'")
                                     : std::nullopt;
            }
            options.gatewayName = value;
        } else if (name == "--cap") {
            if (!take() || !ParseNumber<std::uint16_t>(value, 0xFFFF, &options.capabilities)) {
                return error.empty() ? bad("must be a 16-bit number") : std::nullopt;
            }
        } else if (name == "--reduced") {
            if (!take() || !ParseNumber<std::uint8_t>(value, 0xFF, &options.reducedMode)) {
                return error.empty() ? bad("must be a number from 0 to 255") : std::nullopt;
            }
        } else if (name == "--passes") {
            unsigned passes = 0;
            if (!take() || !ParseNumber<unsigned>(value, 1000000, &passes) || passes == 0) {
                return error.empty() ? bad("must be a number from 1 up") : std::nullopt;
            }
            options.passes = passes;
        } else if (name == "--read-rate") {
            unsigned rate = 0;
            if (!take() || !ParseNumber<unsigned>(value, 1u << 30, &rate) || rate < 1024) {
                return error.empty() ? bad("must be a number of bytes from 1024 up") : std::nullopt;
            }
            options.readRate = rate;
        } else if (name == "--seconds") {
            if (!take()) {
                return std::nullopt;
            }
            char* end = nullptr;
            double seconds = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !(seconds > 0) || seconds > 86400) {
                return bad("must be a number of seconds above 0");
            }
            options.seconds = seconds;
        } else if (name == "--click") {
            if (!take()) {
                return std::nullopt;
            }
            std::size_t comma = value.find(',');
            std::uint16_t x = 0;
            std::uint16_t y = 0;
            if (comma == std::string::npos ||
                !ParseNumber<std::uint16_t>(value.substr(0, comma), 0xFFFF, &x) ||
                !ParseNumber<std::uint16_t>(value.substr(comma + 1), 0xFFFF, &y)) {
                return bad("must be X,Y");
            }
            options.click = std::make_pair(x, y);
        } else if (!name.empty() && name[0] == '-') {
            error = "unknown option " + name;
            return std::nullopt;
        } else if (haveHost) {
            error = "only one host, please (" + name + ")";
            return std::nullopt;
        } else {
            farvane::net::NetStatus status = farvane::net::ParseEndpoint(name, &options.host);
            if (!status.ok() || options.host.port == 0) {
                error = status.ok() ? "the host's port must not be 0" : status.message;
                return std::nullopt;
            }
            options.hostText = name;
            haveHost = true;
        }
    }
    if (!haveHost && !options.help) {
        error = "which host? (ADDR:PORT)";
        return std::nullopt;
    }
    if (!options.gatewayName.empty()) {
        options.hostText = options.gatewayName + "@" + options.hostText;
    }
    return options;
}

}  // namespace fvview
