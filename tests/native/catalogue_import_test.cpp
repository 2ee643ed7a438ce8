// From catalogue tracks to library rows.
#include "library/catalogue_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue_records.h"
#include "catalogue/load_observer.h"
#include "catalogue/player_files.h"
#include "catalogue/xml_buffer.h"
#include "base/debug_output.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

using testing_support::CurrentDirGuard;
using testing_support::OwnedLists;
using testing_support::TempDir;
using testing_support::WriteFile;

std::vector<std::string> g_debugLines;

void CaptureDebugLine(const char* line) {
    g_debugLines.emplace_back(line);
}

class DebugCapture {
  public:
    DebugCapture() : previous_(SetDebugSink(CaptureDebugLine)) { g_debugLines.clear(); }
    ~DebugCapture() { SetDebugSink(previous_); }

  private:
    DebugSink previous_;
};

void Locate(DeviceCatalogue&) {}

// A sample player of `tracks` tracks in a fresh folder, which is the current
// folder (the empty drive root) while the object lives.
class SamplePlayerHere {
  public:
    explicit SamplePlayerHere(int tracks) {
        SampleImageOptions options;
        options.trackCount = tracks;
        written = WriteSampleImage(image_.Path().string(), options);
        inside_.emplace(image_.Path());
    }
    bool written = false;

  private:
    TempDir image_;
    std::optional<CurrentDirGuard> inside_;
};

// Keeps the last progress of a load, how many reports came, and which
// report the end of the load came after.
class ProgressObserver : public ImportObserver {
  public:
    void OnProgress(int filesRead, int filesNamed) override {
        read = filesRead;
        named = filesNamed;
        ++calls;
    }
    void OnFinished() override { finishedAt = calls; }
    void OnRowsAdded(int added, int total) override {
        EXPECT_EQ(finishedAt, calls) << "rows are added once the load is over";
        EXPECT_EQ(added, ++rowsAdded);
        EXPECT_EQ(total, 40);
    }
    int read = 0;
    int finishedAt = -1;
    int named = 0;
    int calls = 0;
    int rowsAdded = 0;
};

TEST(ImportCatalogue, OneRowPerTrackThenTheSampleRow) {
    TempDir image;
    SampleImageOptions options;
    options.trackCount = 40;
    ASSERT_TRUE(WriteSampleImage(image.Path().string(), options));
    const SampleImage expected = DescribeSampleImage(options);

    OwnedLists lists;
    lists.Add({"an earlier read's"})->origin = RowOrigin::Sample;
    DeviceCatalogue catalogue;
    DebugCapture capture;
    ProgressObserver progress;
    {
        CurrentDirGuard inside(image.Path());
        ImportCatalogue(catalogue, lists, Locate, &progress);
    }
    // Every catalogue file counted and read, with one report per file read
    // and one for each naming (the two catalogues, then what each links).
    const int files = static_cast<int>(CatalogueFilesInReadOrder(expected).size());
    EXPECT_EQ(progress.read, files);
    EXPECT_EQ(progress.named, files);
    EXPECT_EQ(progress.calls, files + 3);
    EXPECT_EQ(progress.finishedAt, progress.calls) << "told last";
    EXPECT_EQ(progress.rowsAdded, 40);
    ASSERT_EQ(lists.library.Count(), 41);  // the earlier sample row is gone
    for (int i = 0; i < 40; ++i) {
        const LibraryItem* row = lists.library.Get(i);
        const SampleTrack& track = expected.tracks[i];
        EXPECT_STREQ(row->filename, track.lastUrl.c_str());  // no drive found: no drive part
        EXPECT_STREQ(row->album, "UHM NOT YET");
        EXPECT_STREQ(row->artist, track.creator.c_str());
        EXPECT_EQ(row->length, std::stoi(track.playingTime));
        EXPECT_EQ(row->year, std::stoi(track.recorded));
        EXPECT_EQ(row->track, 1);
    }
    const LibraryItem* sample = lists.library.Get(40);
    EXPECT_STREQ(sample->artist, "Nullsoft Band");
    EXPECT_STREQ(sample->title, "Uhmm errors?");
    EXPECT_STREQ(sample->album, "SEP");
    EXPECT_STREQ(sample->genre, "Shit");
    EXPECT_EQ(sample->length, 666);
    EXPECT_EQ(sample->year, 2003);
    EXPECT_EQ(std::string(sample->filename).rfind("http://", 0), 0u);
    ASSERT_EQ(g_debugLines.size(), 40u);
    EXPECT_EQ(g_debugLines.front(), "Adding Song 0\n");
    EXPECT_EQ(g_debugLines.back(), "Adding Song 39\n");
}

TEST(ImportCatalogue, WithoutAPlayerOnlyTheSampleRowIsLeft) {
    TempDir empty;
    OwnedLists lists;
    DeviceCatalogue catalogue;
    CurrentDirGuard inside(empty.Path());
    ImportCatalogue(catalogue, lists, Locate);
    ASSERT_EQ(lists.library.Count(), 1);
    EXPECT_STREQ(lists.library.Get(0)->artist, "Nullsoft Band");
    EXPECT_FALSE(lists.player.has_value());
    EXPECT_TRUE(lists.playerRead);  // a player that comes later is read
}

// A read as at a fresh start keeps the host's rows where they are and
// replaces the player's and the one sample row.
TEST(ImportCatalogue, ReadingAgainKeepsTheHostsRowsAndOneSampleRow) {
    const SamplePlayerHere player(3);
    ASSERT_TRUE(player.written);
    OwnedLists lists;
    DeviceCatalogue catalogue;
    ImportCatalogue(catalogue, lists, Locate);
    lists.Add({"Latecomers", "Late Arrival"});
    ImportCatalogue(catalogue, lists, Locate);
    ImportCatalogue(catalogue, lists, Locate);
    ASSERT_EQ(lists.library.Count(), 5);
    EXPECT_STREQ(lists.library.Get(0)->title, "Late Arrival");
    EXPECT_EQ(lists.library.Get(1)->origin, RowOrigin::Device);
    EXPECT_EQ(lists.library.Get(4)->origin, RowOrigin::Sample);
}

// Once a failed read finds the player gone, nothing more is asked of the
// drive, even when the player is back: the load ends at once.
TEST(PlayerFiles, AFailureThatFindsThePlayerGoneEndsEveryLaterRead) {
    TempDir folder;
    CurrentDirGuard inside(folder.Path());
    WriteFile("p/index.mum", "<index/>");
    WriteFile("p/kept.xml", "<kept/>");
    if (!PlayerAt("p/")) {
        GTEST_SKIP() << "a folder is a player's root only natively; on Windows, a drive's";
    }
    PlayerFiles files("p/", PlayerAt("p/"));
    XmlBuffer buffer;
    EXPECT_EQ(files.Read("p/missing.xml", 1024, buffer), FileReadStatus::Missing);
    EXPECT_FALSE(files.Pulled());  // damage, not a pull
    EXPECT_EQ(files.Read("p/kept.xml", 1024, buffer), FileReadStatus::Read);
    std::filesystem::rename("p", "q");
    EXPECT_EQ(files.Read("p/kept.xml", 1024, buffer), FileReadStatus::Missing);
    EXPECT_TRUE(files.Pulled());
    std::filesystem::rename("q", "p");
    EXPECT_EQ(files.Read("p/kept.xml", 1024, buffer), FileReadStatus::Missing);
}

// Memory runs out once `filesReadBefore` files were read.
class MemoryRunsOut : public ImportObserver {
  public:
    explicit MemoryRunsOut(int filesReadBefore) : limit_(filesReadBefore) {}
    void OnProgress(int filesRead, int) override {
        if (filesRead > limit_) {
            throw std::bad_alloc();
        }
    }

  private:
    int limit_;
};

TEST(ImportCatalogue, MemoryRunningOutKeepsTheTracksReadAndTheSampleRow) {
    const SamplePlayerHere player(40);
    ASSERT_TRUE(player.written);
    OwnedLists lists;
    DeviceCatalogue catalogue;
    MemoryRunsOut observer(20);
    ImportCatalogue(catalogue, lists, Locate, &observer);
    const int rows = lists.library.Count();
    EXPECT_GT(rows, 1);
    EXPECT_LT(rows, 41);
    EXPECT_STREQ(lists.library.Get(rows - 1)->artist, "Nullsoft Band");
}

struct TrackCase {
    const char* name;
    const char* lastUrl;
    const char* creator;
    const char* title;
    const char* genre;
    const char* recorded;
    const char* playingTime;
    const char* filename;
    const char* artist;
    const char* shownTitle;
    const char* shownGenre;
    int year;
    int length;
};

void PrintTo(const TrackCase& c, std::ostream* out) {
    *out << c.name;
}

// Marks what was handed to the code page: the system's own conversion is a
// copy natively (tests/windows try it in real code pages).
char* Bracketed(const char* utf8) {
    return CopyText(("[" + std::string(utf8) + "]").c_str());
}

char* Failing(const char*) {
    return nullptr;
}

// The rows' cases below show which texts go to the code page; these, what
// stays the catalogue's.
TEST(ShownCopy, KeepsTheCatalogueBytesWhereNoSpellingIsHad) {
    const struct {
        const char* text;
        CodePageCopier copier;
        const char* shown;
    } cases[] = {
        {"\xC0\xAF overlong", Bracketed, "\xC0\xAF overlong"},
        {"Caf\xC3\xA9", nullptr, "Caf\xC3\xA9"},  // the command keeps UTF-8
        {"Caf\xC3\xA9", Failing, "Caf\xC3\xA9"},
        {nullptr, Bracketed, nullptr},
    };
    for (const auto& test : cases) {
        char* shown = ShownCopy(test.text, test.copier);
        EXPECT_STREQ(shown, test.shown);
        FreeText(shown);
    }
}

class RowFromTrackTest : public ::testing::TestWithParam<TrackCase> {};

TEST_P(RowFromTrackTest, FollowsTheFieldRules) {
    const TrackCase& c = GetParam();
    TrackRecord track(nullptr);
    track.SetText(TrackField::LastUrl, c.lastUrl);
    track.SetText(TrackField::Creator, c.creator);
    track.SetText(TrackField::Title, c.title);
    track.SetText(TrackField::Genre, c.genre);
    track.SetText(TrackField::Recorded, c.recorded);
    track.SetText(TrackField::PlayingTime, c.playingTime);
    LibraryItem* row = RowFromTrack(track, "E:/", Bracketed);
    EXPECT_STREQ(row->filename, c.filename);
    EXPECT_STREQ(row->artist, c.artist);
    EXPECT_STREQ(row->title, c.shownTitle);
    EXPECT_STREQ(row->genre, c.shownGenre);
    EXPECT_STREQ(row->album, "UHM NOT YET");
    EXPECT_EQ(row->year, c.year);
    EXPECT_EQ(row->length, c.length);
    EXPECT_EQ(row->track, 1);
    FreeRow(row);
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, RowFromTrackTest,
    ::testing::Values(TrackCase{"Complete", "/MUSIC/a.mp3", "Band", "Song", "Pop", "2003-05-01",
                                "215", "E:/MUSIC/a.mp3", "Band", "Song", "Pop", 2003, 215},
                      TrackCase{"Absent", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                "E:", "Unknown artist", "", "", 0, 0},
                      TrackCase{"HighBytesInTitle", "/x", "Caf\xC3\xA9", "Caf\xE9", "M\xC3\xBAsica",
                                "x", " -12s", "E:/x", "[Caf\xC3\xA9]", "Caf ", "[M\xC3\xBAsica]", 0,
                                -12},
                      TrackCase{"CodePageArtistStays", "/x", "Caf\xE9", "Caf\xC3\xA9", "Caf\xE9",
                                "1", "1", "E:/x", "Caf\xE9", "Caf  ", "Caf\xE9", 1, 1},
                      TrackCase{"HugeNumbersClamp", "/x", "a", "t", "g", "99999999999999",
                                "-99999999999999", "E:/x", "a", "t", "g", 2147483647,
                                -2147483647 - 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RowFromTrack, CutsALongFilenameToItsBuffer) {
    TrackRecord track(nullptr);
    const std::string url = "/" + std::string(1000, 'u');
    track.SetText(TrackField::LastUrl, url.c_str());
    LibraryItem* row = RowFromTrack(track, "E:/", Bracketed);
    EXPECT_EQ(std::string(row->filename), ("E:" + url).substr(0, kFilenameBufferSize - 1));
    FreeRow(row);
}

TEST(DebugPrintf, CutsLinesTo1023Characters) {
    DebugCapture capture;
    const std::string longText(2000, 'x');
    DebugPrintf("%s", longText.c_str());
    ASSERT_EQ(g_debugLines.size(), 1u);
    EXPECT_EQ(g_debugLines[0].size(), 1023u);
}

}  // namespace
