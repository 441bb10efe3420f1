#include <zlib.h>

#include <algorithm>
#include <new>

#include "fvcpress.h"

namespace {
constexpr int kPieceSize = 4096;
// Raw deflate (no zlib header or checksum) with the largest window.
constexpr int kRawWindowBits = -15;
// Frames are at most 10240 bytes and screen data repeats at long distances (the same text
// row one line of text further down, the same background a cell further on), so the deepest
// match search pays. Measured on the first picture of a real X desktop (frames of 128 x 8
// cells, history carried from frame to frame): level 6 22,540 bytes, level 9 18,879, level 9
// with the search below 18,158, in about 250 ms for the whole screen. The filtered and
// run-length strategies and the larger hash table (memory level 9) came out no smaller.
constexpr int kLevel = 9;
constexpr int kMemoryLevel = 8;
// deflateTune: keep searching after a good match, take a match of 258 bytes at once, and
// follow up to 32768 links of a hash chain (level 9 stops at 4096): runs of one colour and
// rows of text make long chains whose best match is often far down.
constexpr int kGoodLength = 32;
constexpr int kMaxLazy = 258;
constexpr int kNiceLength = 258;
constexpr int kMaxChain = 32768;
}  // namespace

struct FrameDeflater::Stream {
    z_stream z{};
    bool ready = false;
    char input[kPieceSize];
    char output[kPieceSize];

    ~Stream() {
        if (ready) {
            deflateEnd(&z);
        }
    }

    // Only fails for a stream that is not set up.
    void Tune() { deflateTune(&z, kGoodLength, kMaxLazy, kNiceLength, kMaxChain); }

    // Runs zlib until it has taken all input and has no more output for this flush mode.
    bool Drain(int flush, DeflateWriteFn write, void* context) {
        do {
            z.next_out = reinterpret_cast<Bytef*>(output);
            z.avail_out = kPieceSize;
            const int result = ::deflate(&z, flush);
            if (result != Z_OK && result != Z_BUF_ERROR) {
                return false;
            }
            const unsigned int produced = kPieceSize - z.avail_out;
            if (produced > 0) {
                write(output, static_cast<unsigned short>(produced), context);
            }
        } while (z.avail_out == 0);
        return true;
    }
};

FrameDeflater::FrameDeflater() = default;
FrameDeflater::~FrameDeflater() = default;

// The zlib state is made on first use, so that a thread's compressor costs nothing until that
// thread compresses.
bool FrameDeflater::Ready() {
    if (!stream_) {
        stream_.reset(new (std::nothrow) Stream);
        if (!stream_) {
            return false;
        }
    }
    if (!stream_->ready) {
        stream_->ready = deflateInit2(&stream_->z, kLevel, Z_DEFLATED, kRawWindowBits, kMemoryLevel,
                                      Z_DEFAULT_STRATEGY) == Z_OK;
        if (stream_->ready) {
            stream_->Tune();
        }
    }
    return stream_->ready;
}

bool FrameDeflater::Compress(DeflateReadFn read, DeflateWriteFn write, void* context) {
    if (!Ready()) {
        return false;
    }
    z_stream& z = stream_->z;
    bool any_input = false;
    for (;;) {
        const unsigned short got = read(stream_->input, kPieceSize, context);
        if (got == 0) {
            break;
        }
        any_input = true;
        z.next_in = reinterpret_cast<Bytef*>(stream_->input);
        z.avail_in = std::min<unsigned int>(got, kPieceSize);
        if (!stream_->Drain(Z_NO_FLUSH, write, context)) {
            Reset();
            return false;
        }
    }
    // A frame without data has nothing to flush (and zlib would refuse a second flush).
    if (any_input && !stream_->Drain(Z_SYNC_FLUSH, write, context)) {
        Reset();
        return false;
    }
    return true;
}

void FrameDeflater::Reset() {
    if (stream_ && stream_->ready) {
        deflateReset(&stream_->z);
        stream_->Tune();  // a reset goes back to the level's own search settings
    }
}
