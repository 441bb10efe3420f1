#include "platform/net/net_status.h"

#include <cstring>

namespace farvane::net {

NetStatus SystemFailure(NetCode code, const std::string& what, int error) {
    return NetStatus{code, what + ": " + std::strerror(error)};
}

}  // namespace farvane::net
