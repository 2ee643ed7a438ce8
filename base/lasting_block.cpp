// Lasting blocks where no heap of the DLL serves them apart: operator new's
// own.
#include "base/lasting_block.h"

#include <new>

void* NewLastingBlock(size_t size) noexcept {
    return ::operator new(size, std::nothrow);
}
