#include "videodecode/bitmap_cache.h"

#include <algorithm>

namespace videodecode {

bool CacheIndex::holds(std::uint32_t offset, std::size_t size) const {
    auto found = std::lower_bound(entries_.begin(), entries_.end(),
                                  std::make_pair(offset, std::uint32_t{0}));
    return found != entries_.end() && found->first == offset && found->second == size;
}

void CacheIndex::noteStore(std::uint32_t offset, std::size_t size) {
    const std::uint64_t end = static_cast<std::uint64_t>(offset) + size;
    // Entries are sorted and disjoint, so the ones overlapping [offset, end) are contiguous.
    auto first = std::lower_bound(
        entries_.begin(), entries_.end(), offset, [](const auto& entry, std::uint32_t value) {
            return static_cast<std::uint64_t>(entry.first) + entry.second <= value;
        });
    auto last = first;
    while (last != entries_.end() && last->first < end) {
        ++last;
    }
    first = entries_.erase(first, last);
    entries_.insert(first, {offset, static_cast<std::uint32_t>(size)});
}

void CacheMemory::store(std::uint32_t offset, std::span<const std::uint8_t> bitmap) {
    const std::size_t end = static_cast<std::size_t>(offset) + bitmap.size();
    if (bytes_.size() < end) {
        bytes_.resize(end);
    }
    std::copy(bitmap.begin(), bitmap.end(), bytes_.begin() + offset);
}

}  // namespace videodecode
