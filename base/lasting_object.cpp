// Objects made with new from lasting blocks.
#include <new>

#include "base/lasting_block.h"

void* LastingObject::operator new(size_t size) {
    void* block = NewLastingBlock(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void LastingObject::operator delete(void* block) noexcept {
    ::operator delete(block);
}
