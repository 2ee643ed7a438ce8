// The view following the player through the stand-in host: players plugged in
// and pulled out of mapped drives, with the system's broadcasts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "devhost/player_plug.h"
#include "devhost/private_bytes.h"
#include "devhost/status_listener.h"
#include "host/host_api.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"
#include "tests/windows/support/process_resources.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

using devhost::Broadcast;
using devhost::PlayerSlot;
using testing_support::HostItems;
using Titles = std::vector<std::string>;

// The images the tests plug in, by name; "big" is read long enough to be
// pulled during the read.
const std::map<std::string, SampleImageOptions> kImages = {
    {"a", {1, 5}},
    {"b", {2, 7}},
    {"big", {3, 2000}},
};
constexpr char kSampleTitle[] = "Uhmm errors?";
const HostItems::Item kUserItem = {"C:/late.mp3", "Late Arrival", "Later", "Latecomers",
                                   "Pop",         2001,           4,       60};

// The titles the view shows of an image's tracks.
Titles TitlesOf(const std::string& image) {
    Titles titles;
    for (const SampleTrack& track : DescribeSampleImage(kImages.at(image)).tracks) {
        std::string title = track.title;
        std::replace_if(
            title.begin(), title.end(),
            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }, ' ');
        titles.push_back(title);
    }
    return titles;
}

// Each sequence starts with a fresh plug-in and empty drives. A step is a
// verb and its words, then after "=" what the open view shows once it has
// settled: the images whose tracks it shows, "user" and "sample" for those
// rows. "plug E a" puts image a into E:, "pull E" takes out what is there,
// "pull-during-read E big" plugs big into E: and pulls it at its read's first
// progress text, "play-pulling E" plays every row while the host pulls E: as
// it holds them, "drop" drops a row of the host's onto the tree item,
// "search e" types e.
const std::vector<std::pair<const char*, std::vector<const char*>>> kSequences = {
    {"pulled, then attached again",
     {"plug E a", "open = a sample", "pull E = sample", "plug E a = a sample"}},
    {"a second player waits while the first is shown",
     {"plug E a", "open = a sample", "plug G b = a sample", "pull E = b sample"}},
    {"attached on another letter after a look that found none",
     {"open = sample", "plug G b = b sample"}},
    {"the user's rows and search stay through a swap",
     {"open = sample", "drop = user sample", "search e = user sample", "plug E a = a user sample",
      "pull E = user sample", "plug E b = b user sample"}},
    {"items the host sent before any read keep the player out",
     {"drop", "plug E a", "open = user", "pull E = user", "plug E b = user"}},
    {"pulled while the host holds rows handed to it",
     {"plug E a", "open = a sample", "play-pulling E = sample"}},
    {"pulled during the read",
     {"open = sample", "pull-during-read E big = sample", "plug E big = big sample"}},
    {"pulled and attached while no view is open",
     {"plug E a", "open = a sample", "close", "pull E", "open = sample", "close", "plug E b",
      "open = b sample"}},
};

// The folders with-drives maps E: and G: to, and the images beside them.
std::string FollowFolder() {
    const char* folder = std::getenv("KOVRA_FOLLOW_FOLDER");
    return folder != nullptr ? devhost::WindowsPathOfUnix(folder) : "";
}

class PlayerFollowTest : public testing_support::PluginTest {
  protected:
    // Written afresh: a run that stopped half way may have left an image in
    // a drive's folder.
    static void SetUpTestSuite() {
        std::error_code ignored;
        for (const char* drive : {"e", "g"}) {
            std::filesystem::remove_all(FollowFolder() + "\\" + drive, ignored);
        }
        for (const auto& [name, options] : kImages) {
            std::filesystem::remove_all(ImageFolder(name), ignored);
            ASSERT_TRUE(WriteSampleImage(ImageFolder(name), options)) << name;
        }
    }

    void SetUp() override {
        ASSERT_FALSE(FollowFolder().empty()) << "run through tests/windows/with-drives";
        testing_support::PluginTest::SetUp();
        for (char letter : {'E', 'G'}) {
            slots_[letter] = std::make_unique<PlayerSlot>(
                letter, FollowFolder() + "\\" + static_cast<char>(letter - 'A' + 'a'));
        }
    }

    // Every image goes back beside the drives, the plug-in with the host.
    void TearDown() override {
        for (auto& [letter, slot] : slots_) {
            if (!plugged_[letter].empty()) {
                slot->Pull(ImageFolder(plugged_[letter]));
            }
        }
        slots_.clear();
        testing_support::PluginTest::TearDown();
    }

    static std::string ImageFolder(const std::string& name) {
        return FollowFolder() + "\\images\\" + name;
    }

    // Takes the step, then checks what the open view shows.
    void Run(const std::string& step);
    void Act(const std::string& verb, char letter, const std::string& what);
    void PullDuringRead(char letter, const std::string& image);
    void PlayAllPulling(char letter);
    // Pumps until the open view, with its usual status line, shows the
    // titles of the rows of `sources`: images by name, "user" and "sample".
    ::testing::AssertionResult Shows(const std::vector<std::string>& sources);

    HWND view_ = nullptr;
    std::string search_;
    std::map<char, std::unique_ptr<PlayerSlot>> slots_;
    std::map<char, std::string> plugged_;
    HostItems user_{{kUserItem}};
};

void PlayerFollowTest::Run(const std::string& step) {
    const size_t equals = step.find(" = ");
    std::istringstream said(step.substr(0, equals));
    std::string verb, first, last;
    said >> verb >> first >> last;
    Act(verb, first.empty() ? 0 : first[0], last.empty() ? first : last);
    std::istringstream after(equals == std::string::npos ? "" : step.substr(equals + 3));
    const std::vector<std::string> shown{std::istream_iterator<std::string>(after), {}};
    if (!HasFatalFailure() && view_ != nullptr && !shown.empty()) {
        EXPECT_TRUE(Shows(shown));
        EXPECT_EQ(SearchText(view_), search_);
    }
}

void PlayerFollowTest::Act(const std::string& verb, char letter, const std::string& what) {
    if (verb == "open") {
        view_ = OpenView();
        ASSERT_NE(view_, nullptr);
    } else if (verb == "close") {
        ASSERT_TRUE(DestroyWindow(view_));
        view_ = nullptr;
    } else if (verb == "plug") {
        ASSERT_TRUE(slots_[letter]->Plug(ImageFolder(what)));
        plugged_[letter] = what;
    } else if (verb == "pull") {
        ASSERT_TRUE(slots_[letter]->Pull(ImageFolder(plugged_[letter])));
        plugged_[letter].clear();
    } else if (verb == "pull-during-read") {
        PullDuringRead(letter, what);
    } else if (verb == "play-pulling") {
        PlayAllPulling(letter);
    } else if (verb == "drop") {
        ASSERT_EQ(
            Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(user_.List())),
            1);
    } else {
        ASSERT_EQ(verb, "search");
        search_ = what;
        SetDlgItemTextA(view_, IDC_SEARCH, what.c_str());
    }
}

// The host pulls the player and runs its messages while it holds the rows
// handed to it: they stay until it lets go of them.
void PlayerFollowTest::PlayAllPulling(char letter) {
    const int rows = RowCount(view_);
    int rowsWhileHeld = -1;
    Host().Options().whileAnswering = [&](const devhost::RecordedRequest& request) {
        if (request.code == LIBIPC_PLAY_ITEMS &&
            slots_[letter]->Pull(ImageFolder(plugged_[letter]))) {
            Host().Pump(300);
            rowsWhileHeld = RowCount(view_);
        }
    };
    LVITEMA every = {};
    every.stateMask = every.state = LVIS_SELECTED;
    SendMessageA(List(view_), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&every));
    NMHDR click = {List(view_), IDC_LIST, static_cast<UINT>(NM_DBLCLK)};
    SendMessageA(view_, WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    Host().Options().whileAnswering = nullptr;
    plugged_[letter].clear();
    EXPECT_EQ(rowsWhileHeld, rows);
}

// The drive's folder goes while the view's thread reads it; the news of it
// waits, as the system's would, until that thread looks for messages again.
void PlayerFollowTest::PullDuringRead(char letter, const std::string& image) {
    PlayerSlot& slot = *slots_[letter];
    bool pulled = false;
    devhost::StatusListener status(view_, [&](const std::string& text) {
        if (!pulled && devhost::IsProgressText(text)) {
            pulled = slot.Pull(ImageFolder(image), Broadcast::kFromAnotherThread);
        }
    });
    ASSERT_TRUE(slot.Plug(ImageFolder(image)));
    plugged_[letter] = image;
    for (int waited = 0; !pulled && waited < 20000; waited += 10) {
        Host().Pump(10);
    }
    ASSERT_TRUE(pulled) << "the read showed no progress";
    plugged_[letter].clear();
    Host().Pump(300);  // the news arrives after the read
    // The read ended with the pull: no rows were added, none ever showed.
    for (const devhost::StatusListener::Text& text : status.Texts()) {
        EXPECT_NE(text.text.rfind(devhost::kAddingTextPrefix, 0), 0u) << text.text;
        const bool usual = text.text.find("items [") != std::string::npos;
        EXPECT_TRUE(!usual || text.text.rfind("1 items [", 0) == 0) << text.text;
    }
}

::testing::AssertionResult PlayerFollowTest::Shows(const std::vector<std::string>& sources) {
    Titles expected;
    for (const std::string& source : sources) {
        const Titles titles = source == "sample" ? Titles{kSampleTitle}
                              : source == "user" ? Titles{kUserItem.title}
                                                 : TitlesOf(source);
        expected.insert(expected.end(), titles.begin(), titles.end());
    }
    std::sort(expected.begin(), expected.end());
    Titles shown;
    for (int waited = 0; waited < 20000 && shown != expected; waited += 20) {
        Host().Pump(20);
        if (Status(view_).find("items [") != std::string::npos) {
            shown = Column(view_, 1);
            std::sort(shown.begin(), shown.end());
        }
    }
    if (shown == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "shows " << ::testing::PrintToString(shown) << ", not "
                                         << ::testing::PrintToString(expected);
}

TEST_F(PlayerFollowTest, TheViewShowsWhatIsPluggedInAfterEachStep) {
    for (const auto& [name, steps] : kSequences) {
        SCOPED_TRACE(name);
        view_ = nullptr;
        search_.clear();
        for (const char* step : steps) {
            SCOPED_TRACE(step);
            Run(step);
            if (HasFatalFailure()) {
                return;
            }
        }
        if (view_ != nullptr) {
            DestroyWindow(view_);
        }
        TearDown();
        SetUp();
    }
}

constexpr int kCycles = 200;
constexpr int kSettledCycle = 10;

// Pull and attach, over and over: what the tenth cycle holds, the last holds
// too.
TEST_F(PlayerFollowTest, TwoHundredPullsAndAttachesGiveEverythingBack) {
    Run("plug E a");
    Run("open = a sample");
    ASSERT_FALSE(HasFailure());
    testing_support::ProcessResources settled;
    size_t settledBytes = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        Run("pull E = sample");
        Run("plug E a = a sample");
        ASSERT_FALSE(HasFailure()) << "cycle " << cycle;
        if (cycle == kSettledCycle) {
            settled = testing_support::MeasureProcessResources();
            settledBytes = devhost::PrivateBytesNow();
        }
    }
    const testing_support::ProcessResources last = testing_support::MeasureProcessResources();
    EXPECT_EQ(last, settled) << last.Describe() << " against " << settled.Describe();
    // A figure, not a check: bench/ and the report hold it.
    std::printf("private bytes: %zu KB at cycle %d, %zu KB at cycle %d\n", settledBytes / 1024,
                kSettledCycle, devhost::PrivateBytesNow() / 1024, kCycles);
}

}  // namespace
