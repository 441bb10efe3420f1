#include "implode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "codec_samples.h"
#include "storm_oracle.h"

namespace {

using samples::Bytes;

// Feeds a byte vector to a read callback in pieces of at most `chunk` bytes and collects what
// the write callback gets.
struct Pipe {
    Pipe(const Bytes* input_bytes, std::size_t chunk_size)
        : input(input_bytes), chunk(chunk_size) {}

    const Bytes* input;
    std::size_t chunk;
    std::size_t position = 0;
    Bytes output;
    int writes = 0;

    static unsigned int Read(char* buf, unsigned int* size, void* param) {
        auto* pipe = static_cast<Pipe*>(param);
        const std::size_t count = std::min(
            {static_cast<std::size_t>(*size), pipe->chunk, pipe->input->size() - pipe->position});
        std::memcpy(buf, pipe->input->data() + pipe->position, count);
        pipe->position += count;
        return static_cast<unsigned int>(count);
    }
    static void Write(char* buf, unsigned int* size, void* param) {
        auto* pipe = static_cast<Pipe*>(param);
        pipe->output.insert(pipe->output.end(), buf, buf + *size);
        ++pipe->writes;
    }
};

Bytes Implode(const Bytes& data, unsigned int type, unsigned int dictionary_size,
              std::size_t chunk = 1 << 20) {
    std::vector<char> work(CMP_BUFFER_SIZE);
    Pipe pipe{&data, chunk};
    EXPECT_EQ(implode(Pipe::Read, Pipe::Write, work.data(), &pipe, &type, &dictionary_size),
              CMP_NO_ERROR);
    return pipe.output;
}

struct Exploded {
    unsigned int result;
    Bytes data;
};

Exploded Explode(const Bytes& stream, std::size_t chunk = 1 << 20) {
    std::vector<char> work(EXP_BUFFER_SIZE);
    Pipe pipe{&stream, chunk};
    const unsigned int result = explode(Pipe::Read, Pipe::Write, work.data(), &pipe);
    return {result, pipe.output};
}

enum class Kind { text, binary, random, screen, empty };

Bytes Sample(Kind kind) {
    switch (kind) {
        case Kind::text:
            return samples::Text(40000);
        case Kind::binary:
            return samples::Binary(40000);
        case Kind::random:
            return samples::Random(20000);
        case Kind::screen:
            return samples::Screen(320, 120);
        case Kind::empty:
            return {};
    }
    return {};
}

// Every data kind, with both types and every dictionary size.
class ImplodeInterop
    : public ::testing::TestWithParam<std::tuple<Kind, unsigned int, unsigned int>> {};

TEST_P(ImplodeInterop, OursDecodesWithTheirsAndTheirsWithOurs) {
    const auto [kind, type, dictionary_size] = GetParam();
    const Bytes data = Sample(kind);

    const Bytes ours = Implode(data, type, dictionary_size);
    ASSERT_GE(ours.size(), 4u);
    EXPECT_EQ(ours[0], type);
    EXPECT_EQ(ours[1], dictionary_size == 1024 ? 4 : dictionary_size == 2048 ? 5 : 6);
    const Exploded own = Explode(ours);
    EXPECT_EQ(own.result, CMP_NO_ERROR);
    EXPECT_EQ(own.data, data);
    if (!data.empty()) {  // StormLib's explode refuses a stream that decodes to nothing
        const auto by_storm = storm::Explode(ours);
        ASSERT_TRUE(by_storm.has_value());
        EXPECT_EQ(*by_storm, data);
    }

    const Bytes theirs = storm::Implode(data, type, dictionary_size);
    const Exploded from_storm = Explode(theirs);
    EXPECT_EQ(from_storm.result, CMP_NO_ERROR);
    EXPECT_EQ(from_storm.data, data);
}

INSTANTIATE_TEST_SUITE_P(AllModes, ImplodeInterop,
                         ::testing::Combine(::testing::Values(Kind::text, Kind::binary,
                                                              Kind::random, Kind::screen,
                                                              Kind::empty),
                                            ::testing::Values(CMP_BINARY, CMP_ASCII),
                                            ::testing::Values(1024u, 2048u, 4096u)));

TEST(Implode, ArchiveLibraryBufferCallsInteroperate) {
    for (const Bytes& data : {samples::Text(3000), samples::Binary(30000)}) {
        const Bytes theirs = storm::CompImplode(data);
        ASSERT_FALSE(theirs.empty());
        EXPECT_EQ(Explode(theirs).data, data);

        const Bytes ours = Implode(data, CMP_BINARY, 4096);
        const auto decoded = storm::CompExplode(ours, data.size());
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, data);
    }
}

TEST(Implode, TinyReadsGiveTheSameStreamAndTinyReadsDecodeIt) {
    const Bytes data = samples::Text(30000);
    const Bytes whole = Implode(data, CMP_ASCII, 2048);
    EXPECT_EQ(Implode(data, CMP_ASCII, 2048, 1), whole);
    EXPECT_EQ(Implode(data, CMP_ASCII, 2048, 7), whole);

    const Exploded one_by_one = Explode(whole, 1);
    EXPECT_EQ(one_by_one.result, CMP_NO_ERROR);
    EXPECT_EQ(one_by_one.data, data);
    // StormLib's explode wants more than 4 bytes from its first read.
    const auto by_storm = storm::Explode(whole, 5);
    ASSERT_TRUE(by_storm.has_value());
    EXPECT_EQ(*by_storm, data);
}

// The stream layouts are fixed by the format: checking a few as bytes pins the bit order, the
// literal and copy flags and the end mark.
TEST(Implode, StreamsAsBytes) {
    EXPECT_EQ(Implode({}, CMP_BINARY, 4096), (Bytes{0x00, 0x06, 0x01, 0xFF}));
    // Literal 'A' (flag 0, 8 bits), then the end mark.
    EXPECT_EQ(Implode({'A'}, CMP_BINARY, 1024), (Bytes{0x00, 0x04, 0x82, 0x02, 0xFE, 0x01}));
    // 'A', then a copy of 5 bytes from 1 back: flag 1, length code 011, distance code 11,
    // 4 low bits 0000, then the end mark.
    const Bytes data = {'A', 'A', 'A', 'A', 'A', 'A'};
    const Bytes run = Implode(data, CMP_BINARY, 1024);
    EXPECT_EQ(run, (Bytes{0x00, 0x04, 0x82, 0x7A, 0x08, 0xF8, 0x07}));
    EXPECT_EQ(storm::Explode(run), data);
}

TEST(Implode, CompressesRepeatedDataWell) {
    const Bytes zeros(100000, 0);
    EXPECT_LT(Implode(zeros, CMP_BINARY, 1024).size(), 700u);
    // Random data grows by little more than the literal flags (9 bits for 8).
    const Bytes noise = samples::Random(10000);
    EXPECT_LT(Implode(noise, CMP_BINARY, 1024).size(), 10000u * 9 / 8 + 16);
}

// A weaker match finder or parse shows here first: our streams stay as small as StormLib's.
TEST(Implode, CompressesAsWellAsStormLib) {
    const Bytes screen = samples::Screen(640, 200);
    const Bytes text = samples::Text(60000);
    const Bytes binary = samples::Binary(60000);
    for (unsigned int size : {1024u, 4096u}) {
        for (const Bytes* data : {&screen, &text, &binary}) {
            const double ours = static_cast<double>(Implode(*data, CMP_BINARY, size).size());
            const double theirs =
                static_cast<double>(storm::Implode(*data, CMP_BINARY, size).size());
            EXPECT_LE(ours, theirs * 1.02) << "dictionary " << size;
        }
    }
    const double ascii_ours = static_cast<double>(Implode(text, CMP_ASCII, 2048).size());
    const double ascii_theirs = static_cast<double>(storm::Implode(text, CMP_ASCII, 2048).size());
    EXPECT_LE(ascii_ours, ascii_theirs * 1.02);
}

TEST(Implode, RejectsBadArguments) {
    std::vector<char> work(CMP_BUFFER_SIZE);
    const Bytes data = samples::Text(100);
    Pipe pipe{&data, 100};
    unsigned int type = 2;
    unsigned int size = 1024;
    EXPECT_EQ(implode(Pipe::Read, Pipe::Write, work.data(), &pipe, &type, &size), CMP_INVALID_MODE);
    type = CMP_BINARY;
    for (unsigned int bad : {0u, 512u, 3000u, 8192u}) {
        size = bad;
        EXPECT_EQ(implode(Pipe::Read, Pipe::Write, work.data(), &pipe, &type, &size),
                  CMP_INVALID_DICTSIZE);
    }
    size = 1024;
    EXPECT_EQ(implode(nullptr, Pipe::Write, work.data(), &pipe, &type, &size), CMP_ABORT);
    EXPECT_EQ(implode(Pipe::Read, Pipe::Write, nullptr, &pipe, &type, &size), CMP_ABORT);
    EXPECT_EQ(pipe.position, 0u);
    EXPECT_TRUE(pipe.output.empty());
}

TEST(Implode, WorkAreaOfAnyAlignmentAndContentGivesTheSameStream) {
    const Bytes data = samples::Binary(20000);
    const Bytes expected = Implode(data, CMP_BINARY, 1024);
    std::vector<char> work(CMP_BUFFER_SIZE + 8, static_cast<char>(0xA5));
    for (std::size_t offset : {1u, 3u, 7u}) {
        Pipe pipe{&data, 4096};
        unsigned int type = CMP_BINARY;
        unsigned int size = 1024;
        ASSERT_EQ(implode(Pipe::Read, Pipe::Write, work.data() + offset, &pipe, &type, &size),
                  CMP_NO_ERROR);
        EXPECT_EQ(pipe.output, expected);
    }
}

// A compression started from inside another's callback must not disturb it: there is no
// state outside the work areas.
TEST(Implode, NestedCallsAreIndependent) {
    struct Outer {
        Pipe pipe;
        Bytes inner_data;
        Bytes inner_stream;
    };
    Outer outer{Pipe{nullptr, 512}, samples::Text(9000, 7), {}};
    const Bytes data = samples::Binary(30000);
    outer.pipe.input = &data;
    auto read = [](char* buf, unsigned int* size, void* param) -> unsigned int {
        auto* self = static_cast<Outer*>(param);
        if (self->inner_stream.empty()) {
            self->inner_stream = Implode(self->inner_data, CMP_ASCII, 4096);
        }
        return Pipe::Read(buf, size, &self->pipe);
    };
    auto write = [](char* buf, unsigned int* size, void* param) {
        Pipe::Write(buf, size, &static_cast<Outer*>(param)->pipe);
    };
    std::vector<char> work(CMP_BUFFER_SIZE);
    unsigned int type = CMP_BINARY;
    unsigned int size = 2048;
    ASSERT_EQ(implode(read, write, work.data(), &outer, &type, &size), CMP_NO_ERROR);
    EXPECT_EQ(outer.pipe.output, Implode(data, CMP_BINARY, 2048));
    EXPECT_EQ(Explode(outer.inner_stream).data, outer.inner_data);
}

TEST(Explode, EveryTruncationIsBadData) {
    const Bytes data = samples::Text(3000);
    for (unsigned int type : {CMP_BINARY, CMP_ASCII}) {
        const Bytes stream = Implode(data, type, 1024);
        for (std::size_t length = 0; length < stream.size(); ++length) {
            const Bytes prefix(stream.begin(), stream.begin() + static_cast<long>(length));
            const Exploded result = Explode(prefix, 5);
            EXPECT_EQ(result.result, CMP_BAD_DATA) << "prefix of " << length;
            // What was decoded before the cut is a prefix of the data.
            ASSERT_LE(result.data.size(), data.size());
            EXPECT_TRUE(std::equal(result.data.begin(), result.data.end(), data.begin()));
        }
    }
}

TEST(Explode, RejectsBadHeaders) {
    EXPECT_EQ(Explode({0x02, 0x04, 0x01, 0xFF}).result, CMP_INVALID_MODE);
    EXPECT_EQ(Explode({0x00, 0x03, 0x01, 0xFF}).result, CMP_INVALID_DICTSIZE);
    EXPECT_EQ(Explode({0x00, 0x07, 0x01, 0xFF}).result, CMP_INVALID_DICTSIZE);
    EXPECT_EQ(Explode({0x00}).result, CMP_BAD_DATA);
    EXPECT_EQ(Explode({}).result, CMP_BAD_DATA);
    std::vector<char> work(EXP_BUFFER_SIZE);
    EXPECT_EQ(explode(Pipe::Read, nullptr, work.data(), nullptr), CMP_ABORT);
}

TEST(Explode, RejectsCopiesFromBeforeTheStart) {
    // Binary, 1024: a copy of 3 bytes from 1 back as the first code.
    //  bits: 1 (copy), length 3 = code 11, distance high 0 = code 11, low 4 bits 0000.
    const Bytes stream = {0x00, 0x04, 0x1F, 0x00, 0x00, 0x00};
    EXPECT_EQ(Explode(stream).result, CMP_BAD_DATA);
    // After one literal, the same copy is fine and repeats it.
    const Bytes ok = Implode({'x', 'x', 'x', 'x'}, CMP_BINARY, 1024);
    EXPECT_EQ(Explode(ok).data, (Bytes{'x', 'x', 'x', 'x'}));
    // Whole streams: literal 'x', a copy of 3 from 1 or 2 back, the end code (copy length 519:
    // seven 0 bits, then eight 1 bits). Two back reaches one byte before the start.
    const Bytes fromOneBack = {0x00, 0x04, 0xF0, 0x3E, 0x04, 0xFC, 0x03};
    const Exploded repeated = Explode(fromOneBack);
    EXPECT_EQ(repeated.result, CMP_NO_ERROR);
    EXPECT_EQ(repeated.data, (Bytes{'x', 'x', 'x', 'x'}));
    const Bytes fromTwoBack = {0x00, 0x04, 0xF0, 0x7E, 0x04, 0xFC, 0x03};
    EXPECT_EQ(Explode(fromTwoBack).result, CMP_BAD_DATA);
}

// Random changes of valid streams must never crash or touch memory outside the work area (the
// sanitizer builds check the latter); they decode to something or fail with a result code.
TEST(Explode, SurvivesCorruptedStreams) {
    const Bytes data = samples::Binary(5000);
    const Bytes stream = Implode(data, CMP_BINARY, 2048);
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        Bytes bad = stream;
        for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips) {
            bad[2 + rng() % (bad.size() - 2)] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        }
        const Exploded result = Explode(bad, 1 + rng() % 64);
        EXPECT_TRUE(result.result == CMP_NO_ERROR || result.result == CMP_BAD_DATA);
    }
}

}  // namespace
