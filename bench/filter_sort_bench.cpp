// The filter pass with its re-sort and full re-sorts by each column over
// generated library rows, next to their floors measured in the same run:
// one scan of every byte of every row's texts, and a plain sort of as many
// precomputed 32-bit keys. Also the bytes each row takes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/code_page_text.h"
#include "catalogue/catalogue_records.h"
#include "library/catalogue_import.h"
#include "library/columns.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

constexpr int kRowCounts[] = {2000, 20000, 200000};

// Rows as the catalogue import makes them, from a generated image's tracks
// (repeated when more rows than tracks are asked for).
LibraryLists& Library(int rows) {
    static std::map<int, LibraryLists> libraries;
    auto found = libraries.find(rows);
    if (found != libraries.end()) {
        return found->second;
    }
    LibraryLists& lists = libraries[rows];
    SampleImageOptions options;
    options.trackCount = std::min(rows, 20000);
    const SampleImage image = DescribeSampleImage(options);
    for (int i = 0; i < rows; ++i) {
        const SampleTrack& sample = image.tracks[i % image.tracks.size()];
        TrackRecord track(nullptr);
        track.SetText(TrackField::LastUrl, sample.lastUrl.c_str());
        track.SetText(TrackField::Creator, sample.creator.c_str());
        track.SetText(TrackField::Title, sample.title.c_str());
        track.SetText(TrackField::Genre, sample.genre.c_str());
        track.SetText(TrackField::Recorded, sample.recorded.c_str());
        track.SetText(TrackField::PlayingTime, sample.playingTime.c_str());
        AdoptRow(lists.library, RowFromTrack(track, "E:/", CodePageCopyOfUtf8));
    }
    return lists;
}

void PerRow(benchmark::State& state, int rows) {
    state.counters["ns_per_row"] = benchmark::Counter(
        static_cast<double>(rows),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Filter floor: every byte of the searched texts of every row, in library
// order, looked at once for a byte that is not there.
void BM_FloorScanEveryTextByte(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const ItemList& library = Library(rows).library;
    size_t found = 0;
    for (auto _ : state) {
        for (int32_t i = 0; i < library.Count(); ++i) {
            const LibraryItem* row = library.Get(i);
            for (const char* text : {row->album, row->artist, row->title, row->genre}) {
                found += text != nullptr && std::strchr(text, '\x01') != nullptr;
            }
        }
        benchmark::DoNotOptimize(found);
    }
    PerRow(state, rows);
}

void BM_FilterPassAndReSortByArtist(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    LibraryLists& lists = Library(rows);
    const SortState byArtist{kColumnArtist, 0};
    int32_t matches = 0;
    for (auto _ : state) {
        FilterResult found = FilterLibrary(lists, "the beat");
        SortRows(*found.rows, byArtist, lists.sortRanks);
        matches = found.matchCount;
        benchmark::DoNotOptimize(found.rows->Items());
    }
    state.counters["matches"] = matches;
    PerRow(state, rows);
}

void BM_FilterPassOnly(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    LibraryLists& lists = Library(rows);
    for (auto _ : state) {
        FilterResult found = FilterLibrary(lists, "the beat");
        benchmark::DoNotOptimize(found.rows->Items());
    }
    PerRow(state, rows);
}

// Sort floor: a plain sort of as many 32-bit keys, computed beforehand.
void BM_FloorSort32BitKeys(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    std::mt19937 random(7);
    std::vector<uint32_t> keys(static_cast<size_t>(rows));
    for (uint32_t& key : keys) {
        key = random();
    }
    std::vector<uint32_t> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = keys;
        state.ResumeTiming();
        std::sort(work.begin(), work.end());
        benchmark::DoNotOptimize(work.data());
    }
    PerRow(state, rows);
}

// A full re-sort of every row by one column, as a column click makes it:
// starting from the order of another column.
void FullReSort(benchmark::State& state, int32_t column) {
    const int rows = static_cast<int>(state.range(0));
    LibraryLists& lists = Library(rows);
    FilterResult all = FilterLibrary(lists, "");
    SortRows(*all.rows, SortState{column == kColumnTitle ? kColumnArtist : kColumnTitle, 0},
             lists.sortRanks);
    const std::vector<LibraryItem*> before(all.rows->Items(), all.rows->Items() + rows);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(all.rows->Items(), before.data(), sizeof(LibraryItem*) * rows);
        state.ResumeTiming();
        SortRows(*all.rows, SortState{column, 0}, lists.sortRanks);
    }
    PerRow(state, rows);
}

// The first re-sort after rows entered the library: the text keys of the
// chain (artist, album, title) are ranked over the whole library first.
void BM_FirstReSortByArtistAfterRowsEntered(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    LibraryLists& lists = Library(rows);
    FilterResult all = FilterLibrary(lists, "");
    const std::vector<LibraryItem*> before(all.rows->Items(), all.rows->Items() + rows);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(all.rows->Items(), before.data(), sizeof(LibraryItem*) * rows);
        lists.sortRanks.Forget();
        state.ResumeTiming();
        SortRows(*all.rows, SortState{kColumnArtist, 0}, lists.sortRanks);
    }
    PerRow(state, rows);
}

// What one row takes: the row block, its texts (bytes asked of the heap,
// without the allocator's own overhead), its slot in the library list, and
// its share of the filter's search texts. The sort's place and key ranks
// live in the row's sort keys; the library keeps no table of its own.
void BM_BytesPerRow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    LibraryLists& lists = Library(rows);
    lists.searchTexts.CatchUp(lists.library);
    const ItemList& library = lists.library;
    size_t texts = 0;
    for (auto _ : state) {
        texts = 0;
        for (int32_t i = 0; i < library.Count(); ++i) {
            const LibraryItem* row = library.Get(i);
            for (const char* text :
                 {row->album, row->artist, row->title, row->genre, row->filename}) {
                texts += text != nullptr ? std::strlen(text) + 1 : 0;
            }
        }
    }
    const double perRow = static_cast<double>(texts) / rows;
    state.counters["row_block"] = sizeof(LibraryItem);
    state.counters["sort_keys"] = sizeof(RowSortKeys);
    state.counters["texts"] = perRow;
    state.counters["list_slot"] = sizeof(LibraryItem*);
    state.counters["before"] = static_cast<double>(sizeof(LibraryItem) - sizeof(RowSortKeys)) +
                               perRow + sizeof(LibraryItem*);
    const double search = static_cast<double>(lists.searchTexts.Footprint()) / rows;
    state.counters["search_texts"] = search;
    state.counters["after"] =
        static_cast<double>(sizeof(LibraryItem)) + perRow + sizeof(LibraryItem*) + search;
}

void RowCounts(benchmark::internal::Benchmark* benchmark) {
    for (int rows : kRowCounts) {
        benchmark->Arg(rows);
    }
    benchmark->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FloorScanEveryTextByte)->Apply(RowCounts);
BENCHMARK(BM_FilterPassOnly)->Apply(RowCounts);
BENCHMARK(BM_FilterPassAndReSortByArtist)->Apply(RowCounts);
BENCHMARK(BM_FloorSort32BitKeys)->Apply(RowCounts);

const bool kFullReSortsRegistered = [] {
    for (int32_t column = 0; column < kColumnCount; ++column) {
        const std::string name = std::string("BM_FullReSortBy") + kColumns[column].title;
        benchmark::RegisterBenchmark(name.c_str(), FullReSort, column)->Apply(RowCounts);
    }
    return true;
}();

BENCHMARK(BM_FirstReSortByArtistAfterRowsEntered)->Apply(RowCounts);
BENCHMARK(BM_BytesPerRow)->Arg(200000)->Iterations(1);

}  // namespace
