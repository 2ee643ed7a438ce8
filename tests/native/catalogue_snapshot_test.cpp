// A read from a snapshot gives the records a fresh read gives, whatever changed on the player.
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
    int named = 0;
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
    int filesRead;      // the files the read from the snapshot reads; -1: not checked
    bool writtenAsRead; // the player was written as it was read: no time tells
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
     [](Player& p) {
         ChangeByteAfter(p.root / p.image.albums[1].manifestPath, "<mpvm:Genre>");
     },
     1, false},
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
    // A load of the player in the current folder, from the snapshot when `snapshot`.
    std::string Load(bool snapshot, int* filesRead = nullptr) {
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        NamedFiles named;
        const std::string path = snapshot ? (settings_.Path() / kSnapshotFileName).string() : "";
        LoadCatalogueWithSnapshot(catalogue, &named, path, ceilings_);
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
        Load(true);
        ASSERT_TRUE(fs::exists(settings_.Path() / kSnapshotFileName));
        mutation.apply(player);
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
    ASSERT_TRUE(WriteSampleImage(first.Path().string(), SampleImageOptions{}));
    AgeAll(first.Path(), -3600);
    fs::copy(first.Path(), second.Path(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    for (const auto& e : fs::recursive_directory_iterator(first.Path())) {
        if (e.is_regular_file()) {
            fs::last_write_time(second.Path() / fs::relative(e.path(), first.Path()),
                                fs::last_write_time(e.path()));
        }
    }
    const std::string snapshot = (settings.Path() / kSnapshotFileName).string();
    std::string records[2];
    NamedFiles named[2];
    for (int i = 0; i < 2; ++i) {
        const CurrentDirGuard in(i == 0 ? first.Path() : second.Path());
        if (!ReadVolumeIdentity(kRoot)) {
            GTEST_SKIP() << "the system tells no identity of a folder";
        }
        DeviceCatalogue catalogue;
        catalogue.SetDriveRoot(kRoot);
        LoadCatalogueWithSnapshot(catalogue, &named[i], snapshot);
        records[i] = Records(catalogue);
    }
    EXPECT_EQ(records[0], records[1]);
    EXPECT_EQ(named[1].named, 0);
}

}  // namespace
