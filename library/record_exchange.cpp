// Import of host records into rows, and export of rows as host records.
#include "library/record_exchange.h"

#include <cstring>

#include "library/library_item.h"
#include "library/library_lists.h"

namespace {

constexpr int32_t kRecordGrowth = 256;

// A new row with copies of the record's texts; null when memory runs out.
LibraryItem* RowFromRecord(const HostItemRecord& record) {
    LibraryItem* row = NewRow();
    if (row == nullptr) {
        return nullptr;
    }
    row->album = CopyText(record.album);
    row->artist = CopyText(record.artist);
    row->title = CopyText(record.title);
    row->genre = CopyText(record.genre);
    row->filename = CopyText(record.filename);
    row->track = record.track;
    row->year = record.year;
    row->length = record.length;
    return row;
}

void FillRecord(HostItemRecord& record, const LibraryItem& row) {
    std::memset(&record, 0, sizeof record);
    record.filename = row.filename;
    record.title = row.title;
    record.album = row.album;
    record.artist = row.artist;
    record.genre = row.genre;
    record.year = row.year;
    record.track = row.track;
    record.length = row.length;
}

// Calls `take` with each row an export of `scope` takes, in list order, until
// it returns false.
template <typename Take>
void ForEachExported(ExportScope scope, const LibraryLists& lists, const RowSelection& selection,
                     Take&& take) {
    const ItemList& source = lists.result ? *lists.result : lists.library;
    const bool everyRow = scope == ExportScope::kEveryRow || !lists.result || !selection.ViewOpen();
    for (int32_t i = 0; i < source.Count(); ++i) {
        const LibraryItem* row = source.Get(i);
        if (row != nullptr && (everyRow || selection.IsSelected(i)) && !take(*row)) {
            return;
        }
    }
}

// False when memory runs out.
bool AppendRecord(HostItemRecordList& out, const LibraryItem& row) {
    EnsureRecords(out, out.count + 1, kRecordGrowth);
    if (out.records == nullptr) {
        return false;
    }
    FillRecord(out.records[out.count], row);
    ++out.count;
    return true;
}

}  // namespace

void ImportRecords(const HostItemRecordList* list, ItemList& library) {
    if (list == nullptr || list->count <= 0 || list->records == nullptr) {
        return;
    }
    for (int32_t i = 0; i < list->count; ++i) {
        LibraryItem* row = RowFromRecord(list->records[i]);
        if (row == nullptr || !AdoptRow(library, row)) {
            return;
        }
    }
}

void ExportRows(HostItemRecordList& out, ExportScope scope, const LibraryLists& lists,
                const RowSelection& selection) {
    out = HostItemRecordList{nullptr, 0, 0};
    ForEachExported(scope, lists, selection,
                    [&out](const LibraryItem& row) { return AppendRecord(out, row); });
}

ExportedRows::ExportedRows(ExportScope scope, const LibraryLists& lists,
                           const RowSelection& selection, HostFilenames* filenames) {
    ForEachExported(scope, lists, selection, [&](const LibraryItem& row) {
        if (!AppendRecord(records_.list, row)) {
            return false;
        }
        if (filenames != nullptr && row.origin == RowOrigin::Device) {
            AdaptFilename(records_.list.records[records_.list.count - 1], *filenames);
        }
        return true;
    });
}

void ExportedRows::AdaptFilename(HostItemRecord& record, HostFilenames& filenames) {
    if (record.filename == nullptr) {
        return;
    }
    OwnedFilename adapted(filenames.Openable(record.filename), &FreeText);
    if (adapted != nullptr) {
        ownFilenames_.push_back(std::move(adapted));
        record.filename = ownFilenames_.back().get();
    }
}
