// The search filter: splitting the query, matching rows and the status line.
#include "library/search_filter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/ascii_text.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_texts.h"

namespace {

// The most terms a term buffer can hold: each takes a byte and its NUL.
constexpr size_t kMaxTerms = kTermBufferSize / 2;

struct Term {
    const char* bytes;
    size_t length;
    size_t anchor;  // the term's rarest byte in the texts, looked for first
};

// The query's terms, cut and split as the search box gives them, lowered in
// `buffer`. Returns how many.
size_t LoweredTerms(const char* query, const SearchTexts& texts, char (&buffer)[kTermBufferSize],
                    Term (&terms)[kMaxTerms]) {
    char cut[kQueryBufferSize] = {};
    for (int i = 0; query != nullptr && i < kMaxQueryLength && query[i] != '\0'; ++i) {
        cut[i] = query[i];
    }
    SplitQuery(cut, buffer, sizeof buffer);
    size_t count = 0;
    for (char* term = buffer; *term != '\0' && count < kMaxTerms; ++count) {
        const size_t length = std::strlen(term);
        size_t anchor = 0;
        for (size_t i = 0; i < length; ++i) {
            const unsigned char lowered = AsciiLower(static_cast<unsigned char>(term[i]));
            term[i] = static_cast<char>(lowered);
            if (texts.ByteCount(lowered) <
                texts.ByteCount(static_cast<unsigned char>(term[anchor]))) {
                anchor = i;
            }
        }
        terms[count] = Term{term, length, anchor};
        term += length + 1;
    }
    return count;
}

// Terms are short: a plain loop beats calling memcmp for every candidate.
bool SameBytes(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// The first row from `from` on (below `count`) whose texts hold `term`, or
// `count`. One scan over the texts of many rows for the term's rarest byte,
// not a search per row.
int32_t NextRowWith(const SearchTexts& texts, int32_t from, int32_t count, const Term& term) {
    const char* p = texts.Begin(from) + term.anchor;
    const char* end = texts.End(count - 1);
    int32_t row = from;
    while (p < end) {
        p = static_cast<const char*>(
            std::memchr(p, term.bytes[term.anchor], static_cast<size_t>(end - p)));
        if (p == nullptr) {
            break;
        }
        const char* start = p - term.anchor;
        while (texts.End(row) <= start) {
            ++row;
        }
        if (start >= texts.Begin(row) &&
            static_cast<size_t>(texts.End(row) - start) >= term.length &&
            SameBytes(start, term.bytes, term.length)) {
            return row;
        }
        ++p;
    }
    return count;
}

// The pass itself, over texts that are in step with `library`.
FilterResult FilterTexts(const ItemList& library, const SearchTexts& texts, const char* query) {
    char buffer[kTermBufferSize];
    Term terms[kMaxTerms];
    const size_t termCount = LoweredTerms(query, texts, buffer, terms);

    FilterResult result;
    result.rows.reset(new (std::nothrow) ItemList());
    if (!result.rows) {
        return result;
    }
    result.totalSeconds = texts.TotalSeconds();
    const int32_t count = std::min(texts.Rows(), library.Count());
    for (int32_t i = 0; i < count; ++i) {
        if (termCount > 0) {
            i = NextRowWith(texts, i, count, terms[0]);
            if (i == count) {
                break;
            }
        }
        const char* begin = texts.Begin(i);
        const char* end = texts.End(i);
        bool found = true;
        for (size_t t = 1; t < termCount && found; ++t) {
            found = ContainsLowered(begin, end, terms[t].bytes, terms[t].length);
        }
        LibraryItem* row = found ? library.Get(i) : nullptr;
        // Counted only once appended, so the count and total always describe
        // exactly the rows in the list, even after running out of memory.
        if (row == nullptr) {
            continue;
        }
        if (!result.rows->Append(row)) {
            break;
        }
        ++result.matchCount;
        result.matchSeconds += texts.Seconds(i);
    }
    return result;
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
    SearchTexts texts;
    if (!texts.CatchUp(library)) {
        return FilterResult{};
    }
    return FilterTexts(library, texts, query);
}

FilterResult FilterLibrary(LibraryLists& lists, const char* query) {
    if (!lists.searchTexts.CatchUp(lists.library)) {
        return FilterResult{};
    }
    return FilterTexts(lists.library, lists.searchTexts, query);
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
