// Hostile player images: whatever the files on the device hold, the host
// keeps running and the view shows what could be read. The test program has
// a 1 MB main-thread stack, as the host's UI thread has.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "devhost/status_listener.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/support/player_drive.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;
using testing_support::ReadFile;
using testing_support::WriteDriveFile;

constexpr int kTracks = 20;
const char kMusicCatalogue[] = "SYSTEM/List/Music/music.mum";
const char kAlbumCatalogue[] = "SYSTEM/List/Music/album.mum";

std::string Levels(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<a>";
    for (int i = 0; i < levels; ++i)
        text += "</a>";
    return text;
}

std::string Nested(int levels) {
    return "<?xml version=\"1.0\"?>" + Levels(levels);
}

// `text` with `insert` just before its asset list ends.
std::string BeforeAssetListEnd(std::string text, const std::string& insert) {
    text.insert(text.find("</mpv:AssetList>"), insert);
    return text;
}

std::string Repeat(const std::string& part, size_t times) {
    std::string text;
    text.reserve(part.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += part;
    return text;
}

std::string Garbage(size_t size) {
    std::string bytes;
    unsigned state = 99;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(state >> 16));
    }
    return bytes;
}

std::string Utf16(const std::string& ascii) {
    std::string wide = "\xFF\xFE";
    for (char c : ascii) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}

std::string MusicLink(const std::string& manifest) {
    return "<mpv:ManifestLink><mpv:LastURL>" + manifest + "</mpv:LastURL></mpv:ManifestLink>";
}

std::string MusicCatalogue(const std::string& links) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mpv:mpv><mpv:AssetList>" + links +
           "</mpv:AssetList></mpv:mpv>\n";
}

// What a case works on: the image as written, and where its files are.
struct Player {
    SampleImage image;
    std::string Path(const std::string& relative) const { return std::string("E:/") + relative; }
    std::string Read(const std::string& relative) const { return ReadFile(Path(relative)); }
    // The first track manifest, and how many tracks it holds.
    std::string FirstManifest() const { return image.tracks.front().manifestPath; }
    int TracksIn(const std::string& manifest) const {
        int count = 0;
        for (const SampleTrack& track : image.tracks)
            count += track.manifestPath == manifest;
        return count;
    }
    // A manifest holding exactly one track.
    std::string SingleTrackManifest() const {
        for (const SampleTrack& track : image.tracks) {
            if (TracksIn(track.manifestPath) == 1)
                return track.manifestPath;
        }
        return FirstManifest();
    }
};

struct HostileCase {
    const char* name;
    // Spoils the image; answers how many rows the view must show (with the
    // sample row), or -1 when only bounds are known (see minRows).
    std::function<int(const Player&)> spoil;
    int minRows = 0;
};

void ReplaceWithDirectory(const std::string& path) {
    DeleteFileA(path.c_str());
    CreateDirectoryA(path.c_str(), nullptr);
}

const HostileCase kCases[] = {
    {"DeepMusicCatalogue",
     [](const Player&) {
         WriteDriveFile(kMusicCatalogue, Nested(100000));
         return 1;
     }},
    {"DeepTrackManifest",
     [](const Player& p) {
         WriteDriveFile(p.FirstManifest(), Nested(100000));
         return kTracks - p.TracksIn(p.FirstManifest()) + 1;
     }},
    {"DeepAlbumCatalogue",
     [](const Player&) {
         WriteDriveFile(kAlbumCatalogue, Nested(100000));
         return kTracks + 1;
     }},
    {"HugeMusicCatalogue",
     [](const Player& p) {
         WriteDriveFile(kMusicCatalogue,
                        p.Read(kMusicCatalogue) + "<!--" + std::string(70 << 20, 'x') + "-->");
         return 1;
     }},
    {"LargeTrackManifest",
     [](const Player& p) {
         const std::string text = p.Read(p.FirstManifest());
         WriteDriveFile(p.FirstManifest(), text + "<!--" + std::string(8 << 20, 'y') + "-->");
         return kTracks + 1;
     }},
    {"GarbageMusicCatalogue",
     [](const Player&) {
         WriteDriveFile(kMusicCatalogue, Garbage(100000));
         return 1;
     }},
    {"GarbageAlbumManifest",
     [](const Player& p) {
         WriteDriveFile(p.image.albums.front().manifestPath, Garbage(5000));
         return kTracks + 1;
     }},
    {"Utf16MusicCatalogue",
     [](const Player& p) {
         WriteDriveFile(kMusicCatalogue, Utf16(p.Read(kMusicCatalogue)));
         return 1;
     }},
    {"Utf8BomMusicCatalogue",
     [](const Player& p) {
         WriteDriveFile(kMusicCatalogue, "\xEF\xBB\xBF" + p.Read(kMusicCatalogue));
         return kTracks + 1;
     }},
    {"TruncatedTrackManifest",
     [](const Player& p) {
         const std::string text = p.Read(p.FirstManifest());
         WriteDriveFile(p.FirstManifest(), text.substr(0, text.size() / 2));
         return -1;
     },
     kTracks - 3 + 1},
    {"TruncatedInsideAUtf8Character",
     [](const Player& p) {
         WriteDriveFile(p.FirstManifest(),
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><m><mpv:AssetList><mpv:Audio>"
                        "<dc:title>Caf\xC3");
         return kTracks - p.TracksIn(p.FirstManifest()) + 2;
     }},
    {"DirectoryForMusicCatalogue",
     [](const Player& p) {
         ReplaceWithDirectory(p.Path(kMusicCatalogue));
         return 1;
     }},
    {"DirectoryForTrackManifest",
     [](const Player& p) {
         ReplaceWithDirectory(p.Path(p.FirstManifest()));
         return kTracks - p.TracksIn(p.FirstManifest()) + 1;
     }},
    {"TenThousandCharacterManifestPath",
     [](const Player& p) {
         std::string text = p.Read(kMusicCatalogue);
         const std::string link = MusicLink(std::string(10000, 'm'));
         text.insert(text.find("</mpv:AssetList>"), link);
         WriteDriveFile(kMusicCatalogue, text);
         return kTracks + 1;
     }},
    {"TenThousandCharacterAudioPath",
     [](const Player& p) {
         std::string text = p.Read(p.FirstManifest());
         const size_t url = text.find("<mpv:LastURL>") + 13;
         text.replace(url, text.find("</mpv:LastURL>") - url, std::string(10000, 'a'));
         WriteDriveFile(p.FirstManifest(), text);
         return kTracks + 1;
     }},
    {"ManifestsThatNameEachOther",
     [](const Player& p) {
         std::string music = p.Read(kMusicCatalogue);
         music.insert(music.find("</mpv:AssetList>"),
                      MusicLink(kMusicCatalogue) + MusicLink(kAlbumCatalogue));
         WriteDriveFile(kMusicCatalogue, music);
         std::string albums = p.Read(kAlbumCatalogue);
         const size_t url = albums.find("<mpv:LastURL>") + 13;
         albums.replace(url, albums.find("</mpv:LastURL>") - url, kAlbumCatalogue);
         WriteDriveFile(kAlbumCatalogue, albums);
         return kTracks + 1;
     }},
    // A deep tail, the parser's limits and the per-text ceiling stop a file
    // where they are met: everything before is listed.
    {"DeepTailInMusicCatalogue",
     [](const Player& p) {
         WriteDriveFile(kMusicCatalogue,
                        BeforeAssetListEnd(p.Read(kMusicCatalogue), Levels(100000)));
         return kTracks + 1;
     }},
    {"DeepTailInTrackManifest",
     [](const Player& p) {
         WriteDriveFile(p.FirstManifest(),
                        BeforeAssetListEnd(p.Read(p.FirstManifest()), Levels(100000)));
         return kTracks + 1;
     }},
    {"EightyThousandAttributes",
     [](const Player& p) {
         std::string element = "<e";
         for (int i = 0; i < 80000; ++i)
             element += " a" + std::to_string(i) + "=''";
         WriteDriveFile(kMusicCatalogue,
                        BeforeAssetListEnd(p.Read(kMusicCatalogue), element + "/>"));
         return kTracks + 1;
     }},
    {"FiveMillionEmptyElements",
     [](const Player& p) {
         WriteDriveFile(kMusicCatalogue,
                        BeforeAssetListEnd(p.Read(kMusicCatalogue), Repeat("<e/>", 5000000)));
         return kTracks + 1;
     }},
    {"ThirtyMegabyteTitle",
     [](const Player& p) {
         std::string text = p.Read(p.FirstManifest());
         const size_t title = text.find("<dc:title>") + 10;
         text.replace(title, text.find("</dc:title>") - title, std::string(30 << 20, 't'));
         WriteDriveFile(p.FirstManifest(), text);
         return kTracks + 1;
     }},
    // Read once, not fifty times past the load's 128 MB: each link shows its
    // track.
    {"TwentyMegabyteManifestFiftyTimes",
     [](const Player& p) {
         const std::string manifest =
             p.Read(p.SingleTrackManifest()) + "<!--" + std::string(20 << 20, 'c') + "-->";
         WriteDriveFile(p.SingleTrackManifest(), manifest);
         WriteDriveFile(kMusicCatalogue,
                        MusicCatalogue(Repeat(MusicLink(p.SingleTrackManifest()), 50)));
         return 50 + 1;
     }},
    {"SameManifestTenThousandTimes",
     [](const Player& p) {
         std::string links;
         for (int i = 0; i < 10000; ++i)
             links += MusicLink(p.SingleTrackManifest());
         WriteDriveFile(kMusicCatalogue, MusicCatalogue(links));
         return 10000 + 1;
     }},
};

class HostilePlayerTest : public PluginTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostilePlayerTest, TheViewShowsWhatCouldBeRead) {
    Player player{testing_support::WritePlayer(kTracks, 3)};
    ASSERT_EQ(player.TracksIn(player.FirstManifest()) <= 3, true);
    const int expected = GetParam().spoil(player);
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(WaitForStatus(view, 60000));
    if (expected >= 0) {
        EXPECT_EQ(RowCount(view), expected) << Status(view);
    } else {
        EXPECT_GE(RowCount(view), GetParam().minRows) << Status(view);
        EXPECT_LE(RowCount(view), kTracks + 1) << Status(view);
    }
    // Still answering: the view filters on.
    SetDlgItemTextA(view, 1006, "Nullsoft");
    Host().Pump(300);
    EXPECT_EQ(RowCount(view), 1);
}

INSTANTIATE_TEST_SUITE_P(Images, HostilePlayerTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PluginTest, LongAudioPathsAreCutToTheFilenameBuffer) {
    Player player{testing_support::WritePlayer(kTracks, 3)};
    std::string text = player.Read(player.FirstManifest());
    const size_t url = text.find("<mpv:LastURL>") + 13;
    text.replace(url, text.find("</mpv:LastURL>") - url, "/" + std::string(10000, 'a'));
    WriteDriveFile(player.FirstManifest(), text);
    const HWND view = OpenViewWithRows();
    size_t longest = 0;
    for (const std::string& filename : Column(view, 7)) {
        longest = std::max(longest, filename.size());
    }
    EXPECT_EQ(longest, 255u);
}

// The player is pulled out while it is read: the files not yet read vanish.
// The first progress line marks "while it is read" (big enough a player
// takes well past the quiet stretch).
TEST_F(PluginTest, APlayerUnpluggedMidReadShowsTheRowsReadSoFar) {
    constexpr int kBigPlayer = 2000;
    testing_support::WritePlayer(kBigPlayer, 5);
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    bool unplugged = false;
    devhost::StatusListener status(view, [&unplugged](const std::string& text) {
        if (!unplugged && text.rfind(devhost::kReadingTextPrefix, 0) == 0) {
            testing_support::ClearDrive();
            unplugged = true;
        }
    });
    ASSERT_TRUE(WaitForStatus(view, 60000));
    if (!unplugged) {
        GTEST_SKIP() << "the read reported no progress, so no moment to unplug in";
    }
    EXPECT_GE(RowCount(view), 1) << Status(view);
    EXPECT_LT(RowCount(view), kBigPlayer + 1) << Status(view);
    SetDlgItemTextA(view, 1006, "Nullsoft");
    Host().Pump(300);
    EXPECT_EQ(RowCount(view), 1);
}

}  // namespace
