// A growable list of row pointers: the library list (which owns its rows)
// and the result list (which only points at rows of the library list).
#pragma once

#include <cstdint>

struct LibraryItem;

// The pointer array grows and shrinks in steps of 32 slots, so that appending
// does not reallocate for every row. The list never frees rows: that is the
// owner's business (ClearLibrary). Destroying the list releases the array.
class ItemList {
  public:
    static constexpr int32_t kGrowthStep = 32;

    ItemList() = default;
    ~ItemList() { Release(); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    int32_t Count() const { return count_; }
    // Slots in the pointer array: 0 before the first append.
    int32_t Slots() const { return slots_; }

    // Stores `row` at the end. When there is no array yet, or the count is a
    // multiple of 32, the array first grows to count + 32 slots. False (and
    // the list unchanged) when memory runs out.
    bool Append(LibraryItem* row);

    // The row at `index`, or null when index < 0 or index >= Count().
    LibraryItem* Get(int32_t index) const;

    // Removes the entry at `index`, moving the later ones down. When the new
    // count is a nonzero multiple of 32 the array shrinks to exactly that.
    // Nothing happens for an index outside 0 ... Count() - 1.
    void Remove(int32_t index);

    // Frees the pointer array (not the rows) and empties the list.
    void Release();

    // The pointer array for in-place sorting; null before the first append.
    LibraryItem** Items() { return items_; }

  private:
    bool Resize(int32_t slots);

    LibraryItem** items_ = nullptr;
    int32_t count_ = 0;
    int32_t slots_ = 0;
};
