// A set of states of a compiled regular expression (at most COMPILED_PATTERN_SIZE of them),
// as bits, with the few operations the matcher's steps need. Every operation takes the number
// of words in use, so that a short pattern costs one word per operation.
#pragma once

#include <cstdint>

struct StateSet {
    static constexpr int kWords = 4;
    std::uint64_t word[kWords];

    void Clear() {
        for (auto& w : word) {
            w = 0;
        }
    }
    void Set(int bit) { word[bit >> 6] |= std::uint64_t{1} << (bit & 63); }
    bool Has(int bit) const { return (word[bit >> 6] >> (bit & 63)) & 1u; }
    bool Empty(int words) const {
        std::uint64_t any = 0;
        for (int i = 0; i < words; ++i) {
            any |= word[i];
        }
        return any == 0;
    }
};

// (set << 1) & mask | set & other: a step where bits move up by one where mask allows and stay
// where other allows.
inline StateSet MoveOrStay(const StateSet& set, const StateSet& mask, const StateSet& other,
                           int words) {
    StateSet out;
    std::uint64_t carry = 0;
    for (int i = 0; i < words; ++i) {
        std::uint64_t w = set.word[i];
        out.word[i] = (((w << 1) | carry) & mask.word[i]) | (w & other.word[i]);
        carry = w >> 63;
    }
    for (int i = words; i < StateSet::kWords; ++i) {
        out.word[i] = 0;
    }
    return out;
}

// Adds to set every bit reached from one of its bits through bits of steps, each of which
// passes its state on to the next: within a run of steps, adding the set's bits in the run
// to the run carries out of it and the exclusive or with the run marks every bit that the
// carry passed.
inline void FollowSteps(StateSet& set, const StateSet& steps, int words) {
    std::uint64_t carry = 0;
    for (int i = 0; i < words; ++i) {
        std::uint64_t run = steps.word[i];
        std::uint64_t sum = run + (set.word[i] & run);
        std::uint64_t carried = sum < run ? 1u : 0u;
        std::uint64_t total = sum + carry;
        carried |= total < sum ? 1u : 0u;
        set.word[i] |= total ^ run;
        carry = carried;
    }
}
