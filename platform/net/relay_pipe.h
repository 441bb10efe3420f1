// One direction of a relay between two connected sockets: bytes read from one are written to
// the other as they are, never looked at. The owner polls both sockets for what the pipe asks
// (readable source while the buffer has room, writable destination while it holds bytes), and
// a full buffer stops the reading, so a slow reader slows the writer down instead of filling
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace farvane::net {

class RelayPipe {
public:
    enum class State {
        kOpen,    // bytes may still come
        kEnded,   // the source ended in order; what is buffered still goes out
        kBroken,  // a read or a write failed: the relay is over
    };
    // Sees every byte relayed, in order (a test's tap).
    using Tap = std::function<void(std::span<const std::uint8_t>)>;

    RelayPipe(int from, int to, std::size_t capacity, Tap tap = {})
        : from_(from), to_(to), buffer_(capacity), tap_(std::move(tap)) {}

    bool WantsRead() const { return state_ == State::kOpen && end_ < buffer_.size(); }
    bool WantsWrite() const { return state_ != State::kBroken && start_ < end_; }
    // Nothing more will pass: the source ended and everything went out, or it broke.
    bool Done() const {
        return state_ == State::kBroken || (state_ == State::kEnded && !WantsWrite());
    }
    State state() const { return state_; }

    // Call when poll reported the source readable (or in error); reads what fits.
    void OnReadable();
    // Call when poll reported the destination writable (or in error); writes what it takes.
    void OnWritable();

private:
    int from_;
    int to_;
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0;  // first byte not yet written
    std::size_t end_ = 0;    // one past the last byte read
    State state_ = State::kOpen;
    Tap tap_;
};

}  // namespace farvane::net
