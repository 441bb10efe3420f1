#include "stream_breakdown.h"

#include <algorithm>

#include "videodecode/stream_decoder.h"

namespace peers {

namespace {

constexpr std::size_t kFrameHeaderBytes = 6;

void AddFrame(const videodecode::FrameInfo& frame, StreamBreakdown& sums) {
    using videodecode::RecordKind;
    if (frame.kind == videodecode::FrameKind::Palette) {
        sums.paletteFrameBytes += frame.frameLength;
        return;
    }
    ++sums.videoFrames;
    sums.frameHeaderBytes += kFrameHeaderBytes;
    sums.frameDataBytes += frame.frameLength - kFrameHeaderBytes;
    if (frame.compression == videodecode::Compression::Deflate ||
        frame.compression == videodecode::Compression::Implode) {
        ++sums.compressedFrames;
    }
    sums.rawBytes += frame.rawLength;
    for (const videodecode::RecordInfo& record : frame.records) {
        std::size_t pixels = 0;
        if (record.kind == RecordKind::Cell) {
            ++sums.cellRecords;
            pixels = static_cast<std::size_t>(record.rowBytes) * record.height;
        } else if (record.kind == RecordKind::CacheDraw) {
            ++sums.cacheDraws;
        } else {
            ++sums.otherRecords;
        }
        pixels = std::min(pixels, record.length);
        sums.pixelBytes += pixels;
        sums.recordHeadBytes += record.length - pixels;
    }
}

}  // namespace

StreamBreakdown BreakDown(std::span<const std::uint8_t> stream, std::uint16_t capabilityWord,
                          std::size_t begin, std::size_t end) {
    StreamBreakdown sums;
    videodecode::DecoderOptions options;
    options.capabilityWord = capabilityWord;
    videodecode::StreamDecoder decoder(options);
    decoder.onFrameChecked([&](const videodecode::FrameInfo& frame) {
        if (frame.offset >= begin && frame.offset < end) {
            AddFrame(frame, sums);
        }
    });
    const videodecode::PushResult result = decoder.push(stream);
    if (!result.ok()) {
        sums.error = result.error->describe();
        return sums;
    }
    sums.decoded = true;
    return sums;
}

}  // namespace peers
