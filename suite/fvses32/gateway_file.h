// The gateway file (.gwf): where the gateway waits for hosts and where for viewers. An INI file:
//
//   [Hosts]
//   Address=127.0.0.1
//   Port=5898
//   [Viewers]
//   Address=127.0.0.1
//   Port=5897
//
// A missing address is loopback (127.0.0.1), a missing port the one above; port 0 lets the
// system choose (the gateway says which it got).
#pragma once

#include <string>
#include <string_view>

#include "platform/net/endpoint.h"

inline constexpr std::uint16_t kGatewayHostPort = 5898;
inline constexpr std::uint16_t kGatewayViewerPort = 5897;

struct GatewayFile {
    farvane::net::Endpoint hosts{"127.0.0.1", kGatewayHostPort};
    farvane::net::Endpoint viewers{"127.0.0.1", kGatewayViewerPort};
};

// Parses the file's text; false with `error` naming the section and key that are wrong.
bool ParseGatewayFile(std::string_view text, GatewayFile* file, std::string* error);
// Reads and parses the file at `path`; false with `error` when it cannot be read or is wrong.
bool ReadGatewayFile(const std::string& path, GatewayFile* file, std::string* error);
