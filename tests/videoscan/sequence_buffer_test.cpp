// The sequence buffer, the frame forms and the CB item accessors, driven directly while the
// check thread waits (the video event stays clear).
#include <gtest/gtest.h>

#include <random>

#include "fvcpress.h"
#include "implode.h"
#include "rle_decode.h"
#include "scanner_harness.h"

namespace scantest {
namespace {

class SequenceBuffer : public ::testing::Test {
protected:
    void SetUp() override {
        HarnessOptions options;
        options.desktop = MemoryDesktop(64, 16, "32");
        options.compression = "0";
        harness_ = std::make_unique<ScannerHarness>(options);
        scanner_ = harness_->Start();
    }

    // Frames transmitted so far, once the queue has delivered them.
    std::vector<Frame> Frames() {
        harness_->WaitQuiet(std::chrono::milliseconds(30));
        return SplitFrames(harness_->Transmitted());
    }

    void Buffer(const Bytes& bytes) {
        ASSERT_EQ(scanner_->SendSeqBuffered(bytes.data(), static_cast<WORD>(bytes.size())), 1);
    }

    std::unique_ptr<ScannerHarness> harness_;
    ScannerProbe* scanner_ = nullptr;
};

Bytes RandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

Bytes Explode(const Bytes& data) {
    struct Io {
        const Bytes* in;
        std::size_t at = 0;
        Bytes out;
    } io{&data, 0, {}};
    std::vector<char> work(EXP_BUFFER_SIZE);
    const unsigned result = explode(
        [](char* buffer, unsigned* size, void* param) -> unsigned {
            auto& state = *static_cast<Io*>(param);
            const std::size_t count = std::min<std::size_t>(*size, state.in->size() - state.at);
            std::copy_n(state.in->begin() + static_cast<std::ptrdiff_t>(state.at), count, buffer);
            state.at += count;
            return static_cast<unsigned>(count);
        },
        [](char* buffer, unsigned* size, void* param) {
            auto& state = *static_cast<Io*>(param);
            state.out.insert(state.out.end(), buffer, buffer + *size);
        },
        work.data(), &io);
    EXPECT_EQ(result, CMP_NO_ERROR);
    return io.out;
}

TEST_F(SequenceBuffer, NothingToFlushSendsNothing) {
    EXPECT_EQ(scanner_->FlushSeqBuffer(), 1);
    EXPECT_TRUE(Frames().empty());
}

TEST_F(SequenceBuffer, RecordsGoOutRawWhenNoCompressionIsOffered) {
    scanner_->SetCompressionMode(0x12);
    Buffer({0x09, 0x00});
    Buffer(Bytes(100, 0x00));
    scanner_->FlushSeqBuffer();  // capability word 0: raw whatever the mode
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].packed, 102);
    EXPECT_EQ(frames[0].raw, 102);
    EXPECT_EQ(Bytes(frames[0].whole.begin(), frames[0].whole.begin() + 6),
              (Bytes{0x1B, 0x55, 102, 0, 102, 0}));
    EXPECT_EQ(scanner_->SeqFill(), 0);
}

TEST_F(SequenceBuffer, RunLengthFramesNeverCarryTheLzBit) {
    scanner_->SetCBItemWord(57, 0x0001);
    scanner_->SetCompressionMode(1);
    const Bytes records = [] {
        Bytes bytes(300, 0x00);
        bytes[0] = 0xF3;
        bytes[150] = 0x41;
        return bytes;
    }();
    Buffer(records);
    scanner_->FlushSeqBuffer();
    // Distinct bytes do not shrink: the frame goes raw with equal lengths.
    const Bytes distinct = RandomBytes(200, 5);
    Buffer(distinct);
    scanner_->FlushSeqBuffer();
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].packed & 0x8000, 0);
    EXPECT_LT(frames[0].packed, frames[0].raw);
    EXPECT_EQ(frames[0].raw, 300);
    Bytes decoded;
    ASSERT_EQ(RleDecodeAppend(frames[0].data, decoded).status, RleStatus::ok);
    EXPECT_EQ(decoded, records);
    EXPECT_EQ(frames[1].packed, 200);
    EXPECT_EQ(frames[1].raw, 200);
    EXPECT_EQ(frames[1].data, distinct);
}

TEST_F(SequenceBuffer, ImplodedFramesCarryTheLzBit) {
    scanner_->SetCBItemWord(57, 0x0010);  // deflate offered, but the option lacks bit 4
    scanner_->SetCompressionOption(0x02);
    scanner_->SetCompressionMode(0x02);
    Bytes records;
    for (int i = 0; i < 40; ++i) {
        records.insert(records.end(), {0x04, 0x03, 0x10, 0x00, 0x20, 0x00, 0x30});
    }
    Buffer(records);
    scanner_->FlushSeqBuffer();
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_NE(frames[0].packed & 0x8000, 0);
    EXPECT_EQ(frames[0].raw, records.size());
    EXPECT_EQ(Explode(frames[0].data), records);
}

// Deflate frames share one history; a frame that had to go raw resets it on both sides, so
// the deflated frame after it decodes with a history that starts afresh.
TEST_F(SequenceBuffer, DeflateHistoryStartsAfreshAfterARawFrame) {
    scanner_->SetCBItemWord(57, 0x0010);
    scanner_->SetCompressionOption(0x12);
    scanner_->SetCompressionMode(0x12);
    const Bytes first = RandomBytes(600, 1);
    Bytes twice = first;
    twice.insert(twice.end(), first.begin(), first.end());
    Buffer(twice);
    scanner_->FlushSeqBuffer();
    // Incompressible and full: the deflated form does not fit, the frame goes raw.
    const Bytes noise = RandomBytes(10240, 2);
    Buffer(noise);
    scanner_->FlushSeqBuffer();
    // Repeats the noise: a deflater that kept the noise in its history would refer to it.
    const Bytes again(noise.begin(), noise.begin() + 3000);
    Buffer(again);
    scanner_->FlushSeqBuffer();

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_NE(frames[0].packed & 0x8000, 0);
    EXPECT_EQ(frames[1].packed, 10240);  // raw
    EXPECT_EQ(frames[1].raw, 10240);
    EXPECT_EQ(frames[2].packed & 0x8000, 0);  // 3000 random bytes do not shrink either

    FrameInflater inflater;
    std::vector<std::uint8_t> out;
    ASSERT_EQ(inflater.InflateAppend(frames[0].data, out, 10240).status, FrameInflater::Status::ok);
    EXPECT_EQ(out, twice);

    // Now a compressible frame after the raw ones: decodes on a fresh history.
    Buffer(twice);
    scanner_->FlushSeqBuffer();
    const auto later = Frames();
    ASSERT_EQ(later.size(), 4u);
    ASSERT_NE(later[3].packed & 0x8000, 0);
    FrameInflater fresh;
    std::vector<std::uint8_t> decoded;
    ASSERT_EQ(fresh.InflateAppend(later[3].data, decoded, 10240).status, FrameInflater::Status::ok);
    EXPECT_EQ(decoded, twice);
}

TEST_F(SequenceBuffer, FullBufferFlushesBeforeThePieceThatDoesNotFit) {
    Buffer(Bytes(10000, 0x11));
    Buffer(Bytes(240, 0x22));  // exactly full
    EXPECT_EQ(scanner_->SeqFill(), 10240);
    Buffer(Bytes(1, 0x33));
    EXPECT_EQ(scanner_->SeqFill(), 1);
    scanner_->FlushIfWillNotFit(10239);  // fits: nothing happens
    EXPECT_EQ(scanner_->SeqFill(), 1);
    scanner_->FlushIfWillNotFit(10240);
    EXPECT_EQ(scanner_->SeqFill(), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].raw, 10240);
    EXPECT_EQ(frames[1].data, Bytes{0x33});
    // A piece of a whole buffer flushes what waits and then fits.
    Buffer({0x44});
    Buffer(Bytes(10240, 0x55));
    EXPECT_EQ(scanner_->SeqFill(), 10240);
}

TEST_F(SequenceBuffer, RefusesNestedCallsAndOversizedPieces) {
    Buffer({0x01});
    scanner_->SetSeqBusy(true);
    const Bytes piece = {0x02};
    EXPECT_EQ(scanner_->SendSeqBuffered(piece.data(), 1), 0);
    scanner_->SetSeqBusy(false);
    const Bytes huge(10241, 0x55);
    EXPECT_EQ(scanner_->SendSeqBuffered(huge.data(), static_cast<WORD>(huge.size())), 0);
    // The oversized piece flushed what was waiting and was dropped itself.
    EXPECT_EQ(scanner_->SeqFill(), 0);
    // A zero-length piece flushes.
    Buffer({0x07});
    EXPECT_EQ(scanner_->SendSeqBuffered(nullptr, 0), 1);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].data, Bytes{0x01});
    EXPECT_EQ(frames[1].data, Bytes{0x07});
}

TEST_F(SequenceBuffer, CBItemsByTheirOffsets) {
    scanner_->SetCBItemWord(57, 0x1234);
    EXPECT_EQ(harness_->CbByte(cb::kCapabilities), 0x34);
    EXPECT_EQ(harness_->CbByte(cb::kCapabilities + 1), 0x12);
    scanner_->SetCBItemDoubleWord(154, 0xA1B2C3D4);
    EXPECT_EQ(harness_->CbWord(cb::kUnused154), 0xC3D4);
    EXPECT_EQ(harness_->CbWord(cb::kUnused154 + 2), 0xA1B2);
    EXPECT_EQ(scanner_->GetCBItemDoubleWord(154), 0xA1B2C3D4u);
    harness_->SetCbByte(cb::kCompressionHint, 0x5A);
    EXPECT_EQ(scanner_->GetCBItemByte(80), 0x5A);
    // Item 155 is read only; unknown items and wrong widths read 0 and ignore writes.
    harness_->SetCbByte(cb::kReducedMode, 2);
    EXPECT_EQ(scanner_->GetCBItemByte(155), 2);
    scanner_->SetCBItemByte(155, 3);
    EXPECT_EQ(harness_->CbByte(cb::kReducedMode), 2);
    EXPECT_EQ(scanner_->GetCBItemByte(1), 0);
    EXPECT_EQ(scanner_->GetCBItemWord(74), 0);
    scanner_->SetCBItemByte(999, 1);
    // DesktopInit wrote the screen, the colours and the video state bits 0x11.
    EXPECT_EQ(harness_->CbWord(cb::kScreenWidth), 64);
    EXPECT_EQ(harness_->CbWord(cb::kScreenHeight), 16);
    EXPECT_EQ(harness_->CbWord(cb::kDeviceColours), 257);
    EXPECT_EQ(harness_->CbByte(cb::kVideoState) & 0x11, 0x11);
}

TEST_F(SequenceBuffer, CacheSizingFromTheCapabilityWord) {
    // 64 x 16 at 32 bits per pixel: cells 16 x 8, sent at 16 bytes a row: 128 bytes a slot.
    ASSERT_EQ(scanner_->CellWidth(), 16);
    ASSERT_EQ(scanner_->CellHeight(), 8);
    const std::pair<WORD, WORD> cases[] = {{0x0000, 0},    {0x0001, 4096 / 128}, {0x8001, 512},
                                           {0x8021, 1024}, {0x800F, 2048},       {0x0003, 96},
                                           {0x0020, 0}};
    for (const auto& [capabilities, capacity] : cases) {
        scanner_->SetCBItemWord(57, capabilities);
        scanner_->SizeBitmapCache();
        EXPECT_EQ(scanner_->CacheCapacity(), capacity) << std::hex << capabilities;
    }
}

TEST_F(SequenceBuffer, CacheFillsInOrderThenReplacesTheLeastRecentlyUsed) {
    scanner_->SetCBItemWord(57, 0x0001);
    scanner_->SetCacheCapacity(3);
    DWORD offset = 99;
    const WORD rowBytes = 16;  // 8 rows: 128 bytes a slot
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xA, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xB, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 128u);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xA, &offset, rowBytes), 1);
    EXPECT_EQ(offset, 0u);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xC, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 256u);
    // Full. Stamps are tick counts: make the next use of A and C later than B's.
    Sleep(20);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xA, &offset, rowBytes), 1);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xC, &offset, rowBytes), 1);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xD, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 128u);  // B's slot
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xB, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 0u);  // A was used before C
    // Bit 7 of the capability word adds 4 to every offset.
    scanner_->SetCBItemWord(57, 0x0081);
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xD, &offset, rowBytes), 1);
    EXPECT_EQ(offset, 132u);
    scanner_->CacheClear();
    EXPECT_EQ(scanner_->CheckForRepeatedBitmap(0xD, &offset, rowBytes), 0);
    EXPECT_EQ(offset, 0u);  // no capacity after clearing
}

}  // namespace
}  // namespace scantest

namespace scantest {
namespace {

TEST_F(SequenceBuffer, DesktopInitRunsOnceAndTheLibraryKnowsItsInstance) {
    const WORD columns = scanner_->Columns();
    EXPECT_EQ(scanner_->DesktopInit(), 1);
    EXPECT_EQ(scanner_->Columns(), columns);
    EXPECT_EQ(columns, 4);  // a quarter of the width without "CellWidth"
    EXPECT_EQ(scanner_->Rows(), 2);
    EXPECT_NE(GetFvdsp32Instance(), nullptr);
}

}  // namespace
}  // namespace scantest
