#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>
#include <string>
#include <utility>

#include "fvcpress.h"

namespace {
constexpr int kPieceSize = 4096;
// Frames are at most 10240 bytes and screen data repeats at long distances (the same text
// row one line of text further down, the same background a cell further on), so the deepest
// match search pays. Measured on the first picture of a real X desktop (frames of 128 x 8
// cells, history carried from frame to frame): level 6 22,540 bytes, level 9 18,879, level 9
// with the deeper search 18,158, in about 250 ms for the whole screen. Measured again with
// quarter-width cells 3 and 4 rows high (bench/peers/sweep.sh): the defaults give the fewest
// bytes; memory level 9 0 to +1%, an 8 KB window +7%, the filtered strategy +2%, fixed codes
// +14 to +16%, run-length matches only +70 to +78%, levels 9 to 6 without the deeper search +2
// to +26%, and keeping the full chain after a good match (good length 258) within 0.5%. Ending
// frames with a partial flush instead of a sync flush: -2% on the first picture, -2 to -3% while
// typing (frames of about 200 bytes).
constexpr DeflateTuning kDefaultTuning{};

// deflateTune for the deeper search: keep searching after a good match, take a match of 258
// bytes at once, and follow up to 32768 links of a hash chain (level 9 stops at 4096): runs of
// one colour and rows of text make long chains whose best match is often far down.
constexpr int kGoodLength = 32;
constexpr int kMaxLazy = 258;
constexpr int kNiceLength = 258;
constexpr int kMaxChain = 32768;

int ZlibStrategy(DeflateTuning::Strategy strategy) {
    switch (strategy) {
        case DeflateTuning::Strategy::filtered:
            return Z_FILTERED;
        case DeflateTuning::Strategy::huffman_only:
            return Z_HUFFMAN_ONLY;
        case DeflateTuning::Strategy::rle:
            return Z_RLE;
        case DeflateTuning::Strategy::fixed:
            return Z_FIXED;
        case DeflateTuning::Strategy::standard:
            break;
    }
    return Z_DEFAULT_STRATEGY;
}

bool ParseStrategy(const std::string& word, DeflateTuning::Strategy& strategy) {
    static const std::pair<const char*, DeflateTuning::Strategy> kNames[] = {
        {"default", DeflateTuning::Strategy::standard},
        {"filtered", DeflateTuning::Strategy::filtered},
        {"huffman", DeflateTuning::Strategy::huffman_only},
        {"rle", DeflateTuning::Strategy::rle},
        {"fixed", DeflateTuning::Strategy::fixed},
    };
    for (const auto& [name, value] : kNames) {
        if (word == name) {
            strategy = value;
            return true;
        }
    }
    return false;
}

bool ParseFrameEnd(const std::string& word, DeflateTuning::FrameEnd& frameEnd) {
    if (word == "sync") {
        frameEnd = DeflateTuning::FrameEnd::sync;
    } else if (word == "partial") {
        frameEnd = DeflateTuning::FrameEnd::partial;
    } else {
        return false;
    }
    return true;
}

DeflateTuning TuningFromEnvironment() {
    const char* text = std::getenv("FARVANE_DEFLATE_TUNING");
    if (text == nullptr) {
        return kDefaultTuning;
    }
    DeflateTuning tuning;
    if (ParseDeflateTuning(text, tuning)) {
        return tuning;
    }
    // Said once, so that a mistyped setting in a benchmark sweep is not measured as the default.
    std::fprintf(stderr,
                 "FARVANE_DEFLATE_TUNING=\"%s\" ignored: it takes level,memoryLevel,windowBits,"
                 "strategy,deeperSearch[,sync|partial]\n",
                 text);
    return kDefaultTuning;
}
}  // namespace

bool ParseDeflateTuning(const char* text, DeflateTuning& tuning) {
    std::istringstream in(text);
    std::string strategy;
    std::string deeper;
    DeflateTuning parsed;
    char comma1 = 0;
    char comma2 = 0;
    char comma3 = 0;
    if (!(in >> parsed.level >> comma1 >> parsed.memoryLevel >> comma2 >> parsed.windowBits >>
          comma3)) {
        return false;
    }
    std::getline(in, strategy, ',');
    std::getline(in, deeper);
    // An optional sixth field after another comma: how frames end.
    std::string frameEnd;
    bool frameEndGiven = false;
    if (const std::size_t comma = deeper.find(','); comma != std::string::npos) {
        frameEnd = deeper.substr(comma + 1);
        deeper.resize(comma);
        frameEndGiven = true;
    }
    if (comma1 != ',' || comma2 != ',' || comma3 != ',' || parsed.level < 1 || parsed.level > 9 ||
        parsed.memoryLevel < 1 || parsed.memoryLevel > 9 || parsed.windowBits < 9 ||
        parsed.windowBits > 15 || !ParseStrategy(strategy, parsed.strategy) ||
        (deeper != "0" && deeper != "1") ||
        (frameEndGiven && !ParseFrameEnd(frameEnd, parsed.frameEnd))) {
        return false;
    }
    parsed.deeperSearch = deeper == "1";
    tuning = parsed;
    return true;
}

const DeflateTuning& DeflateTuningInUse() {
    static const DeflateTuning tuning = TuningFromEnvironment();
    return tuning;
}

struct FrameDeflater::Stream {
    z_stream z{};
    bool ready = false;
    DeflateTuning tuning;
    char input[kPieceSize];
    char output[kPieceSize];

    ~Stream() {
        if (ready) {
            deflateEnd(&z);
        }
    }

    // Only fails for a stream that is not set up.
    void Tune() {
        if (tuning.deeperSearch) {
            deflateTune(&z, kGoodLength, kMaxLazy, kNiceLength, kMaxChain);
        }
    }

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

FrameDeflater::FrameDeflater(const DeflateTuning& tuning) : tuning_(tuning) {}
FrameDeflater::~FrameDeflater() = default;

// The zlib state is made on first use, so that a thread's compressor costs nothing until that
// thread compresses.
bool FrameDeflater::Ready() {
    if (!stream_) {
        stream_.reset(new (std::nothrow) Stream);
        if (!stream_) {
            return false;
        }
        stream_->tuning = tuning_;
    }
    if (!stream_->ready) {
        const DeflateTuning& tuning = stream_->tuning;
        // Raw deflate: no zlib header or checksum.
        stream_->ready = deflateInit2(&stream_->z, tuning.level, Z_DEFLATED, -tuning.windowBits,
                                      tuning.memoryLevel, ZlibStrategy(tuning.strategy)) == Z_OK;
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
    const int flush = stream_->tuning.frameEnd == DeflateTuning::FrameEnd::partial ? Z_PARTIAL_FLUSH
                                                                                   : Z_SYNC_FLUSH;
    if (any_input && !stream_->Drain(flush, write, context)) {
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
