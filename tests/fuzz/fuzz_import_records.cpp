// Fuzz target: host item records imported as rows, exported back, and imported
// again.
//
// Input (see fuzz_fields.h): record 0 is [count mode, count, all rows, view
// open, selected rows, result rows, rows already in the library]; every further
// record is a host record [filename, title, album, artist, slot 4, genre, year,
// track, length, slot 9]. The two row sets are bit masks over the bytes of the
// field (bit i of byte i / 8). A host never hands over a count larger than its
// array together with a non-null array, so neither does this.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/host_item_record.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/record_exchange.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

constexpr size_t kMaxRecords = 64;

enum CountMode {
    kWholeArray,   // the array's own size
    kFuzzedCount,  // any count up to the array's size, zero and negative ones included
    kNullRecords,  // no array, any count
    kNullList,     // no list at all
    kEmptyCount,   // an array with a count of 0
    kCountModes
};

bool Bit(const std::string* mask, int index) {
    if (mask == nullptr || index < 0 || static_cast<size_t>(index / 8) >= mask->size()) {
        return false;
    }
    return ((static_cast<unsigned char>((*mask)[index / 8]) >> (index % 8)) & 1) != 0;
}

class FakeSelection : public RowSelection {
  public:
    FakeSelection(bool open, const std::string* mask) : open_(open), mask_(mask) {}
    bool ViewOpen() const override { return open_; }
    bool IsSelected(int index) const override { return Bit(mask_, index); }

  private:
    bool open_;
    const std::string* mask_;
};

bool SameText(const char* a, const char* b) {
    return a == nullptr ? b == nullptr : b != nullptr && std::strcmp(a, b) == 0;
}

// The row holds copies of the record's texts (never the record's own) and its
// numbers.
void CheckRowFromRecord(const LibraryItem* row, const HostItemRecord& record, size_t index) {
    if (row == nullptr) {
        FuzzFailure("record %zu became a null row", index);
    }
    const char* const texts[][2] = {{row->filename, record.filename},
                                    {row->title, record.title},
                                    {row->album, record.album},
                                    {row->artist, record.artist},
                                    {row->genre, record.genre}};
    for (const auto& pair : texts) {
        if (!SameText(pair[0], pair[1]) || (pair[0] != nullptr && pair[0] == pair[1])) {
            FuzzFailure("record %zu: a text was not copied as it is", index);
        }
    }
    if (row->year != record.year || row->track != record.track || row->length != record.length) {
        FuzzFailure("record %zu: numbers changed", index);
    }
}

// The record borrows the row's texts and carries its numbers; slots 4 and 9
// stay zero.
void CheckRecordFromRow(const HostItemRecord& record, const LibraryItem* row, size_t index) {
    if (record.filename != row->filename || record.title != row->title ||
        record.album != row->album || record.artist != row->artist || record.genre != row->genre ||
        record.year != row->year || record.track != row->track || record.length != row->length ||
        record.unused4 != 0 || record.unused9 != 0) {
        FuzzFailure("exported record %zu does not describe its row", index);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<FuzzRecord> input = SplitRecords(data, size);
    const FuzzRecord& head = input[0];
    const int mode = static_cast<int>(static_cast<uint32_t>(FieldNumber(head, 0)) % kCountModes);
    const bool allRows = FieldNumber(head, 2) != 0;
    const bool viewOpen = FieldNumber(head, 3) != 0;
    const std::string* selected = Field(head, 4);
    const std::string* resultRows = Field(head, 5);
    const int preRows = static_cast<int>(static_cast<uint32_t>(FieldNumber(head, 6)) % 4);

    // Records whose texts are exactly sized heap copies, freed at the end.
    std::vector<HostItemRecord> records;
    std::vector<std::unique_ptr<char, decltype(&std::free)>> texts;
    auto text = [&](const FuzzRecord& r, size_t i) -> const char* {
        texts.emplace_back(MallocText(Field(r, i)), &std::free);
        return texts.back().get();
    };
    for (size_t r = 1; r < input.size() && records.size() < kMaxRecords; ++r) {
        HostItemRecord record;
        record.filename = text(input[r], 0);
        record.title = text(input[r], 1);
        record.album = text(input[r], 2);
        record.artist = text(input[r], 3);
        record.unused4 = FieldNumber(input[r], 4);
        record.genre = text(input[r], 5);
        record.year = FieldNumber(input[r], 6);
        record.track = FieldNumber(input[r], 7);
        record.length = FieldNumber(input[r], 8);
        record.unused9 = FieldNumber(input[r], 9);
        records.push_back(record);
    }
    const auto arraySize = static_cast<int32_t>(records.size());

    HostItemRecordList list{records.data(), arraySize, arraySize};
    const HostItemRecordList* handed = &list;
    switch (mode) {
        case kFuzzedCount:
            list.count = std::min(FieldNumber(head, 1), arraySize);
            break;
        case kNullRecords:
            list = HostItemRecordList{nullptr, FieldNumber(head, 1), 0};
            break;
        case kNullList:
            handed = nullptr;
            break;
        case kEmptyCount:
            list.count = 0;
            break;
        default:
            break;
    }

    LibraryLists lists;
    for (int i = 0; i < preRows; ++i) {
        FuzzRecord fields{"artist", "title", "album", "61", "1", "genre", "1999", "file"};
        if (!AdoptRow(lists.library, RowFromFields(fields, 0))) {
            std::abort();
        }
    }
    ImportRecords(handed, lists.library);
    const int32_t imported =
        handed != nullptr && handed->records != nullptr && handed->count > 0 ? handed->count : 0;
    if (lists.library.Count() != preRows + imported) {
        FuzzFailure("%d rows after importing %d records (mode %d, count %d) into %d",
                    lists.library.Count(), imported, mode, list.count, preRows);
    }
    for (int32_t i = 0; i < imported; ++i) {
        CheckRowFromRecord(lists.library.Get(preRows + i), records[i], static_cast<size_t>(i));
    }

    // Export: from the result list when there is one, else from the library.
    if (resultRows != nullptr) {
        lists.result = std::make_unique<ItemList>();
        for (int32_t i = 0; i < lists.library.Count(); ++i) {
            if (Bit(resultRows, i) && !lists.result->Append(lists.library.Get(i))) {
                std::abort();
            }
        }
    }
    const FakeSelection selection(viewOpen, selected);
    const ItemList& source = lists.result ? *lists.result : lists.library;
    const bool everyRow = allRows || !lists.result || !viewOpen;
    std::vector<const LibraryItem*> expected;
    for (int32_t i = 0; i < source.Count(); ++i) {
        if (source.Get(i) != nullptr && (everyRow || selection.IsSelected(i))) {
            expected.push_back(source.Get(i));
        }
    }
    HostItemRecordList out{nullptr, 0, 0};
    ExportRows(out, allRows ? ExportScope::kEveryRow : ExportScope::kSelectedRows, lists,
               selection);
    if (static_cast<size_t>(out.count) != expected.size() || out.capacity < out.count ||
        (out.count > 0 && out.records == nullptr)) {
        FuzzFailure("exported %d records (capacity %d), expected %zu", out.count, out.capacity,
                    expected.size());
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        CheckRecordFromRow(out.records[i], expected[i], i);
    }

    // And back: the exported records import as rows equal to those they came
    // from.
    LibraryLists again;
    ImportRecords(&out, again.library);
    if (static_cast<size_t>(again.library.Count()) != expected.size()) {
        FuzzFailure("re-importing %d records made %d rows", out.count, again.library.Count());
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        CheckRowFromRecord(again.library.Get(static_cast<int32_t>(i)), out.records[i], i);
    }
    FreeRecords(out);
    if (out.records != nullptr || out.count != 0 || out.capacity != 0) {
        FuzzFailure("FreeRecords left the list non-empty");
    }
    return 0;
}
