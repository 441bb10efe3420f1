// The calling side's pinned host fingerprints: a text file of lines "NAME FINGERPRINT", NAME
// being the host as the user wrote it ("host:port"). Lines starting with '#' and blank lines
// are kept as they are.
#pragma once

#include <string>

#include "platform/net/net_status.h"

namespace farvane::net {

inline constexpr const char* kKnownHostsFileName = "known_hosts";

enum class HostTrust {
    kKnown,    // the fingerprint is the one pinned for this name
    kUnknown,  // no fingerprint is pinned for this name
    kChanged,  // another fingerprint is pinned: refuse
};

// Looks `name` up in the file at `path` (a missing file knows no host). `pinned` receives the
// stored fingerprint when there is one. kIoFailed when the file exists but cannot be read.
NetStatus CheckKnownHost(const std::string& path, const std::string& name,
                         const std::string& fingerprint, HostTrust* trust, std::string* pinned);

// Adds (or replaces) the line for `name`, rewriting the file whole so that it is never left
// half written.
NetStatus PinKnownHost(const std::string& path, const std::string& name,
                       const std::string& fingerprint);

// The refusal for a changed fingerprint, naming both.
std::string ChangedHostMessage(const std::string& path, const std::string& name,
                               const std::string& pinned, const std::string& offered);

}  // namespace farvane::net
