#include "platform/net/endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <charconv>

namespace farvane::net {

namespace {

NetStatus Bad(std::string_view text, const char* why) {
    return NetStatus{NetCode::kBadAddress,
                     "bad address \"" + std::string(text) + "\": " + why + " (use HOST:PORT)"};
}

}  // namespace

std::string Endpoint::ToString() const {
    bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

NetStatus ParseEndpoint(std::string_view text, Endpoint* endpoint) {
    std::string_view host;
    std::string_view port;
    if (!text.empty() && text.front() == '[') {
        std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
            return Bad(text, "an IPv6 address needs the form [ADDRESS]:PORT");
        }
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos) {
            return Bad(text, "no port");
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) {
            return Bad(text, "an IPv6 address must be written in brackets");
        }
    }
    if (host.empty()) {
        return Bad(text, "no host");
    }
    unsigned value = 0;
    auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || value > 65535) {
        return Bad(text, "the port must be a number from 0 to 65535");
    }
    endpoint->host = std::string(host);
    endpoint->port = static_cast<std::uint16_t>(value);
    return NetStatus::Ok();
}

std::string AddressText(const void* address, unsigned length) {
    char text[INET6_ADDRSTRLEN] = {};
    const auto* generic = static_cast<const sockaddr*>(address);
    if (generic->sa_family == AF_INET && length >= sizeof(sockaddr_in)) {
        inet_ntop(AF_INET, &static_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (generic->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6)) {
        const auto* v6 = static_cast<const sockaddr_in6*>(address);
        // An IPv4 caller of a dual-stack socket is shown as the IPv4 address it is.
        if (IN6_IS_ADDR_V4MAPPED(&v6->sin6_addr)) {
            inet_ntop(AF_INET, &v6->sin6_addr.s6_addr[12], text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        }
    } else {
        return "unknown";
    }
    return text;
}

}  // namespace farvane::net
