// The audio-file lookup from folder listings gives the answers of a look at
// each file itself.
#include "tools/kovra-catalogue/check/audio_file_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

using testing_support::CurrentDirGuard;
using testing_support::TempDir;

TEST(AudioFiles, AnswerAsTheLookOfEachFileDoes) {
    TempDir player;
    for (const char* file : {"MUSIC/present.mp3", "MUSIC/Caf\xC3\xA9.mp3", "MUSIC/ lead.mp3",
                             "MUSIC/odd (1) [x] {y} #z; 'q'.mp3", "MUSIC/sub/in.mp3", "root.mp3"}) {
        player.Write(file, "");
    }
    std::filesystem::create_directories(player.Path() / "EMPTY");
    const CurrentDirGuard inPlayer(player.Path());
    AudioFiles files;
    for (const char* lastUrl : {"/MUSIC/present.mp3",
                                "/MUSIC/missing.mp3",
                                "/MUSIC/PRESENT.MP3",
                                "/music/present.mp3",
                                "\\MUSIC\\present.mp3",
                                "/MUSIC/./present.mp3",
                                "/MUSIC/sub/../present.mp3",
                                "root.mp3",
                                "/ROOT.mp3",
                                "/MUSIC/Caf\xC3\xA9.mp3",
                                "/MUSIC/CAF\xC3\x89.mp3",
                                "/MUSIC/caf\xC3\xA9.MP3",
                                "/MUSIC/Caf\xE9.mp3",
                                "/MUSIC/ lead.mp3",
                                "/MUSIC/odd (1) [x] {y} #z; 'q'.mp3",
                                "/MUSIC/sub",
                                "/MUSIC/sub/",
                                "/MUSIC/SUB",
                                "/MUSIC/present.mp3.",
                                "/MUSIC/present.mp3 ",
                                "/MUSIC/PRESEN~1.MP3",
                                "/MUSIC/pres*.mp3",
                                "/MUSIC/nul.mp3",
                                "/MUSIC/nul",
                                "/GONE/a.mp3",
                                "/EMPTY/a.mp3",
                                "/MUSIC/present.mp3/a.mp3",
                                "",
                                "/"}) {
        EXPECT_EQ(files.Fault(lastUrl).Text(), LookForAudioFile(lastUrl).Text()) << lastUrl;
    }
    // A track that names no file has none on the player.
    EXPECT_EQ(files.Fault(nullptr).Text(), "names no audio file");
    EXPECT_EQ(files.Fault("").Text(), "names no audio file");
}

}  // namespace
