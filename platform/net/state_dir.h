// The per-user state folder where the host keeps its key and certificate and the viewer its
// known hosts: $FARVANE_STATE_DIR if set, else $XDG_STATE_HOME/farvane, else
// ~/.local/state/farvane. Created with mode 0700 when missing.
#pragma once

#include <string>

#include "platform/net/net_status.h"

namespace farvane::net {

// The folder's path without a trailing slash; kIoFailed when it cannot be had.
NetStatus UserStateDirectory(std::string* path);

// Writes `contents` to `path` through a temporary file in the same folder and a rename, so a
// reader sees the old file or the new one, never a part. The file gets `mode`.
NetStatus ReplaceFile(const std::string& path, const std::string& contents, unsigned mode);

}  // namespace farvane::net
