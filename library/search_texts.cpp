// The lowered searched texts of the library, end to end in library order.
#include "library/search_texts.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "base/ascii_text.h"
#include "library/columns.h"
#include "library/item_list.h"
#include "library/library_item.h"

void SearchTexts::AppendLowered(const char* text) {
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        const unsigned char lowered = AsciiLower(static_cast<unsigned char>(*p));
        bytes_.push_back(static_cast<char>(lowered));
        ++byteCounts_[lowered];
    }
    bytes_.push_back('\0');
}

void SearchTexts::AddRow(const LibraryItem* row) {
    if (row != nullptr) {
        for (const ColumnInfo& column : kColumns) {
            if (column.searched) {
                char number[16];
                AppendLowered(column.IsText()
                                  ? row->*column.text
                                  : column.format(row->*column.number, number, sizeof number));
            }
        }
    }
    // Converting to unsigned first makes negative lengths wrap like the
    // 32-bit sums they are, without signed overflow.
    const uint32_t seconds = row != nullptr ? static_cast<uint32_t>(row->length) : 0;
    ends_.push_back(static_cast<uint32_t>(bytes_.size()));
    seconds_.push_back(seconds);
    totalSeconds_ += seconds;
}

bool SearchTexts::CatchUp(const ItemList& library) {
    for (int32_t i = Rows(); i < library.Count(); ++i) {
        const size_t bytes = bytes_.size();
        try {
            // Room first, so that the row's bookkeeping cannot fail halfway.
            if (ends_.size() == ends_.capacity()) {
                ends_.reserve(2 * ends_.size() + 64);
                seconds_.reserve(ends_.capacity());
            }
            AddRow(library.Get(i));
        } catch (const std::bad_alloc&) {
            bytes_.resize(bytes);  // the row is not added at all
            return false;
        }
    }
    return true;
}

void SearchTexts::Clear() {
    bytes_.clear();
    ends_.clear();
    seconds_.clear();
    totalSeconds_ = 0;
    std::fill(std::begin(byteCounts_), std::end(byteCounts_), 0u);
}

const char* SearchTexts::Begin(int32_t index) const {
    return bytes_.data() + (index == 0 ? 0 : ends_[index - 1]);
}

size_t SearchTexts::Footprint() const {
    return bytes_.capacity() + sizeof(uint32_t) * (ends_.capacity() + seconds_.capacity());
}

bool ContainsLowered(const char* begin, const char* end, const char* term, size_t length) {
    const char first = term[0];
    for (const char* p = begin; static_cast<size_t>(end - p) >= length; ++p) {
        p = static_cast<const char*>(std::memchr(p, first, static_cast<size_t>(end - p)));
        if (p == nullptr || static_cast<size_t>(end - p) < length) {
            return false;
        }
        if (std::memcmp(p + 1, term + 1, length - 1) == 0) {
            return true;
        }
    }
    return false;
}
