// Results of the network layer: a code that callers act on and a text for people.
#pragma once

#include <string>

namespace farvane::net {

enum class NetCode {
    kOk,
    kCancelled,     // the wake-up was signalled or the connection was shut down
    kTimedOut,      // nothing happened within the time given
    kClosed,        // the peer ended the connection in order
    kBadAddress,    // the address cannot be parsed or resolved
    kAddressInUse,  // another socket holds the port
    kUnreachable,   // the peer refused, could not be reached, or the network is down
    kTlsFailed,     // the TLS handshake or a TLS record failed
    kIoFailed,      // any other failure of a system call
};

struct NetStatus {
    NetCode code = NetCode::kOk;
    std::string message;

    bool ok() const { return code == NetCode::kOk; }
    static NetStatus Ok() { return {}; }
};

// A status for `code` whose message is `what` followed by the text of errno `error`.
NetStatus SystemFailure(NetCode code, const std::string& what, int error);

}  // namespace farvane::net
