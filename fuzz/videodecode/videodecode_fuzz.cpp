// Feeds arbitrary bytes to the video stream decoder in arbitrary chunks. The first bytes choose
// the decoder's options and the chunk size; the rest is the stream. Besides not crashing, the
// decoder must keep its promise that a frame which fails leaves the picture as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "videodecode/stream_decoder.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    videodecode::DecoderOptions options;
    if (data[0] & 1) {
        options.capabilityWord = static_cast<std::uint16_t>(data[1] | data[2] << 8);
    }
    options.maxPixels = 1 << 16;
    const std::size_t chunk = 1 + data[3] % 64;
    std::span<const std::uint8_t> stream(data + 4, size - 4);

    videodecode::StreamDecoder decoder(options);
    // The picture after the last frame that was applied: a failing frame must not change it.
    videodecode::Framebuffer lastGood;
    decoder.onFrameApplied(
        [&](const videodecode::FrameInfo&) { lastGood = decoder.framebuffer(); });
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t count = std::min(chunk, stream.size() - at);
        auto result = decoder.push(stream.subspan(at, count));
        at += count;
        while (result.error && result.error->recoverable) {
            check(decoder.framebuffer() == lastGood);
            result = decoder.push({});
        }
        if (result.error) {
            check(decoder.framebuffer() == lastGood);
            check(decoder.broken());
            break;
        }
    }
    decoder.finish();
    decoder.framebuffer().setCursorPosition(3, 3);
    (void)decoder.framebuffer().composed();
    return 0;
}
