// One reading of a folder's names, as the system lists them: the --check of
// audio files asks the file system once per folder instead of once per file.
#pragma once

#include <string>
#include <vector>

// What a listed name is, as far as the listing tells.
enum class EntryKind {
    RegularFile,
    Other,          // a folder, device, FIFO...
    AskFileSystem,  // a link, or a kind the listing does not give: only a look at the name tells
};

struct FolderEntry {
    std::string name;  // UTF-8 on Windows; the bytes the system gives elsewhere
    EntryKind kind;
};

enum class ListingOutcome {
    Listed,
    NoFolder,  // nothing is found below it: it is missing, or no folder
    Failed,    // it may hold files all the same (it cannot be read, its path is too long...)
};

// Appends the names in `folder` (relative to the current folder, "/" or "\"
// between its names, "" for the current folder itself), without "." and "..".
ListingOutcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// True where the file system finds a file by its name in any case of its
// letters (Windows).
extern const bool kCaseBlindFileNames;

// True where the system reads "\\" between the names of a path as it reads "/"
// (Windows); elsewhere a catalogue's "\\" is turned into "/" before the system
// sees it.
extern const bool kBackslashSeparates;
