#include "suite/fvses32/gateway_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/kernel/ini_document.h"

namespace {

bool ReadSide(const farvane::kernel::IniDocument& document, const char* section,
              farvane::net::Endpoint* side, std::string* error) {
    if (auto address = document.Value(section, "Address"); address && !address->empty()) {
        // A bracketed IPv6 address, as people write it, is taken without its brackets.
        std::string host = *address;
        if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        }
        side->host = host;
    }
    if (auto port = document.Value(section, "Port"); port && !port->empty()) {
        unsigned value = 0;
        auto [end, failure] = std::from_chars(port->data(), port->data() + port->size(), value);
        if (failure != std::errc() || end != port->data() + port->size() || value > 65535) {
            *error = std::string("[") + section + "] Port=" + *port +
                     " is not a port number (0 to 65535)";
            return false;
        }
        side->port = static_cast<std::uint16_t>(value);
    }
    return true;
}

}  // namespace

bool ParseGatewayFile(std::string_view text, GatewayFile* file, std::string* error) {
    const farvane::kernel::IniDocument document = farvane::kernel::IniDocument::Parse(text);
    GatewayFile parsed;
    if (!ReadSide(document, "Hosts", &parsed.hosts, error) ||
        !ReadSide(document, "Viewers", &parsed.viewers, error)) {
        return false;
    }
    *file = parsed;
    return true;
}

bool ReadGatewayFile(const std::string& path, GatewayFile* file, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the gateway file " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    if (!ParseGatewayFile(text.str(), file, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
