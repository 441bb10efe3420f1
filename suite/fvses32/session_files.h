// The session files of the viewer managers, small INI files:
//
// A callhost file (.chf) names the host to call:
//     [Host]
//     Address=127.0.0.1        ; a name, an IPv4 or an IPv6 address
//     Port=5899
//     Fingerprint=             ; the host key's pinned fingerprint; empty: known_hosts, asking
//     PasswordFile=            ; optional (relative to the file's folder); else a dialog asks
//     Gateway=                 ; optional: the host's name at the gateway that Address and
//                              ; Port then name (its port for viewers)
//     [View]
//     Capabilities=0x0011
//     ReducedColour=0
//     ViewOnly=0
//     Scale=fit                ; or 1:1
//
// An OnlSvc file names where to wait for a host that calls out; its [Host] keys (all
// optional) and [View] keys are those of a callhost file:
//     [Listen]
//     Address=127.0.0.1
//     Port=5900                ; 0: the system chooses (the program says which)
//
// A ';' after a blank starts a comment to the end of the line.
#pragma once

#include <cstdint>
#include <string>

#include "platform/net/endpoint.h"

namespace farvane::viewer {

struct ViewSettings {
    std::uint16_t capabilities = 0x0011;  // deflate and a 4 KB bitmap cache
    std::uint8_t reducedMode = 0;
    bool viewOnly = false;
    bool fitToWindow = true;
};

struct HostSettings {
    std::string fingerprint;   // empty: the known-hosts file decides, asking for a new host
    std::string passwordFile;  // absolute; empty: ask
    std::string gateway;       // the host's name at a gateway; empty: call directly
};

struct CallhostFile {
    net::Endpoint host;
    HostSettings settings;
    ViewSettings view;
};

struct OnlineServiceFile {
    net::Endpoint listen;
    HostSettings settings;
    ViewSettings view;
};

inline constexpr std::uint16_t kDefaultHostPort = 5899;

// Reads and checks the file; false with `error` naming the file, the key and what is wrong.
bool ReadCallhostFile(const std::string& path, CallhostFile* file, std::string* error);
bool ReadOnlineServiceFile(const std::string& path, OnlineServiceFile* file, std::string* error);

}  // namespace farvane::viewer
