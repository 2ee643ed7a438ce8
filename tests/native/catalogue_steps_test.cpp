// The catalogue loader on small hand-written player images.
#include "catalogue/catalogue_steps.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "base/debug_output.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_load.h"
#include "catalogue/catalogue_records.h"
#include "catalogue/load_budget.h"
#include "catalogue/load_observer.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::CurrentDirGuard;
using testing_support::TempDir;

const char kAlbumCatalogue[] = "SYSTEM/List/Music/album.mum";
const char kMusicCatalogue[] = "SYSTEM/List/Music/music.mum";

std::string Xml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mpv:mpv xmlns:mpv=\"urn:test:mpv\" xmlns:dc=\"urn:test:dc\">\n" +
           body + "\n</mpv:mpv>\n";
}

std::string AssetList(const std::string& body) {
    return Xml("<mpv:AssetList>" + body + "</mpv:AssetList>");
}

std::string MusicLink(const std::string& manifest) {
    return "<mpv:ManifestLink><mpv:LastURL>" + manifest + "</mpv:LastURL></mpv:ManifestLink>";
}

// A player image in a temporary folder, read with an empty drive root from
// inside that folder.
class LoaderTest : public ::testing::Test {
  protected:
    void Write(const std::string& path, const std::string& text) { image_.Write(path, text); }

    void Load(LoadObserver* observer = nullptr, const LoadCeilings& ceilings = kLoadCeilings,
              CatalogueFileSource* source = nullptr) {
        CurrentDirGuard inside(image_.Path());
        LoadCatalogue(catalogue_, observer, source, ceilings);
    }

    std::vector<const AlbumRecord*> Albums() const {
        std::vector<const AlbumRecord*> albums;
        for (const AlbumRecord* a = catalogue_.Lists()->FirstAlbum(); a; a = a->Next()) {
            albums.push_back(a);
        }
        return albums;
    }

    std::vector<const TrackRecord*> Tracks() const {
        std::vector<const TrackRecord*> tracks;
        for (const TrackRecord* t = catalogue_.FirstTrack(); t; t = t->Next()) {
            tracks.push_back(t);
        }
        return tracks;
    }

    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const TrackRecord* t : Tracks()) {
            titles.push_back(t->Title() ? t->Title() : "<none>");
        }
        return titles;
    }

    TempDir image_;
    DeviceCatalogue catalogue_;
};

std::string Text(const char* text) {
    return text ? text : "<none>";
}

TEST_F(LoaderTest, AlbumLinksGiveAlbumsWithTheirMetadataAndManifests) {
    Write(kAlbumCatalogue,
          AssetList("<mpv:ManifestLink><mpv:LastURL>a1.mpv</mpv:LastURL>"
                    "<nmf:Metadata><mpvm:MusicProperties><mpvm:AlbumTitle>One</mpvm:AlbumTitle>"
                    "</mpvm:MusicProperties><mrobe:MrobeProperties>"
                    "<mrobe:SearchKey>ONE</mrobe:SearchKey></mrobe:MrobeProperties></nmf:Metadata>"
                    "</mpv:ManifestLink>"
                    "<mpv:ManifestLink><mpv:LastURL>a2.mpv</mpv:LastURL>"
                    "<nmf:Metadata><mpvm:MusicProperties><mpvm:AlbumTitle>Two</mpvm:AlbumTitle>"
                    "</mpvm:MusicProperties></nmf:Metadata></mpv:ManifestLink>"));
    Write("a2.mpv", Xml("<mpvp:Album><nmf:MetaData><g><dc:creator>Band</dc:creator>"
                        "<mpvm:AlbumTitle>Two (manifest)</mpvm:AlbumTitle>"
                        "<mpvm:Genre>Rock</mpvm:Genre><mpvm:Recorded>1999</mpvm:Recorded></g>"
                        "</nmf:MetaData></mpvp:Album>"));
    Load();
    const auto albums = Albums();
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(Text(albums[0]->ManifestPath()), "a1.mpv");
    EXPECT_EQ(Text(albums[0]->AlbumTitle()), "One");
    EXPECT_EQ(Text(albums[0]->SearchKey()), "ONE");
    EXPECT_EQ(albums[0]->Creator(), nullptr);  // its manifest is missing
    EXPECT_EQ(Text(albums[1]->AlbumTitle()), "Two (manifest)");
    EXPECT_EQ(Text(albums[1]->Creator()), "Band");
    EXPECT_EQ(Text(albums[1]->Genre()), "Rock");
    EXPECT_EQ(Text(albums[1]->Recorded()), "1999");
}

TEST_F(LoaderTest, MetadataGoesToTheNearestAlbumBeforeIt) {
    Write(kAlbumCatalogue,
          AssetList("<mpv:ManifestLink>"
                    "<nmf:Metadata><mpvm:MusicProperties><mpvm:AlbumTitle>Lost</mpvm:AlbumTitle>"
                    "</mpvm:MusicProperties></nmf:Metadata>"
                    "<mpv:LastURL>first.mpv</mpv:LastURL>"
                    "<mpv:LastURL>second.mpv</mpv:LastURL>"
                    "<nmf:Metadata><mpvm:MusicProperties><mpvm:AlbumTitle>Second</mpvm:AlbumTitle>"
                    "</mpvm:MusicProperties></nmf:Metadata></mpv:ManifestLink>"));
    const std::string manifest =
        Xml("<mpvp:Album><nmf:MetaData><g><dc:creator>Read</dc:creator></g></nmf:MetaData></"
            "mpvp:Album>");
    Write("first.mpv", manifest);
    Write("second.mpv", manifest);
    Load();
    const auto albums = Albums();
    ASSERT_EQ(albums.size(), 2u);
    EXPECT_EQ(albums[0]->AlbumTitle(), nullptr);
    EXPECT_EQ(albums[0]->Creator(), nullptr);  // only the link's last album reads its manifest
    EXPECT_EQ(Text(albums[1]->AlbumTitle()), "Second");
    EXPECT_EQ(Text(albums[1]->Creator()), "Read");
}

TEST_F(LoaderTest, ManifestPathIsTheLastChildOfLastUrl) {
    Write(kAlbumCatalogue, AssetList("<mpv:ManifestLink><mpv:LastURL>early<!--note-->late"
                                     "</mpv:LastURL></mpv:ManifestLink>"));
    Load();
    ASSERT_EQ(Albums().size(), 1u);
    EXPECT_EQ(Text(Albums()[0]->ManifestPath()), "late");
}

TEST_F(LoaderTest, LaterManifestGroupsReplaceEarlierOnes) {
    Write(kAlbumCatalogue,
          AssetList("<mpv:ManifestLink><mpv:LastURL>m.mpv</mpv:LastURL></mpv:ManifestLink>"));
    Write("m.mpv", Xml("<MPVP:ALBUM><NMF:METADATA>"
                       "<g><dc:creator>Early</dc:creator><mpvm:Genre>Jazz</mpvm:Genre></g>"
                       "<g><dc:creator>Late</dc:creator><DC:CREATOR>Case</DC:CREATOR></g>"
                       "</NMF:METADATA></MPVP:ALBUM>"));
    Load();
    ASSERT_EQ(Albums().size(), 1u);
    EXPECT_EQ(Text(Albums()[0]->Creator()), "Late");  // manifest names match exactly
    EXPECT_EQ(Text(Albums()[0]->Genre()), "Jazz");
}

TEST_F(LoaderTest, TrackManifestsGiveOneTrackPerAudioInOrder) {
    Write(kMusicCatalogue, AssetList(MusicLink("t1.mpv") + MusicLink("t2.mpv")));
    Write("t1.mpv", AssetList("<mpv:Audio><dc:title>A</dc:title></mpv:Audio>"
                              "<mpv:Audio><dc:creator>No title</dc:creator></mpv:Audio>"
                              "<mpv:Audio><dc:title></dc:title></mpv:Audio>"));
    Write("t2.mpv", AssetList("<MPV:AUDIO><wrap><deeper><dc:title>Deep</dc:title></deeper></wrap>"
                              "</MPV:AUDIO>"));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A", "<none>", "<none>", "Deep"}));
}

TEST_F(LoaderTest, TrackTextsComeFromTheirElements) {
    Write(kMusicCatalogue, AssetList(MusicLink("t.mpv")));
    Write("t.mpv",
          AssetList("<mpv:Audio><mpv:LastURL>/MUSIC/a.mp3</mpv:LastURL>"
                    "<nmf:Metadata><mpvm:MusicProperties><dc:creator>First</dc:creator>"
                    "<dc:creator>Second</dc:creator><dc:title>T</dc:title>"
                    "<mpvm:MusicBy>M</mpvm:MusicBy><mpvm:Genre>G</mpvm:Genre>"
                    "<mpvm:Recorded>2003-05-01</mpvm:Recorded><mpvm:PlayCount>4</mpvm:PlayCount>"
                    "<mpvm:PlayingTime>215</mpvm:PlayingTime></mpvm:MusicProperties>"
                    "<mrobe:MrobeProperties><mrobe:LastPlayed>L</mrobe:LastPlayed>"
                    "<mrobe:Volume>V</mrobe:Volume><mrobe:SearchKey>S</mrobe:SearchKey>"
                    "<mrobe:CtrlFlag>0</mrobe:CtrlFlag></mrobe:MrobeProperties></nmf:Metadata>"
                    "</mpv:Audio>"));
    Load();
    ASSERT_EQ(Tracks().size(), 1u);
    const TrackRecord* track = Tracks()[0];
    const char* expected[kTrackFieldCount] = {
        "/MUSIC/a.mp3", "First", "T", "M", "G", "2003-05-01", "4", "215", "L", "V", "S", "0"};
    for (int i = 0; i < kTrackFieldCount; ++i) {
        EXPECT_EQ(Text(track->Text(static_cast<TrackField>(i))), expected[i]) << "field " << i;
    }
}

TEST_F(LoaderTest, AssetListMustMatchExactly) {
    Write(kMusicCatalogue, Xml("<MPV:ASSETLIST>" + MusicLink("t.mpv") + "</MPV:ASSETLIST>"));
    Write("t.mpv", AssetList("<mpv:Audio><dc:title>A</dc:title></mpv:Audio>"));
    Write("u.mpv", Xml("<mpv:assetlist><mpv:Audio><dc:title>B</dc:title></mpv:Audio>"
                       "</mpv:assetlist>"));
    Load();
    EXPECT_TRUE(Tracks().empty());
}

TEST_F(LoaderTest, ManifestLinksMatchInAnyCase) {
    Write(kMusicCatalogue, AssetList("<MPV:MANIFESTLINK><MPV:LASTURL>t.mpv</MPV:LASTURL>"
                                     "<mpv:LastURL></mpv:LastURL></MPV:MANIFESTLINK>"));
    Write("t.mpv", AssetList("<mpv:Audio><dc:title>A</dc:title></mpv:Audio>"));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A"}));
}

TEST_F(LoaderTest, ASecondLoadStartsAfresh) {
    Write(kMusicCatalogue, AssetList(MusicLink("t.mpv")));
    Write("t.mpv", AssetList("<mpv:Audio><dc:title>A</dc:title></mpv:Audio>"));
    Load();
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A"}));
}

TEST_F(LoaderTest, NoCatalogueGivesEmptyLists) {
    Load();
    ASSERT_NE(catalogue_.Lists(), nullptr);
    EXPECT_EQ(catalogue_.Lists()->FirstAlbum(), nullptr);
    EXPECT_EQ(catalogue_.FirstTrack(), nullptr);
}

// Catalogues name files from the player's root, in UTF-8; the system's own
// file names may be in another encoding (the Windows build opens such a
// name by its wide form).
TEST_F(LoaderTest, ManifestsAreFoundBelowThePlayersRootByTheirUtf8Names) {
    Write(kMusicCatalogue,
          AssetList(MusicLink("/SYSTEM/a.mpv") + MusicLink("Caf\xC3\xA9/\xE6\x9D\xB1/b.mpv")));
    Write("SYSTEM/a.mpv", AssetList("<mpv:Audio><dc:title>A</dc:title></mpv:Audio>"));
    Write("Caf\xC3\xA9/\xE6\x9D\xB1/b.mpv",
          AssetList("<mpv:Audio><dc:title>B</dc:title></mpv:Audio>"));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(LoaderTest, ManifestPathsThatDoNotFitAreSkipped) {
    const std::string longName(600, 'x');
    // Near the buffer's 511 characters, in folders short enough for any file
    // system; Windows' ANSI file calls take no path of MAX_PATH or more.
#ifdef _WIN32
    const size_t length = 200;
#else
    const size_t length = 490;
#endif
    std::string fits;
    while (fits.size() < length)
        fits += "dddddddd/";
    Write(kMusicCatalogue, AssetList(MusicLink(longName) + MusicLink(fits + ".mpv")));
    Write(kAlbumCatalogue, AssetList("<mpv:ManifestLink><mpv:LastURL>" + longName +
                                     "</mpv:LastURL></mpv:ManifestLink>"));
    Write(fits + ".mpv", AssetList("<mpv:Audio><dc:title>Fits</dc:title></mpv:Audio>"));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Fits"}));
    ASSERT_EQ(Albums().size(), 1u);
    EXPECT_EQ(Text(Albums()[0]->ManifestPath()), longName);
}

// Hostile files each contribute nothing (or what the parser could read
// before their fault) while the rest of the image is still read.
struct HostileFile {
    const char* name;
    std::string bytes;
};

void PrintTo(const HostileFile& c, std::ostream* out) {
    *out << c.name;
}

std::string Nested(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<x>";
    for (int i = 0; i < levels; ++i)
        text += "</x>";
    return text;
}

class HostileManifestTest : public LoaderTest, public ::testing::WithParamInterface<HostileFile> {};

TEST_P(HostileManifestTest, LeavesTheOtherManifestsReadable) {
    const HostileFile& hostile = GetParam();
    Write(kMusicCatalogue,
          AssetList(MusicLink("before.mpv") + MusicLink("hostile.mpv") + MusicLink("after.mpv")));
    Write(kAlbumCatalogue, hostile.bytes);
    Write("before.mpv", AssetList("<mpv:Audio><dc:title>Before</dc:title></mpv:Audio>"));
    Write("hostile.mpv", hostile.bytes);
    Write("after.mpv", AssetList("<mpv:Audio><dc:title>After</dc:title></mpv:Audio>"));
    Load();
    const auto titles = Titles();
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(titles.front(), "Before");
    EXPECT_EQ(titles.back(), "After");
}

std::string Garbage() {
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileManifestTest,
    ::testing::Values(
        HostileFile{"Empty", ""}, HostileFile{"Garbage", Garbage()},
        HostileFile{"Nested100000", "<?xml version=\"1.0\"?><a><mpv:AssetList><mpv:Audio>" +
                                        Nested(100000) + "</mpv:Audio></mpv:AssetList></a>"},
        HostileFile{"NestedInAudio", AssetList("<mpv:Audio>" + Nested(5000) + "</mpv:Audio>")},
        HostileFile{"Truncated",
                    AssetList("<mpv:Audio><dc:title>Cut</dc:title></mpv:Audio>").substr(0, 90)},
        HostileFile{"TruncatedInsideUtf8",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a><mpv:AssetList><mpv:Audio>"
                    "<dc:title>Caf\xC3"},
        HostileFile{"Utf16", std::string("\xFF\xFE<\0a\0>\0<\0/\0a\0>\0", 16)},
        HostileFile{"EmbeddedNul", std::string("<a>\0<b></b></a>", 15)},
        HostileFile{"NotXml", "just some text, not markup at all"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, AThousandCharacterLastUrlIsSkipped) {
    Write(kMusicCatalogue, AssetList(MusicLink(std::string(1000, 'u'))));
    Write("t.mpv", AssetList("<mpv:Audio><mpv:LastURL>" + std::string(1000, 'v') +
                             "</mpv:LastURL><dc:title>Long</dc:title></mpv:Audio>"));
    Write(kMusicCatalogue, AssetList(MusicLink(std::string(1000, 'u')) + MusicLink("t.mpv")));
    Load();
    ASSERT_EQ(Tracks().size(), 1u);
    EXPECT_EQ(Text(Tracks()[0]->LastUrl()), std::string(1000, 'v'));
}

std::string Audio(const std::string& title) {
    return "<mpv:Audio><dc:title>" + title + "</dc:title></mpv:Audio>";
}

// The parser's limits stop a file where it passes them: what came before is
// still read.
TEST_F(LoaderTest, TracksBeforeAFileStoppedByALimitAreKept) {
    std::string manyAttributes = "<x";
    for (int i = 0; i <= TIXML_MAX_ATTRIBUTES; ++i)
        manyAttributes += " a" + std::to_string(i) + "='v'";
    manyAttributes += "/>";
    std::string manyNodes;
    for (int i = 0; i < TIXML_MAX_NODES; ++i)
        manyNodes += "<e/>";
    Write(kMusicCatalogue,
          AssetList(MusicLink("deep.mpv") + MusicLink("attributes.mpv") + MusicLink("nodes.mpv")));
    Write("deep.mpv", AssetList(Audio("Deep1") + Audio("Deep2") + Nested(100000)));
    Write("attributes.mpv", AssetList(Audio("Attr") + manyAttributes + Audio("Past")));
    Write("nodes.mpv", AssetList(Audio("Nodes") + manyNodes + Audio("Past")));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Deep1", "Deep2", "Attr", "Nodes"}));
}

// A text past the ceiling is cut there, or before a UTF-8 character that the
// cut would split when the text is UTF-8 up to it.
TEST_F(LoaderTest, LongTextsAreCutToTheCeiling) {
    const std::string as(kMaxTextLength - 1, 'a');
    const struct {
        std::string title;
        size_t kept;
    } cases[] = {
        {std::string(3 * kMaxTextLength, 't'), kMaxTextLength},
        {as + "\xC3\xA9 and more", kMaxTextLength - 1},
        {as.substr(2) + "\xF0\x9F\x98\x80", kMaxTextLength - 3},
        {as + "\xE9 Latin-1", kMaxTextLength},
        {"\xFF" + as.substr(2) + "\xC3\xA9 and more", kMaxTextLength},
    };
    std::string links;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string name = "t" + std::to_string(i) + ".mpv";
        links += MusicLink(name);
        Write(name, AssetList(Audio(cases[i].title)));
    }
    Write(kMusicCatalogue, AssetList(links));
    const std::string path(3 * kMaxTextLength, 'p');
    Write(kAlbumCatalogue, AssetList("<mpv:ManifestLink><mpv:LastURL>" + path +
                                     "</mpv:LastURL></mpv:ManifestLink>"));
    Load();
    const auto titles = Titles();
    ASSERT_EQ(titles.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(titles[i], cases[i].title.substr(0, cases[i].kept)) << "case " << i;
    }
    ASSERT_EQ(Albums().size(), 1u);
    EXPECT_EQ(Text(Albums()[0]->ManifestPath()), path.substr(0, kMaxTextLength));
}

// Reads the drive's files, counting the reads of each.
class CountingFiles : public CatalogueFileSource {
  public:
    FileReadStatus Read(const char* path, size_t limit, XmlBuffer& buffer) override {
        ++reads[path];
        return ReadCatalogueFile(path, limit, buffer);
    }
    std::map<std::string, int> reads;
};

class RecallingObserver : public LoadObserver {
  public:
    void OnProgress(int filesRead, int filesNamed) override {
        read = filesRead;
        named = filesNamed;
    }
    void OnProblem(LoadProblem problem, const char* path, const char*) override {
        problems.push_back(std::string(LoadProblemName(problem)) + " " + path);
    }
    void OnManifestRecalled(const char* path) override { recalled.push_back(path); }
    int read = 0;
    int named = 0;
    std::vector<std::string> problems;
    std::vector<std::string> recalled;
};

// A manifest linked again gives what its first read gave, without a read.
TEST_F(LoaderTest, AManifestLinkedAgainIsReadOnceAndGivesWhatItGaveBefore) {
    Write(kAlbumCatalogue,
          AssetList("<mpv:ManifestLink><mpv:LastURL>a.mpv</mpv:LastURL></mpv:ManifestLink>"
                    "<mpv:ManifestLink><mpv:LastURL>b.mpv</mpv:LastURL></mpv:ManifestLink>"
                    "<mpv:ManifestLink><mpv:LastURL>a.mpv</mpv:LastURL></mpv:ManifestLink>"));
    Write("a.mpv", Xml("<mpvp:Album><nmf:MetaData>"
                       "<g><dc:creator>Early</dc:creator><mpvm:Genre>Jazz</mpvm:Genre></g>"
                       "<g><dc:creator>Band</dc:creator></g></nmf:MetaData></mpvp:Album>"));
    Write(kMusicCatalogue,
          AssetList(MusicLink("t1.mpv") + MusicLink("t2.mpv") + MusicLink("t1.mpv") +
                    MusicLink("gone.mpv") + MusicLink("t1.mpv") + MusicLink("gone.mpv") +
                    MusicLink("cut.mpv") + MusicLink("cut.mpv")));
    Write("t1.mpv", AssetList("<mpv:Audio><mpv:LastURL>/a.mp3</mpv:LastURL><dc:title>A</dc:title>"
                              "<mpvm:PlayingTime>215</mpvm:PlayingTime></mpv:Audio>" +
                              Audio("B")));
    Write("t2.mpv", AssetList(Audio("C")));
    const std::string longTitle(kMaxTextLength + 10, 'l');
    Write("cut.mpv", AssetList(Audio(longTitle)));
    CountingFiles files;
    RecallingObserver observer;
    Load(&observer, kLoadCeilings, &files);

    const std::string cut = longTitle.substr(0, kMaxTextLength);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A", "B", "C", "A", "B", "A", "B", cut, cut}));
    const auto tracks = Tracks();
    for (size_t again : {3, 5}) {
        for (int field = 0; field < kTrackFieldCount; ++field) {
            const auto f = static_cast<TrackField>(field);
            EXPECT_EQ(Text(tracks[again]->Text(f)), Text(tracks[0]->Text(f))) << field;
        }
    }
    const auto albums = Albums();
    ASSERT_EQ(albums.size(), 3u);
    for (const AlbumRecord* album : {albums[0], albums[2]}) {
        EXPECT_EQ(Text(album->Creator()), "Band");
        EXPECT_EQ(Text(album->Genre()), "Jazz");
    }
    for (const auto& [path, reads] : files.reads) {
        EXPECT_EQ(reads, 1) << path;
    }
    EXPECT_EQ(files.reads.size(), 8u);
    EXPECT_EQ(observer.recalled,
              (std::vector<std::string>{"a.mpv", "t1.mpv", "t1.mpv", "gone.mpv", "cut.mpv"}));
    EXPECT_EQ(observer.problems,
              (std::vector<std::string>{"missing b.mpv", "missing gone.mpv", "text cut cut.mpv"}));
    EXPECT_EQ(observer.read, observer.named);
    EXPECT_EQ(observer.named, 2 + 3 + 8);
}

// What a load tells its observer: each file's problem with its path, and
// progress.
class RecordingObserver : public LoadObserver {
  public:
    void OnProgress(int filesRead, int filesNamed) override {
        read = filesRead;
        named = filesNamed;
        progress.push_back(std::to_string(filesRead) + "/" + std::to_string(filesNamed));
    }
    void OnProblem(LoadProblem problem, const char* path, const char* detail) override {
        problems.push_back(std::string(LoadProblemName(problem)) + " " + path + ": " + detail);
    }
    int read = 0;
    int named = 0;
    std::vector<std::string> progress;
    std::vector<std::string> problems;
};

// A ceiling reached while the albums are read stops the album pass only; the
// music pass reads on with what the album pass did not spend. Each stop writes
// one debug line.
struct CeilingCase {
    const char* name;
    LoadCeilings ceilings;
    std::vector<std::string> titles;
    size_t albums;
    std::vector<std::string> lines;
};

void PrintTo(const CeilingCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadCeilingTest : public LoaderTest, public ::testing::WithParamInterface<CeilingCase> {};

std::vector<std::string> g_debugLines;

TEST_P(LoadCeilingTest, StopsThePassThereAndKeepsWhatCameBefore) {
    const CeilingCase& c = GetParam();
    // album.mum (278 bytes): two albums whose manifest is missing; music.mum
    // (347 bytes): the same two-track manifest (230 bytes) three times.
    const std::string albumLink =
        "<mpv:ManifestLink><mpv:LastURL>a.mpv</mpv:LastURL>"
        "</mpv:ManifestLink>";
    Write(kAlbumCatalogue, AssetList(albumLink + albumLink));
    Write(kMusicCatalogue, AssetList(MusicLink("t.mpv") + MusicLink("t.mpv") + MusicLink("t.mpv")));
    Write("t.mpv", AssetList(Audio("A") + Audio("B")));
    g_debugLines.clear();
    const DebugSink previous =
        SetDebugSink([](const char* line) { g_debugLines.emplace_back(line); });
    Load(nullptr, c.ceilings);
    SetDebugSink(previous);
    EXPECT_EQ(Titles(), c.titles);
    EXPECT_EQ(Albums().size(), c.albums);
    ASSERT_EQ(g_debugLines.size(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i) {
        EXPECT_NE(g_debugLines[i].find(c.lines[i]), std::string::npos) << g_debugLines[i];
    }
}

const size_t kAny = 1 << 30;
const std::vector<std::string> kSixTitles = {"A", "B", "A", "B", "A", "B"};
INSTANTIATE_TEST_SUITE_P(
    Ceilings, LoadCeilingTest,
    ::testing::Values(
        CeilingCase{"Tracks",
                    {kAny, 5, kAny, kAny},
                    {"A", "B", "A", "B", "A"},
                    2,
                    {"the music pass stopped at the tracks ceiling (5)"}},
        CeilingCase{"Albums",
                    {kAny, kAny, 1, kAny},
                    kSixTitles,
                    1,
                    {"the album pass stopped at the albums ceiling (1)"}},
        // The album pass may keep 8 bytes: "a.mpv" once, with its terminator.
        CeilingCase{"AlbumShareOfTextKept",
                    {kAny, kAny, kAny, 64},
                    kSixTitles,
                    2,
                    {"the album pass stopped at its share of the text kept ceiling (8)"}},
        // The album pass keeps nothing; the tracks' titles cost 2 bytes each.
        CeilingCase{"TextKeptInBothPasses",
                    {kAny, kAny, kAny, 9},
                    {"A", "B", "A", "B"},
                    1,
                    {"the album pass stopped at its share of the text kept ceiling (1)",
                     "the music pass stopped at the text kept ceiling (9)"}},
        CeilingCase{"AlbumShareOfBytesRead",
                    {2000, kAny, kAny, kAny},
                    kSixTitles,
                    0,
                    {"the album pass stopped at its share of the bytes read ceiling (250)"}},
        // music.mum is read, the manifest is past the ceiling.
        CeilingCase{"BytesRead",
                    {400, kAny, kAny, kAny},
                    {},
                    0,
                    {"the album pass stopped at its share of the bytes read ceiling (50)",
                     "the music pass stopped at the bytes read ceiling (400)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Hostile album catalogues that reach a ceiling of the real budget: the
// tracks are all read.
struct AlbumCeilingCase {
    const char* name;
    std::string albumCatalogue;
    std::string albumManifest;  // "a.mpv", if not empty
};

void PrintTo(const AlbumCeilingCase& c, std::ostream* out) {
    *out << c.name;
}

class AlbumCeilingTest : public LoaderTest,
                         public ::testing::WithParamInterface<AlbumCeilingCase> {};

TEST_P(AlbumCeilingTest, StopsTheAlbumPassAndReadsEveryTrack) {
    const AlbumCeilingCase& c = GetParam();
    Write(kAlbumCatalogue, c.albumCatalogue);
    if (!c.albumManifest.empty()) {
        Write("a.mpv", c.albumManifest);
    }
    Write(kMusicCatalogue, AssetList(MusicLink("t1.mpv") + MusicLink("t2.mpv")));
    Write("t1.mpv", AssetList(Audio("One") + Audio("Two")));
    Write("t2.mpv", AssetList(Audio("Three")));
    RecordingObserver observer;
    Load(&observer);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"One", "Two", "Three"}));
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_EQ(observer.problems[0].rfind("load ceiling reached", 0), 0u) << observer.problems[0];
    EXPECT_EQ(observer.read, observer.named);
}

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}

// A manifest of exactly the largest size a file may have, over the album
// pass's share of the bytes read.
std::string LargestAlbumManifest() {
    std::string text =
        Xml("<mpvp:Album><nmf:MetaData><g><dc:creator>Big</dc:creator></g>"
            "</nmf:MetaData></mpvp:Album><!--");
    const std::string end = "-->";
    text += std::string(kMaxCatalogueFileBytes - text.size() - end.size(), 'x') + end;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Albums, AlbumCeilingTest,
    ::testing::Values(
        AlbumCeilingCase{"EmptyLinksPastTheAlbumCeiling",
                         AssetList(Repeat("<mpv:ManifestLink><mpv:LastURL/></mpv:ManifestLink>",
                                          kLoadCeilings.albums + 1)),
                         ""},
        AlbumCeilingCase{"LargestManifestLinkedFourTimes",
                         AssetList(Repeat("<mpv:ManifestLink><mpv:LastURL>a.mpv</mpv:LastURL>"
                                          "</mpv:ManifestLink>",
                                          4)),
                         LargestAlbumManifest()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, TheObserverHearsProgressAndEveryProblem) {
    Write(kMusicCatalogue, AssetList(MusicLink("missing.mpv") + MusicLink("folder") +
                                     MusicLink(std::string(600, 'x')) + MusicLink("bad.mpv") +
                                     MusicLink("deep.mpv") + MusicLink("long.mpv")));
    Write("folder/file", "");
    Write("bad.mpv", "<a><b></a>");
    Write("deep.mpv", Nested(300));
    Write("long.mpv", AssetList(Audio(std::string(5000, 'l'))));
    RecordingObserver observer;
    Load(&observer);
    const std::string music = kMusicCatalogue;
    EXPECT_EQ(observer.problems,
              (std::vector<std::string>{
                  "missing " + std::string(kAlbumCatalogue) + ": ",
                  "missing missing.mpv: ",
                  "not a regular file folder: ",
                  "path too long " + music + ": a path of 600 characters; at most 511 fit",
                  "malformed bad.mpv: Error reading end tag. (row 1, column 7)",
                  "nested too deep deep.mpv: Error: elements nested too deep. (row 1, column 769)",
                  "text cut long.mpv: dc:title: 5000 bytes",
              }));
    // The two catalogues are named first, then the six manifests music.mum
    // links, all before the first is read; the one whose path is too long
    // counts as done without a read.
    EXPECT_EQ(observer.progress, (std::vector<std::string>{"0/2", "1/2", "2/2", "2/8", "3/8", "4/8",
                                                           "5/8", "6/8", "7/8", "8/8"}));
}

TEST(FindNodeText, SearchesDepthFirstAndSkipsMatchesWithoutChildren) {
    TiXmlDocument document;
    document.Parse("<a><b><name/></b><c><NAME>first</NAME></c><name>second</name></a>");
    EXPECT_STREQ(FindNodeText(document.RootElement(), "name"), "first");
    EXPECT_EQ(FindNodeText(document.RootElement(), "absent"), nullptr);
    EXPECT_EQ(FindNodeText(nullptr, "name"), nullptr);
    // The search stays inside the node it was given.
    const TiXmlNode* b = document.RootElement()->FirstChild("b");
    EXPECT_EQ(FindNodeText(b, "name"), nullptr);
}

TEST(FindNodeText, ComparesTextNodesToo) {
    TiXmlDocument document;
    document.Parse("<a><b>name</b></a>");
    // The text node "name" matches but has no child of its own.
    EXPECT_EQ(FindNodeText(document.RootElement(), "name"), nullptr);
    EXPECT_STREQ(FindNodeText(document.RootElement(), "b"), "name");
}

}  // namespace
