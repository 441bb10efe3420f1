#include "fvcpress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include <zlib.h>

#include "codec_samples.h"

namespace {

using samples::Bytes;

// The scanner's side of a deflate call: its record sequence and the packed data.
struct Frame {
    explicit Frame(const Bytes* bytes, std::size_t chunk_size = 65535)
        : data(bytes), chunk(chunk_size) {}

    const Bytes* data;
    std::size_t chunk;
    std::size_t position = 0;
    Bytes packed;
    std::size_t largest_write = 0;
    int empty_writes = 0;

    static unsigned short Read(char* destination, unsigned short size, void* context) {
        auto* frame = static_cast<Frame*>(context);
        const std::size_t count = std::min(
            {static_cast<std::size_t>(size), frame->chunk, frame->data->size() - frame->position});
        std::memcpy(destination, frame->data->data() + frame->position, count);
        frame->position += count;
        return static_cast<unsigned short>(count);
    }
    static void Write(char* bytes, unsigned short size, void* context) {
        auto* frame = static_cast<Frame*>(context);
        frame->packed.insert(frame->packed.end(), bytes, bytes + size);
        frame->largest_write = std::max<std::size_t>(frame->largest_write, size);
        frame->empty_writes += size == 0;
    }
};

Bytes Deflate(const Bytes& data, std::size_t chunk = 65535) {
    Frame frame{&data, chunk};
    EXPECT_EQ(deflate(Frame::Read, Frame::Write, &frame), 1);
    EXPECT_EQ(frame.position, data.size());
    EXPECT_EQ(frame.empty_writes, 0);
    return frame.packed;
}

// Decodes a frame the way the receiver does: its header gives the raw length.
Bytes Inflate(FrameInflater& inflater, const Bytes& packed, std::size_t raw_length) {
    Bytes out(raw_length);
    const FrameInflater::Result result = inflater.Inflate(packed, out);
    EXPECT_EQ(result.status, FrameInflater::Status::ok) << FrameInflater::StatusText(result.status);
    EXPECT_EQ(result.produced, raw_length);
    return out;
}

class Fvcpress : public ::testing::Test {
protected:
    void SetUp() override { deflate_clr(); }
};

TEST_F(Fvcpress, FramesDecodeOneByOneAsTheyArrive) {
    FrameInflater inflater;
    const Bytes text = samples::Text(60000);
    std::size_t offset = 0;
    for (std::size_t size : {10240u, 37u, 5000u, 10240u, 1u, 9999u, 10240u}) {
        const Bytes data(text.begin() + static_cast<long>(offset),
                         text.begin() + static_cast<long>(offset + size));
        offset += size;
        const Bytes packed = Deflate(data, 1000);
        EXPECT_EQ(Inflate(inflater, packed, data.size()), data);
    }
}

TEST_F(Fvcpress, HistoryCarriesFromFrameToFrame) {
    const Bytes data = samples::Binary(8000);
    FrameInflater inflater;
    const Bytes first = Deflate(data);
    const Bytes second = Deflate(data);
    EXPECT_LT(second.size() * 20, first.size());
    EXPECT_EQ(Inflate(inflater, first, data.size()), data);
    EXPECT_EQ(Inflate(inflater, second, data.size()), data);

    // After a reset the same frame costs its full size again and needs no history.
    deflate_clr();
    const Bytes third = Deflate(data);
    EXPECT_EQ(third, first);
    FrameInflater fresh;
    EXPECT_EQ(Inflate(fresh, third, data.size()), data);
}

// A frame whose deflated form was discarded (it did not fit, so the frame went raw) is in the
// sender's history only. The raw frame resets both sides and later frames decode again.
TEST_F(Fvcpress, RawFrameAfterADiscardedAttemptResetsBothSides) {
    const Bytes a = samples::Text(6000, 21);
    const Bytes noise = samples::Random(10240);
    Bytes c = noise;  // refers back to the discarded frame
    c.insert(c.end(), a.begin(), a.begin() + 200);
    c.resize(10240);

    FrameInflater receiver;
    EXPECT_EQ(Inflate(receiver, Deflate(a), a.size()), a);
    Deflate(noise);  // discarded: the frame goes out raw, and both sides reset
    deflate_clr();
    receiver.Reset();
    const Bytes packed_c = Deflate(c);
    EXPECT_EQ(Inflate(receiver, packed_c, c.size()), c);

    // Without the reset the receiver cannot rebuild the frame: this is the fault the rule mends.
    deflate_clr();
    FrameInflater out_of_step;
    EXPECT_EQ(Inflate(out_of_step, Deflate(a), a.size()), a);
    Deflate(noise);
    const Bytes refers_to_noise = Deflate(c);
    Bytes out(c.size());
    const FrameInflater::Result result = out_of_step.Inflate(refers_to_noise, out);
    EXPECT_TRUE(result.status != FrameInflater::Status::ok || out != c);
}

TEST_F(Fvcpress, TinyReadsAndSmallWrites) {
    const Bytes data = samples::Random(30000);
    Frame frame{&data, 1};
    ASSERT_EQ(deflate(Frame::Read, Frame::Write, &frame), 1);
    EXPECT_LE(frame.largest_write, 65535u);
    FrameInflater inflater;
    EXPECT_EQ(Inflate(inflater, frame.packed, data.size()), data);
}

TEST_F(Fvcpress, EmptyFrameWritesNothing) {
    const Bytes none;
    EXPECT_TRUE(Deflate(none).empty());
    FrameInflater inflater;
    Bytes out(8);
    EXPECT_EQ(inflater.Inflate(Bytes{}, out).status, FrameInflater::Status::ok);
    EXPECT_EQ(deflate(nullptr, Frame::Write, nullptr), 0);
}

TEST_F(Fvcpress, InflaterRefusesBadFramesUntilReset) {
    const Bytes data = samples::Text(5000);
    const Bytes packed = Deflate(data);
    Bytes out(data.size());

    FrameInflater inflater;
    const Bytes cut(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
    EXPECT_EQ(inflater.Inflate(cut, out).status, FrameInflater::Status::incomplete);
    EXPECT_EQ(inflater.Inflate(packed, out).status, FrameInflater::Status::needs_reset);
    inflater.Reset();
    EXPECT_EQ(Inflate(inflater, packed, data.size()), data);

    FrameInflater small;
    Bytes too_small(data.size() - 1);
    const FrameInflater::Result full = small.Inflate(packed, too_small);
    EXPECT_EQ(full.status, FrameInflater::Status::output_full);
    EXPECT_LE(full.produced, too_small.size());

    FrameInflater corrupt;
    Bytes garbage = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(corrupt.Inflate(garbage, out).status, FrameInflater::Status::bad_data);

    // A final block would end the stream that later frames continue.
    FrameInflater final_block;
    const Bytes ended = {0x03, 0x00};  // an empty final block with fixed codes
    EXPECT_NE(final_block.Inflate(ended, out).status, FrameInflater::Status::ok);
}

TEST_F(Fvcpress, InflateAppendHonoursItsLimit) {
    const Bytes data(50000, 'x');
    const Bytes packed = Deflate(data);
    FrameInflater inflater;
    Bytes out;
    EXPECT_EQ(inflater.InflateAppend(packed, out, 1000).status, FrameInflater::Status::output_full);
    EXPECT_LE(out.size(), 1000u);
    inflater.Reset();
    out.clear();
    deflate_clr();
    const Bytes again = Deflate(data);
    EXPECT_EQ(inflater.InflateAppend(again, out, data.size()).status, FrameInflater::Status::ok);
    EXPECT_EQ(out, data);
}

// Without a known raw length only the frame's end tells a whole frame from a cut one: the end
// of a partial flush or of a sync flush.
TEST_F(Fvcpress, InflateAppendKnowsWhereAFrameEnds) {
    const Bytes data = samples::Text(3000);
    for (const auto frameEnd : {DeflateTuning::FrameEnd::partial, DeflateTuning::FrameEnd::sync}) {
        DeflateTuning tuning;
        tuning.frameEnd = frameEnd;
        FrameDeflater deflater(tuning);
        Frame frame{&data, 65535};
        ASSERT_TRUE(deflater.Compress(Frame::Read, Frame::Write, &frame));
        FrameInflater whole;
        Bytes out;
        EXPECT_EQ(whole.InflateAppend(frame.packed, out, 1 << 20).status,
                  FrameInflater::Status::ok);
        EXPECT_EQ(out, data);
        FrameInflater cut;
        const Bytes half(frame.packed.begin(),
                         frame.packed.begin() + static_cast<long>(frame.packed.size() / 2));
        out.clear();
        EXPECT_EQ(cut.InflateAppend(half, out, 1 << 20).status, FrameInflater::Status::incomplete);
    }
}

// Scanners on different threads each keep their own stream.
TEST_F(Fvcpress, ThreadsKeepSeparateStreams) {
    auto run = [](unsigned seed, bool* ok) {
        deflate_clr();
        FrameInflater inflater;
        const Bytes text = samples::Text(40000, seed);
        *ok = true;
        for (std::size_t offset = 0; offset + 4000 <= text.size(); offset += 4000) {
            const Bytes data(text.begin() + static_cast<long>(offset),
                             text.begin() + static_cast<long>(offset + 4000));
            Frame frame{&data, 700};
            deflate(Frame::Read, Frame::Write, &frame);
            Bytes out(data.size());
            const FrameInflater::Result result = inflater.Inflate(frame.packed, out);
            *ok = *ok && result.status == FrameInflater::Status::ok && out == data;
        }
    };
    bool ok1 = false;
    bool ok2 = false;
    std::thread first(run, 31u, &ok1);
    std::thread second(run, 32u, &ok2);
    first.join();
    second.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
}

// A reset gives the same compressor as a new one, search settings included. Sparse text-like
// pixels (mostly one colour) make hash chains longer than zlib's own level 9 follows.
TEST_F(Fvcpress, AResetStreamCompressesAsANewOne) {
    std::vector<Bytes> frames(3, Bytes(10240, 0));
    std::uint32_t state = 7;
    for (Bytes& frame : frames) {
        for (auto& byte : frame) {
            state = state * 1103515245 + 12345;
            byte = (state >> 16) % 10 == 0 ? 0xFF : 0x00;
        }
    }
    auto compressAll = [&] {
        Bytes all;
        for (const Bytes& frame : frames) {
            const Bytes packed = Deflate(frame);
            all.insert(all.end(), packed.begin(), packed.end());
        }
        return all;
    };
    Bytes fresh;
    std::thread([&] { fresh = compressAll(); }).join();
    Deflate(samples::Text(5000));
    deflate_clr();
    EXPECT_EQ(compressAll(), fresh);
}

// Screen frames as the scanner sends them, with every tuning a measurement may choose: a plain
// raw inflate (not our FrameInflater), fed one frame at a time, gives back each frame whole as
// soon as it arrives. Sync-flushed frames end on a byte boundary with the flush marker.
TEST_F(Fvcpress, EveryTuningGivesFramesAPlainInflateDecodes) {
    using Strategy = DeflateTuning::Strategy;
    using FrameEnd = DeflateTuning::FrameEnd;
    const Bytes screen = samples::Screen(640, 96);
    for (const DeflateTuning tuning :
         {DeflateTuning{}, DeflateTuning{9, 8, 15, Strategy::standard, true, FrameEnd::sync},
          DeflateTuning{6, 9, 15, Strategy::filtered, false},
          DeflateTuning{9, 8, 10, Strategy::rle, true},
          DeflateTuning{7, 1, 9, Strategy::fixed, true},
          DeflateTuning{9, 9, 12, Strategy::huffman_only, false}}) {
        FrameDeflater deflater(tuning);
        z_stream z{};
        ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
        for (std::size_t offset = 0; offset < screen.size(); offset += 10240) {
            const Bytes data(
                screen.begin() + static_cast<long>(offset),
                screen.begin() + static_cast<long>(std::min(offset + 10240, screen.size())));
            Frame frame{&data, 3000};
            ASSERT_TRUE(deflater.Compress(Frame::Read, Frame::Write, &frame));
            const Bytes& packed = frame.packed;
            ASSERT_GE(packed.size(), 4u);
            EXPECT_EQ(std::equal(packed.end() - 4, packed.end(), Bytes{0, 0, 0xFF, 0xFF}.begin()),
                      tuning.frameEnd == FrameEnd::sync);
            Bytes out(data.size() + 1);
            z.next_in = const_cast<Bytef*>(packed.data());
            z.avail_in = static_cast<uInt>(packed.size());
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            EXPECT_EQ(inflate(&z, Z_SYNC_FLUSH), Z_OK);
            EXPECT_EQ(z.avail_in, 0u);
            out.resize(out.size() - z.avail_out);
            EXPECT_EQ(out, data) << "level " << tuning.level << " window " << tuning.windowBits
                                 << " frame at " << offset;
        }
        inflateEnd(&z);
    }
}

TEST(DeflateTuningText, ReadsEveryFieldAndRefusesWhatZlibWouldNot) {
    DeflateTuning tuning;
    ASSERT_TRUE(ParseDeflateTuning("6,9,12,rle,0", tuning));
    EXPECT_EQ(tuning.level, 6);
    EXPECT_EQ(tuning.memoryLevel, 9);
    EXPECT_EQ(tuning.windowBits, 12);
    EXPECT_EQ(tuning.strategy, DeflateTuning::Strategy::rle);
    EXPECT_FALSE(tuning.deeperSearch);
    EXPECT_EQ(tuning.frameEnd, DeflateTuning{}.frameEnd);
    ASSERT_TRUE(ParseDeflateTuning("9,8,15,fixed,1,sync", tuning));
    EXPECT_EQ(tuning.strategy, DeflateTuning::Strategy::fixed);
    EXPECT_TRUE(tuning.deeperSearch);
    EXPECT_EQ(tuning.frameEnd, DeflateTuning::FrameEnd::sync);
    ASSERT_TRUE(ParseDeflateTuning("9,8,15,fixed,1,partial", tuning));
    EXPECT_EQ(tuning.frameEnd, DeflateTuning::FrameEnd::partial);
    for (const char* bad : {"", "9,8,15,rle", "9,8,15,rle,2", "0,8,15,rle,1", "9,10,15,rle,1",
                            "9,8,8,rle,1", "9,8,16,rle,1", "9;8;15;rle;1", "9,8,15,fast,1",
                            "9,8,15,rle,1,", "9,8,15,rle,1,full", "9,8,15,rle,1,sync,"}) {
        DeflateTuning unchanged;
        unchanged.level = 3;
        EXPECT_FALSE(ParseDeflateTuning(bad, unchanged)) << bad;
        EXPECT_EQ(unchanged.level, 3) << bad;
    }
}

}  // namespace
