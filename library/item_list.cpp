// The row pointer list with its growth steps of 32.
#include "library/item_list.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

bool ItemList::Resize(int32_t slots) {
    void* resized = std::realloc(items_, sizeof(LibraryItem*) * static_cast<size_t>(slots));
    if (resized == nullptr) {
        return false;
    }
    items_ = static_cast<LibraryItem**>(resized);
    slots_ = slots;
    return true;
}

bool ItemList::Append(LibraryItem* row) {
    if ((items_ == nullptr || count_ % kGrowthStep == 0) && !Resize(count_ + kGrowthStep)) {
        return false;
    }
    assert(count_ < slots_);
    items_[count_++] = row;
    return true;
}

LibraryItem* ItemList::Get(int32_t index) const {
    return (index < 0 || index >= count_) ? nullptr : items_[index];
}

void ItemList::Remove(int32_t index) {
    if (items_ == nullptr || index < 0 || index >= count_) {
        return;
    }
    --count_;
    std::memmove(items_ + index, items_ + index + 1,
                 sizeof(LibraryItem*) * static_cast<size_t>(count_ - index));
    if (count_ != 0 && count_ % kGrowthStep == 0) {
        Resize(count_);  // a failed shrink keeps the larger array, which is still valid
    }
}

void ItemList::Release() {
    std::free(items_);
    items_ = nullptr;
    count_ = 0;
    slots_ = 0;
}
