// A catalogue load that starts from the snapshot of the player's last read and
// leaves a new one.
#include <cstring>
#include <new>

#include "base/ascii_text.h"

#include "base/debug_output.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/snapshot_session.h"

namespace {

// Whether `path` lies on the drive at `root` ("E:/", or a folder natively):
// the plug-in never writes to the player, even when the host keeps its
// settings there.
bool OnThePlayer(const char* path, const char* root) {
    size_t length = std::strlen(root);
    while (length > 0 && (root[length - 1] == '/' || root[length - 1] == '\\')) {
        --length;
    }
    return length > 0 && AsciiCompareNoCaseN(path, root, length) == 0 &&
           (path[length] == '/' || path[length] == '\\');
}

std::optional<CatalogueSnapshot> ReadSnapshot(const char* path) {
    std::vector<char> bytes;
    if (!ReadWholeFile(path, kMaxSnapshotBytes, bytes)) {
        return std::nullopt;
    }
    return DecodeSnapshot(bytes.data(), bytes.size());
}

// Writes the next snapshot, if the read changed it and the player is still
// the one it was; a failure (no room, no right to write) is only logged.
void WriteSnapshot(SnapshotSession& session, const char* path, const char* root,
                   const VolumeIdentity& identity) {
    try {
        const std::vector<char> bytes = session.NextSnapshot();
        if (bytes.empty()) {
            return;
        }
        const std::optional<VolumeIdentity> now = ReadVolumeIdentity(root);
        if (!now || *now != identity) {
            return;  // the player went, or another came, during the read
        }
        if (!ReplaceWholeFile(path, bytes)) {
            DebugPrintf("Catalogue snapshot not written: %.900s\n", path);
        }
    } catch (const std::bad_alloc&) {
        DebugPrintf("Catalogue snapshot not written: out of memory\n");
    }
}

}  // namespace

void LoadCatalogueWithSnapshot(DeviceCatalogue& catalogue, LoadObserver* observer,
                               const char* snapshotPath, const LoadCeilings& ceilings,
                               CatalogueFileSource* source) {
    const char* root = catalogue.DriveRoot();
    const std::optional<VolumeIdentity> identity = snapshotPath == nullptr ||
                                                           snapshotPath[0] == 0 || root[0] == 0 ||
                                                           OnThePlayer(snapshotPath, root)
                                                       ? std::nullopt
                                                       : ReadVolumeIdentity(root);
    if (!identity) {
        LoadCatalogue(catalogue, observer, source, ceilings);
        return;
    }
    const int64_t clock = StampClock();
    SnapshotSession session(root, *identity, ReadSnapshot(snapshotPath), clock);
    session.CheckFiles();
    LoadCatalogue(catalogue, observer, source, ceilings, &session);
    WriteSnapshot(session, snapshotPath, root, *identity);
}
