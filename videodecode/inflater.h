// One raw deflate stream spread over many frames: each frame's data continues the stream and
// ends on a sync flush, so it inflates completely on arrival with the history of the frames
// before it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include <zlib.h>

namespace videodecode {

class Inflater {
public:
    Inflater();
    ~Inflater();
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates all of data, which must produce exactly out.size() bytes.
    std::optional<std::string> inflate(std::span<const std::uint8_t> data,
                                       std::span<std::uint8_t> out);
    // Starts a new stream with an empty history.
    void reset();

private:
    z_stream stream_{};
    bool ready_ = false;
};

}  // namespace videodecode
