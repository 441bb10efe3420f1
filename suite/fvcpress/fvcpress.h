// Deflate compression of video frames: one raw deflate stream per video stream whose history
// carries from one frame to the next, each frame ending with a flush (a partial one unless the
// tuning says otherwise) so that the other side decodes every frame whole as it arrives.
//
// Frames sent without the LZ bit reset the history on both sides. When a frame's deflated
// form does not fit and is discarded, the compressor has already taken that frame into its
// history while the other side never sees it; every later frame could then refer to bytes the
// other side does not have. So: every video frame sent without the LZ bit (raw or run-length)
// resets the deflate history on both sides. The sender calls deflate_clr() after sending one;
// the receiver calls FrameInflater::Reset() when it receives one. After a partial flush the last
// bits of the frame's empty closing block start the next frame, so a frame only decodes after
// every frame before it; raw and run-length frames reset both sides and so never need them.
// deflate_clr() is also called at each video start, and FrameInflater::Reset() when a video start
// record arrives.
//
// Our deflate() has C++ linkage and its own parameter list, so it is an overload of zlib's
// extern "C" deflate(z_streamp, int): both can be used in one program, and this header does not
// include zlib.h.
//
// Threads: deflate() and deflate_clr() work on a compressor of the calling thread
// (thread_local), so scanners on different threads never share history. A thread that
// compresses for more than one stream, or that takes over a stream from another thread (a
// final flush in a destructor), calls deflate_clr() first: a fresh history only refers to its
// own frames, which the other side always decodes. Code that can own its compressor uses
// FrameDeflater directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Copies up to `size` bytes to `destination` and returns how many; 0 when all was read.
using DeflateReadFn = unsigned short (*)(char* destination, unsigned short size, void* context);
// Takes `size` compressed bytes.
using DeflateWriteFn = void (*)(char* bytes, unsigned short size, void* context);

// Compresses everything the read callback gives as one frame of this thread's stream and gives
// the compressed bytes to the write callback, in pieces, ending with a flush.
// Returns 1, or 0 when the compressor could not be set up (out of memory).
int deflate(DeflateReadFn read, DeflateWriteFn write, void* context);
// Starts this thread's stream afresh: later frames refer to no earlier one.
void deflate_clr();

// How the sending side runs zlib. Any setting gives frames that a plain raw inflate decodes one
// by one as they arrive; only their size and the time spent differ. The defaults are what every
// stream uses unless the environment variable FARVANE_DEFLATE_TUNING gives
// "level,memoryLevel,windowBits,strategy,deeperSearch[,frameEnd]" (for example
// "9,8,15,default,1,sync"; strategy one of default, filtered, huffman, rle, fixed; frameEnd sync
// or partial), which measurements of other settings use (bench/peers). A malformed value is
// ignored.
struct DeflateTuning {
    enum class Strategy { standard, filtered, huffman_only, rle, fixed };
    int level = 9;
    int memoryLevel = 8;
    int windowBits = 15;
    Strategy strategy = Strategy::standard;
    bool deeperSearch = true;  // follow longer hash chains than the level does
    // How a frame ends. A sync flush ends it on a byte boundary with an empty stored block (4
    // or 5 bytes); a partial flush with an empty fixed-code block of 10 bits, whose last bits
    // start the next frame. Either way the frame decodes whole as soon as it arrives.
    enum class FrameEnd { sync, partial };
    // The partial flush saves about 3.5 bytes a frame: 2 to 3% of a typing session.
    FrameEnd frameEnd = FrameEnd::partial;
};
// Reads the environment variable's form; false (and `tuning` unchanged) when malformed.
bool ParseDeflateTuning(const char* text, DeflateTuning& tuning);
// The tuning that streams of this process use, read from the environment once.
const DeflateTuning& DeflateTuningInUse();

// One sending side's deflate stream.
class FrameDeflater {
public:
    explicit FrameDeflater(const DeflateTuning& tuning = DeflateTuningInUse());
    ~FrameDeflater();
    FrameDeflater(const FrameDeflater&) = delete;
    FrameDeflater& operator=(const FrameDeflater&) = delete;

    // As deflate() above; false when out of memory (the stream is then reset).
    bool Compress(DeflateReadFn read, DeflateWriteFn write, void* context);
    void Reset();

private:
    struct Stream;
    bool Ready();
    DeflateTuning tuning_;
    std::unique_ptr<Stream> stream_;
};

// One receiving side's deflate stream.
class FrameInflater {
public:
    enum class Status {
        ok,
        incomplete,   // cut short: less than the output's size, or not ending with a flush
        bad_data,     // not a deflate frame of this stream
        output_full,  // decodes to more than the output holds
        needs_reset,  // an earlier frame failed; the history is lost until Reset()
        no_memory,
    };
    struct Result {
        Status status;
        std::size_t produced;  // bytes written to the output
    };

    FrameInflater();
    ~FrameInflater();
    FrameInflater(const FrameInflater&) = delete;
    FrameInflater& operator=(const FrameInflater&) = delete;

    // Decodes one frame, whose raw length is the output's size, into the output. After any failure
    // the history is unusable, and every frame is refused with needs_reset until Reset() (the next
    // frame without the LZ bit).
    Result Inflate(std::span<const std::uint8_t> frame, std::span<std::uint8_t> output);
    // Decodes one frame of unknown raw length, appending to the vector; at most `limit` bytes.
    // Only a frame that ends as a flush ends it is whole.
    Result InflateAppend(std::span<const std::uint8_t> frame, std::vector<std::uint8_t>& output,
                         std::size_t limit);
    void Reset();

    static const char* StatusText(Status status);

private:
    struct Stream;
    Result Run(std::span<const std::uint8_t> frame, std::vector<std::uint8_t>* grow,
               std::span<std::uint8_t> fixed, std::size_t limit);
    std::unique_ptr<Stream> stream_;
    bool broken_ = false;
};
