// kovra-catalogue: prints, tab-separated, the albums and tracks the loader reads from a player
// image.
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_records.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string imagePath;
};

enum class Parsed { Run, Help, Invalid };

const char* const kAlbumColumns[] = {
    "manifest path", "creator", "album title", "genre", "recorded", "search key",
};

// Indexed by TrackField.
const char* const kTrackColumns[] = {
    "last url",   "creator",      "title",       "music by", "genre",      "recorded",
    "play count", "playing time", "last played", "volume",   "search key", "control flag",
};
static_assert(sizeof kTrackColumns / sizeof kTrackColumns[0] == kTrackFieldCount,
              "one column per track field");

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: kovra-catalogue PATH\n"
                 "  prints the albums and tracks of the player image in folder PATH,\n"
                 "  one tab-separated line each, as the media library would load them\n");
}

// Options take the form --name [value]; each new one is one more branch here.
Parsed ParseArguments(int argc, char** argv, Options& options) {
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return Parsed::Help;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kovra-catalogue: unknown option %s\n", arg.c_str());
            return Parsed::Invalid;
        }
        if (havePath) {
            std::fprintf(stderr, "kovra-catalogue: only one PATH, please\n");
            return Parsed::Invalid;
        }
        options.imagePath = arg;
        havePath = true;
    }
    return havePath ? Parsed::Run : Parsed::Invalid;
}

// The loader reads paths relative to the current folder when the drive root is empty, so the
// image folder becomes the current one.
bool EnterImage(const std::string& imagePath) {
    std::error_code error;
    if (!fs::is_directory(imagePath, error)) {
        std::fprintf(stderr, "kovra-catalogue: %s is not a folder\n", imagePath.c_str());
        return false;
    }
    fs::current_path(imagePath, error);
    if (error) {
        std::fprintf(stderr, "kovra-catalogue: cannot enter %s: %s\n", imagePath.c_str(),
                     error.message().c_str());
        return false;
    }
    if (!fs::exists("SYSTEM/List/Music/album.mum", error) &&
        !fs::exists("SYSTEM/List/Music/music.mum", error)) {
        std::fprintf(stderr,
                     "kovra-catalogue: no player catalogue in %s "
                     "(neither SYSTEM/List/Music/album.mum nor music.mum)\n",
                     imagePath.c_str());
        return false;
    }
    return true;
}

// One output line. A missing text prints as nothing; tabs and line breaks inside a text become
// spaces, since they would split the record.
class Row {
  public:
    void Add(const char* text) {
        if (fields_++ > 0) {
            line_ += '\t';
        }
        for (const char* c = text; c != nullptr && *c != 0; ++c) {
            line_ += (*c == '\t' || *c == '\n' || *c == '\r') ? ' ' : *c;
        }
    }

    void Print() const {
        std::fwrite(line_.data(), 1, line_.size(), stdout);
        std::fputc('\n', stdout);
    }

  private:
    std::string line_;
    int fields_ = 0;
};

template <size_t N>
void PrintHeader(const char* section, long count, const char* const (&columns)[N]) {
    std::printf("# %s: %ld\n", section, count);
    Row row;
    for (const char* column : columns) {
        row.Add(column);
    }
    row.Print();
}

void PrintAlbums(const CatalogueLists& lists) {
    long count = 0;
    for (const AlbumRecord* album = lists.FirstAlbum(); album; album = album->Next()) {
        ++count;
    }
    PrintHeader("albums", count, kAlbumColumns);
    for (const AlbumRecord* album = lists.FirstAlbum(); album; album = album->Next()) {
        Row row;
        for (const char* text : {album->ManifestPath(), album->Creator(), album->AlbumTitle(),
                                 album->Genre(), album->Recorded(), album->SearchKey()}) {
            row.Add(text);
        }
        row.Print();
    }
}

void PrintTracks(const CatalogueLists& lists) {
    long count = 0;
    for (const TrackRecord* track = lists.FirstTrack(); track; track = track->Next()) {
        ++count;
    }
    PrintHeader("tracks", count, kTrackColumns);
    for (const TrackRecord* track = lists.FirstTrack(); track; track = track->Next()) {
        Row row;
        for (int field = 0; field < kTrackFieldCount; ++field) {
            row.Add(track->Text(static_cast<TrackField>(field)));
        }
        row.Print();
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    switch (ParseArguments(argc, argv, options)) {
        case Parsed::Help:
            PrintUsage(stdout);
            return 0;
        case Parsed::Invalid:
            PrintUsage(stderr);
            return 2;
        case Parsed::Run:
            break;
    }
    if (!EnterImage(options.imagePath)) {
        return 2;
    }
    DeviceCatalogue catalogue;
    LoadCatalogue(catalogue);
    PrintAlbums(*catalogue.Lists());
    std::printf("\n");
    PrintTracks(*catalogue.Lists());
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
