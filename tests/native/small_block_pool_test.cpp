// The DLL's small-block pool: sizes, alignment, reuse and its backing allocator.
#include "base/small_block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

namespace {

// The backing allocator's live blocks; the pool keeps its chunks until the
// backing store goes, which here is the end of each test.
std::set<void*> g_backingBlocks;
bool g_backingFails = false;

void* BackingAllocate(size_t size) {
    void* block = g_backingFails ? nullptr : std::malloc(size);
    if (block != nullptr) {
        g_backingBlocks.insert(block);
    }
    return block;
}

void BackingRelease(void* block) {
    g_backingBlocks.erase(block);
    std::free(block);
}

class SmallBlockPoolTest : public ::testing::Test {
  protected:
    void SetUp() override { g_backingFails = false; }
    void TearDown() override {
        for (void* block : g_backingBlocks) {
            std::free(block);
        }
        g_backingBlocks.clear();
    }
};

TEST_F(SmallBlockPoolTest, EveryBlockIsWritableAlignedAndApartFromTheOthers) {
    SmallBlockPool pool(BackingAllocate, BackingRelease);
    std::vector<std::pair<unsigned char*, size_t>> blocks;
    for (size_t size : {0, 1, 7, 8, 9, 100, 255, 256, 257, 4096, 100000}) {
        for (int copy = 0; copy < 3; ++copy) {
            auto* block = static_cast<unsigned char*>(pool.Allocate(size));
            ASSERT_NE(block, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % 8, 0u) << size;
            std::memset(block, static_cast<int>(blocks.size()), size);
            blocks.push_back({block, size});
        }
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        for (size_t at = 0; at < blocks[i].second; ++at) {
            ASSERT_EQ(blocks[i].first[at], static_cast<unsigned char>(i)) << i;
        }
        pool.Release(blocks[i].first);
    }
    pool.Release(nullptr);
}

TEST_F(SmallBlockPoolTest, AReleasedSmallBlockIsReusedByItsSizeClassOnly) {
    SmallBlockPool pool(BackingAllocate, BackingRelease);
    void* block = pool.Allocate(20);
    pool.Release(block);
    void* otherClass = pool.Allocate(40);
    EXPECT_NE(otherClass, block);
    EXPECT_EQ(pool.Allocate(17), block);    // 17 to 24 bytes share a class
    EXPECT_EQ(g_backingBlocks.size(), 1u);  // all from one chunk
}

TEST_F(SmallBlockPoolTest, LargeBlocksGoBackAtOnceAndFailuresAreNull) {
    SmallBlockPool pool(BackingAllocate, BackingRelease);
    void* large = pool.Allocate(SmallBlockPool::kLargestPooled + 1);
    EXPECT_EQ(g_backingBlocks.size(), 1u);
    pool.Release(large);
    EXPECT_TRUE(g_backingBlocks.empty());

    g_backingFails = true;
    EXPECT_EQ(pool.Allocate(16), nullptr);        // no chunk to carve
    EXPECT_EQ(pool.Allocate(100000), nullptr);    // no large block
    EXPECT_EQ(pool.Allocate(SIZE_MAX), nullptr);  // no room for the header
}

TEST_F(SmallBlockPoolTest, ANewChunkIsTakenWhenTheLastOneIsCarved) {
    SmallBlockPool pool(BackingAllocate, BackingRelease);
    std::set<void*> seen;
    const size_t blocksPerChunk = SmallBlockPool::kChunkSize / (8 + 256);
    for (size_t i = 0; i <= blocksPerChunk; ++i) {
        ASSERT_TRUE(seen.insert(pool.Allocate(256)).second);
    }
    EXPECT_EQ(g_backingBlocks.size(), 2u);
}

}  // namespace
