// Parses kovra-catalogue's command line into its options.
#include "tools/kovra-catalogue/catalogue_arguments.h"

#include <algorithm>
#include <cstring>

#include "kovra_version.h"
#include "library/columns.h"

namespace {

// Flags as they were given; the mode follows from them once all are read.
struct Given {
    bool path = false;
    bool rows = false;
    bool check = false;
    bool searchOrSort = false;
    bool exportFormat = false;
    bool output = false;
};

// "artist, title, ... or filename": the names --sort takes, from the table of
// columns.
std::string SortColumnNames() {
    std::string names;
    for (int column = 0; column < kColumnCount; ++column) {
        names += column == 0 ? "" : column + 1 < kColumnCount ? ", " : " or ";
        names += kColumns[column].name;
    }
    return names;
}

// `text` filled into lines of at most 76 columns, each after 18 spaces but the
// first, which follows the option's name.
std::string Filled(const std::string& text) {
    const size_t kIndent = 18;
    const size_t kWidth = 76;
    std::string filled;
    size_t lineLength = kIndent;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const size_t length = end - at;
        if (lineLength > kIndent && lineLength + 1 + length > kWidth) {
            filled += "\n" + std::string(kIndent, ' ');
            lineLength = kIndent;
        } else if (lineLength > kIndent) {
            filled += ' ';
            ++lineLength;
        }
        filled.append(text, at, length);
        lineLength += length;
        at = end + 1;
    }
    return filled;
}

// "artist", "track:desc", ... into a sort state; false for an unknown column.
bool ParseSort(const std::string& text, SortState& sort) {
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string direction = colon == std::string::npos ? "asc" : text.substr(colon + 1);
    if (direction != "asc" && direction != "desc") {
        return false;
    }
    for (int column = 0; column < kColumnCount; ++column) {
        if (name == kColumns[column].name) {
            sort.column = column;
            sort.direction = direction == "desc" ? 1 : 0;
            return true;
        }
    }
    return false;
}

bool ParseFormat(const std::string& text, ExportFormat& format) {
    if (text == "m3u8") {
        format = ExportFormat::M3u8;
    } else if (text == "csv") {
        format = ExportFormat::Csv;
    } else if (text == "json") {
        format = ExportFormat::Json;
    } else {
        return false;
    }
    return true;
}

bool TakesValue(const std::string& arg) {
    return arg == "--search" || arg == "--sort" || arg == "--export" || arg == "--output";
}

// One option with its value; why not when the value does not do.
WhyNot ApplyValue(const std::string& arg, const std::string& value, Options& options,
                  Given& given) {
    if (arg == "--search") {
        options.search = value;
        given.searchOrSort = true;
    } else if (arg == "--sort") {
        if (!ParseSort(value, options.sort)) {
            return "cannot sort by '" + value + "': use " + SortColumnNames() +
                   ", with :desc to descend";
        }
        given.searchOrSort = true;
    } else if (arg == "--export") {
        if (!ParseFormat(value, options.format)) {
            return "unknown export format '" + value + "': use m3u8, csv or json";
        }
        given.exportFormat = true;
    } else {
        if (value.empty()) {
            return "--output needs a file name";
        }
        options.outputPath = value;
        given.output = true;
    }
    return {};
}

WhyNot ChooseMode(const Given& given, Options& options) {
    if (!given.path) {
        return "no PATH given: name the folder or drive the player is mounted at";
    }
    if (given.check && (given.rows || given.searchOrSort || given.exportFormat || given.output)) {
        return "--check stands alone: it reads the whole player";
    }
    if (given.rows && given.exportFormat) {
        return "--rows and --export cannot be combined";
    }
    if (given.output && !given.exportFormat) {
        return "--output goes with --export";
    }
    if (given.check) {
        options.mode = Mode::Check;
    } else if (given.exportFormat) {
        options.mode = Mode::Export;
    } else if (given.rows || given.searchOrSort) {
        options.mode = Mode::Rows;
    }
    return {};
}

}  // namespace

Parsed ParseArguments(int argc, char** argv, Options& options, WhyNot& error) {
    Given given;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return Parsed::Help;
        }
        if (arg == "--version") {
            return Parsed::Version;
        }
        if (arg == "--rows") {
            given.rows = true;
        } else if (arg == "--check") {
            given.check = true;
        } else if (TakesValue(arg)) {
            if (i + 1 == argc) {
                error = arg + " needs a value";
                return Parsed::Invalid;
            }
            error = ApplyValue(arg, argv[++i], options, given);
            if (error) {
                return Parsed::Invalid;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return Parsed::Invalid;
        } else if (given.path) {
            error = "only one PATH, please (a second one: " + arg + ")";
            return Parsed::Invalid;
        } else {
            options.playerPath = arg;
            given.path = true;
        }
    }
    error = ChooseMode(given, options);
    return error ? Parsed::Invalid : Parsed::Run;
}

void PrintUsage(std::FILE* to) {
    std::fprintf(
        to,
        "usage: kovra-catalogue PATH [--rows] [--search TEXT] [--sort COLUMN[:desc]]\n"
        "       kovra-catalogue PATH --export m3u8|csv|json [--search TEXT] [--sort "
        "COLUMN[:desc]]\n"
        "                       [--output FILE]\n"
        "       kovra-catalogue PATH --check\n"
        "       kovra-catalogue --version\n"
        "  reads the player mounted at PATH (a folder or a drive such as E:/) as the\n"
        "  media library does; never writes to it. Without options, prints its albums\n"
        "  and tracks, one tab-separated line each.\n"
        "  --rows          print the rows the library view shows instead, and its\n"
        "                  status line last\n"
        "  --search TEXT   only the rows the search TEXT finds (implies --rows)\n"
        "  --sort COLUMN   %s\n"
        "  --export FORMAT the view's tracks (searched and sorted as above, without its\n"
        "                  sample row) as an m3u8 playlist with paths relative to PATH,\n"
        "                  csv or json, with the texts as the player's files hold them\n"
        "  --output FILE   write the export to FILE instead of standard output\n"
        "  --check         list every problem the player's catalogue holds, one line\n"
        "                  each (kind, file, detail, tab-separated), then a summary\n"
        "exit codes: 0 done (--check: no problem), 1 --check found problems,\n"
        "            2 PATH is not a player or cannot be read, or an argument is\n"
        "              not text,\n"
        "            3 bad arguments, 4 the output cannot be written,\n"
        "            5 the playlist left out tracks whose path it cannot hold (each\n"
        "              named on standard error; the rest is written)\n",
        Filled("sort by " + SortColumnNames() + "; add :desc to descend (implies --rows)").c_str());
}

void PrintVersion(std::FILE* to) {
    std::fprintf(to, "kovra-catalogue %s\n", KOVRA_VERSION_TEXT);
}
