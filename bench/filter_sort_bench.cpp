// One filter pass with its re-sort, and re-sorts by each column, over
// generated library rows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_records.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"
#include "tools/sample_image/sample_image.h"

namespace {

// Rows as the catalogue import makes them, from a generated image's tracks
// (repeated when more rows than tracks are asked for).
const LibraryLists& Library(int rows) {
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
        AdoptRow(lists.library, RowFromTrack(track, "E:/"));
    }
    return lists;
}

void BM_FilterPassAndReSort(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const LibraryLists& lists = Library(rows);
    const SortState byArtist{0, 0};
    int32_t matches = 0;
    for (auto _ : state) {
        FilterResult found = FilterRows(lists.library, "the beat");
        SortRows(*found.rows, byArtist);
        matches = found.matchCount;
        benchmark::DoNotOptimize(found.rows->Items());
    }
    state.counters["matches"] = matches;
    state.counters["ns_per_row"] = benchmark::Counter(
        static_cast<double>(rows),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Comparisons one sort of `rows` in library order makes for `sort`.
int64_t CountComparisons(const ItemList& rows, const SortState& sort) {
    std::vector<LibraryItem*> copy(rows.Count());
    for (int32_t i = 0; i < rows.Count(); ++i)
        copy[i] = rows.Get(i);
    int64_t comparisons = 0;
    std::sort(copy.begin(), copy.end(), [&](const LibraryItem* a, const LibraryItem* b) {
        ++comparisons;
        return CompareRows(*a, *b, sort) < 0;
    });
    return comparisons;
}

void BM_ReSortByColumn(benchmark::State& state) {
    const int rows = 200000;
    const LibraryLists& lists = Library(rows);
    const SortState sort{static_cast<int32_t>(state.range(0)), 0};
    FilterResult all = FilterRows(lists.library, "");
    std::vector<LibraryItem*> libraryOrder(all.rows->Items(), all.rows->Items() + rows);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(all.rows->Items(), libraryOrder.data(), sizeof(LibraryItem*) * rows);
        state.ResumeTiming();
        SortRows(*all.rows, sort);
    }
    const int64_t comparisons = CountComparisons(*all.rows, sort);
    state.counters["comparisons"] = static_cast<double>(comparisons);
    state.counters["ns_per_comparison"] = benchmark::Counter(
        static_cast<double>(comparisons),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_FilterPassAndReSort)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReSortByColumn)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace
