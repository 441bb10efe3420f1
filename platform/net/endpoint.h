// Network addresses as people write them: "HOST:PORT", "[IPv6]:PORT".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/net/net_status.h"

namespace farvane::net {

struct Endpoint {
    std::string host;  // a name, an IPv4 address or an IPv6 address without brackets
    std::uint16_t port = 0;

    // "host:port", with brackets around an IPv6 address.
    std::string ToString() const;
};

// Parses "HOST:PORT" or "[IPv6]:PORT"; the port is decimal, 0 to 65535 (0 lets a listener's
// system choose). kBadAddress with a message naming the text on failure.
NetStatus ParseEndpoint(std::string_view text, Endpoint* endpoint);

// The text form of a socket address (from accept or getpeername), without the port.
std::string AddressText(const void* sockaddr, unsigned length);

}  // namespace farvane::net
