#include "videoscan/run_length.h"

#include <algorithm>

#include "session/video_wire.h"

namespace videoscan {

namespace {

constexpr std::uint8_t kEscape = videowire::kRunEscape;
constexpr std::uint8_t kThreeZeros = videowire::kRunThreeZeros;
constexpr std::uint8_t kThreeOf = videowire::kRunThreeOf;
constexpr std::uint8_t kThreeOnes = videowire::kRunThreeOnes;
constexpr std::size_t kLongestRun = videowire::kRunLongest;

bool IsEscapeByte(std::uint8_t byte) {
    return byte >= kEscape && byte <= kThreeOnes;
}

class Output {
public:
    Output(std::uint8_t* bytes, std::size_t capacity) : bytes_(bytes), capacity_(capacity) {}

    // False when the bytes do not fit; then nothing of them is written.
    bool Put(std::initializer_list<std::uint8_t> codes) {
        if (codes.size() > capacity_ - used_) {
            return false;
        }
        for (std::uint8_t code : codes) {
            bytes_[used_++] = code;
        }
        return true;
    }
    std::size_t used() const { return used_; }

private:
    std::uint8_t* bytes_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

// Codes a run of up to kLongestRun bytes.
bool PutRun(Output& out, std::uint8_t byte, std::size_t run) {
    if (run >= 4) {
        return out.Put({kEscape, static_cast<std::uint8_t>(run), byte});
    }
    if (run == 3) {
        if (byte == 0x00) {
            return out.Put({kThreeZeros});
        }
        if (byte == 0xFF) {
            return out.Put({kThreeOnes});
        }
        return out.Put({kThreeOf, byte});
    }
    if (IsEscapeByte(byte)) {
        return run == 1 ? out.Put({kEscape, byte}) : out.Put({kEscape, 2, byte});
    }
    return run == 1 ? out.Put({byte}) : out.Put({byte, byte});
}

}  // namespace

std::size_t RunLengthEncode(const std::uint8_t* source, std::size_t length,
                            std::uint8_t* destination, std::size_t capacity) {
    Output out(destination, capacity);
    std::size_t at = 0;
    while (at < length) {
        const std::uint8_t byte = source[at];
        std::size_t run = 1;
        while (at + run < length && source[at + run] == byte) {
            ++run;
        }
        at += run;
        while (run > 0) {
            const std::size_t piece = std::min(run, kLongestRun);
            if (!PutRun(out, byte, piece)) {
                return length + 1;
            }
            run -= piece;
        }
    }
    return out.used();
}

}  // namespace videoscan
