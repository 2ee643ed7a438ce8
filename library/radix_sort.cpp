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
