// The cell checksum against its plain definition: a bit-by-bit CRC-16/ARC, the byte sum and
// the last byte, on random cells of every shape and with every CRC kernel this processor has.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "videoscan/cell_checksum.h"
#include "videoscan/crc16_arc.h"

namespace {

using videoscan::CellLayout;

struct Plain {
    std::uint16_t crc = 0;
    std::uint8_t sum = 0;
    std::uint8_t last = 0;

    void Feed(std::uint8_t byte) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
        sum = static_cast<std::uint8_t>(sum + byte);
        last = byte;
    }
    std::uint32_t Value() const { return static_cast<std::uint32_t>(crc) << 16 | sum << 8 | last; }
};

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

TEST(Crc16Arc, KnownCheckValue) {
    const std::uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    for (videoscan::CrcKernel kernel : videoscan::AvailableCrcKernels()) {
        const videoscan::CrcSum result = videoscan::CrcSumUpdateWith(kernel, {}, text, 9);
        EXPECT_EQ(result.crc, 0xBB3D) << videoscan::CrcKernelName(kernel);
        EXPECT_EQ(result.sum, static_cast<std::uint8_t>(0x1DD));
    }
}

// Every kernel agrees with the bit-by-bit definition at every length around its block sizes,
// from any running state and any alignment.
TEST(Crc16Arc, EveryKernelMatchesTheDefinition) {
    std::mt19937 random(7);
    const std::vector<std::uint8_t> bytes = RandomBytes(random, 15400);
    for (videoscan::CrcKernel kernel : videoscan::AvailableCrcKernels()) {
        for (std::size_t length :
             {0,   1,   7,   8,    15,   16,   17,   31,   32,   33,   63,   64,    65,   127, 128,
              129, 143, 144, 145,  159,  160,  255,  256,  257,  287,  288,  383,   384,  511, 512,
              513, 543, 544, 1023, 1024, 1040, 2047, 2048, 2079, 3841, 4999, 15359, 15360}) {
            for (std::size_t offset : {0, 1, 3}) {
                Plain plain;
                plain.crc = static_cast<std::uint16_t>(length * 977);
                plain.sum = static_cast<std::uint8_t>(length);
                const videoscan::CrcSum start{plain.crc, plain.sum};
                for (std::size_t i = 0; i < length; ++i) {
                    plain.Feed(bytes[offset + i]);
                }
                const videoscan::CrcSum result =
                    videoscan::CrcSumUpdateWith(kernel, start, bytes.data() + offset, length);
                ASSERT_EQ(result.crc, plain.crc)
                    << videoscan::CrcKernelName(kernel) << " length " << length;
                ASSERT_EQ(result.sum, plain.sum)
                    << videoscan::CrcKernelName(kernel) << " length " << length;
            }
        }
    }
}

// Long messages go through the exclusive-or reduction: every number of digits left after its
// unrolled steps, every tail of bytes after the last whole digit, and messages many times its
// length, from running states, agree with the definition.
TEST(Crc16Arc, LongMessagesMatchTheDefinition) {
    std::mt19937 random(5);
    const std::vector<std::uint8_t> bytes = RandomBytes(random, 70000);
    std::vector<std::size_t> lengths = {65536 + 13, 40960, 33 * 1024 + 5};
    for (std::size_t digits = 60; digits < 60 + 2 * 17; digits += 2) {
        for (std::size_t tail : {0, 9, 31}) {
            lengths.push_back(16 * digits + tail);
            lengths.push_back(32 * digits + tail);
        }
    }
    for (videoscan::CrcKernel kernel : videoscan::AvailableCrcKernels()) {
        for (std::size_t length : lengths) {
            Plain plain;
            plain.crc = static_cast<std::uint16_t>(random());
            plain.sum = static_cast<std::uint8_t>(random());
            const videoscan::CrcSum start{plain.crc, plain.sum};
            for (std::size_t i = 0; i < length; ++i) {
                plain.Feed(bytes[1 + i]);
            }
            const videoscan::CrcSum result =
                videoscan::CrcSumUpdateWith(kernel, start, bytes.data() + 1, length);
            ASSERT_EQ(result.crc, plain.crc)
                << videoscan::CrcKernelName(kernel) << " length " << length;
            ASSERT_EQ(result.sum, plain.sum)
                << videoscan::CrcKernelName(kernel) << " length " << length;
        }
    }
}

// A message whose digits cancel in the reduction (the same 16 or 32 bytes over and over, all
// ones, all zeros after a running state) still has the definition's value.
TEST(Crc16Arc, RepeatingMessagesMatchTheDefinition) {
    for (std::uint8_t fill : {0x00, 0xFF, 0x5A}) {
        for (std::size_t period : {1, 16, 32}) {
            std::vector<std::uint8_t> bytes(15360);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                bytes[i] = static_cast<std::uint8_t>(fill ^ (i % period));
            }
            for (videoscan::CrcKernel kernel : videoscan::AvailableCrcKernels()) {
                Plain plain;
                plain.crc = 0xBEEF;
                for (std::uint8_t byte : bytes) {
                    plain.Feed(byte);
                }
                const videoscan::CrcSum result =
                    videoscan::CrcSumUpdateWith(kernel, {0xBEEF, 0}, bytes.data(), bytes.size());
                ASSERT_EQ(result.crc, plain.crc) << videoscan::CrcKernelName(kernel);
                ASSERT_EQ(result.sum, plain.sum) << videoscan::CrcKernelName(kernel);
            }
        }
    }
}

// Copying while checksumming: in one piece and in pieces of every size (rows of a cell), with
// every kernel, the value is the definition's and the copy equals the bytes.
TEST(Crc16Arc, CopyingKernelsAndStreamsMatchTheDefinition) {
    std::mt19937 random(11);
    const std::vector<std::uint8_t> bytes = RandomBytes(random, 16000);
    for (videoscan::CrcKernel kernel : videoscan::AvailableCrcKernels()) {
        for (std::size_t length : {0, 5, 255, 256, 511, 512, 513, 1920, 4000, 15360}) {
            Plain plain;
            plain.crc = 0x1234;
            plain.sum = 0x56;
            const videoscan::CrcSum start{plain.crc, plain.sum};
            for (std::size_t i = 0; i < length; ++i) {
                plain.Feed(bytes[i]);
            }
            std::vector<std::uint8_t> copy(length + 1, 0xEE);
            const videoscan::CrcSum whole =
                videoscan::CrcSumCopyWith(kernel, start, bytes.data(), length, copy.data());
            EXPECT_EQ(whole.crc, plain.crc) << videoscan::CrcKernelName(kernel) << " " << length;
            EXPECT_EQ(whole.sum, plain.sum) << videoscan::CrcKernelName(kernel) << " " << length;
            EXPECT_TRUE(
                std::equal(bytes.begin(), bytes.begin() + static_cast<long>(length), copy.begin()));
            EXPECT_EQ(copy[length], 0xEE);  // nothing written past the copy

            for (std::size_t piece : {1, 7, 100, 255, 256, 257, 600, 1920}) {
                videoscan::CrcSumCopyStream stream(kernel, start);
                std::vector<std::uint8_t> pieces(length + 1, 0xEE);
                for (std::size_t at = 0; at < length; at += piece) {
                    const std::size_t size = std::min(piece, length - at);
                    stream.Append(bytes.data() + at, size, pieces.data() + at);
                }
                const videoscan::CrcSum streamed = stream.Finish();
                ASSERT_EQ(streamed.crc, plain.crc)
                    << videoscan::CrcKernelName(kernel) << " " << length << " by " << piece;
                ASSERT_EQ(streamed.sum, plain.sum)
                    << videoscan::CrcKernelName(kernel) << " " << length << " by " << piece;
                ASSERT_EQ(pieces, copy) << length << " by " << piece;
            }
        }
    }
}

// The kernel chosen at start is the fastest this processor has.
TEST(Crc16Arc, TheFastestAvailableKernelRuns) {
    const auto kernels = videoscan::AvailableCrcKernels();
    ASSERT_FALSE(kernels.empty());
    EXPECT_EQ(kernels.front(), videoscan::CrcKernel::Table);
    EXPECT_EQ(videoscan::ChosenCrcKernel(), kernels.back());
}

// Cells as the display lays them out: every depth, widths that do and do not fill the last
// byte of a row, rows with and without filler.
TEST(CellChecksum, RandomCellsOfEveryShapeMatchTheDefinition) {
    std::mt19937 random(11);
    for (int bitsPerPixel : {1, 4, 8, 16, 24, 32}) {
        for (unsigned width : {1u, 3u, 5u, 8u, 13u, 16u, 33u, 160u, 481u}) {
            for (unsigned height : {1u, 2u, 8u, 13u}) {
                const unsigned rowBytes = (width * bitsPerPixel + 7) / 8;
                const unsigned deviceRowBytes = (rowBytes + 1) / 2 * 2;
                CellLayout layout;
                layout.rowBytes = static_cast<std::uint16_t>(rowBytes);
                layout.deviceRowBytes = static_cast<std::uint16_t>(deviceRowBytes);
                layout.rows = height;
                layout.rowEndMask = videoscan::RowEndMask(width, bitsPerPixel);
                const auto cell = RandomBytes(random, deviceRowBytes * height);

                Plain plain;
                for (unsigned row = 0; row < height; ++row) {
                    const std::uint8_t* data = cell.data() + row * deviceRowBytes;
                    if (rowBytes == deviceRowBytes) {
                        for (unsigned i = 0; i < rowBytes; ++i) {
                            plain.Feed(data[i]);
                        }
                        continue;
                    }
                    for (unsigned i = 0; i + 1 < rowBytes; ++i) {
                        plain.Feed(data[i]);
                    }
                    plain.Feed(data[rowBytes - 1] & layout.rowEndMask);
                }
                ASSERT_EQ(videoscan::CellChecksum(cell.data(), rowBytes * height, layout),
                          plain.Value())
                    << bitsPerPixel << " bpp, " << width << " x " << height;
            }
        }
    }
}

TEST(CellChecksum, FillerAndBitsPastTheWidthNeverCount) {
    // 1 bit per pixel, 3 pixels wide: one data byte (mask 0xE0) and one filler byte per row.
    CellLayout layout{1, 2, 2, videoscan::RowEndMask(3, 1)};
    EXPECT_EQ(layout.rowEndMask, 0xE0);
    const std::uint8_t a[] = {0xA0, 0x00, 0x40, 0x00};
    const std::uint8_t b[] = {0xBF, 0x77, 0x5F, 0xFF};
    EXPECT_EQ(videoscan::CellChecksum(a, 99, layout), videoscan::CellChecksum(b, 99, layout));
    const std::uint8_t c[] = {0xA0, 0x00, 0x60, 0x00};  // a pixel inside the width differs
    EXPECT_NE(videoscan::CellChecksum(a, 99, layout), videoscan::CellChecksum(c, 99, layout));
    // The masked byte is the last byte: 0x40 & 0xE0.
    EXPECT_EQ(videoscan::CellChecksum(a, 99, layout) & 0xFF, 0x40u);

    // 8 bits per pixel at an odd width: the last pixel is whole and counts in full.
    CellLayout eight{3, 4, 1, videoscan::RowEndMask(3, 8)};
    const std::uint8_t d[] = {1, 2, 3, 9};
    const std::uint8_t e[] = {1, 2, 4, 7};
    EXPECT_NE(videoscan::CellChecksum(d, 99, eight), videoscan::CellChecksum(e, 99, eight));
}

TEST(CellChecksum, TightRowsUseTheCountGiven) {
    const std::uint8_t bytes[] = {0x31, 0x32, 0x33, 0x34};
    CellLayout layout{2, 2, 2, 0xFF};
    Plain plain;
    for (int i = 0; i < 3; ++i) {
        plain.Feed(bytes[i]);
    }
    EXPECT_EQ(videoscan::CellChecksum(bytes, 3, layout), plain.Value());
    EXPECT_EQ(videoscan::ChecksumBytes(bytes, 0), 0u);
}

}  // namespace
