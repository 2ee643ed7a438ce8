// Small heap blocks served from chunks of one size each, larger ones passed to
// a backing allocator.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/address_set.h"

// A block of up to kLargestPooled bytes comes from a chunk that holds blocks of
// its size class only, with no header: the chunk, found by rounding the block's
// address down to kChunkSize, keeps the class, its released blocks and how many
// are in use. A chunk whose blocks are all released again goes back to the
// backing store at once, except for a class's last chunk with room and a few
// spares kept for the next chunk any class needs, so memory that a burst of
// blocks took (a parsed document) is given back when they are. Larger blocks
// are the backing allocator's own. Every block is aligned to kAlignment, the
// zero-size and large ones too.
//
// A block that outlives the burst it is made in (a record's text, copied
// while its document is parsed) would keep the burst's chunk for itself alone.
// Such blocks are asked for as lasting ones: they come from chunks of their
// own, which never hold a block of a burst.
//
// Not thread-safe: its one caller serialises every use.
class SmallBlockPool {
  public:
    struct Backing {
        void* (*allocateChunk)();  // kChunkSize bytes at a multiple of kChunkSize, or null
        void (*releaseChunk)(void* chunk);
        void* (*allocate)(size_t size);  // at least 4-byte aligned, or null
        void (*release)(void* block);
    };

    static constexpr size_t kAlignment = 16;
    static constexpr size_t kLargestPooled = 256;
    static constexpr size_t kChunkSize = AddressSet::kSpacing;
    static constexpr size_t kChunkHeader = 64;  // the chunk's own record, before its blocks
    static constexpr size_t kSpareChunks = 8;

    // Constant: a pool defined at namespace scope is ready before any
    // static constructor can allocate.
    constexpr explicit SmallBlockPool(const Backing& backing)
        : backing_(backing), chunks_(backing.allocate, backing.release) {}
    SmallBlockPool(const SmallBlockPool&) = delete;
    SmallBlockPool& operator=(const SmallBlockPool&) = delete;

    // Null when memory runs out.
    void* Allocate(size_t size) { return Allocate(size, false); }
    // As Allocate, from chunks that hold lasting blocks only.
    void* AllocateLasting(size_t size) { return Allocate(size, true); }
    // `block` came from Allocate, or is null.
    void Release(void* block);
    // Gives every chunk back, with the blocks still in use in them.
    void ReleaseChunks();

  private:
    static constexpr size_t kClassCount = kLargestPooled / kAlignment;

    struct FreeBlock {
        FreeBlock* next;
    };
    struct Chunk;

    void* Allocate(size_t size, bool lasting);
    static Chunk* ChunkOf(void* block);
    static bool IsFull(const Chunk& chunk);
    Chunk*& OpenList(const Chunk& chunk);
    Chunk* OpenChunk(uint32_t sizeClass, bool lasting);
    void Link(Chunk* chunk);
    void Unlink(Chunk* chunk);
    void Retire(Chunk* chunk);
    void* AllocateLarge(size_t size);
    void ReleaseLarge(void* block);

    Backing backing_;
    AddressSet chunks_;                 // every chunk taken from the backing store
    Chunk* open_[2][kClassCount] = {};  // per kind (lasting or not) and class, its chunks with room
    Chunk* spare_ = nullptr;            // emptied chunks kept for reuse
    size_t spareCount_ = 0;
};
