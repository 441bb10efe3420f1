#include "codec_commands.h"

#include <algorithm>
#include <cstring>

#include "fvcpress.h"
#include "implode.h"
#include "rle_decode.h"
#include "videoscan/run_length.h"

namespace fvcodec {

namespace {

// Bounds what one inflated frame may grow to, so that a hostile input cannot exhaust memory.
constexpr std::size_t kInflateLimit = std::size_t{1} << 30;

// Hands a byte vector to a codec's read callback and collects its write callback's bytes.
struct Pipe {
    explicit Pipe(const Bytes& bytes) : input(bytes) {}

    const Bytes& input;
    std::size_t position = 0;
    Bytes output;

    std::size_t Take(char* destination, std::size_t wanted) {
        const std::size_t count = std::min(wanted, input.size() - position);
        std::memcpy(destination, input.data() + position, count);
        position += count;
        return count;
    }
    void Give(const char* bytes, std::size_t size) {
        output.insert(output.end(), bytes, bytes + size);
    }

    static unsigned int ReadDcl(char* buf, unsigned int* size, void* param) {
        return static_cast<unsigned int>(static_cast<Pipe*>(param)->Take(buf, *size));
    }
    static void WriteDcl(char* buf, unsigned int* size, void* param) {
        static_cast<Pipe*>(param)->Give(buf, *size);
    }
    static unsigned short ReadFrame(char* destination, unsigned short size, void* context) {
        return static_cast<unsigned short>(static_cast<Pipe*>(context)->Take(destination, size));
    }
    static void WriteFrame(char* bytes, unsigned short size, void* context) {
        static_cast<Pipe*>(context)->Give(bytes, size);
    }
};

Outcome Failure(std::string error) {
    return Outcome{false, {}, std::move(error)};
}

const char* DclResultText(unsigned int result) {
    switch (result) {
        case CMP_INVALID_DICTSIZE:
            return "invalid dictionary size";
        case CMP_INVALID_MODE:
            return "invalid type";
        case CMP_BAD_DATA:
            return "corrupt or truncated data";
        case CMP_ABORT:
            return "aborted";
    }
    return "unknown error";
}

}  // namespace

Outcome Implode(const Bytes& input, unsigned int type, unsigned int dictionary_size) {
    std::vector<char> work(CMP_BUFFER_SIZE);
    Pipe pipe(input);
    const unsigned int result =
        implode(Pipe::ReadDcl, Pipe::WriteDcl, work.data(), &pipe, &type, &dictionary_size);
    if (result != CMP_NO_ERROR) {
        return Failure(std::string("implode: ") + DclResultText(result));
    }
    return Outcome{true, std::move(pipe.output), {}};
}

Outcome Explode(const Bytes& input) {
    std::vector<char> work(EXP_BUFFER_SIZE);
    Pipe pipe(input);
    const unsigned int result = explode(Pipe::ReadDcl, Pipe::WriteDcl, work.data(), &pipe);
    if (result != CMP_NO_ERROR) {
        return Failure(std::string("explode: ") + DclResultText(result));
    }
    return Outcome{true, std::move(pipe.output), {}};
}

Outcome Deflate(const Bytes& input) {
    FrameDeflater deflater;
    Pipe pipe(input);
    if (!deflater.Compress(Pipe::ReadFrame, Pipe::WriteFrame, &pipe)) {
        return Failure("deflate: out of memory");
    }
    return Outcome{true, std::move(pipe.output), {}};
}

Outcome Inflate(const Bytes& input) {
    FrameInflater inflater;
    Bytes output;
    const FrameInflater::Result result = inflater.InflateAppend(input, output, kInflateLimit);
    if (result.status != FrameInflater::Status::ok) {
        return Failure(std::string("inflate: ") + FrameInflater::StatusText(result.status));
    }
    return Outcome{true, std::move(output), {}};
}

Outcome Rle(const Bytes& input) {
    // Two output bytes per input byte is the most any input needs (a lone escape byte).
    Bytes output(input.size() * 2 + 16);
    const std::size_t length =
        videoscan::RunLengthEncode(input.data(), input.size(), output.data(), output.size());
    if (length > output.size()) {
        return Failure("rle: output does not fit");
    }
    output.resize(length);
    return Outcome{true, std::move(output), {}};
}

Outcome Unrle(const Bytes& input) {
    Bytes output;
    const RleDecodeResult result = RleDecodeAppend(input, output);
    if (result.status != RleStatus::ok) {
        return Failure("unrle: " + std::string(RleStatusText(result.status)) + " at offset " +
                       std::to_string(result.consumed));
    }
    return Outcome{true, std::move(output), {}};
}

}  // namespace fvcodec
