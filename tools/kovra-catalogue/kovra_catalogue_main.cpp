// kovra-catalogue: prints, tab-separated, the albums and tracks the loader
// reads from a player image, or the rows the plug-in's view would show,
// searched and sorted, or exports those rows, or checks the player's catalogue.
#include "tools/kovra-catalogue/kovra_catalogue_main.h"

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "library/catalogue_import.h"
#include "library/cell_text.h"
#include "library/columns.h"
#include "library/library_item.h"
#include "library/library_lists.h"
#include "library/search_filter.h"
#include "library/sort_order.h"
#include "tools/kovra-catalogue/catalogue_arguments.h"
#include "tools/kovra-catalogue/check/catalogue_check.h"
#include "tools/kovra-catalogue/export/export_formats.h"
#include "tools/kovra-catalogue/export/export_output.h"
#include "tools/kovra-catalogue/export/export_rows.h"
#include "tools/kovra-catalogue/system/output_file.h"
#include "tools/kovra-catalogue/progress_line.h"
#include "tools/kovra-catalogue/system/system_text.h"

namespace {

namespace fs = std::filesystem;

const char kProgram[] = "kovra-catalogue";

}  // namespace

// Paths in `message` are UTF-8, shown as the names they spell on a Windows
// console too.
void PrintError(const std::string& message) {
    WriteText(stderr, std::string(kProgram) + ": " + message + "\n");
}

namespace {

const char* const kAlbumColumns[] = {
    "manifest path", "creator", "album title", "genre", "recorded", "search key",
};

// A player is a folder (or drive) with index.mum in it, as the plug-in finds
// one. The loader reads paths relative to the current folder when the drive
// root is empty, so the player's folder becomes the current one. Why not when
// it is no player.
WhyNot EnterPlayer(const std::string& playerPath) {
    std::error_code error;
    const fs::path folder = fs::u8path(playerPath);
    if (!fs::is_directory(folder, error)) {
        return playerPath + " is not a folder";
    }
    fs::current_path(folder, error);
    if (error) {
        return "cannot enter " + playerPath + ": " + error.message();
    }
    // Only a regular file is opened: a FIFO by that name would block the open.
    if (!fs::is_regular_file("index.mum", error)) {
        return "not a player: no index.mum in " + playerPath;
    }
    std::FILE* index = std::fopen("index.mum", "rb");
    if (index == nullptr) {
        return "cannot read index.mum in " + playerPath;
    }
    std::fclose(index);
    return {};
}

// One output line. A missing text prints as nothing; tabs and line breaks
// inside a text become spaces, since they would split the record. Lines reach a
// console as the characters they spell.
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

    void Print() const { WriteText(stdout, line_ + "\n"); }

  private:
    std::string line_;
    int fields_ = 0;
};

template <size_t N>
void PrintHeader(const char* section, long count, const char* const (&columns)[N]) {
    WriteText(stdout, "# " + std::string(section) + ": " + std::to_string(count) + "\n");
    Row row;
    for (const char* column : columns) {
        row.Add(column);
    }
    row.Print();
}

void PrintAlbums(const CatalogueLists& lists) {
    PrintHeader("albums", CountRecords(lists.FirstAlbum()), kAlbumColumns);
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
    PrintHeader("tracks", CountRecords(lists.FirstTrack()), kTrackFieldLabels);
    for (const TrackRecord* track = lists.FirstTrack(); track; track = track->Next()) {
        Row row;
        for (int field = 0; field < kTrackFieldCount; ++field) {
            row.Add(track->Text(static_cast<TrackField>(field)));
        }
        row.Print();
    }
}

// The rows a view would show after its first filter pass, with the sample row,
// then the status line.
bool PrintRows(const DeviceCatalogue& catalogue, const Options& options) {
    ShownRows shown;
    if (!FindShownRows(catalogue, options.search.c_str(), options.sort, true, shown)) {
        PrintError("out of memory");
        return false;
    }
    const FilterResult& found = shown.found;
    Row header;
    for (const ColumnInfo& column : kColumns) {
        header.Add(column.title);
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
    FormatStatusLine(status, sizeof status, shown.lists.library.Count(), found);
    WriteText(stdout, std::string(status) + "\n");
    return true;
}

// The view's tracks in the chosen format, to standard output or the output
// file, then a line for each track the export left out. The output file's path
// was made absolute before the player's folder (`player`) became the current
// one.
int Export(const DeviceCatalogue& catalogue, const Options& options, const fs::path& output,
           const fs::path& player) {
    std::vector<ExportRow> rows;
    if (!CollectExportRows(catalogue, options.search.c_str(), options.sort, rows)) {
        PrintError("out of memory");
        return kExitCannotWrite;
    }
    std::string text;
    std::vector<LeftOutTrack> leftOut;
    WriteExport(options.format, rows, text, leftOut);
    WhyNot error;
    switch (WriteOutput(output, player, text, error)) {
        case OutputResult::OnPlayer:
            PrintError(error.Text());
            return kExitBadArguments;
        case OutputResult::Failed:
            PrintError(error.Text());
            return kExitCannotWrite;
        case OutputResult::Written:
            break;
    }
    for (const LeftOutTrack& track : leftOut) {
        PrintError("left out of the playlist: " + PrintablePath(track.filename) + " (" +
                   track.why.Text() + ")");
    }
    return leftOut.empty() ? kExitDone : kExitLeftOut;
}

int FlushStandardOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        PrintError("cannot write to standard output");
        return kExitCannotWrite;
    }
    return kExitDone;
}

// One line per problem, then the summary.
int Check(DeviceCatalogue& catalogue, ProgressLine& progress) {
    // Thousands of lines go out in a few large writes: to a console or device
    // (NUL, /dev/null) the C runtime on Windows would make each call a write of
    // its own, under wine a round trip to its server.
    std::setvbuf(stdout, nullptr, _IOFBF, 64 * 1024);
    const CheckReport report = CheckCatalogue(catalogue, &progress);
    progress.Clear();
    for (const CheckProblem& problem : report.problems) {
        Row row;
        row.Add(problem.kind.c_str());
        row.Add(problem.file.c_str());
        row.Add(problem.detail.c_str());
        row.Print();
    }
    WriteText(stdout, CheckSummary(report) + "\n");
    const int written = FlushStandardOutput();
    if (written != kExitDone) {
        return written;
    }
    return report.problems.empty() ? kExitDone : kExitProblems;
}

int Print(const DeviceCatalogue& catalogue, const Options& options) {
    if (options.mode == Mode::Rows) {
        if (!PrintRows(catalogue, options)) {
            return kExitCannotWrite;
        }
    } else {
        PrintAlbums(*catalogue.Lists());
        WriteText(stdout, "\n");
        PrintTracks(*catalogue.Lists());
    }
    return FlushStandardOutput();
}

// True, with the exit code set, when the command line asks for no run: help,
// the version, or a mistake, which `error` tells.
bool AnsweredWithoutRun(Parsed parsed, const WhyNot& error, int& exitCode) {
    switch (parsed) {
        case Parsed::Help:
            PrintUsage(stdout);
            exitCode = kExitDone;
            return true;
        case Parsed::Version:
            PrintVersion(stdout);
            exitCode = kExitDone;
            return true;
        case Parsed::Invalid:
            PrintError(error.Text() + " (see " + kProgram + " --help)");
            exitCode = kExitBadArguments;
            return true;
        case Parsed::Run:
            break;
    }
    return false;
}

}  // namespace

int RunCommand(int argc, char** argv) {
    Options options;
    WhyNot error;
    int exitCode = kExitDone;
    if (AnsweredWithoutRun(ParseArguments(argc, argv, options, error), error, exitCode)) {
        return exitCode;
    }
    std::error_code pathError;
    fs::path output;
    if (!options.outputPath.empty() &&
        !AbsolutePath(fs::u8path(options.outputPath), output, pathError)) {
        PrintError("cannot write " + options.outputPath + ": " + pathError.message());
        return kExitCannotWrite;
    }
    if (const WhyNot why = EnterPlayer(options.playerPath)) {
        PrintError(why.Text());
        return kExitNotAPlayer;
    }
    const fs::path player = fs::current_path(pathError);
    if (pathError) {
        PrintError("cannot find the player's folder: " + pathError.message());
        return kExitNotAPlayer;
    }
    DeviceCatalogue catalogue;
    ProgressLine progress(stderr);
    if (options.mode == Mode::Check) {
        return Check(catalogue, progress);
    }
    LoadCatalogue(catalogue, &progress);
    progress.Clear();
    if (options.mode == Mode::Export) {
        return Export(catalogue, options, output, player);
    }
    return Print(catalogue, options);
}
