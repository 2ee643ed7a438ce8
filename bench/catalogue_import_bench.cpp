// The view's catalogue import, load and rows together, of a big player on two
// players alike but for their artists: every artist plain ASCII, or every
// artist with a letter beyond ASCII, which the rows spell in the system's code
// page. Run beside an older build, it says what spelling them costs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "catalogue/catalogue_records.h"
#include "library/catalogue_import.h"
#include "library/library_lists.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTracks = 20000;
enum Artists { kAsciiArtists = 0, kAccentedArtists = 1 };

// The artist `text` made all ASCII (each character beyond it an "o") or given
// a letter beyond ASCII where it has none.
std::string Artist(const std::string& text, Artists artists) {
    if (artists == kAccentedArtists) {
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return text;
            }
        }
        return "\xC3\x98 " + text;  // "Ø "
    }
    std::string ascii;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            ascii += c;
        } else if (byte >= 0xC0) {
            ascii += 'o';  // a sequence's first byte; the others go
        }
    }
    return ascii;
}

// Rewrites every dc:creator text of the file at `path`.
void RewriteArtists(const fs::path& path, Artists artists) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::string open = "<dc:creator>";
    const std::string close = "</dc:creator>";
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        at += open.size();
        const size_t end = text.find(close, at);
        if (end == std::string::npos) {
            break;
        }
        const std::string artist = Artist(text.substr(at, end - at), artists);
        text.replace(at, end - at, artist);
        at += artist.size();
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// One generated player per kind of artist, kept for the whole run.
const fs::path& Player(Artists artists) {
    static std::map<int, fs::path> players;
    auto found = players.find(artists);
    if (found == players.end()) {
        const fs::path root =
            fs::temp_directory_path() / ("kovra-bench-import-" + std::to_string(artists));
        fs::remove_all(root);
        SampleImageOptions options;
        options.trackCount = kTracks;
        WriteSampleImage(root.string(), options);
        for (const std::string& file : CatalogueFilesInReadOrder(DescribeSampleImage(options))) {
            RewriteArtists(root / file, artists);
        }
        found = players.emplace(artists, root).first;
    }
    return found->second;
}

void BM_ImportCatalogue(benchmark::State& state) {
    const auto artists = static_cast<Artists>(state.range(0));
    fs::current_path(Player(artists));
    state.SetLabel(artists == kAsciiArtists ? "ASCII artists" : "accented artists");
    DeviceCatalogue catalogue;
    LibraryLists lists;
    for (auto _ : state) {
        ImportCatalogue(catalogue, lists, nullptr);
        benchmark::DoNotOptimize(lists.library.Count());
    }
    state.SetItemsProcessed(state.iterations() * kTracks);
}

BENCHMARK(BM_ImportCatalogue)
    ->Arg(kAsciiArtists)
    ->Arg(kAccentedArtists)
    ->Unit(benchmark::kMillisecond);

}  // namespace
