// The decoder of the host's video stream: it turns the bytes the scanner transmits into a
// framebuffer (pixels, cursor shape, palette).
//
// The stream
// ----------
// The stream is a series of frames, back to back, each starting with the byte 0x1B. All
// multi-byte fields are little-endian.
//
// Video frame: 0x1B 0x55, packed length (16 bits), raw length (16 bits), then packed-length
// bytes of data. Bits 14..0 of the packed length count the data bytes; bit 15 is the LZ bit.
// The raw length (at most 10240) is the size of the record sequence the data unpacks to:
//   - packed == raw, LZ clear: the data is the record sequence itself;
//   - packed < raw, LZ clear: run-length form. 0xF2 followed by a byte above 0xF0 stands for
//     that byte once; 0xF2, k (2..240), x stands for k copies of x; 0xF3 for three 0x00; 0xF4 x
//     for three x; 0xF5 for three 0xFF; every other byte for itself;
//   - LZ set: deflate when this side announced bit 4 (0x10) in its capability word and the
//     video start record's mode word has bit 4 set, implode (binary, 1 KB dictionary)
//     otherwise. Deflate frames form one raw deflate stream whose history carries from frame
//     to frame; each frame ends on a flush (partial or sync) so that it decodes on arrival.
// History rule: a video frame without the LZ bit resets the inflater's history, exactly as the
// host resets its deflater after sending one (a frame the host sends raw after its compressed
// form did not fit would otherwise leave the two histories apart and corrupt every later
// deflated frame). The video start record's frame is such a frame, so each video start begins
// with a fresh history.
//
// The record sequence is a series of records, each starting with a type byte:
//   1  video start, 17 bytes, alone in its frame: 1, 0x0F, 0x12, 0xFFFF, mode word (bit 4:
//      deflate allowed), device colour count (257: more than 256), screen width, screen height,
//      start time (32 bits). It sizes the framebuffer (a new size clears it to black), empties
//      the bitmap cache and forgets the pixel format.
//   2  video end, 1 byte, alone in its frame: the host stops sending video.
//   4  drawing record: flags (8 bits), x, y, width, height (16 bits each) of the target
//      rectangle, then the parts its flags select, in this order:
//        0x08  raster operation (32 bits), kept for later records (SRCCOPY until one arrives);
//        0x10  brush patch; 0x20 colour patch: offset, length, then length bytes written into
//              a 32-byte attribute block (brush style, brush colour R G B 0 and hatch at 0;
//              background and text colour R G B 0 at 24);
//        0x01|0x02 (always together) source part: 4 zero bytes; with 0x04 planes and bits per
//              pixel (8 bits each, kept for later records); source rows (16 bits: planes x
//              height, or 0 to draw from the cache); row bytes (8 bits at 1 bit per pixel,
//              else 16); one zero byte; with 0x80 a cache offset (24 bits); then source rows x
//              row bytes of pixel data, rows top down, pixels from the high bits of each byte.
//      Pixel data with a cache offset is also stored in the bitmap cache at that offset;
//      source rows 0 with a cache offset draws the bitmap stored there. The record with flags
//      0x18, PATCOPY and a solid brush over the whole screen is the background record.
//   9  cursor record: presence (1 byte); when 1, hot spot x, y, width, height, row bytes
//      (16 bits each), planes and a constant 1 (8 bits each), then the AND mask and the XOR
//      mask, width x height / 8 bytes each, rows of row bytes.
//
// Palette frame: 0x1B 0x44, 0, length (16 bits), then the entries in index order: 4 bytes each
// (red, green, blue, flags) when this side announced bit 12 (0x1000) in its capability word,
// else 3 bytes each (red, green, blue, each rotated right by two bits).
//
// How pixels become colours
// -------------------------
// 8 bits per pixel index the last palette, except when the video start record's mode word has
// 0x0200 (a host above 8 bits per pixel): then every 8-bit value is a BBBGGRRR colour (blue in
// bits 7..5, green in 4..3, red in 2..0; value 222 shows silver), whatever palette arrived.
// 4 and 2 bits per pixel index the palette too when
// the video start record announced at most 16 (or 4) device colours; otherwise they are the
// host's reduced colours: the 16 base colours (black, maroon, green, olive, navy, purple, teal,
// silver, grey, red, lime, yellow, blue, fuchsia, aqua, white) at 4 bits, and four greys by
// brightness (0 black, 2 dark grey, 1 light grey, 3 white) at 2 bits. At 1 bit per pixel, 0 is
// the text colour and 1 the background colour of the attribute block (black and white until a
// colour patch arrives). The raster operation then combines source, brush and screen bit by bit.
//
// Trust
// -----
// Nothing in the input is trusted. A frame that is truncated or inconsistent (lengths,
// rectangles outside the screen, unknown records, cache offsets outside the cache or not
// holding a bitmap of that size, a bad compressed stream...) is reported with its byte offset
// and leaves the framebuffer, cache and state exactly as they were before that frame. After a
// deflate frame fails, later deflate frames are refused until a frame without the LZ bit
// resets the history, since the two sides' histories no longer match. Pixel values past the
// end of the palette show black.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "session/video_wire.h"
#include "videodecode/decode_error.h"
#include "videodecode/frame_info.h"
#include "videodecode/framebuffer.h"

namespace videodecode {

struct DecoderOptions {
    // The capability word this side announced to the host (the host's CB item 57). Unset when
    // it is not known (a captured stream): then deflate is assumed exactly when the mode word
    // allows it, the cache may use up to the largest budget a capability word can offer, and a
    // palette frame's entry size is taken from its length (4 when the length only divides by
    // 4, else 3).
    std::optional<std::uint16_t> capabilityWord;
    // Largest screen the decoder accepts from a video start record.
    std::uint32_t maxPixels = 64u << 20;
};

// The largest record sequence a video frame may carry, and the largest data it may hold.
constexpr std::size_t kMaxRecordSequence = videowire::kMaxRecordSequence;

// Bytes of bitmap cache that a capability word offers (bits 3..0 times 4 KB, or times 64 KB
// with bit 15, doubled by bit 5), plus the 4 bytes the host adds to every offset when bit 7
// is set.
std::size_t cacheBytesFor(std::uint16_t capabilityWord);

struct PushResult {
    std::size_t framesDecoded = 0;
    // Set when a frame failed; decoding stopped there. When the error is recoverable the
    // frame was dropped and the next push (it may be empty) goes on after it.
    std::optional<DecodeError> error;
    bool ok() const { return !error; }
};

// One decoder per stream; it is used from one thread at a time and its callbacks must not
// push into it.
class StreamDecoder {
public:
    explicit StreamDecoder(DecoderOptions options = {});
    ~StreamDecoder();
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // Takes bytes in any chunks: whole frames are decoded at once, a partial frame waits in
    // the decoder for the rest.
    PushResult push(std::span<const std::uint8_t> bytes);
    // The input has ended: an error if a partial frame is still waiting.
    std::optional<DecodeError> finish();

    // Called for each frame after it was checked and before it is applied (the framebuffer
    // still shows the state before the frame), and after it was applied.
    void onFrameChecked(std::function<void(const FrameInfo&)> callback);
    void onFrameApplied(std::function<void(const FrameInfo&)> callback);

    const Framebuffer& framebuffer() const;
    Framebuffer& framebuffer();
    // Bytes received so far, and bytes waiting as a partial frame.
    std::uint64_t bytesReceived() const;
    std::size_t bytesWaiting() const;
    // The stream's framing was lost; every later push reports the same error.
    bool broken() const;
    // True between a video start record and a video end record.
    bool videoRunning() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace videodecode
