// The DLL's small-block pool: sizes, alignment, reuse and its backing
// allocator.
#include "base/small_block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <utility>
#include <vector>

namespace {

// The backing store's live chunks and blocks; what a test leaves goes at its
// end.
std::set<void*> g_backingChunks;
std::set<void*> g_backingBlocks;
bool g_backingFails = false;

void* Remember(std::set<void*>& live, void* block) {
    if (block != nullptr) {
        live.insert(block);
    }
    return block;
}

constexpr std::align_val_t kChunkAlignment{SmallBlockPool::kChunkSize};

void* BackingChunk() {
    return g_backingFails ? nullptr
                          : Remember(g_backingChunks,
                                     ::operator new(SmallBlockPool::kChunkSize, kChunkAlignment));
}

void ReleaseChunk(void* chunk) {
    g_backingChunks.erase(chunk);
    ::operator delete(chunk, kChunkAlignment);
}

void* BackingAllocate(size_t size) {
    return g_backingFails ? nullptr : Remember(g_backingBlocks, std::malloc(size));
}

void BackingRelease(void* block) {
    g_backingBlocks.erase(block);
    std::free(block);
}

constexpr SmallBlockPool::Backing kBacking = {BackingChunk, ReleaseChunk, BackingAllocate,
                                              BackingRelease};

class SmallBlockPoolTest : public ::testing::Test {
  protected:
    void SetUp() override { g_backingFails = false; }
    void TearDown() override {
        while (!g_backingChunks.empty()) {
            ReleaseChunk(*g_backingChunks.begin());
        }
        while (!g_backingBlocks.empty()) {
            BackingRelease(*g_backingBlocks.begin());
        }
    }
};

TEST_F(SmallBlockPoolTest, EveryBlockIsWritableAlignedAndApartFromTheOthers) {
    SmallBlockPool pool(kBacking);
    std::vector<std::pair<unsigned char*, size_t>> blocks;
    for (size_t size : {0, 1, 7, 8, 9, 100, 255, 256, 257, 4096, 100000}) {
        for (int copy = 0; copy < 3; ++copy) {
            auto* block = static_cast<unsigned char*>(pool.Allocate(size));
            ASSERT_NE(block, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % __STDCPP_DEFAULT_NEW_ALIGNMENT__, 0u)
                << size;
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
    SmallBlockPool pool(kBacking);
    void* kept = pool.Allocate(20);  // keeps the chunk in use
    void* block = pool.Allocate(20);
    pool.Release(block);
    void* otherClass = pool.Allocate(40);
    EXPECT_NE(otherClass, block);
    EXPECT_EQ(pool.Allocate(17), block);    // 17 to 32 bytes share a class
    EXPECT_EQ(g_backingChunks.size(), 2u);  // a chunk per class
    pool.Release(kept);
}

TEST_F(SmallBlockPoolTest, LargeBlocksGoBackAtOnceAndFailuresAreNull) {
    SmallBlockPool pool(kBacking);
    void* large = pool.Allocate(SmallBlockPool::kLargestPooled + 1);
    EXPECT_EQ(g_backingBlocks.size(), 1u);
    EXPECT_TRUE(g_backingChunks.empty());
    pool.Release(large);
    EXPECT_TRUE(g_backingBlocks.empty());

    g_backingFails = true;
    EXPECT_EQ(pool.Allocate(16), nullptr);        // no chunk to carve
    EXPECT_EQ(pool.Allocate(100000), nullptr);    // no large block
    EXPECT_EQ(pool.Allocate(SIZE_MAX), nullptr);  // no room for the alignment
}

TEST_F(SmallBlockPoolTest, ANewChunkIsTakenWhenTheLastOneIsCarved) {
    SmallBlockPool pool(kBacking);
    std::set<void*> seen;
    const size_t blocksPerChunk = (SmallBlockPool::kChunkSize - SmallBlockPool::kChunkHeader) / 256;
    for (size_t i = 0; i <= blocksPerChunk; ++i) {
        ASSERT_TRUE(seen.insert(pool.Allocate(256)).second);
    }
    EXPECT_EQ(g_backingChunks.size(), 2u);
}

TEST_F(SmallBlockPoolTest, ChunksWhoseBlocksAreAllReleasedGoBackBeyondAFewSpares) {
    SmallBlockPool pool(kBacking);
    std::vector<void*> blocks;
    const size_t chunks = SmallBlockPool::kSpareChunks + 40;
    for (size_t i = 0; i < chunks * SmallBlockPool::kChunkSize / 64; ++i) {
        blocks.push_back(pool.Allocate(64));
    }
    ASSERT_GE(g_backingChunks.size(), chunks);
    for (void* block : blocks) {
        pool.Release(block);
    }
    const size_t kept = SmallBlockPool::kSpareChunks + 1;  // and the class's last chunk
    EXPECT_EQ(g_backingChunks.size(), kept);
    void* reused = pool.Allocate(200);  // a spare serves another class
    EXPECT_EQ(g_backingChunks.size(), kept);
    pool.ReleaseChunks();
    EXPECT_TRUE(g_backingChunks.empty());
    EXPECT_NE(reused, nullptr);
}

// Each parsed document is a burst of blocks of one class; one block of the
// same class is kept from each, as a record's text is.
TEST_F(SmallBlockPoolTest, ABlockKeptFromABurstHoldsNoneOfTheBurstsChunks) {
    SmallBlockPool pool(kBacking);
    constexpr int kDocuments = 30;
    std::vector<void*> kept;
    for (int document = 0; document < kDocuments; ++document) {
        std::vector<void*> burst;
        for (size_t i = 0; i < 3 * SmallBlockPool::kChunkSize / 64; ++i) {
            burst.push_back(pool.Allocate(64));
        }
        kept.push_back(pool.AllocateLasting(64));
        for (void* block : burst) {
            pool.Release(block);
        }
    }
    // The kept blocks' one chunk, the class's last chunk with room and the
    // spares.
    EXPECT_LE(g_backingChunks.size(), 2 + SmallBlockPool::kSpareChunks);
    void* released = kept.back();
    pool.Release(released);
    EXPECT_EQ(pool.AllocateLasting(50), released);
    EXPECT_NE(pool.Allocate(50), released);
}

}  // namespace
