// A bounded little-endian reader over bytes that came from outside. Every read checks the
// remaining length first; a read past the end sets the failed mark and yields zeros, so a
// parser can read a whole fixed-size structure and test once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace videodecode {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    bool failed() const { return failed_; }
    bool atEnd() const { return position_ == bytes_.size(); }

    // True when count more bytes can be read.
    bool has(std::size_t count) const { return count <= remaining(); }

    std::uint8_t u8() {
        if (!has(1)) {
            return fail();
        }
        return bytes_[position_++];
    }

    std::uint16_t u16() {
        if (!has(2)) {
            return fail();
        }
        std::uint16_t value =
            static_cast<std::uint16_t>(bytes_[position_] | bytes_[position_ + 1] << 8);
        position_ += 2;
        return value;
    }

    std::uint32_t u24() {
        if (!has(3)) {
            return fail();
        }
        std::uint32_t value = bytes_[position_] | bytes_[position_ + 1] << 8 |
                              static_cast<std::uint32_t>(bytes_[position_ + 2]) << 16;
        position_ += 3;
        return value;
    }

    std::uint32_t u32() {
        std::uint32_t low = u16();
        std::uint32_t high = u16();
        return low | high << 16;
    }

    // The next count bytes, or an empty span (and the failed mark) when fewer remain.
    std::span<const std::uint8_t> bytes(std::size_t count) {
        if (!has(count)) {
            fail();
            return {};
        }
        auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }

    void skip(std::size_t count) { bytes(count); }

private:
    std::uint8_t fail() {
        failed_ = true;
        position_ = bytes_.size();
        return 0;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace videodecode
