// Listing a folder with opendir and readdir: file names are bytes, found by
// their exact bytes.
#include "tools/kovra-catalogue/system/folder_listing.h"

#include <cerrno>

#include <dirent.h>
#include <unistd.h>

const bool kBackslashSeparates = false;
const bool kCaseBlindFileNames = false;

namespace {

// A link is followed by a look at the name, as the lookup of a single file
// does.
EntryKind KindOf(unsigned char type) {
    switch (type) {
        case DT_REG:
            return EntryKind::RegularFile;
        case DT_LNK:
        case DT_UNKNOWN:
            return EntryKind::AskFileSystem;
        default:
            return EntryKind::Other;
    }
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

ListingOutcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    std::string path = folder.empty() ? "." : folder;
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    DIR* listing = opendir(path.c_str());
    if (listing == nullptr) {
        return errno == ENOENT || errno == ENOTDIR ? ListingOutcome::NoFolder
                                                   : ListingOutcome::Failed;
    }
    // Without search permission its names can be read but its files not
    // reached: a look at each file finds none.
    if (access(path.c_str(), X_OK) != 0) {
        closedir(listing);
        return ListingOutcome::Failed;
    }
    const dirent* entry = nullptr;
    // readdir sets errno on a failure only: the end of the listing leaves it 0.
    while (errno = 0, (entry = readdir(listing)) != nullptr) {
        if (!IsDotOrDotDot(entry->d_name)) {
            entries.push_back({entry->d_name, KindOf(entry->d_type)});
        }
    }
    const bool complete = errno == 0;
    closedir(listing);
    return complete ? ListingOutcome::Listed : ListingOutcome::Failed;
}
