// The command line of kovra-catalogue: what to read, what to print and where,
// and its exit codes.
#pragma once

#include <cstdio>
#include <string>

#include "library/sort_order.h"
#include "tools/kovra-catalogue/export/export_formats.h"
#include "tools/kovra-catalogue/system/why_not.h"

// What the command ends with; the usage text lists them.
enum ExitCode : int {
    kExitDone = 0,
    kExitProblems = 1,    // --check found at least one problem
    kExitNotAPlayer = 2,  // PATH is not a player (no index.mum) or cannot be read
    kExitNotText = 2,     // an argument is not text (Windows: half of a UTF-16 pair alone)
    kExitBadArguments = 3,
    kExitCannotWrite = 4,  // the output cannot be written
    kExitLeftOut = 5,  // the export left out tracks it cannot hold, each named on standard error
};

enum class Mode {
    Catalogue,  // the albums and tracks the loader reads
    Rows,       // the rows the library view shows, with its status line
    Export,     // the view's tracks as a playlist or a table
    Check,      // every problem the load meets, and a summary
};

struct Options {
    std::string playerPath;
    Mode mode = Mode::Catalogue;
    std::string search;
    SortState sort;
    ExportFormat format = ExportFormat::Csv;
    std::string outputPath;  // empty: standard output
};

enum class Parsed { Run, Help, Version, Invalid };

// Fills `options` from the command line. For Parsed::Invalid, `error` says in
// one line what is wrong.
Parsed ParseArguments(int argc, char** argv, Options& options, WhyNot& error);

void PrintUsage(std::FILE* to);

// "kovra-catalogue VERSION", the project's version.
void PrintVersion(std::FILE* to);
