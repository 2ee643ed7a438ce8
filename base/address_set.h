// A set of addresses, for the small-block pool's chunks.
#pragma once

#include <cstddef>
#include <cstdint>

// Distinct nonzero addresses, each a multiple of kSpacing, in an open
// addressing table that the given allocator holds and grows. Not thread-safe.
class AddressSet {
  public:
    using Allocate = void* (*)(size_t size);  // null when memory runs out
    using Release = void (*)(void* block);

    static constexpr uintptr_t kSpacing = 64 * 1024;

    // Constant: a set defined at namespace scope is ready before any static
    // constructor runs.
    constexpr AddressSet(Allocate allocate, Release release)
        : allocate_(allocate), release_(release) {}
    AddressSet(const AddressSet&) = delete;
    AddressSet& operator=(const AddressSet&) = delete;

    bool Contains(uintptr_t address) const;
    // False when the table cannot grow; the set is then as it was.
    bool Insert(uintptr_t address);
    // `address` is in the set.
    void Erase(uintptr_t address);

    // Each address in the set, in no particular order.
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (size_t i = 0; i < Capacity(); ++i) {
            if (slots_[i] != 0) {
                visit(slots_[i]);
            }
        }
    }
    // Empties the set and gives its table back.
    void Clear();

  private:
    size_t Capacity() const { return slots_ == nullptr ? 0 : size_t{1} << bits_; }
    size_t Home(uintptr_t address) const;
    size_t SlotOf(uintptr_t address) const;  // its slot, or the empty one ending its probe
    bool Grow();

    Allocate allocate_;
    Release release_;
    uintptr_t* slots_ = nullptr;  // 0: empty
    unsigned bits_ = 0;
    size_t count_ = 0;
};
