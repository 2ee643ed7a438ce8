// Small heap blocks served from free lists, larger ones passed to a backing allocator.
#include "base/small_block_pool.h"

namespace {

uint32_t& HeaderOf(void* block) {
    return *reinterpret_cast<uint32_t*>(static_cast<char*>(block) - 8);
}

}  // namespace

void* SmallBlockPool::Allocate(size_t size) {
    if (size == 0 || size > kLargestPooled) {
        if (size > static_cast<size_t>(-1) - kHeader) {
            return nullptr;
        }
        char* block = static_cast<char*>(allocate_(size + kHeader));
        if (block == nullptr) {
            return nullptr;
        }
        block += kHeader;
        HeaderOf(block) = kUnpooled;
        return block;
    }
    const uint32_t sizeClass = static_cast<uint32_t>((size - 1) / kGranule);
    if (FreeBlock* reused = free_[sizeClass]) {
        free_[sizeClass] = reused->next;
        return reused;
    }
    return Carve(sizeClass);
}

// The next block of the class from the newest chunk; the rest of a chunk too
// small for it is left unused.
void* SmallBlockPool::Carve(uint32_t sizeClass) {
    const size_t stride = kHeader + (sizeClass + 1) * kGranule;
    if (carved_ == nullptr || static_cast<size_t>(chunkEnd_ - carved_) < stride) {
        char* chunk = static_cast<char*>(allocate_(kChunkSize));
        if (chunk == nullptr) {
            return nullptr;
        }
        carved_ = chunk;
        chunkEnd_ = chunk + kChunkSize;
    }
    char* block = carved_ + kHeader;
    carved_ += stride;
    HeaderOf(block) = sizeClass;
    return block;
}

void SmallBlockPool::Release(void* block) {
    if (block == nullptr) {
        return;
    }
    const uint32_t sizeClass = HeaderOf(block);
    if (sizeClass == kUnpooled) {
        release_(static_cast<char*>(block) - kHeader);
        return;
    }
    FreeBlock* freed = static_cast<FreeBlock*>(block);
    freed->next = free_[sizeClass];
    free_[sizeClass] = freed;
}
