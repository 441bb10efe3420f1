#include "match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace dcl {

namespace {
// A copy of 2 bytes carries only 8 bits of distance.
constexpr int kShortCopyMaxDistance = 256;

std::uint32_t Load32(const std::uint8_t* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint64_t Load64(const std::uint8_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// How many bytes from the start the two agree, up to `limit`; reads nothing past `limit`.
int CommonLength(const std::uint8_t* a, const std::uint8_t* b, int limit) {
    int length = 0;
    while (std::endian::native == std::endian::little && length + 8 <= limit) {
        const std::uint64_t difference = Load64(a + length) ^ Load64(b + length);
        if (difference != 0) {
            // In a little-endian word the first differing byte is the lowest one.
            return length + std::countr_zero(difference) / 8;
        }
        length += 8;
    }
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
}
}  // namespace

MatchFinder::MatchFinder(ImplodeReadFn read, void* param, int dictionary_size, Effort effort)
    : read_(read), param_(param), dictionary_size_(dictionary_size), effort_(effort) {
    // Links of the ring are all written before the first slide reads them (a slide comes
    // only after more than kHalf positions were entered), so only the heads start defined.
    std::fill(std::begin(head_), std::end(head_), kNone);
}

void MatchFinder::Fill() {
    while (lookahead_ < kMinLookahead && !input_ended_) {
        if (position_ >= kWindowSize - kMinLookahead) {
            Slide();
        }
        const int end = position_ + lookahead_;
        unsigned int size = static_cast<unsigned int>(kWindowSize - end);
        unsigned int got = read_(reinterpret_cast<char*>(window_ + end), &size, param_);
        if (got == 0) {
            input_ended_ = true;
        } else {
            lookahead_ +=
                static_cast<int>(std::min(got, static_cast<unsigned int>(kWindowSize - end)));
        }
    }
}

void MatchFinder::Slide() {
    std::memcpy(window_, window_ + kHalf, kHalf);
    position_ -= kHalf;
    auto rebase = [](std::uint16_t& link) {
        link = (link == kNone || link < kHalf) ? kNone : static_cast<std::uint16_t>(link - kHalf);
    };
    std::for_each(std::begin(head_), std::end(head_), rebase);
    std::for_each(std::begin(previous_), std::end(previous_), rebase);
}

void MatchFinder::Enter() {
    const int hash = Hash(window_ + position_);
    previous_[position_ & (kHalf - 1)] = head_[hash];
    head_[hash] = static_cast<std::uint16_t>(position_);
}

void MatchFinder::EnterAndSkip(int count) {
    for (; count > 0; --count) {
        if (lookahead_ >= 2) {
            Enter();
        }
        Advance(1);
    }
}

Match MatchFinder::Find(int at_least) const {
    Match best{at_least, 0};
    int candidate = previous_[position_ & (kHalf - 1)];
    const int max_length = std::min(kMaxMatch, lookahead_);
    if (best.length >= max_length) {
        return Match{0, 0};
    }
    const int oldest = position_ - dictionary_size_;
    int links = at_least >= effort_.good_length ? effort_.max_chain / 4 : effort_.max_chain;
    const std::uint8_t* here = window_ + position_;
    while (candidate != kNone && candidate >= oldest && links-- > 0) {
        const std::uint8_t* there = window_ + candidate;
        // A longer copy must agree on the byte just past the best one and the 3 before it.
        const bool may_be_longer =
            best.length >= 3 ? Load32(there + best.length - 3) == Load32(here + best.length - 3)
                             : there[best.length] == here[best.length];
        if (may_be_longer && there[0] == here[0] && there[1] == here[1]) {
            const int length = CommonLength(there, here, max_length);
            const int distance = position_ - candidate;
            if (length > best.length && (length > kMinMatch || distance <= kShortCopyMaxDistance)) {
                best = Match{length, distance};
                if (length >= effort_.nice_length || length >= max_length) {
                    break;
                }
            }
        }
        candidate = previous_[candidate & (kHalf - 1)];
    }
    return best.distance == 0 ? Match{0, 0} : best;
}

}  // namespace dcl
