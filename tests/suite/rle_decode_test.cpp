#include "rle_decode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decode(const Bytes& input) {
    Bytes output;
    const RleDecodeResult result = RleDecodeAppend(input, output);
    EXPECT_EQ(result.status, RleStatus::ok);
    EXPECT_EQ(result.consumed, input.size());
    EXPECT_EQ(result.produced, output.size());
    return output;
}

TEST(RleDecode, EveryCodeAsBytes) {
    EXPECT_EQ(Decode({0xF3}), (Bytes{0, 0, 0}));
    EXPECT_EQ(Decode({0xF5}), (Bytes{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Decode({0xF4, 0x41}), (Bytes{0x41, 0x41, 0x41}));
    EXPECT_EQ(Decode({0xF4, 0xF3}), (Bytes{0xF3, 0xF3, 0xF3}));
    EXPECT_EQ(Decode({0xF2, 0xF2}), (Bytes{0xF2}));
    EXPECT_EQ(Decode({0xF2, 0xF5}), (Bytes{0xF5}));
    EXPECT_EQ(Decode({0xF2, 0xF1}), (Bytes{0xF1}));
    EXPECT_EQ(Decode({0xF2, 0x02, 0xF4}), (Bytes{0xF4, 0xF4}));
    EXPECT_EQ(Decode({0xF2, 0xF0, 0x41, 0x41}), Bytes(241, 0x41));
    EXPECT_EQ(Decode({0x00, 0x01, 0xF0, 0xF6, 0xFF}), (Bytes{0x00, 0x01, 0xF0, 0xF6, 0xFF}));
    EXPECT_EQ(Decode({}), Bytes{});
}

TEST(RleDecode, CodesCutShortAreTruncated) {
    for (const Bytes& input : {Bytes{0xF4}, Bytes{0xF2}, Bytes{0xF2, 0x05}, Bytes{1, 2, 0xF2, 9}}) {
        Bytes output;
        const RleDecodeResult result = RleDecodeAppend(input, output);
        EXPECT_EQ(result.status, RleStatus::truncated);
        // The offset names the code that is cut short; what came before it was decoded.
        EXPECT_EQ(result.consumed, input.size() == 4 ? 2u : 0u);
        EXPECT_EQ(output.size(), result.produced);
    }
}

TEST(RleDecode, CountsBelowTwoAreRejected) {
    Bytes output;
    EXPECT_EQ(RleDecodeAppend(Bytes{7, 0xF2, 0x00, 0x41}, output).status, RleStatus::bad_count);
    const RleDecodeResult one = RleDecodeAppend(Bytes{0xF2, 0x01, 0x41}, output);
    EXPECT_EQ(one.status, RleStatus::bad_count);
    EXPECT_EQ(one.consumed, 0u);
}

TEST(RleDecode, NeverWritesPastTheOutput) {
    const Bytes input = {0x10, 0xF2, 0x50, 0x20};  // 1 + 80 bytes
    Bytes output(81 + 4, 0xEE);
    const RleDecodeResult full = RleDecode(input, std::span(output).first(81));
    EXPECT_EQ(full.status, RleStatus::ok);
    EXPECT_EQ(full.produced, 81u);

    std::fill(output.begin(), output.end(), 0xEE);
    const RleDecodeResult small = RleDecode(input, std::span(output).first(40));
    EXPECT_EQ(small.status, RleStatus::output_full);
    EXPECT_EQ(small.consumed, 1u);
    EXPECT_EQ(small.produced, 1u);
    EXPECT_EQ(output[0], 0x10);
    for (std::size_t i = 1; i < output.size(); ++i) {
        ASSERT_EQ(output[i], 0xEE) << i;
    }
}

}  // namespace
