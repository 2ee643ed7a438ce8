// The sample image fixture of the catalogue fuzz targets, and the checks after each load.
#include "tests/fuzz/catalogue_fixture.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "library/catalogue_import.h"
#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_records.h"
#include "base/debug_output.h"
#include "library/item_list.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tools/sample_image/sample_image.h"

namespace {

namespace fs = std::filesystem;

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

struct Fixture {
    FuzzedFile file = FuzzedFile::AlbumCatalogue;
    std::string root;    // the image, an absolute path
    std::string target;  // the fuzzed file, relative to the root
    int home = -1;       // the folder the process started in
    Snapshot pristine;
    size_t albumIndex = 0;   // the album whose manifest is fuzzed
    size_t trackPrefix = 0;  // tracks loaded before those of the fuzzed track manifest
    size_t trackSuffix = 0;  // and after them
};

Fixture* g_fixture = nullptr;
bool g_sandboxed = false;  // set while the loader runs
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

// What a fuzzed file cannot reach must be loaded exactly as from the pristine image.
void CheckUntouched(const Fixture& f, const Snapshot& loaded) {
    const Snapshot& p = f.pristine;
    switch (f.file) {
        case FuzzedFile::AlbumCatalogue:
            if (loaded.tracks != p.tracks) {
                FuzzFailure("album.mum changed the tracks");
            }
            break;
        case FuzzedFile::AlbumManifest:
            if (loaded.tracks != p.tracks) {
                FuzzFailure("an album manifest changed the tracks");
            }
            if (loaded.albums.size() != p.albums.size()) {
                FuzzFailure("an album manifest changed the number of albums (%zu, not %zu)",
                            loaded.albums.size(), p.albums.size());
            }
            for (size_t i = 0; i < p.albums.size(); ++i) {
                const AlbumTexts& a = loaded.albums[i];
                if (i != f.albumIndex ? !(a == p.albums[i])
                                      : a.manifestPath != p.albums[i].manifestPath ||
                                            a.searchKey != p.albums[i].searchKey) {
                    FuzzFailure("album %zu changed by the manifest of album %zu", i, f.albumIndex);
                }
            }
            break;
        case FuzzedFile::MusicCatalogue:
            if (!(loaded.albums == p.albums)) {
                FuzzFailure("music.mum changed the albums");
            }
            break;
        case FuzzedFile::TrackManifest: {
            if (!(loaded.albums == p.albums)) {
                FuzzFailure("a track manifest changed the albums");
            }
            const size_t n = loaded.tracks.size();
            bool same = n >= f.trackPrefix + f.trackSuffix;
            for (size_t i = 0; same && i < f.trackPrefix; ++i) {
                same = loaded.tracks[i] == p.tracks[i];
            }
            for (size_t i = 1; same && i <= f.trackSuffix; ++i) {
                same = loaded.tracks[n - i] == p.tracks[p.tracks.size() - i];
            }
            if (!same) {
                FuzzFailure("a track manifest changed the tracks of other manifests");
            }
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// The import

// What atoi would read, clamped to the 32-bit range: strtoll saturates, then the clamp.
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
    AppendCatalogueRows(catalogue, lists.library);
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
        // The drive root is empty here, so the filename is the track's path, cut to fit.
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
// Setting up

// libFuzzer writes crash and timeout files relative to the current folder, which during a load
// is the image (removed at exit). Relative artifact paths are therefore made absolute, and
// without any, the artifacts go where libFuzzer would have put them: the starting folder.
void AnchorArtifactPaths(int* argc, char*** argv, const std::string& home) {
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    bool havePrefix = false;
    texts.assign(*argv, *argv + *argc);
    for (size_t i = 1; i < texts.size(); ++i) {
        for (const char* flag : {"-artifact_prefix=", "-exact_artifact_path="}) {
            const size_t n = std::strlen(flag);
            if (texts[i].compare(0, n, flag) != 0) {
                continue;
            }
            havePrefix = havePrefix || flag[1] == 'a';
            const std::string value = texts[i].substr(n);
            if (!value.empty() && value[0] != '/') {
                texts[i] = flag + home + "/" + value;
            }
        }
    }
    if (!havePrefix) {
        texts.push_back("-artifact_prefix=" + home + "/");
    }
    pointers.clear();
    pointers.push_back((*argv)[0]);  // libFuzzer insists on the very same argv[0]
    for (size_t i = 1; i < texts.size(); ++i) {
        pointers.push_back(texts[i].data());
    }
    pointers.push_back(nullptr);
    *argc = static_cast<int>(texts.size());
    *argv = pointers.data();
}

// Images left behind by fuzzers that crashed (a crash skips the exit handlers).
void RemoveStaleImages(const fs::path& folder) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        int pid = 0;
        if (std::sscanf(name.c_str(), "kovra-fuzz-%d-", &pid) == 1 && pid > 0 &&
            kill(pid, 0) != 0 && errno == ESRCH) {
            fs::remove_all(entry.path(), error);
        }
    }
}

void RemoveImage() {
    if (g_fixture != nullptr) {
        std::error_code error;
        fs::remove_all(g_fixture->root, error);
    }
}

// Loads the catalogue with the image as the current folder, as a fresh DeviceCatalogue does
// with its empty drive root.
void LoadInImage(const Fixture& f, DeviceCatalogue& catalogue) {
    if (chdir(f.root.c_str()) != 0) {
        FuzzFailure("cannot enter the image %s", f.root.c_str());
    }
    g_sandboxed = true;
    LoadCatalogue(catalogue);
    g_sandboxed = false;
    if (fchdir(f.home) != 0) {
        FuzzFailure("cannot return to the starting folder");
    }
}

void ChooseFuzzedFile(Fixture& f, const SampleImage& image) {
    switch (f.file) {
        case FuzzedFile::AlbumCatalogue:
            f.target = "SYSTEM/List/Music/album.mum";
            return;
        case FuzzedFile::MusicCatalogue:
            f.target = "SYSTEM/List/Music/music.mum";
            return;
        case FuzzedFile::AlbumManifest:
            f.albumIndex = image.albums.size() / 2;
            f.target = image.albums[f.albumIndex].manifestPath;
            return;
        case FuzzedFile::TrackManifest:
            break;
    }
    // A manifest with several tracks, with tracks of other manifests before and after it.
    struct Run {
        size_t first, count;
    };
    std::vector<Run> runs;
    for (size_t i = 0; i < image.tracks.size(); ++i) {
        if (runs.empty() ||
            image.tracks[i].manifestPath != image.tracks[runs.back().first].manifestPath) {
            runs.push_back({i, 0});
        }
        ++runs.back().count;
    }
    Run chosen = runs[runs.size() / 2];
    for (size_t i = 1; i + 1 < runs.size(); ++i) {
        if (runs[i].count >= 2) {
            chosen = runs[i];
            break;
        }
    }
    f.target = image.tracks[chosen.first].manifestPath;
    f.trackPrefix = chosen.first;
    f.trackSuffix = image.tracks.size() - chosen.first - chosen.count;
}

// True when `path`, relative to the image, names something inside it.
bool InsideImage(const char* path) {
    if (path == nullptr || path[0] == '\0' || path[0] == '/') {
        return false;
    }
    int depth = 0;
    for (const char* part = path; *part != '\0';) {
        const char* end = std::strchr(part, '/');
        const size_t length = end != nullptr ? static_cast<size_t>(end - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.') {
            if (--depth < 0) {
                return false;
            }
        } else if (length > 0 && !(length == 1 && part[0] == '.')) {
            ++depth;
        }
        part += length;
        if (*part == '/') {
            ++part;
        }
    }
    return true;
}

}  // namespace

// The image stands for the player's drive: on the player every path the catalogue names lies
// below the drive root, but with the empty root of a fresh DeviceCatalogue a fuzzed path could
// name any file of this machine (a device, a FIFO that blocks). While a load runs, such paths
// are refused as missing files. Linked with -Wl,--wrap=fopen.
extern "C" std::FILE* __real_fopen(const char* path, const char* mode);
extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
    if (g_sandboxed && !InsideImage(path)) {
        errno = ENOENT;
        return nullptr;
    }
    return __real_fopen(path, mode);
}

void InitCatalogueFuzzing(int* argc, char*** argv, FuzzedFile file) {
    auto* f = new Fixture;
    f->file = file;
    std::error_code error;
    const fs::path home = fs::current_path(error);
    f->home = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (error || f->home < 0) {
        FuzzFailure("cannot open the starting folder");
    }
    AnchorArtifactPaths(argc, argv, home.string());

    const fs::path temp = fs::temp_directory_path(error);
    RemoveStaleImages(temp);
    std::string pattern = (temp / ("kovra-fuzz-" + std::to_string(getpid()) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        FuzzFailure("cannot make a temporary folder from %s", pattern.c_str());
    }
    f->root = pattern;
    g_fixture = f;
    std::atexit(RemoveImage);

    SampleImageOptions options;
    options.seed = kFuzzImageSeed;
    options.trackCount = kFuzzImageTracks;
    if (!WriteSampleImage(f->root, options)) {
        FuzzFailure("cannot write the sample image to %s", f->root.c_str());
    }
    const SampleImage image = DescribeSampleImage(options);
    ChooseFuzzedFile(*f, image);

    DeviceCatalogue catalogue;
    LoadInImage(*f, catalogue);
    f->pristine = Walk(catalogue);
    const Snapshot& p = f->pristine;
    bool inStep = p.albums.size() == image.albums.size() && p.tracks.size() == image.tracks.size();
    for (size_t i = 0; inStep && i < p.tracks.size(); ++i) {
        inStep = p.tracks[i][static_cast<int>(TrackField::LastUrl)] == image.tracks[i].lastUrl;
    }
    if (!inStep) {
        FuzzFailure("the pristine image does not load as the generator describes it");
    }
}

void LoadWithFuzzedFile(const uint8_t* data, size_t size) {
    const Fixture& f = *g_fixture;
    const std::string path = f.root + "/" + f.target;
    std::FILE* out = __real_fopen(path.c_str(), "wb");
    if (out == nullptr || (size > 0 && std::fwrite(data, size, 1, out) != 1) ||
        std::fclose(out) != 0) {
        FuzzFailure("cannot write %s", path.c_str());
    }
    DeviceCatalogue catalogue;
    LoadInImage(f, catalogue);
    const Snapshot loaded = Walk(catalogue);
    CheckUntouched(f, loaded);
    CheckImport(catalogue, loaded);
}
