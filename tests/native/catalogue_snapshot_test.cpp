// A read from a snapshot gives the records a fresh read gives, whatever changed
// on the player.
#include "catalogue/snapshot_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/load_observer.h"
#include "tests/support/temp_dir.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

namespace fs = std::filesystem;
using testing_support::CurrentDirGuard;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

constexpr char kRoot[4] = "./";
const char kMusic[] = "SYSTEM/List/Music/music.mum";
const char kAlbums[] = "SYSTEM/List/Music/album.mum";

std::string Text(const char* text) {
    return text != nullptr ? text : "<none>";
}

// Every field of every record, one line each.
std::string Records(const DeviceCatalogue& catalogue) {
    std::string out;
    const CatalogueLists* lists = catalogue.Lists();
    for (const AlbumRecord* a = lists ? lists->FirstAlbum() : nullptr; a; a = a->Next()) {
        out += "album " + Text(a->ManifestPath()) + "|" + Text(a->Creator()) + "|" +
               Text(a->AlbumTitle()) + "|" + Text(a->Genre()) + "|" + Text(a->Recorded()) + "|" +
               Text(a->SearchKey()) + "\n";
    }
    for (const TrackRecord* t = catalogue.FirstTrack(); t; t = t->Next()) {
        out += "track";
        for (int i = 0; i < kTrackFieldCount; ++i) {
            out += "|" + Text(t->Text(static_cast<TrackField>(i)));
        }
        out += "\n";
    }
    return out;
}

// The files a load really read: the last count of files named.
class NamedFiles : public LoadObserver {
  public:
    void OnProgress(int, int filesNamed) override { named = filesNamed; }
    void OnFinished() override {
        if (finished) {
            finished();
        }
    }
    int named = 0;
    std::function<void()> finished;  // when every file is read
};

// The records of a load of the player in the current folder, from the
// snapshot at `snapshot` ("": a fresh read); the files it read in `filesRead`.
std::string Load(const fs::path& snapshot, int* filesRead = nullptr,
                 const LoadCeilings& ceilings = kLoadCeilings,
                 std::function<void()> finished = nullptr) {
    DeviceCatalogue catalogue;
    catalogue.SetDriveRoot(kRoot);
    NamedFiles named;
    named.finished = std::move(finished);
    LoadCatalogueWithSnapshot(catalogue, &named, snapshot.string().c_str(), ceilings);
    if (filesRead != nullptr) {
        *filesRead = named.named;
    }
    return Records(catalogue);
}

// Sets a file's last-write time `seconds` from now.
void Age(const fs::path& file, int seconds) {
    fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
}

void AgeAll(const fs::path& root, int seconds) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            Age(entry.path(), seconds);
        }
    }
}

// `from` replaced by `to` in the file, its time set `seconds` from now.
void Rewrite(const fs::path& file, const std::string& from, const std::string& to, int seconds) {
    std::string text = ReadFile(file);
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    WriteFile(file, text);
    Age(file, seconds);
}

// The byte after the first `marker` in the file changed, the size kept.
void ChangeByteAfter(const fs::path& file, const std::string& marker) {
    std::string text = ReadFile(file);
    const size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos) << marker;
    char& c = text[at + marker.size()];
    c = c == 'Q' ? 'R' : 'Q';
    WriteFile(file, text);
    Age(file, -600);
}

struct Player {
    fs::path root;
    SampleImage image;
    std::string Manifest(int i) const { return image.tracks[static_cast<size_t>(i)].manifestPath; }
    // A link to `path` before the first of music.mum.
    void AddLink(const std::string& path) const {
        Rewrite(root / kMusic, "<mpv:ManifestLink>",
                "<mpv:ManifestLink><mpv:LastURL>" + path +
                    "</mpv:LastURL></mpv:ManifestLink><mpv:ManifestLink>",
                -600);
    }
};

// A player of 40 tracks written an hour ago in a folder of its own, the
// current folder; the snapshot goes to a settings folder of its own.
class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SampleImageOptions options;
        options.trackCount = 40;
        player_.image = DescribeSampleImage(options);
        ASSERT_TRUE(WriteSampleImage(player_.root.string(), options));
        AgeAll(player_.root, -3600);
        inPlayer_.emplace(player_.root);
        if (!ReadVolumeIdentity(kRoot)) {
            GTEST_SKIP() << "the system tells no identity of a folder";
        }
    }

    TempDir image_;
    TempDir settings_;
    Player player_{image_.Path(), {}};
    const fs::path snapshot_ = settings_.Path() / kSnapshotFileName;
    std::optional<CurrentDirGuard> inPlayer_;
};

struct Mutation {
    const char* name;
    std::function<void(Player&)> apply;
    int filesRead;       // the files the read from the snapshot reads; -1: not checked
    bool writtenAsRead;  // the player was written as it was read: no time tells
    // Applied when the first read has read every file, before it leaves its
    // snapshot.
    bool duringFirstRead = false;
};

// By name: gtest would print the bytes, padding and all.
void PrintTo(const Mutation& m, std::ostream* out) {
    *out << m.name;
}

const char kNewManifest[] = "SYSTEM/List/Music/Track/new.mpv";

const Mutation kMutations[] = {
    {"Nothing", [](Player&) {}, 0, false},
    {"TitleRewrittenSameSize",
     [](Player& p) { ChangeByteAfter(p.root / p.Manifest(3), "<dc:title>"); }, 1, false},
    {"ManifestAdded",
     [](Player& p) {
         fs::copy_file(p.root / p.Manifest(0), p.root / kNewManifest);
         p.AddLink(kNewManifest);
     },
     2, false},
    {"ManifestRemoved", [](Player& p) { fs::remove(p.root / p.Manifest(5)); }, 1, false},
    {"ManifestRenamed",
     [](Player& p) {
         fs::rename(p.root / p.Manifest(5), p.root / kNewManifest);
         Rewrite(p.root / kMusic, p.Manifest(5), kNewManifest, -600);
     },
     2, false},
    {"ManifestLinkedTwice", [](Player& p) { p.AddLink(p.Manifest(7)); }, 1, false},
    {"ManifestDamaged",
     [](Player& p) {
         const std::string text = ReadFile(p.root / p.Manifest(2));
         WriteFile(p.root / p.Manifest(2), text.substr(0, text.size() / 2));
         Age(p.root / p.Manifest(2), -600);
     },
     1, false},
    // Its first link now names a file that is not there.
    {"MusicCatalogueChanged", [](Player& p) { ChangeByteAfter(p.root / kMusic, "<mpv:LastURL>"); },
     2, false},
    {"AlbumCatalogueChanged",
     [](Player& p) { ChangeByteAfter(p.root / kAlbums, "<mpvm:AlbumTitle>"); }, 1, false},
    {"AlbumManifestChanged",
     [](Player& p) { ChangeByteAfter(p.root / p.image.albums[1].manifestPath, "<mpvm:Genre>"); }, 1,
     false},
    // Written as the snapshot was: its time tells nothing, so a rewrite of
    // the same size with the same time is still found.
    {"WrittenWithinTheResolutionOfTheRead",
     [](Player& p) {
         const fs::path file = p.root / p.Manifest(4);
         const auto time = fs::last_write_time(file);
         ChangeByteAfter(file, "<dc:title>");
         fs::last_write_time(file, time);
     },
     -1, true},
    // Rewritten after its read, with a time kept from elsewhere (as a copy
    // that keeps times leaves it): the snapshot holds the stamp the read found.
    {"RewrittenAfterItsRead",
     [](Player& p) { ChangeByteAfter(p.root / p.Manifest(6), "<dc:title>"); }, 1, false, true},
    // Same stamps everywhere, other texts: only the player's identity tells.
    {"AnotherPlayerOnTheSameRoot",
     [](Player& p) {
         std::vector<std::pair<fs::path, fs::file_time_type>> times;
         for (const auto& e : fs::recursive_directory_iterator(p.root / "SYSTEM")) {
             if (e.is_regular_file()) {
                 times.emplace_back(e.path(), fs::last_write_time(e.path()));
             }
         }
         SampleImageOptions other;
         other.seed = 99;
         other.trackCount = 40;
         ASSERT_TRUE(WriteSampleImage(p.root.string(), other));
         WriteFile(p.root / "index.mum", "another player's index, longer");
         for (const auto& [file, time] : times) {
             if (fs::exists(file)) {
                 fs::last_write_time(file, time);
             }
         }
     },
     -1, false},
};

class SnapshotReadTest : public SnapshotTest, public ::testing::WithParamInterface<Mutation> {
  protected:
    // Reads the player once to leave the snapshot, changes it: the read from
    // the snapshot, the next one and a fresh read agree.
    void Check(const LoadCeilings& ceilings, bool countsFiles) {
        const Mutation& mutation = GetParam();
        if (mutation.writtenAsRead) {
            AgeAll(player_.root, 0);
        }
        if (mutation.duringFirstRead) {
            Load(snapshot_, nullptr, ceilings, [&] { mutation.apply(player_); });
        } else {
            Load(snapshot_, nullptr, ceilings);
            mutation.apply(player_);
        }
        ASSERT_TRUE(fs::exists(snapshot_));
        int filesRead = 0;
        const std::string fromSnapshot = Load(snapshot_, &filesRead, ceilings);
        const std::string fresh = Load("", nullptr, ceilings);
        EXPECT_EQ(fromSnapshot, fresh);
        EXPECT_EQ(Load(snapshot_, nullptr, ceilings), fresh)
            << "the snapshot the changed player left";
        if (countsFiles && mutation.filesRead >= 0) {
            EXPECT_EQ(filesRead, mutation.filesRead);
        }
    }
};

TEST_P(SnapshotReadTest, GivesTheRecordsOfAFreshRead) {
    Check(kLoadCeilings, true);
}

// The load's ceilings stop both reads at the same track.
TEST_P(SnapshotReadTest, StopsWhereAFreshReadStops) {
    LoadCeilings ceilings = kLoadCeilings;
    ceilings.tracks = 25;
    Check(ceilings, false);
}

INSTANTIATE_TEST_SUITE_P(Mutations, SnapshotReadTest, ::testing::ValuesIn(kMutations),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SnapshotTest, TheSamePlayerElsewhereIsReadFromItsSnapshot) {
    const std::string here = Load(snapshot_);
    TempDir elsewhere;
    const fs::path copy = elsewhere.Path() / "player";
    fs::copy(player_.root, copy, fs::copy_options::recursive);
    for (const auto& e : fs::recursive_directory_iterator(player_.root)) {
        if (e.is_regular_file()) {
            fs::last_write_time(copy / fs::relative(e.path(), player_.root),
                                fs::last_write_time(e.path()));
        }
    }
    const CurrentDirGuard inCopy(copy);
    int filesRead = -1;
    EXPECT_EQ(Load(snapshot_, &filesRead), here);
    EXPECT_EQ(filesRead, 0);
}

// A snapshot that cannot be written (its folder is gone) costs the read
// nothing but the snapshot; one on the player is never written.
TEST_F(SnapshotTest, NoSnapshotWrittenChangesNothingButTheTime) {
    const std::string fresh = Load("");
    for (const char* path : {"no-such-folder/ml_kovra.cache", "./ml_kovra.cache"}) {
        EXPECT_EQ(Load(path), fresh) << path;
        EXPECT_FALSE(fs::exists(path)) << path;
    }
}

uint32_t Fnv1a(const std::string& bytes) {
    uint32_t hash = 2166136261u;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// The stored form with its last four bytes made its checksum again, so that
// what is checked past the checksum is reached.
std::string Resealed(std::string bytes) {
    bytes.resize(bytes.size() - 4);
    const uint32_t sum = Fnv1a(bytes);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((sum >> (8 * i)) & 0xff));
    }
    return bytes;
}

// The stored form with the byte at `at` changed.
std::string Flipped(std::string bytes, size_t at) {
    bytes[at] ^= 0x21;
    return bytes;
}

struct DamagedSnapshot {
    const char* name;
    std::string (*damage)(const std::string& good);
};

void PrintTo(const DamagedSnapshot& d, std::ostream* out) {
    *out << d.name;
}

constexpr size_t kCountOffset = 8 + 4 + 24;  // after the magic, the version and the identity

const DamagedSnapshot kDamagedSnapshots[] = {
    {"Empty", [](const std::string&) { return std::string(); }},
    {"Truncated", [](const std::string& s) { return s.substr(0, s.size() / 2); }},
    {"TruncatedAndResealed",
     [](const std::string& s) { return Resealed(s.substr(0, s.size() / 2)); }},
    {"AByteChanged", [](const std::string& s) { return Flipped(s, s.size() / 2); }},
    {"OtherVersion", [](const std::string& s) { return Resealed(Flipped(s, 8)); }},
    {"OtherPlayer", [](const std::string& s) { return Resealed(Flipped(s, 12)); }},
    {"BytesAfterItsEntries",
     [](const std::string& s) { return Resealed(s + std::string(40, 'x')); }},
    {"CountBeyondItsBytes",
     [](const std::string& s) {
         return Resealed(s.substr(0, kCountOffset) + "\xff\xff\xff\xff\x0f" +
                         s.substr(kCountOffset));
     }},
    {"NotASnapshot", [](const std::string&) { return std::string(4096, '\0'); }},
};

class DamagedSnapshotTest : public SnapshotTest,
                            public ::testing::WithParamInterface<DamagedSnapshot> {};

// Set aside whole: a full read, then a sound snapshot in its place.
TEST_P(DamagedSnapshotTest, IsReadAsNoneAndReplaced) {
    int everyFile = 0;
    const std::string fresh = Load(snapshot_, &everyFile);
    WriteFile(snapshot_, GetParam().damage(ReadFile(snapshot_)));
    int filesRead = 0;
    EXPECT_EQ(Load(snapshot_, &filesRead), fresh);
    EXPECT_EQ(filesRead, everyFile);
    const std::string replaced = ReadFile(snapshot_);
    EXPECT_TRUE(DecodeSnapshot(replaced.data(), replaced.size()));
}

INSTANTIATE_TEST_SUITE_P(Snapshots, DamagedSnapshotTest, ::testing::ValuesIn(kDamagedSnapshots),
                         [](const auto& info) { return std::string(info.param.name); });

// Journals that no read writes are refused, though sealed as sound; one
// sound file is taken, the same file twice is not.
TEST(DecodeSnapshot, RefusesJournalsNoReadWrites) {
    const struct {
        const char* name;
        SnapshotFileKind kind;
        std::vector<std::pair<int, const char*>> items;
    } cases[] = {
        {"TrackSlotOutOfOrder", SnapshotFileKind::TrackManifest, {{1, "a"}}},
        {"TrackCut", SnapshotFileKind::TrackManifest, {{0, "a"}, {1, "b"}}},
        {"AlbumManifestSlot4", SnapshotFileKind::AlbumManifest, {{4, "a"}}},
        {"AlbumManifestNone", SnapshotFileKind::AlbumManifest, {{0, nullptr}}},
        {"MusicLinkNone", SnapshotFileKind::MusicCatalogue, {{0, nullptr}}},
        {"TitleBeforeAnAlbum", SnapshotFileKind::AlbumCatalogue, {{kAlbumOpTitle, "t"}}},
        {"FollowBeforeAnAlbum", SnapshotFileKind::AlbumCatalogue, {{kAlbumOpFollow, nullptr}}},
        {"CountAfterAnAlbum",
         SnapshotFileKind::AlbumCatalogue,
         {{kAlbumOpNew, nullptr}, {kAlbumOpCount, "x"}}},
        {"AlbumOpBeyondTheLast", SnapshotFileKind::AlbumCatalogue, {{kAlbumOpFollow + 1, nullptr}}},
    };
    for (const auto& c : cases) {
        SnapshotEntry entry;
        entry.kind = c.kind;
        entry.path = PathText("SYSTEM/x.mpv");
        for (const auto& [slot, text] : c.items) {
            entry.journal.Add(slot, text);
        }
        const std::vector<char> bytes = EncodeSnapshot(CatalogueSnapshot(), {&entry});
        EXPECT_FALSE(DecodeSnapshot(bytes.data(), bytes.size())) << c.name;
    }
    SnapshotEntry sound;
    sound.path = PathText("SYSTEM/x.mpv");
    for (int i = 0; i < kTrackFieldCount; ++i) {
        sound.journal.Add(i, i == 3 ? nullptr : "t");
    }
    const std::vector<char> twice = EncodeSnapshot(CatalogueSnapshot(), {&sound, &sound});
    EXPECT_FALSE(DecodeSnapshot(twice.data(), twice.size())) << "one file twice";
    const std::vector<char> once = EncodeSnapshot(CatalogueSnapshot(), {&sound});
    EXPECT_TRUE(DecodeSnapshot(once.data(), once.size()));
}

}  // namespace
