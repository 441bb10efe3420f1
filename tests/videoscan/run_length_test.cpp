// The scanner's run-length coder: the codes byte by byte, the capacity limit, and round trips
// through the decoder the other side uses.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "rle_decode.h"
#include "videoscan/run_length.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const Bytes& input, std::size_t capacity = 20000) {
    Bytes output(capacity + 8, 0xEE);
    const std::size_t length =
        videoscan::RunLengthEncode(input.data(), input.size(), output.data(), capacity);
    for (std::size_t i = capacity; i < output.size(); ++i) {
        EXPECT_EQ(output[i], 0xEE) << "written past the capacity at " << i;
    }
    if (length > capacity) {
        return Bytes{};
    }
    output.resize(length);
    return output;
}

TEST(RunLength, CodesEachRunKind) {
    EXPECT_EQ(Encode({0x00, 0x00, 0x00}), (Bytes{0xF3}));
    EXPECT_EQ(Encode({0xFF, 0xFF, 0xFF}), (Bytes{0xF5}));
    EXPECT_EQ(Encode({0x41, 0x41, 0x41}), (Bytes{0xF4, 0x41}));
    EXPECT_EQ(Encode({0xF2}), (Bytes{0xF2, 0xF2}));
    EXPECT_EQ(Encode({0xF4, 0xF4}), (Bytes{0xF2, 0x02, 0xF4}));
    EXPECT_EQ(Encode({0xF5, 0xF5, 0xF5}), (Bytes{0xF4, 0xF5}));  // three of x
    EXPECT_EQ(Encode({0x10, 0x20, 0x20, 0x30}), (Bytes{0x10, 0x20, 0x20, 0x30}));
    EXPECT_EQ(Encode(Bytes(4, 0x07)), (Bytes{0xF2, 0x04, 0x07}));
    EXPECT_EQ(Encode(Bytes(241, 0x41)), (Bytes{0xF2, 0xF0, 0x41, 0x41}));
    EXPECT_EQ(Encode(Bytes(243, 0x00)), (Bytes{0xF2, 0xF0, 0x00, 0xF3}));
    EXPECT_EQ(Encode(Bytes(480, 0xF3)), (Bytes{0xF2, 0xF0, 0xF3, 0xF2, 0xF0, 0xF3}));
    EXPECT_EQ(Encode(Bytes(241, 0xF3)), (Bytes{0xF2, 0xF0, 0xF3, 0xF2, 0xF3}));
}

TEST(RunLength, OutputThatWouldPassTheCapacityGivesLengthPlusOne) {
    Bytes input;
    for (int i = 0; i < 100; ++i) {
        input.push_back(0xF2);  // every byte doubles
        input.push_back(0x10);
    }
    Bytes output(150, 0xEE);
    EXPECT_EQ(videoscan::RunLengthEncode(input.data(), input.size(), output.data(), 150), 201u);
    // A code that does not fit whole is not started.
    Bytes tiny(2, 0xEE);
    const Bytes run = {0x41, 0x41, 0x41, 0x41};
    EXPECT_EQ(videoscan::RunLengthEncode(run.data(), run.size(), tiny.data(), 2), 5u);
    EXPECT_EQ(tiny, (Bytes{0xEE, 0xEE}));
}

TEST(RunLength, RandomSequencesRoundTripThroughTheDecoder) {
    std::mt19937 random(3);
    for (int round = 0; round < 300; ++round) {
        Bytes input;
        const int length = 2 + static_cast<int>(random() % 3000);
        while (static_cast<int>(input.size()) < length) {
            // Runs of every length, biased to the escape bytes and 0x00/0xFF.
            static const std::uint8_t kInteresting[] = {0x00, 0xFF, 0xF1, 0xF2, 0xF3,
                                                        0xF4, 0xF5, 0xF6, 0x41};
            const std::uint8_t byte =
                (random() % 2) ? kInteresting[random() % 9] : static_cast<std::uint8_t>(random());
            const int run = (random() % 4 == 0) ? static_cast<int>(random() % 600)
                                                : 1 + static_cast<int>(random() % 4);
            input.insert(input.end(), static_cast<std::size_t>(run), byte);
        }
        const Bytes coded = Encode(input);
        ASSERT_FALSE(coded.empty());
        Bytes decoded;
        const RleDecodeResult result = RleDecodeAppend(coded, decoded);
        ASSERT_EQ(result.status, RleStatus::ok);
        ASSERT_EQ(decoded, input);
    }
}

}  // namespace
