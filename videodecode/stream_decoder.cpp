#include "videodecode/stream_decoder.h"

#include <vector>

#include "session/video_wire.h"
#include "videodecode/frame_applier.h"
#include "videodecode/frame_reader.h"

namespace videodecode {

std::size_t cacheBytesFor(std::uint16_t capabilityWord) {
    const std::size_t budget = videowire::CacheBudget(capabilityWord);
    if (budget == 0) {
        return 0;
    }
    return budget +
           ((capabilityWord & videowire::kCapCacheOffsetPlus4) ? videowire::kCacheOffsetBias : 0);
}

class StreamDecoder::Impl {
public:
    explicit Impl(DecoderOptions options) : reader_(options), applier_(framebuffer_) {}

    PushResult push(std::span<const std::uint8_t> bytes);
    std::optional<DecodeError> finish();

    Framebuffer framebuffer_;
    FrameReader reader_;
    FrameApplier applier_;
    std::function<void(const FrameInfo&)> checked_;
    std::function<void(const FrameInfo&)> applied_;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingStart_ = 0;
    std::uint64_t pendingOffset_ = 0;  // stream offset of pending_[pendingStart_]
    std::optional<DecodeError> broken_;

private:
    std::span<const std::uint8_t> waiting() const {
        return std::span<const std::uint8_t>(pending_).subspan(pendingStart_);
    }
    void consume(std::size_t count) {
        pendingStart_ += count;
        pendingOffset_ += count;
    }
    void compact();
};

PushResult StreamDecoder::Impl::push(std::span<const std::uint8_t> bytes) {
    PushResult result;
    if (broken_) {
        result.error = broken_;
        return result;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    while (true) {
        FrameReader::Next next = reader_.next(waiting(), pendingOffset_);
        if (next.error && !next.error->recoverable) {
            broken_ = next.error;
            result.error = next.error;
            break;
        }
        if (next.frameLength == 0) {
            break;  // a partial frame waits for more bytes
        }
        if (next.error) {
            consume(next.frameLength);
            result.error = next.error;
            break;
        }
        if (checked_) {
            checked_(next.frame->info);
        }
        applier_.apply(*next.frame);
        reader_.commit(*next.frame);
        consume(next.frameLength);
        ++result.framesDecoded;
        if (applied_) {
            applied_(next.frame->info);
        }
    }
    compact();
    return result;
}

void StreamDecoder::Impl::compact() {
    if (pendingStart_ == pending_.size()) {
        pending_.clear();
        pendingStart_ = 0;
    } else if (pendingStart_ > 65536 && pendingStart_ * 2 > pending_.size()) {
        pending_.erase(pending_.begin(),
                       pending_.begin() + static_cast<std::ptrdiff_t>(pendingStart_));
        pendingStart_ = 0;
    }
}

std::optional<DecodeError> StreamDecoder::Impl::finish() {
    if (broken_) {
        return broken_;
    }
    if (waiting().empty()) {
        return std::nullopt;
    }
    DecodeError error;
    error.offset = pendingOffset_ + waiting().size();
    error.frameOffset = pendingOffset_;
    error.recoverable = false;
    const std::size_t needed = FrameReader::frameLengthOf(waiting());
    error.message = "the stream ends inside a frame: " + std::to_string(waiting().size()) +
                    " bytes of " +
                    (needed ? std::to_string(needed) : std::string("an unfinished header"));
    broken_ = error;
    return error;
}

StreamDecoder::StreamDecoder(DecoderOptions options) : impl_(std::make_unique<Impl>(options)) {}
StreamDecoder::~StreamDecoder() = default;

PushResult StreamDecoder::push(std::span<const std::uint8_t> bytes) {
    return impl_->push(bytes);
}
std::optional<DecodeError> StreamDecoder::finish() {
    return impl_->finish();
}

void StreamDecoder::onFrameChecked(std::function<void(const FrameInfo&)> callback) {
    impl_->checked_ = std::move(callback);
}
void StreamDecoder::onFrameApplied(std::function<void(const FrameInfo&)> callback) {
    impl_->applied_ = std::move(callback);
}

const Framebuffer& StreamDecoder::framebuffer() const {
    return impl_->framebuffer_;
}
Framebuffer& StreamDecoder::framebuffer() {
    return impl_->framebuffer_;
}
std::uint64_t StreamDecoder::bytesReceived() const {
    return impl_->pendingOffset_ + (impl_->pending_.size() - impl_->pendingStart_);
}
std::size_t StreamDecoder::bytesWaiting() const {
    return impl_->pending_.size() - impl_->pendingStart_;
}
bool StreamDecoder::broken() const {
    return impl_->broken_.has_value();
}
bool StreamDecoder::videoRunning() const {
    return impl_->reader_.state().videoRunning;
}

}  // namespace videodecode
