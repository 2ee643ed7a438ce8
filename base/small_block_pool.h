// Small heap blocks served from free lists, larger ones passed to a backing allocator.
#pragma once

#include <cstddef>
#include <cstdint>

// A block of up to kLargestPooled bytes comes from a free list of its size
// class, refilled by carving chunks that the backing allocator gives and
// never takes back before the backing store itself goes. Larger blocks are
// the backing allocator's own. Every block is 8-byte aligned and preceded by
// an 8-byte header naming its class, so a block is released without its size.
//
// Not thread-safe: its one caller serialises every use.
class SmallBlockPool {
  public:
    using BackingAllocate = void* (*)(size_t size);  // null when memory runs out
    using BackingRelease = void (*)(void* block);

    static constexpr size_t kLargestPooled = 256;
    static constexpr size_t kChunkSize = 64 * 1024;

    // Constant: a pool defined at namespace scope is ready before any
    // static constructor can allocate.
    constexpr SmallBlockPool(BackingAllocate allocate, BackingRelease release)
        : allocate_(allocate), release_(release) {}
    SmallBlockPool(const SmallBlockPool&) = delete;
    SmallBlockPool& operator=(const SmallBlockPool&) = delete;

    // Null when memory runs out. A size of zero gets a block of its own.
    void* Allocate(size_t size);
    // `block` came from Allocate, or is null.
    void Release(void* block);

  private:
    static constexpr size_t kGranule = 8;
    static constexpr size_t kHeader = 8;
    static constexpr size_t kClassCount = kLargestPooled / kGranule;
    static constexpr uint32_t kUnpooled = 0xFFFFFFFFu;

    struct FreeBlock {
        FreeBlock* next;
    };

    void* Carve(uint32_t sizeClass);

    BackingAllocate allocate_;
    BackingRelease release_;
    FreeBlock* free_[kClassCount] = {};
    char* carved_ = nullptr;  // the unused rest of the newest chunk
    char* chunkEnd_ = nullptr;
};
