// The view following the player through the stand-in host: players plugged in
// and pulled out of mapped drives, with the system's broadcasts.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devhost/player_plug.h"
#include "devhost/private_bytes.h"
#include "devhost/status_listener.h"
#include "host/host_api.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"
#include "tests/windows/support/process_resources.h"
#include "tools/sample_image/sample_image.h"

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

enum class Act {
    kOpenView,
    kCloseView,
    kPlug,            // `what` on `letter`
    kPull,            // whatever is on `letter`
    kPullDuringRead,  // plug `what` on `letter`, pull it at the read's first progress text
    kDropUserRow,     // onto the tree item
    kSearch,          // type `what`
    kPlayAllPulling,  // play every row; the host pulls `letter` while it holds them
};

struct Step {
    Act act;
    char letter;
    const char* what;
    // After the step, once the view (when open) has settled: the images
    // whose tracks it shows, and "user" and "sample" for those rows.
    std::vector<std::string> shown;
};

struct Sequence {
    const char* name;
    std::vector<Step> steps;
};

const std::vector<Sequence> kSequences = {
    {"pulled, then attached again",
     {{Act::kPlug, 'E', "a", {}},
      {Act::kOpenView, 0, "", {"a", "sample"}},
      {Act::kPull, 'E', "", {"sample"}},
      {Act::kPlug, 'E', "a", {"a", "sample"}}}},
    {"a second player waits while the first is shown",
     {{Act::kPlug, 'E', "a", {}},
      {Act::kOpenView, 0, "", {"a", "sample"}},
      {Act::kPlug, 'G', "b", {"a", "sample"}},
      {Act::kPull, 'E', "", {"b", "sample"}}}},
    {"attached on another letter after a look that found none",
     {{Act::kOpenView, 0, "", {"sample"}}, {Act::kPlug, 'G', "b", {"b", "sample"}}}},
    {"the user's rows and search stay through a swap",
     {{Act::kOpenView, 0, "", {"sample"}},
      {Act::kDropUserRow, 0, "", {"user", "sample"}},
      {Act::kSearch, 0, "e", {"user", "sample"}},
      {Act::kPlug, 'E', "a", {"a", "user", "sample"}},
      {Act::kPull, 'E', "", {"user", "sample"}},
      {Act::kPlug, 'E', "b", {"b", "user", "sample"}}}},
    {"items the host sent before any read keep the player out",
     {{Act::kDropUserRow, 0, "", {}},
      {Act::kPlug, 'E', "a", {}},
      {Act::kOpenView, 0, "", {"user"}},
      {Act::kPull, 'E', "", {"user"}},
      {Act::kPlug, 'E', "b", {"user"}}}},
    {"pulled while the host holds rows handed to it",
     {{Act::kPlug, 'E', "a", {}},
      {Act::kOpenView, 0, "", {"a", "sample"}},
      {Act::kPlayAllPulling, 'E', "", {"sample"}}}},
    {"pulled during the read",
     {{Act::kOpenView, 0, "", {"sample"}},
      {Act::kPullDuringRead, 'E', "big", {"sample"}},
      {Act::kPlug, 'E', "big", {"big", "sample"}}}},
    {"pulled and attached while no view is open",
     {{Act::kPlug, 'E', "a", {}},
      {Act::kOpenView, 0, "", {"a", "sample"}},
      {Act::kCloseView, 0, "", {}},
      {Act::kPull, 'E', "", {}},
      {Act::kOpenView, 0, "", {"sample"}},
      {Act::kCloseView, 0, "", {}},
      {Act::kPlug, 'E', "b", {}},
      {Act::kOpenView, 0, "", {"b", "sample"}}}},
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

    void Run(const Step& step);
    void PullDuringRead(const Step& step);
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

void PlayerFollowTest::Run(const Step& step) {
    switch (step.act) {
        case Act::kOpenView:
            view_ = OpenView();
            ASSERT_NE(view_, nullptr);
            break;
        case Act::kCloseView:
            ASSERT_TRUE(DestroyWindow(view_));
            view_ = nullptr;
            break;
        case Act::kPlug:
            ASSERT_TRUE(slots_[step.letter]->Plug(ImageFolder(step.what)));
            plugged_[step.letter] = step.what;
            break;
        case Act::kPull:
            ASSERT_TRUE(slots_[step.letter]->Pull(ImageFolder(plugged_[step.letter])));
            plugged_[step.letter].clear();
            break;
        case Act::kPullDuringRead:
            PullDuringRead(step);
            break;
        case Act::kDropUserRow:
            ASSERT_EQ(Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0,
                           reinterpret_cast<INT_PTR>(user_.List())),
                      1);
            break;
        case Act::kSearch:
            search_ = step.what;
            SetDlgItemTextA(view_, IDC_SEARCH, step.what);
            break;
        case Act::kPlayAllPulling:
            PlayAllPulling(step.letter);
            break;
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
void PlayerFollowTest::PullDuringRead(const Step& step) {
    PlayerSlot& slot = *slots_[step.letter];
    bool pulled = false;
    devhost::StatusListener status(view_, [&](const std::string& text) {
        if (!pulled && devhost::IsProgressText(text)) {
            pulled = slot.Pull(ImageFolder(step.what), Broadcast::kFromAnotherThread);
        }
    });
    ASSERT_TRUE(slot.Plug(ImageFolder(step.what)));
    plugged_[step.letter] = step.what;
    for (int waited = 0; !pulled && waited < 20000; waited += 10) {
        Host().Pump(10);
    }
    ASSERT_TRUE(pulled) << "the read showed no progress";
    plugged_[step.letter].clear();
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
    for (const Sequence& sequence : kSequences) {
        SCOPED_TRACE(sequence.name);
        view_ = nullptr;
        search_.clear();
        for (size_t index = 0; index < sequence.steps.size(); ++index) {
            const Step& step = sequence.steps[index];
            SCOPED_TRACE("step " + std::to_string(index + 1));
            Run(step);
            if (HasFatalFailure()) {
                return;
            }
            if (view_ != nullptr && !step.shown.empty()) {
                EXPECT_TRUE(Shows(step.shown));
                EXPECT_EQ(SearchText(view_), search_);
            }
        }
        // A fresh plug-in and empty drives for the next sequence.
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
    const Step plug = {Act::kPlug, 'E', "a", {}};
    Run(plug);
    Run({Act::kOpenView, 0, "", {}});
    ASSERT_TRUE(Shows({"a", "sample"}));
    testing_support::ProcessResources settled;
    size_t settledBytes = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        Run({Act::kPull, 'E', "", {}});
        ASSERT_TRUE(Shows({"sample"})) << "cycle " << cycle;
        Run(plug);
        ASSERT_TRUE(Shows({"a", "sample"})) << "cycle " << cycle;
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
