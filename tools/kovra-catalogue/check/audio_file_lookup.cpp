// Audio files of a player, looked up one by one or in their folder's listing.
// The listing only answers where it is sure to give the answer of a look at the
// name itself.
#include "tools/kovra-catalogue/check/audio_file_lookup.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/ascii_text.h"
#include "base/utf8_text.h"
#include "tools/kovra-catalogue/system/windows_device_names.h"

namespace {

namespace fs = std::filesystem;

// Windows' MAX_PATH: its path functions that take no "\\?\" path open none
// longer.
constexpr size_t kShortPathLimit = 260;

// The path below the player's root. The plug-in puts the drive letter before
// the catalogue's path, so a leading slash means the player's root.
std::string RelativePath(const char* lastUrl) {
    std::string relative = lastUrl;
    relative.erase(0, relative.find_first_not_of("/\\"));
    for (char& c : relative) {
        c = c == '\\' && !kBackslashSeparates ? '/' : c;
    }
    return relative;
}

fs::path AudioPath(const char* lastUrl) {
    const std::string relative = RelativePath(lastUrl);
    try {
        return fs::u8path(relative);  // the player names its files in UTF-8
    } catch (...) {
        return fs::path(relative);  // not UTF-8: the bytes as the system's code page reads them
    }
}

WhyNot NotRegularFile(const char* lastUrl) {
    return std::string(lastUrl) + " is not a regular file";
}

std::string AsciiLowered(std::string name) {
    for (char& c : name) {
        c = static_cast<char>(AsciiLower(static_cast<unsigned char>(c)));
    }
    return name;
}

bool HasNonAscii(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// Windows reads these as wildcards, streams or short names, or refuses them.
bool IsSpecialByte(unsigned char c) {
    return c < 0x20 || c == 0x7F || (c != 0 && std::strchr("\"*:<>?|~", c) != nullptr);
}

}  // namespace

WhyNot LookForAudioFile(const char* lastUrl) {
    if (lastUrl == nullptr || *lastUrl == 0) {
        return "names no audio file";
    }
    std::error_code error;
    const fs::file_status status = fs::status(AudioPath(lastUrl), error);
    if (fs::is_regular_file(status)) {
        return {};
    }
    return fs::exists(status) ? NotRegularFile(lastUrl) : lastUrl;
}

AudioFiles::AudioFiles() {
    std::error_code error;
    currentFolderLength_ = fs::current_path(error).u8string().size();
}

const WhyNot& AudioFiles::Fault(const char* lastUrl) {
    const std::string key = lastUrl != nullptr ? lastUrl : "";
    auto found = faults_.find(key);
    if (found == faults_.end()) {
        found = faults_.emplace(key, FromListing(lastUrl)).first;
    }
    return found->second;
}

WhyNot AudioFiles::FromListing(const char* lastUrl) {
    if (lastUrl == nullptr || *lastUrl == 0) {
        return LookForAudioFile(lastUrl);
    }
    const std::string relative = RelativePath(lastUrl);
    const size_t split = relative.find_last_of("/\\");
    const std::string name = relative.substr(split == std::string::npos ? 0 : split + 1);
    if (!ListingAnswersFor(relative, name)) {
        return LookForAudioFile(lastUrl);
    }
    const std::string folder = split == std::string::npos ? "" : relative.substr(0, split);
    switch (Find(ListingOf(folder), name)) {
        case Answer::RegularFile:
            return {};
        case Answer::Other:
            return NotRegularFile(lastUrl);
        case Answer::Missing:
            return lastUrl;
        case Answer::AskFileSystem:
            break;
    }
    return LookForAudioFile(lastUrl);
}

bool AudioFiles::ListingAnswersFor(const std::string& relative, const std::string& name) const {
    // Windows trims trailing dots and spaces ("a.mp3." opens "a.mp3"); "." and
    // ".." are steps.
    if (name.empty() || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (const char c : relative) {
        if (IsSpecialByte(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return FirstInvalidUtf8(relative.c_str()) == SIZE_MAX &&
           !IsWindowsDeviceName(name.data(), name.size()) &&
           currentFolderLength_ + 1 + relative.size() < kShortPathLimit;
}

const AudioFiles::Listing& AudioFiles::ListingOf(const std::string& folder) {
    auto found = listings_.find(folder);
    if (found != listings_.end()) {
        return found->second;
    }
    Listing& listing = listings_[folder];
    std::vector<FolderEntry> entries;
    listing.outcome = ListFolder(folder, entries);
    for (const FolderEntry& entry : entries) {
        listing.exact.emplace(entry.name, entry.kind);
        const auto folded = listing.folded.emplace(AsciiLowered(entry.name), entry.kind);
        if (!folded.second && folded.first->second != entry.kind) {
            folded.first->second = EntryKind::AskFileSystem;
        }
        listing.nonAscii = listing.nonAscii || HasNonAscii(entry.name);
    }
    return listing;
}

AudioFiles::Answer AudioFiles::Find(const Listing& listing, const std::string& name) {
    if (listing.outcome != ListingOutcome::Listed) {
        return listing.outcome == ListingOutcome::NoFolder ? Answer::Missing
                                                           : Answer::AskFileSystem;
    }
    auto found = listing.exact.find(name);
    if (found == listing.exact.end()) {
        found = listing.folded.find(AsciiLowered(name));
        if (found == listing.folded.end()) {
            // A system that folds other letters too might find a listed name
            // all the same.
            return HasNonAscii(name) || listing.nonAscii ? Answer::AskFileSystem : Answer::Missing;
        }
        if (!kCaseBlindFileNames) {
            return Answer::AskFileSystem;  // a player's FAT mounted here may tell no case apart
        }
    }
    switch (found->second) {
        case EntryKind::RegularFile:
            return Answer::RegularFile;
        case EntryKind::Other:
            return Answer::Other;
        default:
            return Answer::AskFileSystem;
    }
}
