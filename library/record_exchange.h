// Rows to and from the host's item records: import (records become new rows)
// and export (rows become records that borrow the rows' texts).
#pragma once

#include <memory>
#include <vector>

#include "base/text_copy.h"
#include "host/host_filename.h"
#include "host/host_item_record.h"

class ItemList;
struct LibraryLists;

// Appends one new row per record to the end of the library list, copying the
// texts that are present (slots 4 and 9 are ignored). Nothing happens for a
// null list, a count of 0 or less, or a list without records. Stops when
// memory runs out.
void ImportRecords(const HostItemRecordList* list, ItemList& library);

// Which rows the view has selected, when a view is open.
class RowSelection {
  public:
    virtual ~RowSelection() = default;
    virtual bool ViewOpen() const = 0;
    // Whether the list control shows row `index` selected.
    virtual bool IsSelected(int index) const = 0;
};

// Which rows an export takes: the selected ones, or every row shown.
enum class ExportScope { kSelectedRows, kEveryRow };

// Fills `out` (emptied first; free it with FreeRecords) from the result list,
// or from the library list before the first filter pass, in list order. Every
// row is taken for kEveryRow, when there is no result list yet or when no
// view is open; otherwise only the selected ones. The records borrow
// the rows' texts: the rows must outlive the records.
void ExportRows(HostItemRecordList& out, ExportScope scope, const LibraryLists& lists,
                const RowSelection& selection);

// The owner of rows exported for one host request: exports in the
// constructor as ExportRows does, frees the record array in the destructor,
// which must run only after the request that carries the records returned
// (the host reads the borrowed texts until then). With `filenames`, the
// filename of each row read from the player's catalogue is handed over as
// `filenames` makes it openable: the row's own text where that serves,
// otherwise a copy that the export owns and frees with the records. A row the
// host gave (dropped or sent) and the sample row keep their filename byte for
// byte: the host's own names are already its code page's, whether or not
// their files are there.
class ExportedRows {
  public:
    ExportedRows(ExportScope scope, const LibraryLists& lists, const RowSelection& selection,
                 HostFilenames* filenames = nullptr);
    ExportedRows(const ExportedRows&) = delete;
    ExportedRows& operator=(const ExportedRows&) = delete;

    bool Empty() const { return records_.list.count <= 0; }
    HostItemRecordList* List() { return &records_.list; }

  private:
    // Frees the array when it goes, also when the export stops half way.
    struct RecordArray {
        ~RecordArray() { FreeRecords(list); }
        HostItemRecordList list{nullptr, 0, 0};
    };
    using OwnedFilename = std::unique_ptr<char, decltype(&FreeText)>;

    void AdaptFilename(HostItemRecord& record, HostFilenames& filenames);

    RecordArray records_;
    std::vector<OwnedFilename> ownFilenames_;
};
