// kovra-catalogue: prints, tab-separated, the albums and tracks the loader reads from a player
// image, or the rows the plug-in's view would show, searched and sorted.
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "catalogue/catalogue_import.h"
#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_records.h"
#include "library/cell_text.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"

namespace {

namespace fs = std::filesystem;

struct Options {
    std::string imagePath;
    bool rows = false;  // the view's rows instead of the catalogue records
    std::string search;
    SortState sort;
};

// The view's column headers, by column number.
const char* const kRowColumns[kColumnCount] = {
    "Artist", "Title", "Album", "Length", "Track #", "Genre", "Year", "Filename",
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
                 "usage: kovra-catalogue PATH [--rows] [--search TEXT] [--sort COLUMN[:desc]]\n"
                 "  prints the albums and tracks of the player image in folder PATH,\n"
                 "  one tab-separated line each, as the media library would load them.\n"
                 "  --rows          print the rows the library view shows instead, and\n"
                 "                  its status line last\n"
                 "  --search TEXT   only the rows the search TEXT finds (implies --rows)\n"
                 "  --sort COLUMN   sort by artist, title, album, length, track, genre,\n"
                 "                  year or filename; add :desc to descend (implies --rows)\n");
}

// "artist", "track:desc", ... into a sort state; false for an unknown column.
bool ParseSort(const std::string& text, SortState& sort) {
    static const char* const kNames[kColumnCount] = {"artist", "title", "album", "length",
                                                     "track",  "genre", "year",  "filename"};
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string direction = colon == std::string::npos ? "asc" : text.substr(colon + 1);
    if (direction != "asc" && direction != "desc") {
        return false;
    }
    for (int column = 0; column < kColumnCount; ++column) {
        if (name == kNames[column]) {
            sort.column = column;
            sort.direction = direction == "desc" ? 1 : 0;
            return true;
        }
    }
    return false;
}

// Options take the form --name [value]; each new one is one more branch here.
Parsed ParseArguments(int argc, char** argv, Options& options) {
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return Parsed::Help;
        }
        if (arg == "--rows") {
            options.rows = true;
            continue;
        }
        if ((arg == "--search" || arg == "--sort") && i + 1 == argc) {
            std::fprintf(stderr, "kovra-catalogue: %s needs a value\n", arg.c_str());
            return Parsed::Invalid;
        }
        if (arg == "--search") {
            options.search = argv[++i];
            options.rows = true;
            continue;
        }
        if (arg == "--sort") {
            if (!ParseSort(argv[++i], options.sort)) {
                std::fprintf(stderr, "kovra-catalogue: cannot sort by %s\n", argv[i]);
                return Parsed::Invalid;
            }
            options.rows = true;
            continue;
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

// The rows a view would show after its first filter pass: the catalogue
// import's rows (with the sample row), searched and sorted, then the status line.
bool PrintRows(const DeviceCatalogue& catalogue, const Options& options) {
    LibraryLists lists;
    AppendCatalogueRows(catalogue, lists.library);
    FilterResult found = FilterLibrary(lists, options.search.c_str());
    if (!found.rows) {
        std::fprintf(stderr, "kovra-catalogue: out of memory\n");
        return false;
    }
    SortRows(*found.rows, options.sort);
    Row header;
    for (const char* column : kRowColumns) {
        header.Add(column);
    }
    header.Print();
    for (int32_t i = 0; i < found.rows->Count(); ++i) {
        const LibraryItem& item = *found.rows->Get(i);
        Row row;
        for (int column = 0; column < kColumnCount; ++column) {
            char buffer[kCellTextSize];
            row.Add(CellText(item, column, buffer, sizeof buffer));
        }
        row.Print();
    }
    char status[kStatusLineSize];
    FormatStatusLine(status, sizeof status, lists.library.Count(), found);
    std::printf("%s\n", status);
    return true;
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
    if (options.rows) {
        if (!PrintRows(catalogue, options)) {
            return 1;
        }
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    PrintAlbums(*catalogue.Lists());
    std::printf("\n");
    PrintTracks(*catalogue.Lists());
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
