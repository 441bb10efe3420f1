#include "videodecode/inflater.h"

#include <algorithm>

namespace videodecode {

Inflater::Inflater() {
    ready_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
}

Inflater::~Inflater() {
    if (ready_) {
        inflateEnd(&stream_);
    }
}

void Inflater::reset() {
    if (ready_) {
        inflateReset(&stream_);
    }
}

std::optional<std::string> Inflater::inflate(std::span<const std::uint8_t> data,
                                             std::span<std::uint8_t> out) {
    if (!ready_) {
        return std::string("the inflater could not be set up");
    }
    stream_.next_in = const_cast<Bytef*>(data.data());
    stream_.avail_in = static_cast<uInt>(data.size());
    stream_.next_out = out.data();
    stream_.avail_out = static_cast<uInt>(out.size());
    int status = ::inflate(&stream_, Z_SYNC_FLUSH);
    std::size_t produced = out.size() - stream_.avail_out;
    if ((status == Z_OK || status == Z_BUF_ERROR) && stream_.avail_out == 0) {
        // The record sequence is complete; what input remains may only be the flush marker.
        // One byte of spare room shows a frame that inflates to more than its header says.
        std::uint8_t spare = 0;
        stream_.next_out = &spare;
        stream_.avail_out = 1;
        status = ::inflate(&stream_, Z_SYNC_FLUSH);
        produced += 1 - stream_.avail_out;
    }
    if (status == Z_STREAM_END) {
        return std::string("deflate data ends its stream, which must carry on to the next frame");
    }
    if (status != Z_OK && status != Z_BUF_ERROR) {
        return std::string("deflate data does not decode: ") +
               (stream_.msg ? stream_.msg : "error " + std::to_string(status));
    }
    if (produced != out.size()) {
        return "deflate data unpacks to " + std::string(produced > out.size() ? "more than " : "") +
               std::to_string(std::min(produced, out.size())) + " bytes, the header says " +
               std::to_string(out.size());
    }
    if (stream_.avail_in > 0) {
        return "deflate data goes on " + std::to_string(stream_.avail_in) +
               " bytes past the end of the frame's records";
    }
    return std::nullopt;
}

}  // namespace videodecode
