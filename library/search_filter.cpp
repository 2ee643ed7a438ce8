// The search filter: splitting the query, matching rows and the status line.
#include "library/search_filter.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "library/ascii_text.h"
#include "library/library_item.h"

namespace {

constexpr size_t kYearTextSize = 32;

// The same text the year cell shows, so a row is found by what the user sees.
// Kept here rather than calling YearText so the filter stands on its own.
const char* FilterYearText(int32_t year, char* buffer, size_t size) {
    std::memset(buffer, 0, size);
    if (year > 0 && year < 5000) {
        std::snprintf(buffer, size, "%d", static_cast<int>(year));
    }
    return buffer;
}

bool TermFoundInRow(const LibraryItem& row, const char* yearText, const char* term) {
    return FieldContains(row.album, term) || FieldContains(row.artist, term) ||
           FieldContains(row.title, term) || FieldContains(row.genre, term) ||
           FieldContains(yearText, term);
}

bool AllTermsFound(const LibraryItem& row, const char* yearText, const char* terms) {
    for (const char* term = terms; *term != '\0'; term += std::strlen(term) + 1) {
        if (!TermFoundInRow(row, yearText, term)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SplitQuery(const char* query, char* terms, size_t size) {
    if (terms == nullptr || size == 0) {
        return;
    }
    if (size == 1) {
        terms[0] = '\0';  // room only for the empty term that ends the list
        return;
    }
    // Each query byte yields at most one output byte, so keeping two bytes
    // back for the closing NULs is all the bound checking needed.
    const size_t limit = size - 2;
    bool inQuote = false;
    bool termBegun = false;
    size_t out = 0;
    for (size_t in = 0; query != nullptr && in < limit && query[in] != '\0'; ++in) {
        const char c = query[in];
        if (c == ' ' || c == '\t') {
            if (inQuote) {
                terms[out++] = c;
            } else if (termBegun) {
                terms[out++] = '\0';
                termBegun = false;
            }
        } else if (c == '"') {
            inQuote = !inQuote;
            if (!inQuote) {
                // A closing quote always ends a term, even an empty one, which
                // then ends the list: `a "" b` searches for `a` alone.
                terms[out++] = '\0';
                termBegun = false;
            }
        } else {
            terms[out++] = c;
            termBegun = true;
        }
    }
    terms[out] = '\0';
    terms[out + 1] = '\0';
}

int FieldContains(const char* field, const char* term) {
    if (field == nullptr) {
        return 0;
    }
    if (term == nullptr || *term == '\0') {
        return 1;
    }
    const size_t termLength = std::strlen(term);
    const size_t fieldLength = std::strlen(field);
    if (termLength > fieldLength) {
        return 0;
    }
    for (size_t start = 0; start + termLength <= fieldLength; ++start) {
        if (AsciiCompareNoCaseN(field + start, term, termLength) == 0) {
            return 1;
        }
    }
    return 0;
}

FilterResult FilterRows(const ItemList& library, const char* query) {
    char cut[kQueryBufferSize] = {};
    for (int i = 0; query != nullptr && i < kMaxQueryLength && query[i] != '\0'; ++i) {
        cut[i] = query[i];
    }
    char terms[kTermBufferSize];
    SplitQuery(cut, terms, sizeof terms);

    FilterResult result;
    result.rows.reset(new (std::nothrow) ItemList());
    if (!result.rows) {
        return result;
    }
    const int32_t count = library.Count();
    for (int32_t i = 0; i < count; ++i) {
        LibraryItem* row = library.Get(i);
        if (row == nullptr) {
            continue;
        }
        // Converting to unsigned first makes negative lengths wrap like the
        // 32-bit sums they are, without signed overflow.
        const auto length = static_cast<uint32_t>(row->length);
        result.totalSeconds += length;
        char yearText[kYearTextSize];
        FilterYearText(row->year, yearText, sizeof yearText);
        if (!AllTermsFound(*row, yearText, terms)) {
            continue;
        }
        // Counted only once appended, so the count and total always describe
        // exactly the rows in the list, even after running out of memory.
        if (!result.rows->Append(row)) {
            break;
        }
        ++result.matchCount;
        result.matchSeconds += length;
    }
    return result;
}

void FormatStatusLine(char* buffer, size_t size, int32_t libraryCount, const FilterResult& result) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const int32_t shown = result.rows ? result.rows->Count() : 0;
    const bool keptEveryRow = shown == libraryCount;
    const uint32_t seconds = keptEveryRow ? result.totalSeconds : result.matchSeconds;
    // At most 1193046 hours in 2^32 seconds, so every part fits an int.
    const int hours = static_cast<int>(seconds / 3600);
    const int minutes = static_cast<int>((seconds / 60) % 60);
    const int secs = static_cast<int>(seconds % 60);
    if (keptEveryRow) {
        std::snprintf(buffer, size, "%d items [%d:%02d:%02d]", static_cast<int>(libraryCount),
                      hours, minutes, secs);
    } else {
        std::snprintf(buffer, size, "Found: %d items [%d:%02d:%02d]", static_cast<int>(shown),
                      hours, minutes, secs);
    }
}
