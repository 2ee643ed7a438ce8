// The catalogue fuzz targets' runs of one reading step from memory, and the
// checks after each.
#include "tests/fuzz/catalogue_fixture.h"

#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/code_page_text.h"
#include "base/debug_output.h"
#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/load_budget.h"
#include "catalogue/xml_buffer.h"
#include "library/catalogue_import.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

using MaybeText = std::optional<std::string>;

MaybeText Copy(const char* text) {
    return text != nullptr ? MaybeText(text) : std::nullopt;
}

struct AlbumTexts {
    MaybeText manifestPath, creator, title, genre, recorded, searchKey;
    bool operator==(const AlbumTexts& o) const {
        return manifestPath == o.manifestPath && creator == o.creator && title == o.title &&
               genre == o.genre && recorded == o.recorded && searchKey == o.searchKey;
    }
};

using TrackTexts = std::array<MaybeText, kTrackFieldCount>;

struct Snapshot {
    std::vector<AlbumTexts> albums;
    std::vector<TrackTexts> tracks;
};

// Stands in for every file a fuzzed catalogue links: the n-th file read (from
// 0) is a small manifest of the linking kind whose one value is n, so that the
// checks can tell which link became which record. A file linked again is not
// read but recalled: `taken` lists, link by link, the value each link's
// manifest has.
class StubManifests : public CatalogueFileSource {
  public:
    explicit StubManifests(FuzzedFile file) : file_(file) {}
    int served = 0;
    std::vector<int> taken;

    void Recalled(const char* path) {
        const auto found = valueOf_.find(path);
        if (found == valueOf_.end()) {
            FuzzFailure("%s recalled before it was read", path);
        }
        taken.push_back(found->second);
    }

    FileReadStatus Read(const char* path, size_t, XmlBuffer& buffer) override {
        if (!valueOf_.emplace(path, served).second) {
            FuzzFailure("%s read twice", path);
        }
        taken.push_back(served);
        const char* format =
            file_ == FuzzedFile::AlbumCatalogue
                ? "<a><mpvp:Album><nmf:MetaData><g><dc:creator>%d</dc:creator></g></nmf:MetaData>"
                  "</mpvp:Album></a>"
                : "<m><mpv:AssetList><mpv:Audio><mpv:LastURL>%d</mpv:LastURL></mpv:Audio>"
                  "</mpv:AssetList></m>";
        constexpr size_t kRoom = 128;
        const int length = std::snprintf(buffer.Reserve(kRoom), kRoom, format, served++);
        buffer.Prepare(static_cast<size_t>(length));
        return FileReadStatus::Read;
    }

  private:
    FuzzedFile file_;
    std::map<std::string, int> valueOf_;
};

// Checks what the load tells its observer: texts present, progress never
// going back, and every file named also read by the end.
class CheckingObserver : public LoadObserver {
  public:
    explicit CheckingObserver(StubManifests& stubs) : stubs_(stubs) {}
    int read = 0;
    int named = 0;

    void OnManifestRecalled(const char* path) override { stubs_.Recalled(path); }

    void OnProgress(int filesRead, int filesNamed) override {
        if (filesRead < read || filesNamed < named || filesRead > filesNamed) {
            FuzzFailure("progress %d of %d after %d of %d", filesRead, filesNamed, read, named);
        }
        read = filesRead;
        named = filesNamed;
    }
    void OnProblem(LoadProblem problem, const char* path, const char* detail) override {
        if (path == nullptr || detail == nullptr || LoadProblemName(problem)[0] == 0) {
            FuzzFailure("a problem without its path, detail or name");
        }
    }

  private:
    StubManifests& stubs_;
};

FuzzedFile g_file = FuzzedFile::TrackManifest;
int g_debugLines = 0;

// No cycle can be this long: the biggest input makes a few thousand records.
constexpr size_t kMaxRecords = 10'000'000;

// ---------------------------------------------------------------------------
// Walking the loaded lists

Snapshot Walk(const DeviceCatalogue& catalogue) {
    const CatalogueLists* lists = catalogue.Lists();
    if (lists == nullptr) {
        FuzzFailure("no lists after a load");
    }
    if (catalogue.FirstTrack() != lists->FirstTrack()) {
        FuzzFailure("the catalogue's first track is not its list's");
    }
    Snapshot snapshot;
    const AlbumRecord* lastAlbum = nullptr;
    for (const AlbumRecord* album = lists->FirstAlbum(); album != nullptr; album = album->Next()) {
        if (album->Previous() != lastAlbum) {
            FuzzFailure("album %zu: broken back link", snapshot.albums.size());
        }
        if (album->TrackCount() != 0 || album->Tracks() != nullptr) {
            FuzzFailure("album %zu holds tracks after a load", snapshot.albums.size());
        }
        snapshot.albums.push_back({Copy(album->ManifestPath()), Copy(album->Creator()),
                                   Copy(album->AlbumTitle()), Copy(album->Genre()),
                                   Copy(album->Recorded()), Copy(album->SearchKey())});
        if (snapshot.albums.size() > kMaxRecords) {
            FuzzFailure("the album list does not end");
        }
        lastAlbum = album;
    }
    if (lists->LastAlbum() != lastAlbum) {
        FuzzFailure("LastAlbum is not the last album of the list");
    }
    const TrackRecord* lastTrack = nullptr;
    for (const TrackRecord* track = lists->FirstTrack(); track != nullptr; track = track->Next()) {
        if (track->Previous() != lastTrack) {
            FuzzFailure("track %zu: broken back link", snapshot.tracks.size());
        }
        if (track->OwnerAlbum() != nullptr) {
            FuzzFailure("track %zu has an owner album after a load", snapshot.tracks.size());
        }
        TrackTexts texts;
        for (int i = 0; i < kTrackFieldCount; ++i) {
            texts[i] = Copy(track->Text(static_cast<TrackField>(i)));
            if (texts[i] && texts[i]->size() > kMaxTextLength) {
                FuzzFailure("track %zu keeps a text longer than the ceiling",
                            snapshot.tracks.size());
            }
        }
        snapshot.tracks.push_back(std::move(texts));
        if (snapshot.tracks.size() > kMaxRecords) {
            FuzzFailure("the track list does not end");
        }
        lastTrack = track;
    }
    if (lists->LastTrack() != lastTrack) {
        FuzzFailure("LastTrack is not the last track of the list");
    }
    return snapshot;
}

// Each link taken, read or recalled, became exactly one record of its manifest,
// in the order of the links.
void CheckLinksFollowed(const Snapshot& loaded, const std::vector<int>& taken) {
    size_t seen = 0;
    auto expect = [&](const MaybeText& value, const char* what) {
        if (seen >= taken.size() || value != std::to_string(taken[seen])) {
            FuzzFailure("%s %zu is not the one its link took", what, seen);
        }
        ++seen;
    };
    if (g_file == FuzzedFile::MusicCatalogue) {
        for (const TrackTexts& track : loaded.tracks) {
            expect(track[static_cast<int>(TrackField::LastUrl)], "track");
        }
    } else {
        for (const AlbumTexts& album : loaded.albums) {
            if (album.creator) {
                expect(album.creator, "album manifest");
            }
        }
    }
    if (seen != taken.size()) {
        FuzzFailure("%zu links taken, %zu records made from them", taken.size(), seen);
    }
}

// ---------------------------------------------------------------------------
// The import

// What atoi would read, clamped to the 32-bit range: strtoll saturates, then
// the clamp.
int ClampedLeadingInteger(const MaybeText& text) {
    if (!text) {
        return 0;
    }
    const long long value = std::strtoll(text->c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

void CountDebugLine(const char* line) {
    if (std::strlen(line) >= kDebugLineSize) {
        FuzzFailure("a debug line longer than its buffer");
    }
    ++g_debugLines;
}

void CheckImport(const DeviceCatalogue& catalogue, const Snapshot& loaded) {
    LibraryLists lists;
    g_debugLines = 0;
    const DebugSink previous = SetDebugSink(CountDebugLine);
    AppendCatalogueRows(catalogue, lists.library, CodePageCopyOfUtf8);
    SetDebugSink(previous);

    const size_t tracks = loaded.tracks.size();
    if (static_cast<size_t>(lists.library.Count()) != tracks + 1 ||
        static_cast<size_t>(g_debugLines) != tracks) {
        FuzzFailure("%zu tracks gave %d rows and %d debug lines", tracks, lists.library.Count(),
                    g_debugLines);
    }
    for (size_t i = 0; i < tracks; ++i) {
        const LibraryItem* row = lists.library.Get(static_cast<int32_t>(i));
        const TrackTexts& t = loaded.tracks[i];
        if (row == nullptr || row->filename == nullptr || row->artist == nullptr ||
            row->title == nullptr || row->album == nullptr || row->genre == nullptr) {
            FuzzFailure("row %zu lacks a text", i);
        }
        // The drive root is empty here, so the filename is the track's path,
        // cut to fit.
        const std::string url = t[static_cast<int>(TrackField::LastUrl)].value_or("");
        if (url.compare(0, kFilenameBufferSize - 1, row->filename) != 0) {
            FuzzFailure("row %zu: filename \"%s\" for the path \"%s\"", i, row->filename,
                        url.c_str());
        }
        const std::string title = t[static_cast<int>(TrackField::Title)].value_or("");
        if (std::strlen(row->title) != title.size()) {
            FuzzFailure("row %zu: the title changed length", i);
        }
        for (const char* c = row->title; *c != 0; ++c) {
            if (static_cast<unsigned char>(*c) >= 0x80) {
                FuzzFailure("row %zu: a byte 0x80 or above stayed in the title", i);
            }
        }
        const int length = ClampedLeadingInteger(t[static_cast<int>(TrackField::PlayingTime)]);
        const int year = ClampedLeadingInteger(t[static_cast<int>(TrackField::Recorded)]);
        if (row->length != length || row->year != year) {
            FuzzFailure("row %zu: length %d and year %d, expected %d and %d", i, row->length,
                        row->year, length, year);
        }
    }
}

// ---------------------------------------------------------------------------
// Running a step

// Runs the reading step of the fuzzed kind of file on `text`, as a fresh
// DeviceCatalogue does with its empty drive root, linked files coming from
// `stubs`.
void RunStep(DeviceCatalogue& catalogue, const XmlBuffer& text, StubManifests& stubs) {
    CheckingObserver observer(stubs);
    {
        CatalogueLoad load(catalogue, &observer, &stubs);
        switch (g_file) {
            case FuzzedFile::AlbumCatalogue:
                ReadAlbumCatalogue(load, "album.mum", text);
                break;
            case FuzzedFile::AlbumManifest: {
                AlbumRecord* album = load.Lists().AppendAlbum();
                album->SetManifestPath("album.mpv");
                album->SetSearchKey("key");
                ReadAlbumManifest(load, *album, "album.mpv", text);
                if (std::strcmp(album->ManifestPath(), "album.mpv") != 0 ||
                    std::strcmp(album->SearchKey(), "key") != 0) {
                    FuzzFailure("an album manifest changed what only album.mum sets");
                }
                break;
            }
            case FuzzedFile::MusicCatalogue:
                ReadMusicCatalogue(load, "music.mum", text);
                break;
            case FuzzedFile::TrackManifest:
                ReadTrackManifest(load, "track.mpv", text);
                break;
        }
    }
    if (observer.read != observer.named) {
        FuzzFailure("the load ended with %d of %d files read", observer.read, observer.named);
    }
}

}  // namespace

// The parser makes a heap block per node: with AddressSanitizer's defaults,
// recording a deep allocation stack and filling each block cost more than the
// parse itself. Shorter stacks, no fill and a smaller quarantine keep the run
// on the code under test (overridable by ASAN_OPTIONS).
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=4:max_malloc_fill_size=0:quarantine_size_mb=16";
}

void InitCatalogueFuzzing(FuzzedFile file) {
    g_file = file;
}

void LoadWithFuzzedFile(const uint8_t* data, size_t size) {
    static XmlBuffer text;
    text.Assign(reinterpret_cast<const char*>(data), size);
    DeviceCatalogue catalogue;
    catalogue.ReplaceLists();
    StubManifests stubs(g_file);
    RunStep(catalogue, text, stubs);
    const Snapshot loaded = Walk(catalogue);
    if (g_file == FuzzedFile::AlbumCatalogue || g_file == FuzzedFile::MusicCatalogue) {
        CheckLinksFollowed(loaded, stubs.taken);
    }
    CheckImport(catalogue, loaded);
}
