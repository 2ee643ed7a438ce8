// Whether the audio file a track names is on the player: looked up by its own
// name, or found in one listing of its folder.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

#include "tools/kovra-catalogue/system/folder_listing.h"
#include "tools/kovra-catalogue/system/why_not.h"

// Why the track's audio file (the catalogue's `lastUrl`, from the player's
// root, which is the current folder) is not on the player: `lastUrl` itself
// when nothing has that name, "`lastUrl` is not a regular file" when something
// else has it, "names no audio file" when `lastUrl` is null or empty. One look
// at the file system for that name.
WhyNot LookForAudioFile(const char* lastUrl);

// The answers of LookForAudioFile, each found once however many tracks name the
// file, from one listing per folder, made the first time a file of the folder
// is asked for: a big folder is read once, not searched once per file. A name
// that the listing cannot answer for as the file system would (a wildcard,
// device or short name, a name Windows trims, a path too long for the system,
// one differing from a listed name in the case of its letters where the system
// may or may not tell them apart...) is looked up by itself.
class AudioFiles {
  public:
    AudioFiles();

    const WhyNot& Fault(const char* lastUrl);

  private:
    struct Listing {
        ListingOutcome outcome = ListingOutcome::Failed;
        std::unordered_map<std::string, EntryKind> exact;
        // By the name with its ASCII letters lowered; names equal so whose
        // kinds differ: AskFileSystem.
        std::unordered_map<std::string, EntryKind> folded;
        bool nonAscii = false;  // a name holds a byte above 0x7F
    };

    enum class Answer { RegularFile, Other, Missing, AskFileSystem };

    WhyNot FromListing(const char* lastUrl);
    bool ListingAnswersFor(const std::string& relative, const std::string& name) const;
    const Listing& ListingOf(const std::string& folder);
    static Answer Find(const Listing& listing, const std::string& name);

    size_t currentFolderLength_;
    std::unordered_map<std::string, Listing> listings_;
    std::unordered_map<std::string, WhyNot> faults_;  // by `lastUrl`
};
