// Heap blocks for what is kept after the short-lived blocks made around it are
// gone.
#pragma once

#include <cstddef>

// A block of `size` bytes for something that outlives the burst of blocks it
// is made in: a record's text or the record itself, made while the document
// it comes from is parsed. Null when memory runs out; released with operator
// delete. The DLL serves such blocks apart from the others (its heap defines
// this function, as it defines operator new), so that one kept block never
// holds memory a parsed document took; elsewhere it is operator new's.
void* NewLastingBlock(size_t size) noexcept;

// A base for objects made with new that outlive the burst they are made in.
struct LastingObject {
    // Throws std::bad_alloc when memory runs out, as new does.
    static void* operator new(size_t size);
    static void operator delete(void* block) noexcept;
};
