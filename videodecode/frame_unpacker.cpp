#include "videodecode/frame_unpacker.h"

#include <algorithm>
#include <cstring>

#include "fvcpress.h"
#include "implode.h"
#include "rle_decode.h"

namespace videodecode {

FrameUnpacker::FrameUnpacker() = default;
FrameUnpacker::~FrameUnpacker() = default;

std::optional<std::string> FrameUnpacker::unpack(Compression compression,
                                                 std::span<const std::uint8_t> data,
                                                 std::span<std::uint8_t> out) {
    switch (compression) {
        case Compression::None:
            if (data.size() != out.size()) {
                return "raw data of " + std::to_string(data.size()) + " bytes for " +
                       std::to_string(out.size());
            }
            std::copy(data.begin(), data.end(), out.begin());
            return std::nullopt;
        case Compression::RunLength:
            return unpackRunLength(data, out);
        case Compression::Implode:
            return explodeFrame(data, out);
        case Compression::Deflate:
            return inflateFrame(data, out);
    }
    return "unknown compression";
}

void FrameUnpacker::resetHistory() {
    historyLost_ = false;
    if (inflater_) {
        inflater_->Reset();
    }
}

std::optional<std::string> FrameUnpacker::unpackRunLength(std::span<const std::uint8_t> data,
                                                          std::span<std::uint8_t> out) {
    const RleDecodeResult result = RleDecode(data, out);
    if (result.status != RleStatus::ok) {
        return std::string("run-length data: ") + RleStatusText(result.status) + " at byte " +
               std::to_string(result.consumed) + " of the frame's data";
    }
    if (result.produced != out.size()) {
        return "run-length data unpacks to " + std::to_string(result.produced) +
               " bytes, the header says " + std::to_string(out.size());
    }
    return std::nullopt;
}

namespace {

// The explode callbacks' context: the frame's data and the room for its record sequence.
struct ExplodeContext {
    std::span<const std::uint8_t> input;
    std::size_t read = 0;
    std::span<std::uint8_t> output;
    std::size_t written = 0;
    bool overflow = false;
};

unsigned int readPacked(char* buf, unsigned int* size, void* param) {
    auto* context = static_cast<ExplodeContext*>(param);
    const std::size_t count = std::min<std::size_t>(*size, context->input.size() - context->read);
    std::memcpy(buf, context->input.data() + context->read, count);
    context->read += count;
    return static_cast<unsigned int>(count);
}

void writeUnpacked(char* buf, unsigned int* size, void* param) {
    auto* context = static_cast<ExplodeContext*>(param);
    if (*size > context->output.size() - context->written) {
        context->overflow = true;
        return;
    }
    std::memcpy(context->output.data() + context->written, buf, *size);
    context->written += *size;
}

}  // namespace

std::optional<std::string> FrameUnpacker::explodeFrame(std::span<const std::uint8_t> data,
                                                       std::span<std::uint8_t> out) {
    if (explodeWork_.empty()) {
        explodeWork_.resize(EXP_BUFFER_SIZE);
    }
    ExplodeContext context{data, 0, out, 0, false};
    const unsigned int status = explode(readPacked, writeUnpacked, explodeWork_.data(), &context);
    if (status != CMP_NO_ERROR) {
        return "implode data does not decode (status " + std::to_string(status) + ")";
    }
    if (context.overflow || context.written != out.size()) {
        return "implode data unpacks to " + std::string(context.overflow ? "more than " : "") +
               std::to_string(context.written) + " bytes, the header says " +
               std::to_string(out.size());
    }
    if (context.read != data.size()) {
        return "implode data ends " + std::to_string(data.size() - context.read) +
               " bytes before the frame does";
    }
    return std::nullopt;
}

std::optional<std::string> FrameUnpacker::inflateFrame(std::span<const std::uint8_t> data,
                                                       std::span<std::uint8_t> out) {
    if (!inflater_) {
        inflater_ = std::make_unique<FrameInflater>();
    }
    // After a failure every deflate frame is refused until the next reset: the history no
    // longer matches the host's, and decoding on would only make garbage.
    if (historyLost_) {
        return std::string("deflate data: ") +
               FrameInflater::StatusText(FrameInflater::Status::needs_reset);
    }
    const FrameInflater::Result result = inflater_->Inflate(data, out);
    if (result.status != FrameInflater::Status::ok) {
        return std::string("deflate data: ") + FrameInflater::StatusText(result.status);
    }
    if (result.produced != out.size()) {
        historyLost_ = true;
        return "deflate data unpacks to " + std::to_string(result.produced) +
               " bytes, the header says " + std::to_string(out.size());
    }
    return std::nullopt;
}

}  // namespace videodecode
