// The compressor's sliding window and its hash chains of byte pairs, which find the longest
// earlier copy of the data at the current position within the dictionary.
#pragma once

#include <cstdint>

#include "dcl_codes.h"
#include "implode.h"

namespace dcl {

struct Match {
    int length;    // 0 or 1 when there is none
    int distance;  // 1 for the byte just before
};

class MatchFinder {
public:
    // How hard the search tries: chain links followed per search, a length that ends the search
    // at once, and the length above which a search follows only a quarter of the links.
    struct Effort {
        int max_chain;
        int nice_length;
        int good_length;
    };

    MatchFinder(ImplodeReadFn read, void* param, int dictionary_size, Effort effort);

    // Reads input until a whole longest copy is ahead of the position, or the input has ended.
    void Fill();

    int lookahead() const { return lookahead_; }
    std::uint8_t ByteAt(int offset) const { return window_[position_ + offset]; }

    // Enters the position into the chains. Needs 2 bytes ahead; once per position.
    void Enter();
    // Finds the longest copy for the position given to Enter() that is longer than `at_least`
    // bytes (a copy of 2 bytes only within 256 bytes back); length 0 when there is none.
    Match Find(int at_least) const;
    // Moves on by one byte (the position was entered or has fewer than 2 bytes ahead).
    void Skip() { Advance(1); }
    // Moves on by `count` bytes, entering each position passed into the chains.
    void EnterAndSkip(int count);

private:
    static constexpr int kHalf = 8192;  // the window slides by this much
    static constexpr int kWindowSize = 2 * kHalf;
    static constexpr int kMinLookahead = kMaxMatch + 2;
    static constexpr int kHashBits = 13;
    static constexpr std::uint16_t kNone = 0xFFFF;

    static int Hash(const std::uint8_t* at) {
        return ((at[0] << 5) ^ at[1]) & ((1 << kHashBits) - 1);
    }
    void Advance(int count) {
        position_ += count;
        lookahead_ -= count;
    }
    void Slide();

    ImplodeReadFn read_;
    void* param_;
    int dictionary_size_;
    Effort effort_;
    bool input_ended_ = false;
    int position_ = 0;
    int lookahead_ = 0;

    std::uint16_t head_[1 << kHashBits];
    std::uint16_t previous_[kHalf];  // indexed by position modulo kHalf
    std::uint8_t window_[kWindowSize];
};

}  // namespace dcl
