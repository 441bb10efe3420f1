// Deflate compression of video frames: one raw deflate stream per video stream whose history
// carries from one frame to the next, each frame ending with a sync flush so that the other
// side decodes every frame as it arrives.
//
// Frames sent without the LZ bit reset the history on both sides. When a frame's deflated
// form does not fit and is discarded, the compressor has already taken that frame into its
// history while the other side never sees it; every later frame could then refer to bytes the
// other side does not have. So: every video frame sent without the LZ bit (raw or run-length)
// resets the deflate history on both sides. The sender calls deflate_clr() after sending one;
// the receiver calls FrameInflater::Reset() when it receives one. deflate_clr() is also called
// at each video start, and FrameInflater::Reset() when a video start record arrives.
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
// the compressed bytes to the write callback, in pieces, ending with a sync flush.
// Returns 1, or 0 when the compressor could not be set up (out of memory).
int deflate(DeflateReadFn read, DeflateWriteFn write, void* context);
// Starts this thread's stream afresh: later frames refer to no earlier one.
void deflate_clr();

// How the sending side runs zlib. Any setting gives frames that a plain raw inflate decodes one
// by one as they arrive (each ends with a sync flush); only their size and the time spent
// differ. The defaults are what every stream uses unless the environment variable
// FARVANE_DEFLATE_TUNING gives "level,memoryLevel,windowBits,strategy,deeperSearch" (for example
// "9,8,15,default,1"; strategy one of default, filtered, huffman, rle, fixed), which
// measurements of other settings use (bench/peers). A malformed value is ignored.
struct DeflateTuning {
    enum class Strategy { standard, filtered, huffman_only, rle, fixed };
    int level = 9;
    int memoryLevel = 8;
    int windowBits = 15;
    Strategy strategy = Strategy::standard;
    bool deeperSearch = true;  // follow longer hash chains than the level does
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
        incomplete,   // the frame does not end with a sync flush: cut short
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

    // Decodes one frame into the output. After any failure the history is unusable, and every
    // frame is refused with needs_reset until Reset() (the next frame without the LZ bit).
    Result Inflate(std::span<const std::uint8_t> frame, std::span<std::uint8_t> output);
    // Decodes one frame, appending to the vector; at most `limit` bytes.
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
