// A read from a snapshot gives the records a fresh read gives, whatever changed
// on the player.
#include "catalogue/snapshot_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "catalogue/load_observer.h"
#include "tests/support/temp_dir.h"
#include "tools/sample_image/sample_image.h"

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

struct Mutation {
    const char* name;
    std::function<void(Player&)> apply;
    int filesRead;       // the files the read from the snapshot reads; -1: not checked
    bool writtenAsRead;  // the player was written as it was read: no time tells
    // Applied when the first read has read every file, before it leaves its
    // snapshot.
    bool duringFirstRead = false;
};

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

class SnapshotReadTest : public ::testing::TestWithParam<Mutation> {
  protected:
    // A load of the player in the current folder, from the snapshot when
    // `snapshot`.
    std::string Load(bool snapshot, int* filesRead = nullptr,
                     std::function<void()> finished = nullptr) {
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        NamedFiles named;
        named.finished = std::move(finished);
        const std::string path = snapshot ? (settings_.Path() / kSnapshotFileName).string() : "";
        LoadCatalogueWithSnapshot(catalogue, &named, path.c_str(), ceilings_);
        if (filesRead != nullptr) {
            *filesRead = named.named;
        }
        return Records(catalogue);
    }

    // Writes the player, reads it once to leave the snapshot, changes it:
    // the read from the snapshot, the next one and a fresh read agree.
    void Check(const Mutation& mutation, int tracks) {
        Player player{image_.Path(), {}};
        SampleImageOptions options;
        options.trackCount = tracks;
        player.image = DescribeSampleImage(options);
        ASSERT_TRUE(WriteSampleImage(player.root.string(), options));
        const CurrentDirGuard inImage(player.root);
        if (!ReadVolumeIdentity(kRoot)) {
            GTEST_SKIP() << "the system tells no identity of a folder";
        }
        AgeAll(player.root, mutation.writtenAsRead ? 0 : -3600);
        if (mutation.duringFirstRead) {
            Load(true, nullptr, [&] { mutation.apply(player); });
        } else {
            Load(true);
            mutation.apply(player);
        }
        ASSERT_TRUE(fs::exists(settings_.Path() / kSnapshotFileName));
        int filesRead = 0;
        const std::string fromSnapshot = Load(true, &filesRead);
        const std::string fresh = Load(false);
        EXPECT_EQ(fromSnapshot, fresh);
        EXPECT_EQ(Load(true), fresh) << "the snapshot the changed player left";
        if (mutation.filesRead >= 0) {
            EXPECT_EQ(filesRead, mutation.filesRead);
        }
    }

    TempDir image_;
    TempDir settings_;
    LoadCeilings ceilings_ = kLoadCeilings;
};

TEST_P(SnapshotReadTest, GivesTheRecordsOfAFreshRead) {
    Check(GetParam(), 40);
}

// The load's ceilings stop both reads at the same track.
TEST_P(SnapshotReadTest, StopsWhereAFreshReadStops) {
    ceilings_.tracks = 25;
    Check(Mutation{GetParam().name, GetParam().apply, -1, GetParam().writtenAsRead}, 40);
}

INSTANTIATE_TEST_SUITE_P(Mutations, SnapshotReadTest, ::testing::ValuesIn(kMutations),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SnapshotRead, TheSamePlayerElsewhereIsReadFromItsSnapshot) {
    TempDir first;
    TempDir second;
    TempDir settings;
    const fs::path copy = second.Path() / "player";
    ASSERT_TRUE(WriteSampleImage(first.Path().string(), SampleImageOptions{}));
    AgeAll(first.Path(), -3600);
    fs::copy(first.Path(), copy, fs::copy_options::recursive);
    for (const auto& e : fs::recursive_directory_iterator(first.Path())) {
        if (e.is_regular_file()) {
            fs::last_write_time(copy / fs::relative(e.path(), first.Path()),
                                fs::last_write_time(e.path()));
        }
    }
    const std::string snapshot = (settings.Path() / kSnapshotFileName).string();
    std::string records[2];
    NamedFiles named[2];
    for (int i = 0; i < 2; ++i) {
        const CurrentDirGuard in(i == 0 ? first.Path() : copy);
        if (!ReadVolumeIdentity(kRoot)) {
            GTEST_SKIP() << "the system tells no identity of a folder";
        }
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        LoadCatalogueWithSnapshot(catalogue, &named[i], snapshot.c_str());
        records[i] = Records(catalogue);
    }
    EXPECT_EQ(records[0], records[1]);
    EXPECT_EQ(named[1].named, 0);
}

}  // namespace

namespace {

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
    {"AByteChanged",
     [](const std::string& s) {
         std::string d = s;
         d[d.size() / 2] ^= 0x20;
         return d;
     }},
    {"OtherVersion",
     [](const std::string& s) {
         std::string d = s;
         ++d[8];
         return Resealed(d);
     }},
    {"OtherPlayer",
     [](const std::string& s) {
         std::string d = s;
         d[12] ^= 1;
         return Resealed(d);
     }},
    {"BytesAfterItsEntries",
     [](const std::string& s) { return Resealed(s + std::string(40, 'x')); }},
    {"CountBeyondItsBytes",
     [](const std::string& s) {
         return Resealed(s.substr(0, kCountOffset) + "\xff\xff\xff\xff\x0f" +
                         s.substr(kCountOffset));
     }},
    {"NotASnapshot", [](const std::string&) { return std::string(4096, '\0'); }},
};

class DamagedSnapshotTest : public ::testing::TestWithParam<DamagedSnapshot> {};

// Set aside whole: a full read, then a sound snapshot in its place.
TEST_P(DamagedSnapshotTest, IsReadAsNoneAndReplaced) {
    TempDir image;
    TempDir settings;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), SampleImageOptions{}));
    AgeAll(image.Path(), -3600);
    const CurrentDirGuard in(image.Path());
    if (!ReadVolumeIdentity(kRoot)) {
        GTEST_SKIP() << "the system tells no identity of a folder";
    }
    const fs::path cache = settings.Path() / kSnapshotFileName;
    auto load = [&](int& filesRead) {
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        NamedFiles named;
        LoadCatalogueWithSnapshot(catalogue, &named, cache.string().c_str());
        filesRead = named.named;
        return Records(catalogue);
    };
    int everyFile = 0;
    const std::string fresh = load(everyFile);
    WriteFile(cache, GetParam().damage(ReadFile(cache)));
    int filesRead = 0;
    EXPECT_EQ(load(filesRead), fresh);
    EXPECT_EQ(filesRead, everyFile);
    const std::string replaced = ReadFile(cache);
    EXPECT_TRUE(DecodeSnapshot(replaced.data(), replaced.size()));
}

INSTANTIATE_TEST_SUITE_P(Snapshots, DamagedSnapshotTest, ::testing::ValuesIn(kDamagedSnapshots),
                         [](const auto& info) { return std::string(info.param.name); });

// Journals that no read writes are refused, though sealed as sound.
struct ImpossibleJournal {
    const char* name;
    SnapshotFileKind kind;
    std::vector<std::pair<int, const char*>> items;
};

TEST(DecodeSnapshot, RefusesJournalsNoReadWrites) {
    const ImpossibleJournal cases[] = {
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
    for (const ImpossibleJournal& c : cases) {
        CatalogueSnapshot snapshot;
        SnapshotEntry entry;
        entry.kind = c.kind;
        entry.path = PathText("SYSTEM/x.mpv");
        for (const auto& [slot, text] : c.items) {
            entry.journal.Add(slot, text);
        }
        const std::vector<char> bytes = EncodeSnapshot(snapshot, {&entry});
        EXPECT_FALSE(DecodeSnapshot(bytes.data(), bytes.size())) << c.name;
    }
    SnapshotEntry sound;
    sound.path = PathText("SYSTEM/x.mpv");
    for (int i = 0; i < kTrackFieldCount; ++i) {
        sound.journal.Add(i, i == 3 ? nullptr : "t");
    }
    const std::vector<char> bytes = EncodeSnapshot(CatalogueSnapshot(), {&sound, &sound});
    EXPECT_FALSE(DecodeSnapshot(bytes.data(), bytes.size())) << "one file twice";
    const std::vector<char> once = EncodeSnapshot(CatalogueSnapshot(), {&sound});
    EXPECT_TRUE(DecodeSnapshot(once.data(), once.size()));
}

}  // namespace

namespace {

// A snapshot that cannot be written (its folder is gone) costs the read
// nothing but the snapshot; one on the player is never written.
TEST(SnapshotRead, NoSnapshotWrittenChangesNothingButTheTime) {
    TempDir image;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), SampleImageOptions{}));
    AgeAll(image.Path(), -3600);
    const CurrentDirGuard in(image.Path());
    DeviceCatalogue fresh;
    fresh.SetDriveRoot(kRoot);
    LoadCatalogue(fresh);
    for (const char* path : {"no-such-folder/ml_kovra.cache", "./ml_kovra.cache"}) {
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        LoadCatalogueWithSnapshot(catalogue, nullptr, path);
        EXPECT_EQ(Records(catalogue), Records(fresh)) << path;
        EXPECT_FALSE(fs::exists(path)) << path;
    }
}

}  // namespace
