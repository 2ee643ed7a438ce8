// The catalogue load next to TinyXML loading the same files on its own, at
// three sizes: the difference is the loader's own work (reading, walks,
// records), and the time per track shows whether it grows with the lists.
#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

namespace fs = std::filesystem;

// One generated image per track count, kept for the whole run.
const fs::path& Image(int tracks) {
    static std::map<int, fs::path> images;
    auto found = images.find(tracks);
    if (found == images.end()) {
        const fs::path root =
            fs::temp_directory_path() / ("kovra-bench-image-" + std::to_string(tracks));
        SampleImageOptions options;
        options.trackCount = tracks;
        WriteSampleImage(root.string(), options);
        found = images.emplace(tracks, root).first;
    }
    return found->second;
}

void BM_LoadCatalogue(benchmark::State& state) {
    const int tracks = static_cast<int>(state.range(0));
    fs::current_path(Image(tracks));
    DeviceCatalogue catalogue;
    for (auto _ : state) {
        LoadCatalogue(catalogue);
        benchmark::DoNotOptimize(catalogue.FirstTrack());
    }
    state.SetItemsProcessed(state.iterations() * tracks);
}

void BM_TinyXmlParseOnly(benchmark::State& state) {
    const int tracks = static_cast<int>(state.range(0));
    fs::current_path(Image(tracks));
    SampleImageOptions options;
    options.trackCount = tracks;
    const std::vector<std::string> files = CatalogueFilesInReadOrder(DescribeSampleImage(options));
    for (auto _ : state) {
        for (const std::string& file : files) {
            TiXmlDocument document;
            document.LoadFile(file.c_str());
            benchmark::DoNotOptimize(document.RootElement());
        }
    }
    state.SetItemsProcessed(state.iterations() * tracks);
}

BENCHMARK(BM_LoadCatalogue)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyXmlParseOnly)->Arg(500)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
