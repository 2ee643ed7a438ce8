// The stored form of a catalogue snapshot: writing it, and reading it back with
// every length checked.
#include "catalogue/catalogue_snapshot.h"

#include <algorithm>
#include <cstring>

#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/load_budget.h"

namespace {

constexpr char kMagic[8] = {'K', 'O', 'V', 'R', 'A', 'S', 'N', 'P'};
// Raised whenever the stored form or what a journal means changes: a
// snapshot of another version is read as none.
constexpr uint32_t kVersion = 1;
constexpr size_t kChecksumBytes = 4;
// No path a load reads is longer (the manifest path buffer).
constexpr size_t kMaxPathLength = 1023;

uint32_t Checksum(const char* bytes, size_t size) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
    }
    return hash;
}

// Writes into a buffer sized once for the whole snapshot (Reserve), grown
// only when the estimate fell short; Out() cuts it to what was written.
class Writer {
  public:
    void Bytes(const void* data, size_t size) {
        if (size == 0) {
            return;  // `data` may be null
        }
        if (size_ + size > out_.size()) {
            out_.resize(2 * (size_ + size));
        }
        std::memcpy(out_.data() + size_, data, size);
        size_ += size;
    }
    void Fixed(uint64_t value, int bytes) {
        char encoded[8];
        for (int i = 0; i < bytes; ++i) {
            encoded[i] = static_cast<char>((value >> (8 * i)) & 0xff);
        }
        Bytes(encoded, static_cast<size_t>(bytes));
    }
    void Varint(uint64_t value) {
        char encoded[10];
        size_t length = 0;
        while (value >= 0x80) {
            encoded[length++] = static_cast<char>((value & 0x7f) | 0x80);
            value >>= 7;
        }
        encoded[length++] = static_cast<char>(value);
        Bytes(encoded, length);
    }
    void SizedText(const char* text, size_t length) {
        Varint(length);
        Bytes(text, length);
    }
    std::vector<char>& Out() {
        out_.resize(size_);
        return out_;
    }
    void Reserve(size_t bytes) { out_.resize(bytes); }

  private:
    std::vector<char> out_;
    size_t size_ = 0;
};

// Reads the stored form front to back; any read past its end, or any value
// out of its range, fails the whole read.
class Reader {
  public:
    Reader(const char* bytes, size_t size) : at_(bytes), end_(bytes + size) {}

    bool Fixed(uint64_t& value, int bytes) {
        if (Left() < static_cast<size_t>(bytes)) {
            return false;
        }
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= uint64_t{static_cast<unsigned char>(*at_++)} << (8 * i);
        }
        return true;
    }
    bool Varint(uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64 && at_ < end_; shift += 7) {
            const unsigned char byte = static_cast<unsigned char>(*at_++);
            value |= uint64_t{byte & 0x7fu} << shift;
            if ((byte & 0x80) == 0) {
                return true;
            }
        }
        return false;
    }
    // The next `length` bytes, which must hold no NUL.
    bool Raw(size_t length, const char*& text) {
        if (length > Left()) {
            return false;
        }
        text = at_;
        at_ += length;
        return std::memchr(text, 0, length) == nullptr;
    }
    // A length, at most `limit`, then that many bytes without a NUL.
    bool SizedText(PathText& text, size_t limit) {
        uint64_t length = 0;
        const char* bytes = nullptr;
        if (!Varint(length) || length > limit || !Raw(static_cast<size_t>(length), bytes)) {
            return false;
        }
        text = PathText(bytes, static_cast<size_t>(length), "");
        return true;
    }
    size_t Left() const { return static_cast<size_t>(end_ - at_); }

  private:
    const char* at_;
    const char* end_;
};

void WriteEntry(Writer& out, const SnapshotEntry& entry) {
    out.Fixed(static_cast<uint8_t>(entry.kind), 1);
    out.SizedText(entry.path.Get(), entry.path.Length());
    out.Varint(entry.cost);
    out.Varint(entry.stamp.size);
    out.Fixed(static_cast<uint64_t>(entry.stamp.writeTime), 8);
    out.Varint(entry.journal.Count());
    for (size_t i = 0; i < entry.journal.Count(); ++i) {
        out.Fixed(static_cast<uint8_t>(entry.journal.Slot(i)), 1);
        const char* text = entry.journal.Text(i);
        const size_t length = text != nullptr ? std::strlen(text) : 0;
        // 0 is none; a text's length is stored one higher.
        out.Varint(text == nullptr ? 0 : length + 1);
        out.Bytes(text, length);
    }
}

// Whether a journal item could have been written by a read of this kind of
// file: its slot, whether it has a text, and (for album catalogues) its
// place among the others. `albums` tells whether an album was made before.
bool ItemFits(SnapshotFileKind kind, size_t index, int slot, bool hasText, bool& albums,
              bool& counting) {
    switch (kind) {
        case SnapshotFileKind::TrackManifest:
            return slot == static_cast<int>(index % kTrackFieldCount);
        case SnapshotFileKind::AlbumManifest:
            return slot >= 0 && slot < 4 && hasText;
        case SnapshotFileKind::MusicCatalogue:
            return slot == 0 && hasText;
        case SnapshotFileKind::AlbumCatalogue:
            if (slot == kAlbumOpCount) {
                return counting && hasText;
            }
            counting = false;
            if (slot == kAlbumOpNew) {
                albums = true;
                return !hasText;
            }
            if (slot == kAlbumOpFollow) {
                return albums && !hasText;
            }
            return slot >= kAlbumOpManifestPath && slot <= kAlbumOpSearchKey && albums && hasText;
    }
    return false;
}

// Texts a step kept are cut to kMaxTextLength; the paths a catalogue links
// are as long as the file had them.
size_t TextLimit(SnapshotFileKind kind, int slot) {
    const bool link = kind == SnapshotFileKind::MusicCatalogue ||
                      (kind == SnapshotFileKind::AlbumCatalogue && slot == kAlbumOpCount);
    return link ? kMaxSnapshotBytes : kMaxTextLength;
}

// `texts` counts the items of the whole snapshot.
bool ReadJournal(Reader& in, SnapshotEntry& entry, size_t& texts) {
    uint64_t count = 0;
    // Every item takes at least two bytes: no count beyond that is believed.
    if (!in.Varint(count) || count > in.Left() / 2 || count > kMaxSnapshotTexts - texts) {
        return false;
    }
    texts += static_cast<size_t>(count);
    bool albums = false;
    bool counting = true;
    // Room for the texts at a real catalogue's some 24 bytes each, never more
    // than the stored form has left.
    const size_t items = static_cast<size_t>(count);
    entry.journal.Reserve(items, items * 24 < in.Left() ? items * 24 : in.Left());
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t slot = 0;
        uint64_t length = 0;
        if (!in.Fixed(slot, 1) || !in.Varint(length)) {
            return false;
        }
        const int s = static_cast<int>(slot);
        if (!ItemFits(entry.kind, static_cast<size_t>(i), s, length != 0, albums, counting)) {
            return false;
        }
        if (length == 0) {
            entry.journal.Add(s, nullptr);
            continue;
        }
        const char* text = nullptr;
        if (length - 1 > TextLimit(entry.kind, s) ||
            !in.Raw(static_cast<size_t>(length - 1), text)) {
            return false;
        }
        entry.journal.Add(s, text, static_cast<size_t>(length - 1));
    }
    return entry.kind != SnapshotFileKind::TrackManifest || count % kTrackFieldCount == 0;
}

bool ReadEntry(Reader& in, SnapshotEntry& entry, size_t& texts) {
    uint64_t kind = 0;
    uint64_t time = 0;
    if (!in.Fixed(kind, 1) || kind > static_cast<uint64_t>(SnapshotFileKind::TrackManifest)) {
        return false;
    }
    entry.kind = static_cast<SnapshotFileKind>(kind);
    if (!in.SizedText(entry.path, kMaxPathLength) || entry.path.Empty() || !in.Varint(entry.cost) ||
        entry.cost > kMaxCatalogueFileBytes || !in.Varint(entry.stamp.size) ||
        entry.stamp.size != entry.cost || !in.Fixed(time, 8)) {
        return false;
    }
    entry.stamp.writeTime = static_cast<int64_t>(time);
    return ReadJournal(in, entry, texts);
}

bool EntryBefore(const SnapshotEntry& a, const SnapshotEntry& b) {
    return a.kind != b.kind ? a.kind < b.kind : std::strcmp(a.path.Get(), b.path.Get()) < 0;
}

bool ReadIdentity(Reader& in, VolumeIdentity& identity) {
    uint64_t time = 0;
    if (!in.Fixed(identity.serial, 8) || !in.Fixed(identity.indexSize, 8) || !in.Fixed(time, 8)) {
        return false;
    }
    identity.indexWriteTime = static_cast<int64_t>(time);
    return true;
}

}  // namespace

PathText::PathText(const char* a, size_t length, const char* b) : bytes_(a, a + length) {
    bytes_.insert(bytes_.end(), b, b + std::strlen(b) + 1);
}

PathText::PathText(const char* a) : PathText(a, std::strlen(a), "") {}

std::vector<char> EncodeSnapshot(const CatalogueSnapshot& snapshot,
                                 const std::vector<const SnapshotEntry*>& entries) {
    Writer out;
    // Each text takes its bytes, a slot and mostly one byte of length.
    size_t estimate = 64;
    for (const SnapshotEntry* entry : entries) {
        estimate +=
            entry->path.Length() + 32 + entry->journal.TextBytes() + 2 * entry->journal.Count();
    }
    out.Reserve(estimate);
    out.Bytes(kMagic, sizeof kMagic);
    out.Fixed(kVersion, 4);
    out.Fixed(snapshot.identity.serial, 8);
    out.Fixed(snapshot.identity.indexSize, 8);
    out.Fixed(static_cast<uint64_t>(snapshot.identity.indexWriteTime), 8);
    std::vector<const SnapshotEntry*> sorted = entries;
    std::sort(sorted.begin(), sorted.end(),
              [](const SnapshotEntry* a, const SnapshotEntry* b) { return EntryBefore(*a, *b); });
    out.Varint(sorted.size());
    for (const SnapshotEntry* entry : sorted) {
        WriteEntry(out, *entry);
    }
    std::vector<char>& bytes = out.Out();
    const uint32_t checksum = Checksum(bytes.data(), bytes.size());
    for (size_t i = 0; i < kChecksumBytes; ++i) {
        bytes.push_back(static_cast<char>((checksum >> (8 * i)) & 0xff));
    }
    return std::move(bytes);
}

std::optional<CatalogueSnapshot> DecodeSnapshot(const char* bytes, size_t size) {
    if (size < sizeof kMagic + 4 + kChecksumBytes || size > kMaxSnapshotBytes ||
        std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        return std::nullopt;
    }
    Reader trailer(bytes + size - kChecksumBytes, kChecksumBytes);
    uint64_t checksum = 0;
    trailer.Fixed(checksum, kChecksumBytes);
    if (checksum != Checksum(bytes, size - kChecksumBytes)) {
        return std::nullopt;
    }
    Reader in(bytes + sizeof kMagic, size - sizeof kMagic - kChecksumBytes);
    uint64_t version = 0;
    uint64_t count = 0;
    CatalogueSnapshot snapshot;
    // Every entry takes at least 13 bytes.
    if (!in.Fixed(version, 4) || version != kVersion || !ReadIdentity(in, snapshot.identity) ||
        !in.Varint(count) || count > in.Left() / 13) {
        return std::nullopt;
    }
    snapshot.entries.resize(static_cast<size_t>(count));
    size_t texts = 0;
    for (SnapshotEntry& entry : snapshot.entries) {
        if (!ReadEntry(in, entry, texts)) {
            return std::nullopt;
        }
    }
    // Bytes after the last entry are more than the entries explain.
    if (in.Left() != 0) {
        return std::nullopt;
    }
    // Written in order, each file once: anything else is no snapshot.
    for (size_t i = 1; i < snapshot.entries.size(); ++i) {
        if (!EntryBefore(snapshot.entries[i - 1], snapshot.entries[i])) {
            return std::nullopt;
        }
    }
    return snapshot;
}

PathText SnapshotPathBeside(const char* settingsPath) {
    if (settingsPath == nullptr || settingsPath[0] == 0) {
        return PathText();
    }
    size_t folder = 0;
    for (size_t i = 0; settingsPath[i] != 0; ++i) {
        if (settingsPath[i] == '/' || settingsPath[i] == '\\') {
            folder = i + 1;
        }
    }
    return PathText(settingsPath, folder, kSnapshotFileName);
}
