#include "platform/net/relay_pipe.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace farvane::net {

void RelayPipe::OnReadable() {
    if (!WantsRead()) {
        return;
    }
    ssize_t got = recv(from_, buffer_.data() + end_, buffer_.size() - end_, 0);
    if (got > 0) {
        if (tap_) {
            tap_(std::span<const std::uint8_t>(buffer_.data() + end_,
                                               static_cast<std::size_t>(got)));
        }
        end_ += static_cast<std::size_t>(got);
    } else if (got == 0) {
        state_ = State::kEnded;
    } else if (errno != EAGAIN && errno != EINTR) {
        state_ = State::kBroken;
    }
}

void RelayPipe::OnWritable() {
    if (!WantsWrite()) {
        return;
    }
    ssize_t sent = send(to_, buffer_.data() + start_, end_ - start_, MSG_NOSIGNAL);
    if (sent > 0) {
        start_ += static_cast<std::size_t>(sent);
        if (start_ == end_) {
            start_ = end_ = 0;
        } else if (start_ >= buffer_.size() / 2) {
            // Room for the next read, instead of waiting until the slow side took it all.
            std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
            end_ -= start_;
            start_ = 0;
        }
    } else if (sent < 0 && errno != EAGAIN && errno != EINTR) {
        state_ = State::kBroken;
    }
}

}  // namespace farvane::net
