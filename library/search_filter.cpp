// The search filter: splitting the query, matching rows and the status line.
#include "library/search_filter.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "library/ascii_text.h"
#include "library/library_item.h"

namespace {

constexpr size_t kYearTextSize = 32;

// The same text the year cell shows ("%d" for 0 < year < 5000, else empty),
// so a row is found by what the user sees. Written by hand: this runs for
// every row of every pass, where a formatted print would dominate the cost.
void FormatYearText(int32_t year, char (&buffer)[kYearTextSize]) {
    std::memset(buffer, 0, sizeof buffer);
    if (year <= 0 || year >= 5000) {
        return;
    }
    char digits[4];
    int count = 0;
    for (int32_t rest = year; rest > 0; rest /= 10) {
        digits[count++] = static_cast<char>('0' + rest % 10);
    }
    for (int i = 0; i < count; ++i) {
        buffer[i] = digits[count - 1 - i];
    }
}

// The year text is made only when a term gets as far as the year field.
class RowFields {
  public:
    explicit RowFields(const LibraryItem& row) : row_(row) {}

    bool Contain(const char* term) {
        if (FieldContains(row_.album, term) || FieldContains(row_.artist, term) ||
            FieldContains(row_.title, term) || FieldContains(row_.genre, term)) {
            return true;
        }
        if (!haveYear_) {
            FormatYearText(row_.year, yearText_);
            haveYear_ = true;
        }
        return FieldContains(yearText_, term);
    }

  private:
    const LibraryItem& row_;
    bool haveYear_ = false;
    char yearText_[kYearTextSize];
};

bool AllTermsFound(const LibraryItem& row, const char* terms) {
    RowFields fields(row);
    for (const char* term = terms; *term != '\0'; term += std::strlen(term) + 1) {
        if (!fields.Contain(term)) {
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
    // Candidates start where the first byte matches; a candidate that runs
    // into the field's end means every later one is shorter still.
    const auto* f = reinterpret_cast<const unsigned char*>(field);
    const auto* t = reinterpret_cast<const unsigned char*>(term);
    const unsigned char first = AsciiLower(t[0]);
    for (; *f != 0; ++f) {
        if (AsciiLower(*f) != first) {
            continue;
        }
        size_t i = 1;
        while (t[i] != 0 && f[i] != 0 && AsciiLower(f[i]) == AsciiLower(t[i])) {
            ++i;
        }
        if (t[i] == 0) {
            return 1;
        }
        if (f[i] == 0) {
            return 0;
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
        if (!AllTermsFound(*row, terms)) {
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
