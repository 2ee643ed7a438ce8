// Rows to and from host item records.
#include "library/record_exchange.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "library/library_lists.h"
#include "tests/support/rows.h"

namespace {

using testing_support::OwnedLists;

class FakeSelection : public RowSelection {
  public:
    FakeSelection(bool open, std::set<int> selected)
        : open_(open), selected_(std::move(selected)) {}
    bool ViewOpen() const override { return open_; }
    bool IsSelected(int index) const override { return selected_.count(index) != 0; }

  private:
    bool open_;
    std::set<int> selected_;
};

HostItemRecord Record(const char* filename, const char* title, int32_t length) {
    HostItemRecord record{};
    record.filename = filename;
    record.title = title;
    record.album = "Album";
    record.artist = "Artist";
    record.unused4 = 77;
    record.genre = "Genre";
    record.year = 1999;
    record.track = 4;
    record.length = length;
    record.unused9 = 88;
    return record;
}

TEST(ImportRecords, CopiesEveryRecordToTheEnd) {
    OwnedLists lists;
    lists.Add({"first"});
    char title[] = "Title";
    HostItemRecord records[] = {Record("a.mp3", title, 60), Record("b.mp3", nullptr, 61)};
    const HostItemRecordList list{records, 2, 2};
    ImportRecords(&list, lists.library);
    title[0] = 'X';  // rows hold their own copies
    ASSERT_EQ(lists.library.Count(), 3);
    const LibraryItem* a = lists.library.Get(1);
    EXPECT_STREQ(a->filename, "a.mp3");
    EXPECT_STREQ(a->title, "Title");
    EXPECT_STREQ(a->album, "Album");
    EXPECT_STREQ(a->artist, "Artist");
    EXPECT_STREQ(a->genre, "Genre");
    EXPECT_EQ(a->year, 1999);
    EXPECT_EQ(a->track, 4);
    EXPECT_EQ(a->length, 60);
    EXPECT_EQ(lists.library.Get(2)->title, nullptr);
}

TEST(ImportRecords, IgnoresAbsentEmptyAndOddLists) {
    OwnedLists lists;
    HostItemRecord record = Record("a", "t", 1);
    const HostItemRecordList lists_to_ignore[] = {
        {&record, 0, 1}, {&record, -3, 1}, {nullptr, 5, 5}};
    ImportRecords(nullptr, lists.library);
    for (const HostItemRecordList& list : lists_to_ignore) {
        ImportRecords(&list, lists.library);
    }
    EXPECT_EQ(lists.library.Count(), 0);
}

TEST(ImportRecords, RecordsWithoutTextsGiveRowsWithoutTexts) {
    OwnedLists lists;
    HostItemRecord empty{};
    const HostItemRecordList list{&empty, 1, 1};
    ImportRecords(&list, lists.library);
    ASSERT_EQ(lists.library.Count(), 1);
    const LibraryItem* row = lists.library.Get(0);
    EXPECT_EQ(row->artist, nullptr);
    EXPECT_EQ(row->filename, nullptr);
    EXPECT_EQ(row->length, 0);
}

TEST(ExportRows, BorrowsTheRowsTextsInResultOrder) {
    OwnedLists lists;
    LibraryItem* a = lists.Add({"A", "ta", "al", 100, 3, "g", 2001, "a.mp3"});
    LibraryItem* b = lists.Add({"B", "tb"});
    lists.result = std::make_unique<ItemList>();
    lists.result->Append(b);
    lists.result->Append(a);
    HostItemRecordList out{};
    ExportRows(out, ExportScope::kEveryRow, lists, FakeSelection(true, {}));
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.records[0].artist, b->artist);  // the very same text, not a copy
    const HostItemRecord& r = out.records[1];
    EXPECT_EQ(r.filename, a->filename);
    EXPECT_EQ(r.title, a->title);
    EXPECT_EQ(r.album, a->album);
    EXPECT_EQ(r.genre, a->genre);
    EXPECT_EQ(r.year, 2001);
    EXPECT_EQ(r.track, 3);
    EXPECT_EQ(r.length, 100);
    EXPECT_EQ(r.unused4, 0);
    EXPECT_EQ(r.unused9, 0);
    FreeRecords(out);
}

struct ExportCase {
    const char* name;
    bool resultList;
    bool viewOpen;
    bool allRows;
    std::set<int> selected;
    int expected;
};

void PrintTo(const ExportCase& c, std::ostream* out) {
    *out << c.name;
}

class ExportSelectionTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportSelectionTest, TakesTheRightRows) {
    const ExportCase& c = GetParam();
    OwnedLists lists;
    for (int i = 0; i < 5; ++i)
        lists.Add({"artist"});
    if (c.resultList) {
        lists.result = std::make_unique<ItemList>();
        for (int i = 0; i < 4; ++i)
            lists.result->Append(lists.library.Get(i));
    }
    HostItemRecordList out{};
    ExportRows(out, c.allRows ? ExportScope::kEveryRow : ExportScope::kSelectedRows, lists,
               FakeSelection(c.viewOpen, c.selected));
    EXPECT_EQ(out.count, c.expected);
    EXPECT_EQ(out.records == nullptr, c.expected == 0);
    FreeRecords(out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportSelectionTest,
    ::testing::Values(ExportCase{"SelectedOnly", true, true, false, {0, 2}, 2},
                      ExportCase{"NothingSelected", true, true, false, {}, 0},
                      ExportCase{"AllRowsFlag", true, true, true, {}, 4},
                      ExportCase{"ViewClosedTakesAll", true, false, false, {}, 4},
                      ExportCase{"BeforeFirstPassTakesLibrary", false, true, false, {1}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportRows, GrowsTheRecordArrayBy256) {
    OwnedLists lists;
    for (int i = 0; i < 300; ++i)
        lists.Add({"a"});
    HostItemRecordList out{};
    ExportRows(out, ExportScope::kEveryRow, lists, FakeSelection(false, {}));
    EXPECT_EQ(out.count, 300);
    EXPECT_EQ(out.capacity, 513);  // 1 + 256, then 257 + 256
    FreeRecords(out);
}

// Stands in for the system's conversion: names holding "~" get a new text.
class TildeToUnderscore : public HostFilenames {
  public:
    char* Openable(const char* filename) override {
        if (std::strchr(filename, '~') == nullptr) {
            return nullptr;
        }
        char* copy = CopyText(filename);
        *std::strchr(copy, '~') = '_';
        return copy;
    }
};

TEST(ExportedRows, OwnsOnlyTheFilenamesTheHostNeedsChanged) {
    OwnedLists lists;
    const RowOrigin device = RowOrigin::Device;
    const LibraryItem* plain = lists.Add({"a", "t", nullptr, 0, 0, nullptr, 0, "E:/a.mp3", device});
    const LibraryItem* changed =
        lists.Add({"b", "t", nullptr, 0, 0, nullptr, 0, "E:/~b.mp3", device});
    lists.Add({"c", nullptr, nullptr, 0, 0, nullptr, 0, nullptr, device});
    // The host's own names and the sample's go back byte for byte.
    const LibraryItem* host = lists.Add({"d", "t", nullptr, 0, 0, nullptr, 0, "C:/~d.mp3"});
    const LibraryItem* sample =
        lists.Add({"e", "t", nullptr, 0, 0, nullptr, 0, "http://~e", RowOrigin::Sample});
    TildeToUnderscore filenames;
    ExportedRows rows(ExportScope::kEveryRow, lists, FakeSelection(false, {}), &filenames);
    ASSERT_EQ(rows.List()->count, 5);
    const HostItemRecord* records = rows.List()->records;
    EXPECT_EQ(records[0].filename, plain->filename);
    EXPECT_STREQ(records[1].filename, "E:/_b.mp3");
    EXPECT_STREQ(changed->filename, "E:/~b.mp3");  // the row keeps the catalogue's text
    EXPECT_EQ(records[1].title, changed->title);
    EXPECT_EQ(records[2].filename, nullptr);
    EXPECT_EQ(records[3].filename, host->filename);
    EXPECT_EQ(records[4].filename, sample->filename);
}  // the changed copy is freed with the export: the leak checkers watch it

TEST(EnsureRecords, LeavesRoomAloneWhileItSuffices) {
    HostItemRecordList list{};
    EnsureRecords(list, 1, 256);
    EXPECT_EQ(list.capacity, 257);
    HostItemRecord* before = list.records;
    EnsureRecords(list, 256, 256);
    EXPECT_EQ(list.records, before);
    EXPECT_EQ(list.capacity, 257);
    EnsureRecords(list, 257, 10);
    EXPECT_EQ(list.capacity, 267);
    FreeRecords(list);
    EXPECT_EQ(list.records, nullptr);
    EXPECT_EQ(list.count, 0);
}

}  // namespace
