// Fuzz target: query splitting, field matching, the filter pass and the status
// line.
//
// Input (see fuzz_fields.h): record 0 is [query, term buffer size, status
// buffer size, library count]; every further record is a row [artist, title,
// album, length, track, genre, year, filename], and an empty record is a null
// row.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "library/cell_text.h"
#include "library/columns.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

constexpr size_t kMaxRows = 64;

// A heap block of exactly `size` bytes, so that the sanitizer catches the first
// byte past it.
struct ExactBuffer {
    explicit ExactBuffer(size_t size) : size(size), data(static_cast<char*>(std::malloc(size))) {
        if (data == nullptr) {
            std::abort();
        }
        std::memset(data, 0x5A, size);
    }
    ~ExactBuffer() { std::free(data); }
    ExactBuffer(const ExactBuffer&) = delete;
    ExactBuffer& operator=(const ExactBuffer&) = delete;
    size_t size;
    char* data;
};

// The terms SplitQuery wrote, checking that the list ends with an empty term
// inside the buffer.
std::vector<std::string> Terms(const char* terms, size_t size) {
    std::vector<std::string> list;
    size_t at = 0;
    while (at < size) {
        const size_t length = strnlen(terms + at, size - at);
        if (length == size - at) {
            FuzzFailure("a term runs to the end of its %zu-byte buffer", size);
        }
        if (length == 0) {
            return list;
        }
        list.emplace_back(terms + at, length);
        at += length + 1;
    }
    FuzzFailure("the term list of a %zu-byte buffer has no end", size);
}

std::vector<std::string> SplitWithRoom(const std::string& query, size_t size) {
    ExactBuffer buffer(size);
    SplitQuery(query.c_str(), buffer.data, size);
    return Terms(buffer.data, size);
}

unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// FieldContains by the book: every position of the field tried in turn.
int Contains(const char* field, const char* term) {
    if (field == nullptr) {
        return 0;
    }
    if (term == nullptr || *term == '\0') {
        return 1;
    }
    const size_t n = std::strlen(field);
    const size_t m = std::strlen(term);
    for (size_t at = 0; at + m <= n; ++at) {
        size_t i = 0;
        while (i < m && Lower(static_cast<unsigned char>(field[at + i])) ==
                            Lower(static_cast<unsigned char>(term[i]))) {
            ++i;
        }
        if (i == m) {
            return 1;
        }
    }
    return 0;
}

void CheckSplitQuery(const std::string& query, size_t fuzzedSize) {
    const size_t length = query.size();
    // The terms need at most the query's length plus two bytes; more room
    // changes nothing.
    const std::vector<std::string> whole = SplitWithRoom(query, length + 2);
    if (SplitWithRoom(query, length + 64) != whole) {
        FuzzFailure("length + 2 bytes were not enough for the terms");
    }
    for (const std::string& term : whole) {
        if (term.find('"') != std::string::npos) {
            FuzzFailure("a term holds a quote");
        }
    }
    // With less room the query is cut to size - 2 bytes first.
    for (size_t size :
         {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{7}, length + 1, fuzzedSize}) {
        if (size == 0) {
            continue;
        }
        const std::vector<std::string> terms = SplitWithRoom(query, size);
        const std::vector<std::string> expected =
            size >= 2 ? SplitWithRoom(query.substr(0, size - 2), length + 2)
                      : std::vector<std::string>{};
        if (terms != expected) {
            FuzzFailure("%zu bytes of room: not the terms of the query cut to fit", size);
        }
    }
    ExactBuffer none(0);
    SplitQuery(query.c_str(), none.data, 0);
    SplitQuery(query.c_str(), nullptr, 0);
    ExactBuffer room(8);
    SplitQuery(nullptr, room.data, room.size);
    Terms(room.data, room.size);
}

void CheckFieldContains(const std::vector<LibraryItem*>& rows,
                        const std::vector<std::string>& terms, const std::string& query) {
    std::vector<const char*> probes{nullptr, "", query.c_str()};
    for (const std::string& term : terms) {
        probes.push_back(term.c_str());
    }
    for (const LibraryItem* row : rows) {
        if (row == nullptr) {
            continue;
        }
        for (const char* field : {row->artist, row->title, row->album, row->genre, row->filename}) {
            for (const char* term : probes) {
                if (FieldContains(field, term) != Contains(field, term)) {
                    FuzzFailure("FieldContains(\"%s\", \"%s\") = %d", field ? field : "(null)",
                                term ? term : "(null)", FieldContains(field, term));
                }
            }
        }
    }
}

bool RowMatches(const LibraryItem& row, const std::vector<std::string>& terms) {
    char year[32];
    YearText(row.year, year, sizeof year);
    for (const std::string& term : terms) {
        const char* t = term.c_str();
        if (!Contains(row.album, t) && !Contains(row.artist, t) && !Contains(row.title, t) &&
            !Contains(row.genre, t) && !Contains(year, t)) {
            return false;
        }
    }
    return true;
}

void CheckFilter(const ItemList& library, const std::string& query, const FilterResult& result) {
    if (!result.rows) {
        FuzzFailure("FilterRows gave no list");
    }
    const std::string cut = query.substr(0, kMaxQueryLength);
    const std::vector<std::string> terms = SplitWithRoom(cut, kTermBufferSize);
    std::vector<const LibraryItem*> matches;
    uint32_t matchSeconds = 0;
    uint32_t totalSeconds = 0;
    for (int32_t i = 0; i < library.Count(); ++i) {
        const LibraryItem* row = library.Get(i);
        if (row == nullptr) {
            continue;
        }
        totalSeconds += static_cast<uint32_t>(row->length);
        if (RowMatches(*row, terms)) {
            matches.push_back(row);
            matchSeconds += static_cast<uint32_t>(row->length);
        }
    }
    bool same = static_cast<size_t>(result.rows->Count()) == matches.size() &&
                static_cast<size_t>(result.matchCount) == matches.size();
    for (size_t i = 0; same && i < matches.size(); ++i) {
        same = result.rows->Get(static_cast<int32_t>(i)) == matches[i];
    }
    if (!same) {
        FuzzFailure("FilterRows kept %d rows (count %d), expected %zu", result.rows->Count(),
                    result.matchCount, matches.size());
    }
    if (result.matchSeconds != matchSeconds || result.totalSeconds != totalSeconds) {
        FuzzFailure("FilterRows: %u of %u seconds, expected %u of %u", result.matchSeconds,
                    result.totalSeconds, matchSeconds, totalSeconds);
    }
}

void CheckStatusLine(int32_t libraryCount, const FilterResult& result, size_t fuzzedSize) {
    char full[kStatusLineSize];
    FormatStatusLine(full, sizeof full, libraryCount, result);
    if (strnlen(full, sizeof full) == sizeof full) {
        FuzzFailure("the status line is not terminated");
    }
    const int32_t shown = result.rows ? result.rows->Count() : 0;
    const bool everyRow = shown == libraryCount;
    int count = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    const int read =
        everyRow
            ? std::sscanf(full, "%d items [%d:%d:%d]", &count, &hours, &minutes, &seconds)
            : std::sscanf(full, "Found: %d items [%d:%d:%d]", &count, &hours, &minutes, &seconds);
    const uint32_t total = everyRow ? result.totalSeconds : result.matchSeconds;
    if (read != 4 || count != (everyRow ? libraryCount : shown) || minutes < 0 || minutes > 59 ||
        seconds < 0 || seconds > 59 || hours < 0 ||
        uint64_t(hours) * 3600 + uint64_t(minutes) * 60 + uint64_t(seconds) != total) {
        FuzzFailure("status line \"%s\" for %d of %d rows, %u seconds", full, shown, libraryCount,
                    total);
    }
    // A smaller buffer holds the start of the same line.
    const std::string line = full;
    for (size_t size :
         {size_t{0}, size_t{1}, size_t{2}, size_t{5}, size_t{10}, size_t{20}, fuzzedSize}) {
        ExactBuffer buffer(size);
        FormatStatusLine(buffer.data, size, libraryCount, result);
        if (size > 0 && line.compare(0, size - 1, buffer.data) != 0) {
            FuzzFailure("a %zu-byte status line is not the start of the full one", size);
        }
    }
    FormatStatusLine(nullptr, 0, libraryCount, result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<FuzzRecord> records = SplitRecords(data, size);
    const FuzzRecord& head = records[0];
    const std::string query = head[0].c_str();  // as a C text: up to the first NUL
    const size_t termSize = static_cast<uint32_t>(FieldNumber(head, 1, 300)) % 400;
    const size_t statusSize = static_cast<uint32_t>(FieldNumber(head, 2, 64)) % 600;

    LibraryLists lists;
    const std::vector<LibraryItem*> rows = AppendRows(records, 1, kMaxRows, lists.library);
    const int32_t libraryCount = FieldNumber(head, 3, lists.library.Count());

    CheckSplitQuery(query, termSize);
    CheckFieldContains(rows, SplitWithRoom(query, query.size() + 2), query);

    const FilterResult result = FilterRows(lists.library, query.c_str());
    CheckFilter(lists.library, query, result);
    CheckStatusLine(libraryCount, result, statusSize);
    CheckStatusLine(lists.library.Count(), result, statusSize);
    CheckStatusLine(libraryCount, FilterResult{}, statusSize);
    return 0;
}
