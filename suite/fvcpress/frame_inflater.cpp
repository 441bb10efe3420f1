#include <zlib.h>

#include <cstring>
#include <new>

#include "fvcpress.h"

namespace {
constexpr int kChunkSize = 16384;
constexpr int kRawWindowBits = -15;
// zlib's data_type has this bit when inflate stopped right after a block's end.
constexpr int kAtBlockBoundary = 128;

// After a sync flush the stream stands between blocks. After a partial flush it stands in the
// empty fixed-code block that the flush began, whose end-of-block code (seven zero bits) has not
// all arrived: one more zero byte, given to a copy of the stream, must end that block and
// produce nothing.
bool EndsLikeAFlush(z_stream& z) {
    if ((z.data_type & kAtBlockBoundary) != 0) {
        return true;
    }
    z_stream probe{};
    if (inflateCopy(&probe, &z) != Z_OK) {
        return false;
    }
    Bytef zero = 0;
    Bytef out[1];
    probe.next_in = &zero;
    probe.avail_in = 1;
    probe.next_out = out;
    probe.avail_out = sizeof out;
    const int result = ::inflate(&probe, Z_BLOCK);
    const bool ended = result == Z_OK && probe.avail_out == sizeof out &&
                       (probe.data_type & kAtBlockBoundary) != 0;
    inflateEnd(&probe);
    return ended;
}
}  // namespace

struct FrameInflater::Stream {
    z_stream z{};
    bool ready = false;
    std::uint8_t chunk[kChunkSize];

    ~Stream() {
        if (ready) {
            inflateEnd(&z);
        }
    }
};

FrameInflater::FrameInflater() = default;
FrameInflater::~FrameInflater() = default;

FrameInflater::Result FrameInflater::Inflate(std::span<const std::uint8_t> frame,
                                             std::span<std::uint8_t> output) {
    return Run(frame, nullptr, output, output.size());
}

FrameInflater::Result FrameInflater::InflateAppend(std::span<const std::uint8_t> frame,
                                                   std::vector<std::uint8_t>& output,
                                                   std::size_t limit) {
    return Run(frame, &output, {}, limit);
}

FrameInflater::Result FrameInflater::Run(std::span<const std::uint8_t> frame,
                                         std::vector<std::uint8_t>* grow,
                                         std::span<std::uint8_t> fixed, std::size_t limit) {
    if (broken_) {
        return {Status::needs_reset, 0};
    }
    if (frame.empty()) {
        return {Status::ok, 0};
    }
    if (!stream_) {
        stream_.reset(new (std::nothrow) Stream);
        if (!stream_) {
            return {Status::no_memory, 0};
        }
    }
    if (!stream_->ready) {
        stream_->ready = inflateInit2(&stream_->z, kRawWindowBits) == Z_OK;
        if (!stream_->ready) {
            return {Status::no_memory, 0};
        }
    }
    // From here on any failure leaves the history out of step with the sender's.
    broken_ = true;
    z_stream& z = stream_->z;
    z.next_in = const_cast<Bytef*>(frame.data());
    z.avail_in = static_cast<uInt>(frame.size());
    std::size_t produced = 0;
    do {
        z.next_out = stream_->chunk;
        z.avail_out = kChunkSize;
        const int result = ::inflate(&z, Z_SYNC_FLUSH);
        // A final block (Z_STREAM_END) would end the stream that later frames continue.
        if (result != Z_OK && result != Z_BUF_ERROR) {
            return {Status::bad_data, produced};
        }
        const std::size_t count = kChunkSize - z.avail_out;
        if (count > limit - produced) {
            return {Status::output_full, produced};
        }
        if (grow != nullptr) {
            grow->insert(grow->end(), stream_->chunk, stream_->chunk + count);
        } else if (count > 0) {
            std::memcpy(fixed.data() + produced, stream_->chunk, count);
        }
        produced += count;
        if (result == Z_BUF_ERROR) {
            break;  // no progress possible: all input taken, nothing pending
        }
    } while (z.avail_in > 0 || z.avail_out == 0);
    if (z.avail_in > 0) {
        return {Status::bad_data, produced};
    }
    // A frame of known length that decodes to less was cut short (or is not of this stream).
    // A frame of unknown length must at least end where a flush ends it.
    if (grow == nullptr ? produced < fixed.size() : !EndsLikeAFlush(z)) {
        return {Status::incomplete, produced};
    }
    broken_ = false;
    return {Status::ok, produced};
}

void FrameInflater::Reset() {
    broken_ = false;
    if (stream_ && stream_->ready) {
        inflateReset(&stream_->z);
    }
}

const char* FrameInflater::StatusText(Status status) {
    switch (status) {
        case Status::ok:
            return "ok";
        case Status::incomplete:
            return "deflate frame cut short";
        case Status::bad_data:
            return "corrupt deflate data";
        case Status::output_full:
            return "deflate frame decodes to more than expected";
        case Status::needs_reset:
            return "deflate history lost by an earlier bad frame";
        case Status::no_memory:
            return "out of memory";
    }
    return "unknown deflate error";
}
