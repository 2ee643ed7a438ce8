// A set of addresses, for the small-block pool's chunks.
#include "base/address_set.h"

#include <cstring>

namespace {

constexpr unsigned kFirstBits = 6;

}  // namespace

// Fibonacci hashing of the address's multiple of kSpacing: the product's top
// bits.
size_t AddressSet::Home(uintptr_t address) const {
    const uint32_t product = static_cast<uint32_t>(address / kSpacing) * 2654435761u;
    return product >> (32 - bits_);
}

size_t AddressSet::SlotOf(uintptr_t address) const {
    const size_t mask = Capacity() - 1;
    size_t slot = Home(address);
    while (slots_[slot] != 0 && slots_[slot] != address) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

bool AddressSet::Contains(uintptr_t address) const {
    return slots_ != nullptr && slots_[SlotOf(address)] == address;
}

bool AddressSet::Insert(uintptr_t address) {
    if ((count_ + 1) * 2 > Capacity() && !Grow()) {
        return false;
    }
    slots_[SlotOf(address)] = address;
    ++count_;
    return true;
}

// Linear probing without tombstones: each later entry of the probe run that
// may move into the freed slot moves back.
void AddressSet::Erase(uintptr_t address) {
    const size_t mask = Capacity() - 1;
    size_t hole = SlotOf(address);
    for (size_t next = (hole + 1) & mask; slots_[next] != 0; next = (next + 1) & mask) {
        const size_t home = Home(slots_[next]);
        // The entry stays when its home lies cyclically in (hole, next].
        const bool stays = hole <= next ? hole < home && home <= next : hole < home || home <= next;
        if (!stays) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = 0;
    --count_;
}

bool AddressSet::Grow() {
    const unsigned bits = slots_ == nullptr ? kFirstBits : bits_ + 1;
    const size_t bytes = (size_t{1} << bits) * sizeof(uintptr_t);
    auto* slots = static_cast<uintptr_t*>(allocate_(bytes));
    if (slots == nullptr) {
        return false;
    }
    std::memset(slots, 0, bytes);
    uintptr_t* old = slots_;
    const size_t oldCapacity = Capacity();
    slots_ = slots;
    bits_ = bits;
    for (size_t i = 0; i < oldCapacity; ++i) {
        if (old[i] != 0) {
            slots_[SlotOf(old[i])] = old[i];
        }
    }
    if (old != nullptr) {
        release_(old);
    }
    return true;
}

void AddressSet::Clear() {
    if (slots_ != nullptr) {
        release_(slots_);
    }
    slots_ = nullptr;
    bits_ = 0;
    count_ = 0;
}
