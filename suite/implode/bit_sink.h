// Collects the bits of an implode stream, low bit of each byte first, and hands full pieces to
// the caller's write callback.
#pragma once

#include <cstdint>
#include <cstring>

#include "implode.h"

namespace dcl {

class BitSink {
public:
    BitSink(ImplodeWriteFn write, void* param) : write_(write), param_(param) {}

    // Appends the low `count` bits of `value`; count is at most 32.
    void Put(std::uint32_t value, int count) {
        bits_ |= std::uint64_t{value} << held_;
        held_ += count;
        if (held_ >= 32) {
            const std::uint32_t word = static_cast<std::uint32_t>(bits_);
            for (int i = 0; i < 4; ++i) {
                buffer_[used_ + i] = static_cast<char>(word >> (8 * i));
            }
            used_ += 4;
            bits_ >>= 32;
            held_ -= 32;
            if (used_ >= kPieceSize) {
                WritePiece();
            }
        }
    }

    // Pads the last byte with zero bits and writes everything out.
    void Finish() {
        while (held_ > 0) {
            buffer_[used_++] = static_cast<char>(bits_);
            bits_ >>= 8;
            held_ -= 8;
        }
        held_ = 0;
        WritePiece();
    }

private:
    static constexpr int kPieceSize = 2048;

    void WritePiece() {
        if (used_ == 0) {
            return;
        }
        unsigned int size = static_cast<unsigned int>(used_);
        write_(buffer_, &size, param_);
        used_ = 0;
    }

    ImplodeWriteFn write_;
    void* param_;
    std::uint64_t bits_ = 0;
    int held_ = 0;
    int used_ = 0;
    char buffer_[kPieceSize + 8];
};

}  // namespace dcl
