#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "editor/core/private_heap.h"
#include "editor/core/text_primitives.h"
#include "editor_fixture.h"

namespace {

class HeapTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        buffer = CreateBuffer();
        ASSERT_NE(buffer, nullptr);
        buffer->freeList = nullptr;
    }
    std::vector<DWORD> FreeSizes() const {
        std::vector<DWORD> sizes;
        for (FreeBlock* block = buffer->freeList; block != nullptr; block = block->next) {
            sizes.push_back(block->size);
        }
        return sizes;
    }
    // Blocks of the given sizes carved from one fresh chunk and freed in this order.
    std::vector<char*> FreeBlocksOf(std::vector<DWORD> sizes) {
        std::vector<char*> blocks;
        for (DWORD size : sizes) {
            blocks.push_back(static_cast<char*>(xalloc(buffer, size)));
        }
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            xfree(buffer, blocks[i], sizes[i]);
        }
        return blocks;
    }
    Buffer* buffer = nullptr;
};

TEST_F(HeapTest, FreeListStaysSortedLargestFirstWithNewEqualBlocksInFront) {
    std::vector<char*> blocks = FreeBlocksOf({40, 104, 64, 64, 16});
    EXPECT_EQ(FreeSizes(), (std::vector<DWORD>{104, 64, 64, 40}));  // 16 is dropped
    EXPECT_EQ(reinterpret_cast<char*>(buffer->freeList->next), blocks[3]);
}

TEST_F(HeapTest, BestFitTakesExactOrSmallestFittingBlockWhole) {
    auto fresh = [&] {
        buffer->freeList = nullptr;
        return FreeBlocksOf({104, 64, 40});
    };
    std::vector<char*> blocks = fresh();
    EXPECT_EQ(xalloc(buffer, 40), blocks[2]);  // exact fit
    EXPECT_EQ(FreeSizes(), (std::vector<DWORD>{104, 64}));
    blocks = fresh();
    EXPECT_EQ(xalloc(buffer, 30), blocks[2]);  // remainder 8 is not above 24: whole block
    EXPECT_EQ(FreeSizes(), (std::vector<DWORD>{104, 64}));
    blocks = fresh();
    EXPECT_EQ(xalloc(buffer, 50), blocks[1]);  // the 64-byte block whole
    EXPECT_EQ(FreeSizes(), (std::vector<DWORD>{104, 40}));
}

TEST_F(HeapTest, LargeRemainderGoesBackToTheList) {
    std::vector<char*> blocks = FreeBlocksOf({104});
    char* block = static_cast<char*>(xalloc(buffer, 60));
    EXPECT_EQ(block, blocks[0]);
    EXPECT_EQ(FreeSizes(), (std::vector<DWORD>{40}));
    EXPECT_EQ(reinterpret_cast<char*>(buffer->freeList), blocks[0] + 64);
}

TEST_F(HeapTest, ChunksAreAtLeastSixteenKilobytesAndLargeRequestsGetTheirOwn) {
    HeapChunk* before = buffer->chunks;
    xalloc(buffer, 8);
    EXPECT_EQ(buffer->chunks, before);  // taken from the head chunk
    void* big = xalloc(buffer, 40000);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(buffer->chunks->size, 40000u);
    EXPECT_EQ(buffer->chunks->used, 40000u);
    xalloc(buffer, 100);
    EXPECT_EQ(buffer->chunks->size, MIN_CHUNK_SIZE);
}

TEST_F(HeapTest, FailedChunkGivesNullAndMisalignedFreesStayAligned) {
    heapChunkFailureCountdown = 1;
    EXPECT_EQ(xalloc(buffer, MIN_CHUNK_SIZE + 16), nullptr);
    // A line text inside a file image may start anywhere; reused blocks are still aligned.
    char* block = static_cast<char*>(xalloc(buffer, 200));
    xfree(buffer, block + 3, 100);
    ASSERT_NE(buffer->freeList, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer->freeList) % HEAP_ALIGN, 0u);
    EXPECT_EQ(buffer->freeList->size, 88u);  // 95 bytes from the aligned start, rounded down
    EXPECT_EQ(reinterpret_cast<char*>(buffer->freeList), block + 8);
}

TEST_F(HeapTest, NewBufferHasOneEmptyLineAndFirstTypingGetsThirtyTwoBytes) {
    Line* line = buffer->lplnFirst;
    EXPECT_EQ(buffer->lineCount, 1u);
    EXPECT_EQ(line->next, nullptr);
    EXPECT_EQ(line->capacity, 0u);
    EXPECT_EQ(line->length, 0u);
    EXPECT_NE(line->text, nullptr);
    DestroyBuffer(buffer);
    NewDocument("");
    char c = 'x';
    ASSERT_TRUE(InsertChars(&c, 1));
    EXPECT_EQ(pbufCurrent->lplnFirst->capacity, 32u);
}

}  // namespace
