#include "storm_oracle.h"

#include <StormLib.h>

#include <algorithm>
#include <cstring>

// StormLib exports its DCL copy with C linkage and the DCL's own signatures.
extern "C" {
unsigned int implode(unsigned int (*read_buf)(char*, unsigned int*, void*),
                     void (*write_buf)(char*, unsigned int*, void*), char* work_buf, void* param,
                     unsigned int* type, unsigned int* dsize);
unsigned int explode(unsigned int (*read_buf)(char*, unsigned int*, void*),
                     void (*write_buf)(char*, unsigned int*, void*), char* work_buf, void* param);
}

namespace storm {

namespace {

// Larger than either routine's work area.
constexpr std::size_t kWorkArea = 65536;

struct Streams {
    std::span<const std::uint8_t> input;
    std::size_t position = 0;
    std::size_t chunk = 0;
    std::vector<std::uint8_t> output;
};

unsigned int Read(char* buf, unsigned int* size, void* param) {
    auto* streams = static_cast<Streams*>(param);
    const std::size_t count = std::min({static_cast<std::size_t>(*size), streams->chunk,
                                        streams->input.size() - streams->position});
    std::memcpy(buf, streams->input.data() + streams->position, count);
    streams->position += count;
    return static_cast<unsigned int>(count);
}

void Write(char* buf, unsigned int* size, void* param) {
    auto* streams = static_cast<Streams*>(param);
    streams->output.insert(streams->output.end(), buf, buf + *size);
}

}  // namespace

std::vector<std::uint8_t> Implode(std::span<const std::uint8_t> data, unsigned int type,
                                  unsigned int dictionary_size) {
    std::vector<char> work(kWorkArea);
    Streams streams{data, 0, 4096, {}};
    ::implode(Read, Write, work.data(), &streams, &type, &dictionary_size);
    return streams.output;
}

std::optional<std::vector<std::uint8_t>> Explode(std::span<const std::uint8_t> stream,
                                                 std::size_t chunk) {
    std::vector<char> work(kWorkArea);
    Streams streams{stream, 0, chunk, {}};
    if (::explode(Read, Write, work.data(), &streams) != 0) {
        return std::nullopt;
    }
    return streams.output;
}

std::vector<std::uint8_t> CompImplode(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> input(data.begin(), data.end());
    std::vector<std::uint8_t> output(data.size() * 2 + 64);
    int size = static_cast<int>(output.size());
    if (!SCompImplode(output.data(), &size, input.data(), static_cast<int>(input.size()))) {
        return {};
    }
    output.resize(static_cast<std::size_t>(size));
    return output;
}

std::optional<std::vector<std::uint8_t>> CompExplode(std::span<const std::uint8_t> stream,
                                                     std::size_t expected_size) {
    std::vector<std::uint8_t> input(stream.begin(), stream.end());
    // A capacity equal to the input size would make SCompExplode copy instead of decode.
    std::vector<std::uint8_t> output(expected_size + stream.size() + 1);
    int size = static_cast<int>(output.size());
    if (!SCompExplode(output.data(), &size, input.data(), static_cast<int>(input.size()))) {
        return std::nullopt;
    }
    output.resize(static_cast<std::size_t>(size));
    return output;
}

}  // namespace storm
