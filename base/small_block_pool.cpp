// Small heap blocks served from chunks of one size each, larger ones passed to
// a backing allocator.
#include "base/small_block_pool.h"

#include <cstring>

// The record at the start of each chunk; its blocks follow at kChunkHeader.
struct SmallBlockPool::Chunk {
    Chunk* previous;  // in its class's list of chunks with room
    Chunk* next;
    FreeBlock* released;  // released blocks, reused first
    char* carved;         // the first block never handed out
    uint32_t stride;      // the size of each block
    uint32_t sizeClass;
    uint32_t inUse;
    bool open;     // in its class's list
    bool lasting;  // holds lasting blocks only
};

SmallBlockPool::Chunk* SmallBlockPool::ChunkOf(void* block) {
    static_assert(sizeof(Chunk) <= kChunkHeader && kChunkHeader % kAlignment == 0,
                  "the chunk's record fits before its first block, which is aligned");
    const uintptr_t address = reinterpret_cast<uintptr_t>(block);
    return reinterpret_cast<Chunk*>(address & ~(kChunkSize - 1));
}

bool SmallBlockPool::IsFull(const Chunk& chunk) {
    const char* end = reinterpret_cast<const char*>(&chunk) + kChunkSize;
    return chunk.released == nullptr && static_cast<size_t>(end - chunk.carved) < chunk.stride;
}

SmallBlockPool::Chunk*& SmallBlockPool::OpenList(const Chunk& chunk) {
    return open_[chunk.lasting][chunk.sizeClass];
}

void* SmallBlockPool::Allocate(size_t size, bool lasting) {
    if (size > kLargestPooled) {
        return AllocateLarge(size);
    }
    const uint32_t sizeClass = size == 0 ? 0 : static_cast<uint32_t>((size - 1) / kAlignment);
    Chunk* chunk = open_[lasting][sizeClass];
    if (chunk == nullptr && (chunk = OpenChunk(sizeClass, lasting)) == nullptr) {
        return nullptr;
    }
    void* block;
    if (chunk->released != nullptr) {
        block = chunk->released;
        chunk->released = chunk->released->next;
    } else {
        block = chunk->carved;
        chunk->carved += chunk->stride;
    }
    ++chunk->inUse;
    if (IsFull(*chunk)) {
        Unlink(chunk);
    }
    return block;
}

void SmallBlockPool::Release(void* block) {
    if (block == nullptr) {
        return;
    }
    Chunk* chunk = ChunkOf(block);
    if (!chunks_.Contains(reinterpret_cast<uintptr_t>(chunk))) {
        ReleaseLarge(block);
        return;
    }
    FreeBlock* freed = static_cast<FreeBlock*>(block);
    freed->next = chunk->released;
    chunk->released = freed;
    if (!chunk->open) {
        Link(chunk);
    }
    // A class's last chunk with room stays, so that a class whose blocks come
    // and go together (a small document's nodes) does not set one up each time.
    if (--chunk->inUse == 0 && (chunk->next != nullptr || OpenList(*chunk) != chunk)) {
        Retire(chunk);
    }
}

// A spare chunk, else a new one from the backing store, set up for the class.
SmallBlockPool::Chunk* SmallBlockPool::OpenChunk(uint32_t sizeClass, bool lasting) {
    Chunk* chunk = spare_;
    if (chunk != nullptr) {
        spare_ = chunk->next;
        --spareCount_;
    } else {
        chunk = static_cast<Chunk*>(backing_.allocateChunk());
        if (chunk == nullptr) {
            return nullptr;
        }
        if (!chunks_.Insert(reinterpret_cast<uintptr_t>(chunk))) {
            backing_.releaseChunk(chunk);
            return nullptr;
        }
    }
    chunk->released = nullptr;
    chunk->carved = reinterpret_cast<char*>(chunk) + kChunkHeader;
    chunk->stride = (sizeClass + 1) * static_cast<uint32_t>(kAlignment);
    chunk->sizeClass = sizeClass;
    chunk->inUse = 0;
    chunk->lasting = lasting;
    Link(chunk);
    return chunk;
}

// First in its class's list: a chunk that just got room back fills again first.
void SmallBlockPool::Link(Chunk* chunk) {
    Chunk*& head = OpenList(*chunk);
    chunk->previous = nullptr;
    chunk->next = head;
    if (head != nullptr) {
        head->previous = chunk;
    }
    head = chunk;
    chunk->open = true;
}

void SmallBlockPool::Unlink(Chunk* chunk) {
    (chunk->previous != nullptr ? chunk->previous->next : OpenList(*chunk)) = chunk->next;
    if (chunk->next != nullptr) {
        chunk->next->previous = chunk->previous;
    }
    chunk->open = false;
}

// An emptied chunk is kept while there are few spares, else given back.
void SmallBlockPool::Retire(Chunk* chunk) {
    Unlink(chunk);
    if (spareCount_ < kSpareChunks) {
        chunk->next = spare_;
        spare_ = chunk;
        ++spareCount_;
        return;
    }
    chunks_.Erase(reinterpret_cast<uintptr_t>(chunk));
    backing_.releaseChunk(chunk);
}

void SmallBlockPool::ReleaseChunks() {
    chunks_.ForEach(
        [this](uintptr_t chunk) { backing_.releaseChunk(reinterpret_cast<void*>(chunk)); });
    chunks_.Clear();
    std::memset(open_, 0, sizeof open_);
    spare_ = nullptr;
    spareCount_ = 0;
}

// The backing store aligns less: the block starts up to kAlignment bytes
// in, and the four bytes before it say how far.
void* SmallBlockPool::AllocateLarge(size_t size) {
    if (size > static_cast<size_t>(-1) - kAlignment) {
        return nullptr;
    }
    char* raw = static_cast<char*>(backing_.allocate(size + kAlignment));
    if (raw == nullptr) {
        return nullptr;
    }
    const uint32_t offset =
        static_cast<uint32_t>(kAlignment - reinterpret_cast<uintptr_t>(raw) % kAlignment);
    char* block = raw + offset;
    std::memcpy(block - sizeof offset, &offset, sizeof offset);
    return block;
}

void SmallBlockPool::ReleaseLarge(void* block) {
    uint32_t offset;
    std::memcpy(&offset, static_cast<char*>(block) - sizeof offset, sizeof offset);
    backing_.release(static_cast<char*>(block) - offset);
}
