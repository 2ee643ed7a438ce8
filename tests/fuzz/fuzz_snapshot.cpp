// Fuzz target: arbitrary bytes as the stored snapshot of a player's last read,
// sealed with their checksum so that the fuzzer reaches what lies past it; a
// snapshot that reads is written again to the same form and replayed as if
// every file were unchanged, within a small budget.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/snapshot_session.h"

namespace {

// Every file not in the snapshot is missing.
class NoFiles final : public CatalogueFileSource {
  public:
    FileReadStatus Read(const char*, size_t, XmlBuffer&) override {
        return FileReadStatus::Missing;
    }
};

std::vector<char> Sealed(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    uint32_t hash = 2166136261u;  // FNV-1a, as the stored form's checksum
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((hash >> (8 * i)) & 0xff));
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<char> bytes = Sealed(data, size);
    std::optional<CatalogueSnapshot> snapshot = DecodeSnapshot(bytes.data(), bytes.size());
    if (!snapshot) {
        return 0;
    }
    std::vector<const SnapshotEntry*> entries;
    for (const SnapshotEntry& entry : snapshot->entries) {
        entries.push_back(&entry);
    }
    const std::vector<char> again = EncodeSnapshot(*snapshot, entries);
    const std::optional<CatalogueSnapshot> reread = DecodeSnapshot(again.data(), again.size());
    assert(reread && reread->entries.size() == snapshot->entries.size());
    (void)reread;

    const VolumeIdentity identity = snapshot->identity;
    SnapshotSession session("./", identity, std::move(snapshot), 0);
    session.AssumeUnchanged();
    DeviceCatalogue catalogue;
    const char root[4] = "./";
    catalogue.SetDriveRoot(root);
    NoFiles files;
    const LoadCeilings small = {1u << 20, 2000, 500, 1u << 18};
    LoadCatalogue(catalogue, nullptr, &files, small, &session);
    assert(CountRecords(catalogue.FirstTrack()) <= 2000);
    return 0;
}
