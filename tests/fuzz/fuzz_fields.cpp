// Splitting fuzz inputs into records and fields, and rows made from them.
#include "tests/fuzz/fuzz_fields.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "library/item_list.h"
#include "library/library_item.h"

std::vector<FuzzRecord> SplitRecords(const uint8_t* data, size_t size) {
    std::vector<FuzzRecord> records(1);
    records.back().emplace_back();
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == kRecordSeparator) {
            records.emplace_back();
            records.back().emplace_back();
        } else if (c == kFieldSeparator) {
            records.back().emplace_back();
        } else {
            records.back().back() += c;
        }
    }
    return records;
}

std::string JoinRecords(const std::vector<FuzzRecord>& records) {
    std::string joined;
    for (size_t r = 0; r < records.size(); ++r) {
        if (r > 0) {
            joined += kRecordSeparator;
        }
        for (size_t f = 0; f < records[r].size(); ++f) {
            if (f > 0) {
                joined += kFieldSeparator;
            }
            joined += records[r][f];
        }
    }
    return joined;
}

const std::string* Field(const FuzzRecord& record, size_t index) {
    return index < record.size() ? &record[index] : nullptr;
}

int32_t FieldNumber(const FuzzRecord& record, size_t index, int32_t absent) {
    const std::string* text = Field(record, index);
    if (text == nullptr) {
        return absent;
    }
    size_t at = 0;
    const bool negative = !text->empty() && (*text)[0] == '-';
    if (negative) {
        ++at;
    }
    uint32_t value = 0;
    for (; at < text->size() && (*text)[at] >= '0' && (*text)[at] <= '9'; ++at) {
        value = value * 10u + static_cast<uint32_t>((*text)[at] - '0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

char* MallocText(const std::string* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t length = std::strlen(text->c_str());
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        std::abort();
    }
    std::memcpy(copy, text->c_str(), length + 1);
    return copy;
}

namespace {

// A row's text as the library's own rows hold theirs, so that FreeRow frees it.
char* RowText(const std::string* text) {
    if (text == nullptr) {
        return nullptr;
    }
    char* copy = CopyText(text->c_str());
    if (copy == nullptr) {
        std::abort();
    }
    return copy;
}

}  // namespace

LibraryItem* RowFromFields(const FuzzRecord& record, size_t first) {
    LibraryItem* row = NewRow();
    if (row == nullptr) {
        std::abort();
    }
    row->artist = RowText(Field(record, first + kRowArtist));
    row->title = RowText(Field(record, first + kRowTitle));
    row->album = RowText(Field(record, first + kRowAlbum));
    row->length = FieldNumber(record, first + kRowLength);
    row->track = FieldNumber(record, first + kRowTrack);
    row->genre = RowText(Field(record, first + kRowGenre));
    row->year = FieldNumber(record, first + kRowYear);
    row->filename = RowText(Field(record, first + kRowFilename));
    return row;
}

void FuzzFailure(const char* format, ...) {
    std::fflush(stdout);
    std::fprintf(stderr, "\n==== fuzz check failed: ");
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "\n");
    std::abort();
}

std::vector<LibraryItem*> AppendRows(const std::vector<FuzzRecord>& records, size_t first,
                                     size_t maxRows, ItemList& list) {
    std::vector<LibraryItem*> rows;
    for (size_t r = first; r < records.size() && rows.size() < maxRows; ++r) {
        const bool nullRow = records[r].size() == 1 && records[r][0].empty();
        rows.push_back(nullRow ? nullptr : RowFromFields(records[r], 0));
        if (!list.Append(rows.back())) {
            std::abort();
        }
    }
    return rows;
}
