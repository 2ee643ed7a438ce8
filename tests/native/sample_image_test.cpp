// The sample image generator: reproducible bytes, and images the loader reads
// back as described.
#include "tools/kovra-make-image/sample_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/catalogue_steps.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::CurrentDirGuard;
using testing_support::ReadFile;
using testing_support::TempDir;

// Every file below `root`, by its path relative to root, with its bytes.
std::map<std::string, std::string> ReadTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).generic_string()] = ReadFile(entry.path());
        }
    }
    return files;
}

std::string Text(const char* text) {
    return text != nullptr ? text : "<none>";
}

std::vector<std::string> Fields(const SampleAlbum& a) {
    return {a.manifestPath, a.creator, a.title, a.genre, a.recorded, a.searchKey};
}

std::vector<std::string> Fields(const AlbumRecord& a) {
    return {Text(a.ManifestPath()), Text(a.Creator()),  Text(a.AlbumTitle()),
            Text(a.Genre()),        Text(a.Recorded()), Text(a.SearchKey())};
}

// In TrackField order.
std::vector<std::string> Fields(const SampleTrack& t) {
    return {t.lastUrl,   t.creator,     t.title,      t.musicBy, t.genre,     t.recorded,
            t.playCount, t.playingTime, t.lastPlayed, t.volume,  t.searchKey, t.controlFlag};
}

std::vector<std::string> Fields(const TrackRecord& t) {
    std::vector<std::string> fields;
    for (int i = 0; i < kTrackFieldCount; ++i) {
        fields.push_back(Text(t.Text(static_cast<TrackField>(i))));
    }
    return fields;
}

// Loads the image in `folder` the way the plug-in does with an empty drive
// root.
void Load(const fs::path& folder, DeviceCatalogue& catalogue) {
    CurrentDirGuard inside(folder);
    LoadCatalogue(catalogue);
}

struct ImageCase {
    unsigned seed;
    int trackCount;
};

const ImageCase kImageCases[] = {{1, 200}, {2, 1}, {3, 0}, {4, 13}, {99, 57}, {7, 2}};

TEST(SampleImageTest, LoaderReadsBackExactlyTheDescribedAlbumsAndTracks) {
    for (const ImageCase& c : kImageCases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed) + ", " + std::to_string(c.trackCount) +
                     " tracks");
        const SampleImageOptions options{c.seed, c.trackCount};
        const SampleImage described = DescribeSampleImage(options);
        ASSERT_EQ(described.tracks.size(), static_cast<size_t>(c.trackCount));

        TempDir image;
        ASSERT_TRUE(WriteSampleImage(image.Path().string(), options));
        DeviceCatalogue catalogue;
        Load(image.Path(), catalogue);

        std::vector<std::vector<std::string>> albums;
        for (const AlbumRecord* a = catalogue.Lists()->FirstAlbum(); a; a = a->Next()) {
            albums.push_back(Fields(*a));
        }
        std::vector<std::vector<std::string>> expectedAlbums;
        for (const SampleAlbum& a : described.albums) {
            expectedAlbums.push_back(Fields(a));
        }
        EXPECT_EQ(albums, expectedAlbums);

        std::vector<std::vector<std::string>> tracks;
        for (const TrackRecord* t = catalogue.FirstTrack(); t; t = t->Next()) {
            tracks.push_back(Fields(*t));
        }
        std::vector<std::vector<std::string>> expectedTracks;
        for (const SampleTrack& t : described.tracks) {
            expectedTracks.push_back(Fields(t));
        }
        EXPECT_EQ(tracks.size(), static_cast<size_t>(c.trackCount));
        EXPECT_EQ(tracks, expectedTracks);
    }
}

TEST(SampleImageTest, SameSeedWritesTheSameBytesAndAnotherSeedDoesNot) {
    for (const ImageCase& c : kImageCases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed) + ", " + std::to_string(c.trackCount) +
                     " tracks");
        TempDir first, second, other;
        ASSERT_TRUE(WriteSampleImage(first.Path().string(), {c.seed, c.trackCount}));
        ASSERT_TRUE(WriteSampleImage(second.Path().string(), {c.seed, c.trackCount}));
        ASSERT_TRUE(WriteSampleImage(other.Path().string(), {c.seed + 1000, c.trackCount}));
        const auto files = ReadTree(first.Path());
        EXPECT_EQ(files, ReadTree(second.Path()));
        if (c.trackCount > 0) {
            EXPECT_NE(files, ReadTree(other.Path()));
        }
    }
}

// The read-speed probe reads these files as the load would: each once, all but
// index.mum.
TEST(SampleImageTest, CatalogueFilesAreEveryFileALoadReadsInItsOrder) {
    for (const ImageCase& c : kImageCases) {
        SCOPED_TRACE("seed " + std::to_string(c.seed));
        TempDir folder;
        ASSERT_TRUE(WriteSampleImage(folder.Path().string(), {c.seed, c.trackCount}));
        const SampleImage image = DescribeSampleImage({c.seed, c.trackCount});
        const std::vector<std::string> files = CatalogueFilesInReadOrder(image);
        std::set<std::string> named(files.begin(), files.end());
        EXPECT_EQ(named.size(), files.size()) << "a file named twice";
        named.insert("index.mum");
        std::set<std::string> written;
        for (const auto& file : ReadTree(folder.Path())) {
            written.insert(file.first);
        }
        EXPECT_EQ(named, written);
        ASSERT_GE(files.size(), image.albums.size() + 2);
        EXPECT_EQ(files.front(), "SYSTEM/List/Music/album.mum");
        EXPECT_EQ(files[image.albums.size() + 1], "SYSTEM/List/Music/music.mum");
        if (!image.tracks.empty()) {
            EXPECT_EQ(files[image.albums.size() + 2], image.tracks.front().manifestPath);
        }
    }
}

// The Windows build writes the image too: a text-mode stream there would turn
// LF into CR LF.
TEST(SampleImageTest, EveryFileIsUtf8XmlWithLfLineEnds) {
    TempDir image;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), {5, 40}));
    const auto files = ReadTree(image.Path());
    EXPECT_EQ(files.count("index.mum"), 1u);
    EXPECT_EQ(files.count("SYSTEM/List/Music/album.mum"), 1u);
    EXPECT_EQ(files.count("SYSTEM/List/Music/music.mum"), 1u);
    for (const auto& [path, bytes] : files) {
        SCOPED_TRACE(path);
        EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
        EXPECT_EQ(bytes.find('\r'), std::string::npos);
    }
}

// An intact player has every audio file its catalogue names; a rewrite without
// them leaves none.
TEST(SampleImageTest, AudioFilesOptionWritesAnEmptyFileAtEveryTrackPath) {
    TempDir image;
    SampleImageOptions options{6, 30};
    options.audioFiles = true;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), options));
    for (const SampleTrack& t : DescribeSampleImage(options).tracks) {
        const fs::path audio = image.Path() / fs::u8path(t.lastUrl.substr(1));
        EXPECT_TRUE(fs::is_regular_file(audio) && fs::file_size(audio) == 0) << t.lastUrl;
    }
    options.audioFiles = false;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), options));
    EXPECT_FALSE(fs::exists(image.Path() / "MUSIC"));
}

bool HasNonAscii(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool ContainsNoCase(std::string text, const std::string& lowerNeedle) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return text.find(lowerNeedle) != std::string::npos;
}

// What the view, search and benchmark tests count on finding in the default
// image.
TEST(SampleImageTest, DefaultImageHoldsTheVarietyTheOtherTestsNeed) {
    const SampleImage image = DescribeSampleImage({});
    ASSERT_EQ(image.tracks.size(), 200u);
    EXPECT_GE(image.albums.size(), 200u / 14);
    EXPECT_LE(image.albums.size(), 200u / 8 + 1);

    int theArtists = 0, otherArtists = 0, nonAscii = 0, markup = 0, theBeat = 0;
    std::map<std::string, int> perManifest;
    for (const SampleTrack& t : image.tracks) {
        SCOPED_TRACE(t.lastUrl);
        EXPECT_EQ(t.lastUrl.rfind("/MUSIC/", 0), 0u);
        EXPECT_LT(t.lastUrl.size(), 120u);
        const int seconds = std::stoi(t.playingTime);
        EXPECT_TRUE(seconds >= 30 && seconds <= 900);
        (t.creator.rfind("The ", 0) == 0 ? theArtists : otherArtists)++;
        nonAscii += HasNonAscii(t.title) || HasNonAscii(t.creator);
        markup += t.title.find_first_of("&<>") != std::string::npos;
        theBeat += ContainsNoCase(t.creator, "the beat") || ContainsNoCase(t.title, "the beat");
        ++perManifest[t.manifestPath];
    }
    EXPECT_GT(theArtists, 0);
    EXPECT_GT(otherArtists, 0);
    EXPECT_GE(nonAscii, 20);
    EXPECT_GT(markup, 0);
    EXPECT_GE(theBeat, 2);
    EXPECT_LE(theBeat, 40);

    int shared = 0;
    for (const auto& [path, count] : perManifest) {
        EXPECT_LE(count, 3) << path;
        shared += count > 1;
    }
    EXPECT_GT(shared, 0);
    EXPECT_LT(shared, static_cast<int>(perManifest.size()) / 4);
}

// A player plugged in while someone runs the generator must keep its real
// catalogue.
TEST(SampleImageTest, RefusesFoldersHoldingSomeoneElsesFiles) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;
        std::string root;  // below the temporary folder
    };
    const Case cases[] = {
        {"real player",
         {{"index.mum", "<?xml version=\"1.0\"?><mpv:mpv/>"},
          {"SYSTEM/List/Music/album.mum", "real albums"},
          {"SYSTEM/List/Music/Track/T00001.mpv", "real track"}},
         ""},
        {"catalogue without index.mum", {{"SYSTEM/List/Music/music.mum", "real music"}}, ""},
        {"root is a file", {{"plain.txt", "not a folder"}}, "plain.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        std::map<std::string, std::string> before;
        for (const auto& [path, bytes] : c.files) {
            folder.Write(path, bytes);
            before[path] = bytes;
        }
        EXPECT_FALSE(WriteSampleImage((folder.Path() / c.root).string(), {1, 20}));
        EXPECT_EQ(ReadTree(folder.Path()), before);
    }
}

TEST(SampleImageTest, RewritingASampleImageLeavesNoManifestsOfTheOldOne) {
    TempDir image;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), {1, 200}));
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), {2, 5}));

    TempDir fresh;
    ASSERT_TRUE(WriteSampleImage(fresh.Path().string(), {2, 5}));
    EXPECT_EQ(ReadTree(image.Path()), ReadTree(fresh.Path()));
}

}  // namespace
