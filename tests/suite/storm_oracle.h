// StormLib's copy of the DCL implode and explode, used by the tests as a second, independent
// implementation of the format. This header does not include ours, so the two never meet in one
// translation unit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace storm {

// Compresses with StormLib's implode (any type and dictionary size).
std::vector<std::uint8_t> Implode(std::span<const std::uint8_t> data, unsigned int type,
                                  unsigned int dictionary_size);
// Decodes with StormLib's explode, fed `chunk` bytes per read; nullopt when it reports an error.
std::optional<std::vector<std::uint8_t>> Explode(std::span<const std::uint8_t> stream,
                                                 std::size_t chunk = 4096);

// The archive library's buffer-to-buffer entry points (binary type, dictionary by size).
std::vector<std::uint8_t> CompImplode(std::span<const std::uint8_t> data);
std::optional<std::vector<std::uint8_t>> CompExplode(std::span<const std::uint8_t> stream,
                                                     std::size_t expected_size);

}  // namespace storm
