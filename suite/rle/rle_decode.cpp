#include "rle_decode.h"

#include <cstring>

#include "session/video_wire.h"

namespace {

constexpr std::uint8_t kEscape = videowire::kRunEscape;
constexpr std::uint8_t kThreeZeros = videowire::kRunThreeZeros;
constexpr std::uint8_t kThreeOf = videowire::kRunThreeOf;
constexpr std::uint8_t kThreeOnes = videowire::kRunThreeOnes;
constexpr std::uint8_t kMaxCount = videowire::kRunLongest;

// One decoded code: `count` copies of `value`, taking `length` input bytes.
struct Run {
    RleStatus status;
    std::size_t length;
    std::size_t count;
    std::uint8_t value;
};

Run ReadRun(std::span<const std::uint8_t> input, std::size_t at) {
    const std::size_t left = input.size() - at;
    const std::uint8_t first = input[at];
    switch (first) {
        case kThreeZeros:
            return {RleStatus::ok, 1, 3, 0x00};
        case kThreeOnes:
            return {RleStatus::ok, 1, 3, 0xFF};
        case kThreeOf:
            if (left < 2) {
                return {RleStatus::truncated, 0, 0, 0};
            }
            return {RleStatus::ok, 2, 3, input[at + 1]};
        case kEscape: {
            if (left < 2) {
                return {RleStatus::truncated, 0, 0, 0};
            }
            const std::uint8_t second = input[at + 1];
            if (second > kMaxCount) {
                return {RleStatus::ok, 2, 1, second};
            }
            if (second < 2) {
                return {RleStatus::bad_count, 0, 0, 0};
            }
            if (left < 3) {
                return {RleStatus::truncated, 0, 0, 0};
            }
            return {RleStatus::ok, 3, second, input[at + 2]};
        }
        default:
            return {RleStatus::ok, 1, 1, first};
    }
}

}  // namespace

RleDecodeResult RleDecode(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < input.size()) {
        const Run run = ReadRun(input, in);
        if (run.status != RleStatus::ok) {
            return {run.status, in, out};
        }
        if (run.count > output.size() - out) {
            return {RleStatus::output_full, in, out};
        }
        std::memset(output.data() + out, run.value, run.count);
        out += run.count;
        in += run.length;
    }
    return {RleStatus::ok, in, out};
}

RleDecodeResult RleDecodeAppend(std::span<const std::uint8_t> input,
                                std::vector<std::uint8_t>& output) {
    std::size_t in = 0;
    std::size_t produced = 0;
    while (in < input.size()) {
        const Run run = ReadRun(input, in);
        if (run.status != RleStatus::ok) {
            return {run.status, in, produced};
        }
        output.insert(output.end(), run.count, run.value);
        produced += run.count;
        in += run.length;
    }
    return {RleStatus::ok, in, produced};
}

const char* RleStatusText(RleStatus status) {
    switch (status) {
        case RleStatus::ok:
            return "ok";
        case RleStatus::truncated:
            return "input ends inside a run-length code";
        case RleStatus::bad_count:
            return "run-length count below 2";
        case RleStatus::output_full:
            return "decoded data longer than expected";
    }
    return "unknown run-length error";
}
