// A least-significant-digit radix sort of packed sort keys.
#include "library/radix_sort.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kDigitBits = 11;
constexpr uint32_t kDigitMask = (1u << kDigitBits) - 1;
// Below this many rows a comparison sort costs less than clearing the counts.
constexpr size_t kRadixRows = 512;

}  // namespace

// Skips the digits that every entry shares.
void SortByKey(std::vector<SortEntry>& entries, std::vector<SortEntry>& scratch, int bits) {
    if (entries.size() < kRadixRows) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const SortEntry& a, const SortEntry& b) { return a.key < b.key; });
        return;
    }
    const int digits = (bits + kDigitBits - 1) / kDigitBits;
    std::vector<uint32_t> counts(static_cast<size_t>(digits) << kDigitBits, 0);
    for (const SortEntry& entry : entries) {
        for (int d = 0; d < digits; ++d) {
            ++counts[(static_cast<size_t>(d) << kDigitBits) +
                     ((entry.key >> (d * kDigitBits)) & kDigitMask)];
        }
    }
    scratch.resize(entries.size());
    for (int d = 0; d < digits; ++d) {
        uint32_t* starts = &counts[static_cast<size_t>(d) << kDigitBits];
        const int shift = d * kDigitBits;
        if (starts[(entries.front().key >> shift) & kDigitMask] == entries.size()) {
            continue;
        }
        uint32_t sum = 0;
        for (uint32_t digit = 0; digit <= kDigitMask; ++digit) {
            const uint32_t n = starts[digit];
            starts[digit] = sum;
            sum += n;
        }
        for (const SortEntry& entry : entries) {
            scratch[starts[(entry.key >> shift) & kDigitMask]++] = entry;
        }
        entries.swap(scratch);
    }
}

PackedKey PackKey(const std::vector<uint32_t>& values, bool descending) {
    const auto range = std::minmax_element(values.begin(), values.end());
    PackedKey key{&values, *range.first, *range.second, descending, 0};
    while (key.bits < 32 && ((key.high - key.low) >> key.bits) != 0) {
        ++key.bits;
    }
    return key;
}

// The keys are packed into as few 64-bit words as they fit, and the words
// sorted from the least significant on: each stable step keeps the order the
// steps before made.
std::vector<SortEntry> SortByKeys(const std::vector<PackedKey>& keys, size_t count) {
    std::vector<SortEntry> entries(count);
    for (size_t i = 0; i < count; ++i) {
        entries[i].row = static_cast<uint32_t>(i);
    }
    std::vector<SortEntry> scratch;
    size_t end = keys.size();
    while (end > 0) {
        size_t begin = end - 1;
        int bits = keys[begin].bits;
        while (begin > 0 && bits + keys[begin - 1].bits <= 64) {
            bits += keys[--begin].bits;
        }
        for (SortEntry& entry : entries) {
            uint64_t key = 0;
            for (size_t k = begin; k < end; ++k) {
                // Two steps: a shift by 64 would be undefined, and `bits` is
                // never 0.
                key = ((key << 1) << (keys[k].bits - 1)) | keys[k].Of(entry.row);
            }
            entry.key = key;
        }
        SortByKey(entries, scratch, bits);
        end = begin;
    }
    return entries;
}
