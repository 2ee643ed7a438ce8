// The texts of the view's cells and the list's type-ahead search.
#include "library/cell_text.h"

#include <cstdio>
#include <cstring>

#include "base/ascii_text.h"
#include "library/item_list.h"
#include "library/columns.h"
#include "library/library_item.h"
#include "library/sort_order.h"

namespace {

// An empty text in `buffer` when it has room, so callers always get the buffer
// back.
const char* EmptyIn(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return "";
    }
    buffer[0] = '\0';
    return buffer;
}

const char* NumberText(int32_t value, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return "";
    }
    std::snprintf(buffer, size, "%d", static_cast<int>(value));
    return buffer;
}

}  // namespace

const char* LengthText(int32_t length, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return "";
    }
    // Division and remainder truncate toward zero and never overflow, INT_MIN
    // included.
    std::snprintf(buffer, size, "%d:%02d", static_cast<int>(length / 60),
                  static_cast<int>(length % 60));
    return buffer;
}

const char* TrackText(int32_t track, char* buffer, size_t size) {
    if (track > 0 && track < 1000) {
        return NumberText(track, buffer, size);
    }
    return EmptyIn(buffer, size);
}

const char* YearText(int32_t year, char* buffer, size_t size) {
    if (year > 0 && year < 5000) {
        return NumberText(year, buffer, size);
    }
    return EmptyIn(buffer, size);
}

const char* CellText(const LibraryItem& row, int column, char* buffer, size_t size) {
    const ColumnInfo* info = ColumnAt(column);
    if (info == nullptr) {
        return "";
    }
    if (info->IsText()) {
        const char* text = row.*info->text;
        return text != nullptr ? text : "";
    }
    return info->format(row.*info->number, buffer, size);
}

int32_t FindRowByKey(const ItemList& rows, int32_t sortColumn, int32_t start, unsigned flags,
                     const char* typed) {
    const int32_t count = rows.Count();
    if (count <= 0) {
        return -1;
    }
    const bool prefix = (flags & (kFindPartial | kFindSubstring)) != 0;
    const bool whole = (flags & kFindString) != 0;
    if (!prefix && !whole) {
        return -1;
    }
    if (typed == nullptr) {
        typed = "";
    }
    const size_t typedLength = std::strlen(typed);

    int32_t index = (start < 0 || start >= count) ? 0 : start;
    int32_t remaining = (flags & kFindWrap) != 0 ? count : count - index;
    char buffer[kCellTextSize];
    while (remaining > 0) {
        --remaining;
        const LibraryItem* row = rows.Get(index);
        const char* key =
            row != nullptr ? SortKey(CellText(*row, sortColumn, buffer, sizeof buffer)) : "";
        const bool match = prefix ? AsciiCompareNoCaseN(key, typed, typedLength) == 0
                                  : AsciiEqualNoCase(key, typed);
        if (match) {
            return index;
        }
        if (++index == count) {
            index = 0;
        }
    }
    return -1;
}
