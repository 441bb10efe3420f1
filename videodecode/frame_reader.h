// Finds the next whole frame in the bytes received, unpacks and checks it against a copy of
// the decoder's state, and hands back what applying it takes. Nothing it does touches the
// framebuffer, so a bad frame leaves it as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "videodecode/decode_error.h"
#include "videodecode/decoder_state.h"
#include "videodecode/frame_info.h"
#include "videodecode/frame_unpacker.h"
#include "videodecode/record_ops.h"
#include "videodecode/stream_decoder.h"

namespace videodecode {

// A frame that was found good. The ops point into sequence, so the object is never moved.
struct CheckedFrame {
    FrameInfo info;
    std::vector<std::uint8_t> sequence;
    std::vector<RecordOp> ops;
    DecoderState state;  // the decoder's state after the frame
    std::optional<std::vector<PaletteEntry>> palette;
};

class FrameReader {
public:
    explicit FrameReader(const DecoderOptions& options);

    struct Next {
        // Bytes the frame takes in the stream; 0 while it is not complete.
        std::size_t frameLength = 0;
        std::optional<DecodeError> error;
        std::unique_ptr<CheckedFrame> frame;
    };

    // Looks at the bytes waiting, which start at stream offset `offset` on a frame boundary.
    Next next(std::span<const std::uint8_t> waiting, std::uint64_t offset);

    // The frame was applied: its state becomes the decoder's.
    void commit(CheckedFrame& frame) { state_ = std::move(frame.state); }
    const DecoderState& state() const { return state_; }

    // Length of the frame at the start of bytes, or 0 when its header is not complete.
    static std::size_t frameLengthOf(std::span<const std::uint8_t> bytes);

private:
    Next readVideoFrame(std::span<const std::uint8_t> waiting, std::uint64_t offset);
    Next readPaletteFrame(std::span<const std::uint8_t> waiting, std::uint64_t offset);
    Compression compressionOf(std::uint16_t packedWord, std::uint16_t rawLength) const;
    std::uint8_t paletteEntrySize(std::uint16_t length) const;

    DecoderOptions options_;
    DecoderState state_;
    FrameUnpacker unpacker_;
};

}  // namespace videodecode
