// The DLL's own heap: every operator new and delete of the plug-in's code,
// the XML parser's included, is served by it.
//
// Reading a big player makes and frees millions of small blocks (parsed
// nodes, texts); the system heap serves each with a lock and a search of its
// free lists. Here small blocks come from per-size free lists over a heap
// of the DLL's own, created without locking: the plug-in runs on the host's
// one thread. The heap goes when the DLL's statics go, after every other
// static of the DLL has freed its blocks; a block released after that (by
// the C++ runtime's own statics) is released with the heap already.
#include <windows.h>

#include <new>

#include "base/small_block_pool.h"

namespace {

enum class HeapState { NotYet, Live, Gone };

HANDLE g_heap = nullptr;
HeapState g_heapState = HeapState::NotYet;

void* HeapBlock(size_t size) {
    return HeapAlloc(g_heap, 0, size);
}

void FreeHeapBlock(void* block) {
    HeapFree(g_heap, 0, block);
}

SmallBlockPool g_pool(HeapBlock, FreeHeapBlock);  // constant-initialised

void* Allocate(size_t size) {
    if (g_heapState == HeapState::NotYet) {
        g_heap = HeapCreate(HEAP_NO_SERIALIZE, 0, 0);
        g_heapState = g_heap != nullptr ? HeapState::Live : HeapState::Gone;
    }
    return g_heapState == HeapState::Live ? g_pool.Allocate(size) : nullptr;
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
            HeapDestroy(g_heap);
        }
        g_heap = nullptr;
        g_heapState = HeapState::Gone;
    }
};
HeapCloser g_heapCloser __attribute__((init_priority(101)));

}  // namespace

// The runtime's other forms (arrays, sized, no-throw) call these two.
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
