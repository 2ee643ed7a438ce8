// The DLL's own heap: every operator new and delete of the plug-in's code,
// the XML parser's included, is served by it.
//
// Reading a big player makes and frees millions of small blocks (parsed
// nodes, texts); the system heap serves each with a lock and a search of its
// free lists. Here small blocks come from chunks of one size each, taken
// from the system's virtual memory and given back as soon as their blocks
// are all released, so a read leaves behind only what its records and rows
// hold. Those are lasting blocks (base/lasting_block.h), served from chunks
// of their own: a text copied while its document is parsed never keeps a
// chunk of the document's nodes alive. Larger blocks come from a heap of the
// DLL's own, created without locking: the plug-in runs on the host's one
// thread. Chunks and heap go when
// the DLL's statics go, after every other static of the DLL has freed its
// blocks; a block released after that (by the C++ runtime's own statics) went
// with them already.
#include <windows.h>

#include <new>

#include "base/lasting_block.h"
#include "base/small_block_pool.h"

namespace {

enum class HeapState { NotYet, Live, Gone };

HANDLE g_heap = nullptr;
HeapState g_heapState = HeapState::NotYet;

void* NewChunk() {
    return VirtualAlloc(nullptr, SmallBlockPool::kChunkSize, MEM_RESERVE | MEM_COMMIT,
                        PAGE_READWRITE);
}

void FreeChunk(void* chunk) {
    VirtualFree(chunk, 0, MEM_RELEASE);
}

void* HeapBlock(size_t size) {
    return HeapAlloc(g_heap, 0, size);
}

void FreeHeapBlock(void* block) {
    HeapFree(g_heap, 0, block);
}

// The system's allocation granularity (64 KB) aligns every chunk.
constexpr SmallBlockPool::Backing kBacking = {NewChunk, FreeChunk, HeapBlock, FreeHeapBlock};
SmallBlockPool g_pool(kBacking);  // constant-initialised

bool HeapLive() {
    if (g_heapState == HeapState::NotYet) {
        g_heap = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
        g_heapState = g_heap != nullptr ? HeapState::Live : HeapState::Gone;
    }
    return g_heapState == HeapState::Live;
}

void* Allocate(size_t size) {
    return HeapLive() ? g_pool.Allocate(size) : nullptr;
}

void Release(void* block) {
    if (g_heapState == HeapState::Live) {
        g_pool.Release(block);
    }
}

// Constructed before the DLL's other statics, so destroyed after them.
struct HeapCloser {
    ~HeapCloser() {
        if (g_heapState == HeapState::Live) {
            g_pool.ReleaseChunks();
            HeapDestroy(g_heap);
        }
        g_heap = nullptr;
        g_heapState = HeapState::Gone;
    }
};
HeapCloser g_heapCloser __attribute__((init_priority(101)));

}  // namespace

// The runtime's other forms (arrays, sized, no-throw) call these two. Every
// block is aligned to the target's default new alignment.
static_assert(SmallBlockPool::kAlignment % __STDCPP_DEFAULT_NEW_ALIGNMENT__ == 0,
              "operator new's blocks keep the default alignment");

void* operator new(size_t size) {
    void* block = Allocate(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void operator delete(void* block) noexcept {
    Release(block);
}

void operator delete(void* block, size_t) noexcept {
    Release(block);
}

// Takes the place of the portable default, which is operator new's.
void* NewLastingBlock(size_t size) noexcept {
    return HeapLive() ? g_pool.AllocateLasting(size) : nullptr;
}
