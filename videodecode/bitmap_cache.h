// The remote bitmap cache: the host stores cell bitmaps at byte offsets of a cache it sized
// from this side's capability word, and later draws them by offset alone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace videodecode {

// Which byte ranges hold a stored bitmap. A drawing from the cache must name exactly a range
// that a store wrote (same offset, same size) and that no later store overlapped, so that the
// decoder never draws bytes nobody sent.
class CacheIndex {
public:
    void setLimit(std::size_t bytes) { limit_ = bytes; }
    std::size_t limit() const { return limit_; }
    void clear() { entries_.clear(); }

    bool fits(std::uint32_t offset, std::size_t size) const {
        return offset <= limit_ && size <= limit_ - offset;
    }
    bool holds(std::uint32_t offset, std::size_t size) const;
    // Records a store; the caller checked fits(). Stored ranges it overlaps are forgotten.
    void noteStore(std::uint32_t offset, std::size_t size);
    std::size_t entryCount() const { return entries_.size(); }

private:
    std::size_t limit_ = 0;
    // (offset, size), sorted by offset, not overlapping.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries_;
};

// The cache's bytes; grows up to the highest byte stored.
class CacheMemory {
public:
    void clear() { bytes_.clear(); }
    void store(std::uint32_t offset, std::span<const std::uint8_t> bitmap);
    // The caller checked with CacheIndex::holds() that this range was stored; a range past
    // the bytes held is cut short rather than read beyond them.
    std::span<const std::uint8_t> bitmap(std::uint32_t offset, std::size_t size) const {
        if (offset >= bytes_.size()) {
            return {};
        }
        return std::span<const std::uint8_t>(bytes_).subspan(
            offset, std::min(size, bytes_.size() - offset));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace videodecode
