// The library view end to end: the real DLL in the stand-in host, a player
// image on drive E:.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "devhost/modal_automation.h"
#include "devhost/skin_functions.h"
#include "devhost/status_listener.h"
#include "host/host_api.h"
#include "resources/resource.h"
#include "tests/windows/support/host_opens.h"
#include "tests/windows/support/import_patch.h"
#include "tests/windows/support/plugin_fixture.h"
#include "tools/kovra-make-image/sample_image.h"

namespace {

namespace fs = std::filesystem;

using devhost::HostOptions;
using devhost::ModalAutomation;
using devhost::RecordedRequest;
using devhost::SkinCall;
using testing_support::HostItems;
using testing_support::HostOpens;
using testing_support::PluginTest;
using Texts = std::vector<std::string>;

constexpr char kDrive[] = "E:/";
constexpr char kSection[] = "ml_kovra";
const SampleImageOptions kPlayer = {7, 12};

const char* const kHeadings[] = {"Artist",  "Title", "Album", "Length",
                                 "Track #", "Genre", "Year",  "Filename"};
const int kWidths[] = {200, 200, 200, 64, 64, 100, 64, 80};

// The row every import adds after the player's tracks, without its filename.
const Texts kSampleRow = {"Nullsoft Band", "Uhmm errors?", "SEP", "11:06", "1", "Shit", "2003"};

std::string Clock(unsigned seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string Minutes(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// The UTF-8 `text` in code page 1252: Latin-1 as its own byte, any other
// character beyond ASCII as '?' (the sample players use no other of 1252's).
std::string InWesternCodePage(const std::string& text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length == 1) {
            shown += text[at];
        } else if (lead <= 0xC3) {
            shown += static_cast<char>((lead & 0x03) << 6 | (text[at + 1] & 0x3F));
        } else {
            shown += '?';
        }
        at += length;
    }
    return shown;
}

// What the list shows of the player image: per row artist to year, then the
// filename.
struct PlayerRows {
    std::vector<Texts> rows;  // the sample row included, without filenames
    Texts filenames;          // of the tracks
    unsigned seconds = 0;     // all rows together
    std::string status;
};

PlayerRows ExpectedPlayerRows(const SampleImageOptions& options) {
    PlayerRows expected;
    unsigned total = 666;
    for (const SampleTrack& track : DescribeSampleImage(options).tracks) {
        std::string title = track.title;
        for (char& c : title) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                c = ' ';
            }
        }
        const int seconds = std::stoi(track.playingTime);
        total += static_cast<unsigned>(seconds);
        expected.rows.push_back({InWesternCodePage(track.creator), title, "UHM NOT YET",
                                 Minutes(seconds), "1", InWesternCodePage(track.genre),
                                 std::to_string(std::stoi(track.recorded))});
        expected.filenames.push_back("E:" + track.lastUrl);
    }
    expected.rows.push_back(kSampleRow);
    expected.seconds = total;
    expected.status = std::to_string(expected.rows.size()) + " items [" + Clock(total) + "]";
    return expected;
}

// Five bands whose texts sort differently from how they read: a leading
// "The ", a leading quote mark, lower case.
const std::vector<HostItems::Item> kBands = {
    {"E:/help.mp3", "Help", "Help!", "The Beatles", "Pop", 1965, 2, 139},
    {"E:/waterloo.mp3", "Waterloo", "Waterloo", "abba", "Pop", 1974, 1, 166},
    {"E:/sunshine.mp3", "Sunshine of Your Love", "Disraeli Gears", "'Cream", "Rock", 1967, 3, 250},
    {"E:/break.mp3", "Break On Through", "The Doors", "the Doors", "Rock", 1967, 1, 145},
    {"E:/peaches.mp3", "Peaches en Regalia", "Hot Rats", "Zappa", "Jazz", 1969, 1, 218},
};
const std::string kBandsStatus = "5 items [0:15:18]";

const Texts kArtistsAscending = {"abba", "The Beatles", "'Cream", "the Doors", "Zappa"};
const Texts kTitlesAscending = {"Break On Through", "Help", "Peaches en Regalia",
                                "Sunshine of Your Love", "Waterloo"};
const Texts kAlbumsAscending = {"Disraeli Gears", "The Doors", "Help!", "Hot Rats", "Waterloo"};
const Texts kLengthsAscending = {"2:19", "2:25", "2:46", "3:38", "4:10"};

Texts Reversed(Texts texts) {
    std::reverse(texts.begin(), texts.end());
    return texts;
}

class LibraryViewTest : public PluginTest {
  protected:
    // Empties drive E: (no player on it), refusing to touch anything but the
    // test's own folder.
    ::testing::AssertionResult ClearDrive() {
        if (GetDriveTypeA(kDrive) != DRIVE_REMOVABLE) {
            return ::testing::AssertionFailure()
                   << "E: is not a removable drive: run through tests/windows/with-drives";
        }
        const fs::path root(kDrive);
        std::error_code error;
        if (fs::exists(root / "index.mum", error) && HoldsForeignCatalogue(kDrive)) {
            return ::testing::AssertionFailure()
                   << "E: holds a catalogue these tests did not write";
        }
        fs::remove(root / "index.mum", error);
        fs::remove_all(root / "SYSTEM", error);
        if (fs::exists(root / "index.mum", error) || fs::exists(root / "SYSTEM", error)) {
            return ::testing::AssertionFailure() << "cannot empty E:";
        }
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult PutPlayer(const SampleImageOptions& options) {
        ::testing::AssertionResult cleared = ClearDrive();
        if (!cleared) {
            return cleared;
        }
        if (!WriteSampleImage(kDrive, options)) {
            return ::testing::AssertionFailure() << "cannot write the player image on E:";
        }
        return ::testing::AssertionSuccess();
    }

    INT_PTR Drop(HostItemRecordList* list) {
        return Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), kHostTypeItemRecordList,
                    reinterpret_cast<INT_PTR>(list));
    }

    const std::string& SettingsPath() { return Host().Options().settingsPath; }

    std::string Stored(const char* key) {
        char text[1024] = {};
        GetPrivateProfileStringA(kSection, key, "(none)", text, sizeof text,
                                 SettingsPath().c_str());
        return text;
    }

    // A null value removes the key.
    void Store(const char* key, const char* value) {
        WritePrivateProfileStringA(kSection, key, value, SettingsPath().c_str());
    }

    // Pumps until `done` or the timeout; says whether `done` came true.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 3000) {
        const ULONGLONG end = GetTickCount64() + timeout;
        while (!done()) {
            if (GetTickCount64() >= end) {
                return false;
            }
            Host().Pump(10);
        }
        return true;
    }

    // The status line once it reads `expected`, or as it reads after a while.
    std::string StatusBecomes(HWND view, const std::string& expected) {
        PumpUntil([&] { return Status(view) == expected; });
        return Status(view);
    }

    // Types into the search box as a user would: the box tells the view.
    void Type(HWND view, const std::string& text) {
        SetDlgItemTextA(view, IDC_SEARCH, text.c_str());
    }

    Texts Row(HWND view, int row, int columns = 8) {
        Texts texts;
        for (int column = 0; column < columns; ++column) {
            texts.push_back(Cell(view, row, column));
        }
        return texts;
    }

    HWND Header(HWND view) {
        return reinterpret_cast<HWND>(SendMessageA(List(view), LVM_GETHEADER, 0, 0));
    }

    // Clicks a column heading with the mouse.
    void ClickColumn(HWND view, int column) {
        const HWND header = Header(view);
        RECT area = {};
        ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&area)));
        const LPARAM at = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
    }

    // The list's own search, as when the user types while the list has the
    // focus.
    int Find(HWND view, int start, UINT flags, const char* text) {
        LVFINDINFOA find = {};
        find.flags = flags;
        find.psz = text;
        return static_cast<int>(
            SendMessageA(List(view), LVM_FINDITEMA, start, reinterpret_cast<LPARAM>(&find)));
    }

    // What the list control of an ANSI dialog sends the view for that search on
    // Windows.
    int FindAsTheListAsks(HWND view, int start, UINT flags, const char* text) {
        std::string typed = text;
        NMLVFINDITEMA find = {};
        find.hdr.hwndFrom = List(view);
        find.hdr.idFrom = IDC_LIST;
        find.hdr.code = LVN_ODFINDITEMA;
        find.iStart = start;
        find.lvfi.flags = flags;
        find.lvfi.psz = typed.c_str();
        return static_cast<int>(
            SendMessageA(view, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&find)));
    }

    std::vector<std::pair<std::string, int>> Headings(HWND view) {
        std::vector<std::pair<std::string, int>> headings;
        for (int index = 0; index < 32; ++index) {
            char text[64] = {};
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            if (!SendMessageA(List(view), LVM_GETCOLUMNA, index,
                              reinterpret_cast<LPARAM>(&column))) {
                break;
            }
            headings.emplace_back(text, column.cx);
        }
        return headings;
    }

    std::vector<SkinCall> SkinCallsOf(const std::string& function) {
        std::vector<SkinCall> calls;
        for (const SkinCall& call : Host().SkinCalls()) {
            if (call.function == function) {
                calls.push_back(call);
            }
        }
        return calls;
    }

    std::vector<WPARAM> SkinSelectorsAsked() {
        std::vector<WPARAM> selectors;
        for (const RecordedRequest& request :
             Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_GET_SKIN_FUNCTION)) {
            selectors.push_back(request.wParam);
        }
        return selectors;
    }
};

// A player with twelve tracks on E:.
class PlayerViewTest : public LibraryViewTest {
  protected:
    void SetUp() override {
        LibraryViewTest::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(PutPlayer(kPlayer));
        }
    }
};

// No player anywhere.
class NoPlayerViewTest : public LibraryViewTest {
  protected:
    void SetUp() override {
        LibraryViewTest::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_TRUE(ClearDrive());
        }
    }
};

// The five bands dropped onto the tree item before any view opened, so that
// they are the whole library (no player is read when it holds rows).
class BandsViewTest : public NoPlayerViewTest {
  protected:
    void SetUp() override {
        NoPlayerViewTest::SetUp();
        if (!HasFatalFailure()) {
            ASSERT_EQ(Drop(bands_.List()), 1);
        }
    }

    HostItems bands_{kBands};
};

// Opening ----------------------------------------------------------------

TEST_F(PlayerViewTest, OpeningTakesTheSkinFunctionsAndHandsTheListToTheSkin) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), Host().LibraryWindow());
    // Shown at once; the player is read afterwards.
    EXPECT_EQ(RowCount(view), 0);

    EXPECT_EQ(SkinSelectorsAsked(), (std::vector<WPARAM>{1, 2, 3, 32, 33, 66}));
    size_t lastSkinFunction = 0, skinList = 0;
    const std::vector<RecordedRequest>& requests = Host().Requests();
    for (size_t index = 0; index < requests.size(); ++index) {
        if (requests[index].message != WM_LIBRARY_IPC) {
            continue;
        }
        EXPECT_EQ(requests[index].target, Host().LibraryWindow());
        if (requests[index].code == LIBIPC_GET_SKIN_FUNCTION) {
            lastSkinFunction = index;
        } else if (requests[index].code == LIBIPC_SKIN_LISTVIEW) {
            skinList = index;
            EXPECT_EQ(requests[index].wParam, reinterpret_cast<WPARAM>(List(view)));
        }
    }
    EXPECT_EQ(Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_SKIN_LISTVIEW).size(), 1u);
    EXPECT_GT(skinList, lastSkinFunction);

    const std::vector<SkinCall> init = SkinCallsOf("resizeInit");
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].window, view);
    ASSERT_EQ(init[0].count, 4);
    ASSERT_EQ(init[0].arguments.size(), 8u);
    std::vector<intptr_t> controls;
    for (size_t rule = 0; rule < 4; ++rule) {
        controls.push_back(init[0].arguments[rule * 2]);
    }
    std::sort(controls.begin(), controls.end());
    EXPECT_EQ(controls, (std::vector<intptr_t>{IDC_STATUS, IDC_SEARCH, IDC_CONFIG, IDC_LIST}));

    EXPECT_TRUE(WaitForStatus(view));
    EXPECT_EQ(RowCount(view), 13);
}

TEST_F(PlayerViewTest, ListHasEightColumnsFullRowSelectAndTheHostsFont) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    std::vector<std::pair<std::string, int>> expected;
    for (int column = 0; column < 8; ++column) {
        expected.emplace_back(kHeadings[column], kWidths[column]);
    }
    EXPECT_EQ(Headings(view), expected);
    EXPECT_EQ(SendMessageA(Header(view), HDM_GETITEMCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(List(view), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_FULLROWSELECT | LVS_EX_UNDERLINEHOT);
    ASSERT_NE(Host().LastListFont(), nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(List(view), WM_GETFONT, 0, 0)),
              Host().LastListFont());
}

TEST_F(PlayerViewTest, ListTakesItsColoursFromTheSkin) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    std::vector<intptr_t> asked;
    for (const SkinCall& call : SkinCallsOf("color")) {
        asked.push_back(call.arguments.at(0));
    }
    EXPECT_EQ(asked, (std::vector<intptr_t>{1, 0, 0}));
    const HWND list = List(view);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)),
              devhost::SkinColour(1));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)),
              devhost::SkinColour(0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0)),
              devhost::SkinColour(0));
}

TEST_F(PlayerViewTest, ShowsEveryTrackOfThePlayerAndTheSampleRow) {
    ASSERT_EQ(GetACP(), 1252u) << "artists and genres are spelled in a Western code page";
    const HWND view = OpenViewWithRows();
    const PlayerRows expected = ExpectedPlayerRows(kPlayer);
    EXPECT_EQ(Status(view), expected.status);
    ASSERT_EQ(RowCount(view), static_cast<int>(expected.rows.size()));

    std::vector<Texts> shown;
    Texts filenames;
    for (int row = 0; row < RowCount(view); ++row) {
        shown.push_back(Row(view, row, 7));
        filenames.push_back(Cell(view, row, 7));
    }
    std::vector<Texts> wanted = expected.rows;
    std::sort(shown.begin(), shown.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(shown, wanted);
    for (const std::string& filename : expected.filenames) {
        EXPECT_NE(std::find(filenames.begin(), filenames.end(), filename), filenames.end())
            << filename;
    }
}

// Notes when the view's first-load timer fires, on a listener's clock: the
// moment its read of the player begins.
class LoadTimerWatch {
  public:
    LoadTimerWatch(HWND view, const devhost::StatusListener& clock) : view_(view), clock_(clock) {
        watching_ = this;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Watch)));
    }
    ~LoadTimerWatch() {
        SetWindowLongPtrA(view_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        watching_ = nullptr;
    }
    double firedAt = -1;

  private:
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        LoadTimerWatch* self = watching_;
        if (message == WM_TIMER && wParam == 32 && self->firedAt < 0) {
            self->firedAt = self->clock_.Now();
        }
        return CallWindowProcA(self->original_, window, message, wParam, lParam);
    }
    static LoadTimerWatch* watching_;
    HWND view_;
    const devhost::StatusListener& clock_;
    WNDPROC original_ = nullptr;
};
LoadTimerWatch* LoadTimerWatch::watching_ = nullptr;

// A read that ends within the quiet stretch shows no progress text, so a
// small player does not flicker one; on a busy machine its read may take
// longer, and then a text may show, but never within the stretch (99 ms:
// the view counts whole milliseconds of the system tick).
TEST_F(PlayerViewTest, ASmallPlayerShowsNoProgressWithinTheFirst100Ms) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    devhost::StatusListener status(view);
    LoadTimerWatch timer(view, status);
    ASSERT_TRUE(WaitForStatus(view));
    ASSERT_GE(timer.firedAt, 0);
    ASSERT_FALSE(status.Texts().empty());
    EXPECT_EQ(status.Texts().back().text, ExpectedPlayerRows(kPlayer).status);
    for (const auto& text : status.Texts()) {
        if (devhost::IsProgressText(text.text)) {
            EXPECT_GE(text.milliseconds - timer.firedAt, 99.0) << text.text;
        }
    }
}

TEST_F(NoPlayerViewTest, WithoutAPlayerOnlyTheSampleRowShows) {
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Status(view), "1 items [0:11:06]");
    ASSERT_EQ(RowCount(view), 1);
    EXPECT_EQ(Row(view, 0, 7), kSampleRow);
}

TEST_F(PlayerViewTest, HostWithoutASkinGetsWhiteOnBlackInTheDialogsFont) {
    HostOptions options;
    options.answerSkinRequests = false;
    Restart(options);
    if (HasFatalFailure()) {
        return;
    }
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Status(view), ExpectedPlayerRows(kPlayer).status);
    EXPECT_EQ(RowCount(view), 13);
    EXPECT_EQ(Cell(view, 0, 2), "UHM NOT YET");

    const HWND list = List(view);
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0), 0xFFFFFF);
    EXPECT_EQ(SendMessageA(list, LVM_GETBKCOLOR, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), 0);
    const LRESULT font = SendMessageA(list, WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    EXPECT_EQ(font, SendMessageA(GetDlgItem(view, IDC_SEARCH), WM_GETFONT, 0, 0));
    EXPECT_TRUE(Host().SkinCalls().empty());

    const auto skinned = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_SKIN_LISTVIEW);
    ASSERT_EQ(skinned.size(), 1u);
    EXPECT_EQ(skinned[0].wParam, reinterpret_cast<WPARAM>(list));
}

// Closing ----------------------------------------------------------------

TEST_F(PlayerViewTest, ClosingUnskinsWithTheHandleTheHostAnswered) {
    const struct {
        const char* name;
        bool answerSkin;
        INT_PTR handle;
        WPARAM expected;
    } cases[] = {
        {"the usual handle", true, 0x5150, 0x5150},
        {"another handle", true, 0x2468ACE, 0x2468ACE},
        {"a host without a skin answers 0", false, 0x5150, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        HostOptions options;
        options.answerSkinRequests = test.answerSkin;
        options.skinnedListHandle = test.handle;
        Restart(options);
        if (HasFatalFailure()) {
            return;
        }
        const HWND view = OpenViewWithRows();
        Host().ClearRequests();
        EXPECT_TRUE(DestroyWindow(view));
        const auto unskinned = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_UNSKIN_LISTVIEW);
        ASSERT_EQ(unskinned.size(), 1u);
        EXPECT_EQ(unskinned[0].wParam, test.expected);
        EXPECT_EQ(unskinned[0].target, Host().LibraryWindow());
    }
}

TEST_F(NoPlayerViewTest, ClosingForgetsTheViewWhateverThePreHandlerAnswersToItsDestroy) {
    const struct {
        const char* name;
        INT_PTR destroyAnswer;
    } cases[] = {{"the pre-handler passes it on", 0}, {"the pre-handler answers it", 1}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        HostOptions options;
        options.preHandlerAnswer = test.destroyAnswer;
        options.preHandlerAnswerOnlyTo = WM_DESTROY;
        Restart(options);
        if (HasFatalFailure()) {
            return;
        }
        HostItems bands(kBands);
        ASSERT_EQ(Drop(bands.List()), 1);
        const HWND view = OpenViewWithRows();
        Type(view, "help");
        ASSERT_EQ(StatusBecomes(view, "Found: 1 items [0:02:19]"), "Found: 1 items [0:02:19]");
        ASSERT_TRUE(DestroyWindow(view));

        // With no view, a drop runs no pass: the rows of the last one stay
        // (a pass over a dead view would read an empty search and take all).
        HostItems late({{"E:/late.mp3", "Late", "", "", "", 0, 0, 1}});
        ASSERT_EQ(Drop(late.List()), 1);
        Host().ClearRequests();
        POINT elsewhere = {1, 1};
        EXPECT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&elsewhere)), 1);
        const auto drops = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_DROP);
        ASSERT_EQ(drops.size(), 1u);
        ASSERT_EQ(drops[0].items.size(), 1u);
        EXPECT_EQ(drops[0].items[0].title, "Help");
    }
}

TEST_F(NoPlayerViewTest, RowsDroppedWhileNoViewIsOpenShowInTheNextView) {
    const HWND first = OpenViewWithRows();
    EXPECT_EQ(Status(first), "1 items [0:11:06]");
    ASSERT_TRUE(DestroyWindow(first));

    HostItems items({{"E:/late.mp3", "Late Arrival", "Later", "Latecomers", "Pop", 2001, 4, 60}});
    EXPECT_EQ(Drop(items.List()), 1);

    const HWND second = OpenViewWithRows();
    EXPECT_EQ(Status(second), "2 items [0:12:06]");
    EXPECT_EQ(Column(second, 1), (Texts{"Late Arrival", "Uhmm errors?"}));
}

TEST_F(NoPlayerViewTest, APlayerAttachedAfterAViewWithoutOneIsReadByTheNextView) {
    const HWND first = OpenViewWithRows();
    EXPECT_EQ(Status(first), "1 items [0:11:06]");
    ASSERT_TRUE(DestroyWindow(first));

    ASSERT_TRUE(PutPlayer(kPlayer));
    const HWND second = OpenViewWithRows();
    EXPECT_EQ(Status(second), ExpectedPlayerRows(kPlayer).status);
}

// As the host would use them: every filename handed over opens the track's
// file.
TEST_F(NoPlayerViewTest, EveryTrackDroppedOutOpensWithTheHostsFileFunctions) {
    SampleImageOptions player = {3, 60};
    player.audioFiles = true;
    ASSERT_TRUE(PutPlayer(player));
    OpenViewWithRows();
    POINT elsewhere = {1, 1};
    ASSERT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&elsewhere)), 1);
    const auto drops = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_DROP);
    ASSERT_EQ(drops.size(), 1u);
    Texts expected = ExpectedPlayerRows(player).filenames;
    ASSERT_EQ(drops[0].items.size(), expected.size() + 1);  // and the sample row
    int accented = 0;
    for (const auto& item : drops[0].items) {
        const std::string& handed = item.filename.value_or("");
        if (handed.rfind("http://", 0) == 0) {
            continue;
        }
        EXPECT_TRUE(HostOpens(handed)) << handed;
        const bool ascii = std::all_of(handed.begin(), handed.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (std::find(expected.begin(), expected.end(), handed) == expected.end()) {
            ++accented;  // converted, and no longer the catalogue's UTF-8
        } else {
            EXPECT_TRUE(ascii) << handed << ": an ASCII name is handed over byte for byte";
        }
    }
    EXPECT_GT(accented, 0);
}

// The thread's error mode at each file the plug-in opens.
std::vector<UINT> g_errorModesAtOpen;
using CreateFileFunction = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD,
                                           DWORD, HANDLE);
CreateFileFunction g_createFile = nullptr;

HANDLE WINAPI RecordingCreateFile(LPCSTR path, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE model) {
    g_errorModesAtOpen.push_back(GetThreadErrorMode());
    return g_createFile(path, access, share, security, disposition, flags, model);
}

TEST_F(PlayerViewTest, CriticalErrorBoxesStayOffForTheWholeReadAndComeBackAfter) {
    SetThreadErrorMode(SEM_NOGPFAULTERRORBOX, nullptr);  // the host's own choice
    g_errorModesAtOpen.clear();
    {
        testing_support::ImportPatch opens(GetModuleHandleA("ml_kovra.dll"), "kernel32.dll",
                                           "CreateFileA",
                                           reinterpret_cast<void*>(RecordingCreateFile));
        ASSERT_TRUE(opens.Patched());
        g_createFile = reinterpret_cast<CreateFileFunction>(opens.Original());
        OpenViewWithRows();
    }
    EXPECT_EQ(GetThreadErrorMode(), static_cast<DWORD>(SEM_NOGPFAULTERRORBOX));
    SetThreadErrorMode(0, nullptr);
    // The drive probes and every catalogue file.
    ASSERT_GT(g_errorModesAtOpen.size(), 10u);
    for (const UINT mode : g_errorModesAtOpen) {
        EXPECT_EQ(mode, static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS));
    }
}

// Layout and painting ----------------------------------------------------

struct Layout {
    RECT search, list, config, status;
};

Layout LayoutOf(HWND view) {
    Layout layout;
    const std::pair<int, RECT*> controls[] = {{IDC_SEARCH, &layout.search},
                                              {IDC_LIST, &layout.list},
                                              {IDC_CONFIG, &layout.config},
                                              {IDC_STATUS, &layout.status}};
    for (const auto& control : controls) {
        GetWindowRect(GetDlgItem(view, control.first), control.second);
        MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(control.second), 2);
    }
    return layout;
}

TEST_F(PlayerViewTest, ControlsFollowTheViewsSizeThroughTheHostsResizeRules) {
    const HWND view = OpenViewWithRows();
    const std::vector<SkinCall> init = SkinCallsOf("resizeInit");
    ASSERT_EQ(init.size(), 1u);
    const Layout before = LayoutOf(view);
    RECT client = {};
    GetClientRect(view, &client);

    Host().ClearSkinCalls();
    const int dx = -150, dy = -120;
    MoveWindow(view, 0, 0, client.right + dx, client.bottom + dy, TRUE);
    const std::vector<SkinCall> resize = SkinCallsOf("resize");
    ASSERT_EQ(resize.size(), 1u);
    EXPECT_EQ(resize[0].window, view);
    EXPECT_EQ(resize[0].count, 4);
    EXPECT_EQ(resize[0].arguments, init[0].arguments);

    const Layout after = LayoutOf(view);
    // The search box and the list stretch; the button and the status line stay
    // at the bottom.
    EXPECT_EQ(after.search.right - before.search.right, dx);
    EXPECT_EQ(after.search.bottom, before.search.bottom);
    EXPECT_EQ(after.list.right - before.list.right, dx);
    EXPECT_EQ(after.list.bottom - before.list.bottom, dy);
    EXPECT_EQ(after.list.top, before.list.top);
    EXPECT_EQ(after.config.top - before.config.top, dy);
    EXPECT_EQ(after.config.right, before.config.right);
    EXPECT_EQ(after.config.bottom - before.config.bottom, dy);
    EXPECT_EQ(after.status.top - before.status.top, dy);
    EXPECT_EQ(after.status.right - before.status.right, dx);

    Host().ClearSkinCalls();
    SendMessageA(view, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(SkinCallsOf("resize").empty());
}

TEST_F(PlayerViewTest, PaintingHasTheHostDrawBordersAroundSearchBoxAndList) {
    const HWND view = OpenViewWithRows();
    Host().ClearSkinCalls();
    // The host's frame is never shown, so nothing paints by itself.
    SendMessageA(view, WM_PAINT, 0, 0);
    const std::vector<SkinCall> borders = SkinCallsOf("drawBorders");
    ASSERT_FALSE(borders.empty());
    for (const SkinCall& call : borders) {
        EXPECT_EQ(call.window, view);
        EXPECT_EQ(call.count, 2);
        EXPECT_EQ(call.arguments,
                  (std::vector<intptr_t>{0x10000 | IDC_SEARCH, 0x10000 | IDC_LIST}));
    }
}

// Searching --------------------------------------------------------------

TEST_F(PlayerViewTest, SearchShowsMatchingRowsAndTheirCountAndLength) {
    const HWND view = OpenViewWithRows();
    const PlayerRows player = ExpectedPlayerRows(kPlayer);
    const std::string everything = player.status;
    const std::string tracksOnly = "Found: 12 items [" + Clock(player.seconds - 666) + "]";
    const struct {
        std::string search, status;
        int rows;
    } cases[] = {
        {"nullsoft", "Found: 1 items [0:11:06]", 1},
        {"\"uhm not yet\"", tracksOnly, 12},
        {"NULLSOFT shit 2003", "Found: 1 items [0:11:06]", 1},
        {"no-such-text", "Found: 0 items [0:00:00]", 0},
        {"", everything, 13},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.search);
        Type(view, test.search);
        EXPECT_EQ(StatusBecomes(view, test.status), test.status);
        EXPECT_EQ(RowCount(view), test.rows);
    }
    Type(view, "nullsoft");
    StatusBecomes(view, "Found: 1 items [0:11:06]");
    EXPECT_EQ(Row(view, 0, 7), kSampleRow);
}

// Names typed as the list shows them (code page 1252) find their rows.
TEST_F(NoPlayerViewTest, AccentedNamesAreFoundAsShown) {
    ASSERT_EQ(GetACP(), 1252u);
    ASSERT_TRUE(PutPlayer({9, 60}));
    const HWND view = OpenViewWithRows();
    const struct {
        const char* typed;
        int column;
        std::string shown;
    } cases[] = {{"t?ky?", 0, "T?ky? Ciudad"}, {"m\xFAsica", 5, "M\xFAsica Latina"}};
    for (const auto& test : cases) {
        Type(view, test.typed);
        EXPECT_TRUE(PumpUntil([&] { return Cell(view, 0, test.column) == test.shown; }));
        for (int row = 0; row < RowCount(view); ++row) {
            EXPECT_EQ(Cell(view, row, test.column), test.shown);
        }
    }
}

TEST_F(BandsViewTest, TypingFiltersOnlyOnceTheTypingPauses) {
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Status(view), kBandsStatus);
    // Each key comes well within the pause; the burst as a whole lasts longer
    // than one.
    for (const char* text : {"z", "zz", "zzz", "zzzz", "H", "He", "Hel", "Help"}) {
        Type(view, text);
        const ULONGLONG typed = GetTickCount64();
        Host().Pump(40);
        if (GetTickCount64() - typed < 120) {
            EXPECT_EQ(Status(view), kBandsStatus) << "filtered while typing \"" << text << '"';
        }
    }
    EXPECT_EQ(StatusBecomes(view, "Found: 1 items [0:02:19]"), "Found: 1 items [0:02:19]");
    EXPECT_EQ(Column(view, 1), Texts{"Help"});
    EXPECT_EQ(Stored("lastfilter"), "Help");
}

TEST_F(BandsViewTest, SearchTextIsStoredUpTo255Characters) {
    const HWND view = OpenViewWithRows();
    const struct {
        std::string typed, stored;
    } cases[] = {
        {"rock", "rock"},
        {std::string(255, 'q'), std::string(255, 'q')},
        {std::string(300, 'w'), std::string(255, 'w')},
        {"", ""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed.size());
        Type(view, test.typed);
        EXPECT_TRUE(PumpUntil([&] { return Stored("lastfilter") == test.stored; }))
            << Stored("lastfilter");
    }
}

TEST_F(BandsViewTest, ReopenedViewRestoresTheSearchAndItsRows) {
    const struct {
        std::string typed, status;
    } cases[] = {
        {"rock", "Found: 2 items [0:06:35]"},
        // A phrase no row holds; without its quotes both words would find Help.
        {"\"help the\" ", "Found: 0 items [0:00:00]"},
        {" \"the doors\"", "Found: 1 items [0:02:25]"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed);
        const HWND first = OpenViewWithRows();
        Type(first, test.typed);
        ASSERT_EQ(StatusBecomes(first, test.status), test.status);
        ASSERT_TRUE(PumpUntil([&] { return Stored("lastfilter") == test.typed; }));
        const Texts titles = Column(first, 1);
        ASSERT_TRUE(DestroyWindow(first));

        const HWND second = OpenViewWithRows();
        EXPECT_EQ(SearchText(second), test.typed);
        EXPECT_EQ(StatusBecomes(second, test.status), test.status);
        EXPECT_EQ(Column(second, 1), titles);
        ASSERT_TRUE(DestroyWindow(second));
    }
}

// Cells and the status line ----------------------------------------------

TEST_F(NoPlayerViewTest, CellsShowNumbersOnlyWhereTheyMakeSense) {
    const struct {
        const char* title;
        int length, track, year;
        const char *lengthText, *trackText, *yearText;
    } cases[] = {
        {"two minutes", 125, 1, 1, "2:05", "1", "1"},
        {"negative length", -65, 999, 4999, "-1:-5", "999", "4999"},
        {"nothing known", 0, 0, 0, "0:00", "", ""},
        {"out of range", 3600, 1000, 5000, "60:00", "", ""},
        {"negative numbers", 59, -3, -1987, "0:59", "", ""},
    };
    std::vector<HostItemRecord> records;
    for (const auto& test : cases) {
        HostItemRecord record = {};
        record.filename = "E:/cells.mp3";
        record.title = test.title;
        record.artist = "Cell Tester";
        record.length = test.length;
        record.track = test.track;
        record.year = test.year;
        records.push_back(record);
    }
    HostItemRecord blank = {};  // every text absent
    blank.length = 427;
    records.push_back(blank);
    HostItemRecordList list = {records.data(), static_cast<int32_t>(records.size()),
                               static_cast<int32_t>(records.size())};
    const HWND view = OpenViewWithRows();
    ASSERT_EQ(Drop(&list), 1);
    ASSERT_EQ(RowCount(view), 7);

    const Texts titles = Column(view, 1);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.title);
        const auto at = std::find(titles.begin(), titles.end(), test.title);
        ASSERT_NE(at, titles.end());
        const int row = static_cast<int>(at - titles.begin());
        EXPECT_EQ(Cell(view, row, 3), test.lengthText);
        EXPECT_EQ(Cell(view, row, 4), test.trackText);
        EXPECT_EQ(Cell(view, row, 6), test.yearText);
    }
    const Texts lengths = Column(view, 3);
    const auto at = std::find(lengths.begin(), lengths.end(), "7:07");
    ASSERT_NE(at, lengths.end());
    EXPECT_EQ(Row(view, static_cast<int>(at - lengths.begin())),
              (Texts{"", "", "", "7:07", "", "", "", ""}));
}

TEST_F(NoPlayerViewTest, StatusLineAddsLengthsUpInHoursMinutesAndSeconds) {
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Status(view), "1 items [0:11:06]");
    const struct {
        int length;
        const char* status;
    } drops[] = {
        {3000, "2 items [1:01:06]"},
        {100000, "3 items [28:47:46]"},
        {59, "4 items [28:48:45]"},
    };
    for (const auto& drop : drops) {
        SCOPED_TRACE(drop.length);
        HostItems items(
            {{"E:/long.mp3", "Long Player", "Length", "Kovra", "Drone", 2004, 1, drop.length}});
        EXPECT_EQ(Drop(items.List()), 1);
        EXPECT_EQ(Status(view), drop.status);
    }
    Type(view, "kovra");
    EXPECT_EQ(StatusBecomes(view, "Found: 3 items [28:37:39]"), "Found: 3 items [28:37:39]");
}

// Sorting ----------------------------------------------------------------

TEST_F(BandsViewTest, ColumnClicksFlipOrMoveTheSortAndStoreIt) {
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Column(view, 0), kArtistsAscending);
    const struct {
        int click;
        int shownColumn;
        Texts shown;
        const char *sortdir, *sortcol;
    } steps[] = {
        {0, 0, Reversed(kArtistsAscending), "1", "0"},
        {1, 1, Reversed(kTitlesAscending), "1", "1"},
        {1, 1, kTitlesAscending, "0", "1"},
        {3, 3, kLengthsAscending, "0", "3"},
        {2, 2, kAlbumsAscending, "0", "2"},
        {2, 2, Reversed(kAlbumsAscending), "1", "2"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message()
                     << "click on column " << step.click << ", then " << step.sortdir);
        ClickColumn(view, step.click);
        EXPECT_EQ(Column(view, step.shownColumn), step.shown);
        EXPECT_EQ(Stored("sortdir"), step.sortdir);
        EXPECT_EQ(Stored("sortcol"), step.sortcol);
        EXPECT_EQ(RowCount(view), 5);
    }
    EXPECT_EQ(Status(view), kBandsStatus);
}

TEST_F(BandsViewTest, NewViewSortsByTheStoredOrder) {
    Store("sortdir", "1");
    Store("sortcol", "1");
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Column(view, 1), Reversed(kTitlesAscending));
}

TEST_F(BandsViewTest, MissingStoredOrderKeepsTheColumnAndSortsAscending) {
    const struct {
        const char* name;
        int click;
        const char* removed;
        const char* sortdir;  // stored before the second view, when not null
        int shownColumn;
        Texts shown;
    } cases[] = {
        {"no sortcol: the previous view's column", 1, "sortcol", "1", 1,
         Reversed(kTitlesAscending)},
        {"no sortdir: ascending", 0, "sortdir", nullptr, 0, kArtistsAscending},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Restart(HostOptions{});
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(Drop(bands_.List()), 1);
        const HWND first = OpenViewWithRows();
        ClickColumn(first, test.click);
        ASSERT_TRUE(DestroyWindow(first));
        Store(test.removed, nullptr);
        if (test.sortdir != nullptr) {
            Store("sortdir", test.sortdir);
        }
        const HWND second = OpenViewWithRows();
        EXPECT_EQ(Column(second, test.shownColumn), test.shown);
    }
}

// Keyboard search through the list ---------------------------------------

TEST_F(BandsViewTest, ListSearchMatchesTheSortKeyOfTheSortColumn) {
    const HWND view = OpenViewWithRows();
    ASSERT_EQ(Column(view, 0), kArtistsAscending);
    const UINT partial = LVFI_STRING | LVFI_PARTIAL;
    const struct {
        const char* name;
        int start;
        UINT flags;
        const char* typed;
        int found;
    } cases[] = {
        {"prefix", 0, partial, "bea", 1},
        {"prefix in any case", 0, partial, "BEAT", 1},
        {"past a leading quote mark", 0, partial, "cr", 2},
        {"a leading 'the ' is no part of the key", 0, partial, "the", -1},
        {"after 'the '", 0, partial, "doo", 3},
        {"whole text", 0, LVFI_STRING, "cream", 2},
        {"whole text is not a prefix", 0, LVFI_STRING, "crea", -1},
        {"nothing to compare", 0, LVFI_PARAM, "abba", -1},
        {"from the start row on", 2, partial, "z", 4},
        {"not above the start row", 1, partial, "a", -1},
        {"wrapping round", 1, partial | LVFI_WRAP, "a", 0},
        {"no such key anywhere", 3, partial | LVFI_WRAP, "x", -1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(FindAsTheListAsks(view, test.start, test.flags, test.typed), test.found);
    }

    ClickColumn(view, 1);
    ASSERT_EQ(Column(view, 1), kTitlesAscending);
    EXPECT_EQ(FindAsTheListAsks(view, 0, partial, "sun"), 3);
    EXPECT_EQ(FindAsTheListAsks(view, 0, partial, "the"), -1);
    EXPECT_EQ(FindAsTheListAsks(view, 0, LVFI_STRING, "help"), 1);
}

TEST_F(BandsViewTest, ListSearchFindsNothingBeforeTheFirstPass) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(RowCount(view), 0);
    EXPECT_EQ(FindAsTheListAsks(view, 0, LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP, "abba"), -1);
}

// Through the list control itself. Wine's asks even an ANSI dialog with a
// wide text (LVN_ODFINDITEMW) and takes no answer for row 0.
TEST_F(BandsViewTest, ListSearchThroughTheListControl) {
    const HWND view = OpenViewWithRows();
    ASSERT_EQ(Column(view, 0), kArtistsAscending);
    const UINT partial = LVFI_STRING | LVFI_PARTIAL;
    EXPECT_EQ(Find(view, -1, partial, "bea"), 1);
    EXPECT_EQ(Find(view, -1, partial, "ZAP"), 4);
    EXPECT_EQ(Find(view, -1, partial, "the"), -1);
    EXPECT_EQ(Find(view, -1, LVFI_STRING, "nobody"), -1);
    EXPECT_EQ(Find(view, 1, partial, "a"), -1);
    EXPECT_EQ(Find(view, 1, partial | LVFI_WRAP, "a"), 0);
}

// A second view ----------------------------------------------------------

// No news of the drive came while no view was open: the second view looks
// whether the player read is still there and the same one.
TEST_F(PlayerViewTest, SecondViewShowsThePlayerPluggedInNow) {
    const struct {
        const char* name;
        std::function<::testing::AssertionResult()> change;
        std::string status;
    } cases[] = {
        {"the same player", [] { return ::testing::AssertionSuccess(); },
         ExpectedPlayerRows(kPlayer).status},
        {"player gone", [this] { return ClearDrive(); }, "1 items [0:11:06]"},
        {"another player",
         [this] {
             return PutPlayer({9, 20});
         },
         ExpectedPlayerRows({9, 20}).status},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Restart(HostOptions{});
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(PutPlayer(kPlayer));
        const HWND first = OpenViewWithRows();
        ASSERT_TRUE(DestroyWindow(first));

        ASSERT_TRUE(test.change());
        const HWND second = OpenViewWithRows();
        EXPECT_EQ(Status(second), test.status);
    }
}

TEST_F(PlayerViewTest, SecondViewHasTheSameEightColumns) {
    const HWND first = OpenViewWithRows();
    const auto headings = Headings(first);
    const Texts firstRow = Row(first, 0);
    ASSERT_EQ(headings.size(), 8u);
    ASSERT_TRUE(DestroyWindow(first));

    const HWND second = OpenViewWithRows();
    EXPECT_EQ(Headings(second), headings);
    EXPECT_EQ(SendMessageA(Header(second), HDM_GETITEMCOUNT, 0, 0), 8);
    EXPECT_EQ(Row(second, 0), firstRow);
}

// The Config button -------------------------------------------------------

TEST_F(PlayerViewTest, ConfigButtonShowsTheDisclaimerOverTheView) {
    const HWND view = OpenViewWithRows();
    const HWND topLevel = GetAncestor(view, GA_ROOT);
    ASSERT_TRUE(IsWindowEnabled(topLevel));
    const HWND button = GetDlgItem(view, IDC_CONFIG);
    ASSERT_NE(button, nullptr);

    ModalAutomation dialog = ModalAutomation::PressInDialog("Olympus MR-100", IDOK, topLevel);
    SendMessageA(view, WM_COMMAND, MAKEWPARAM(IDC_CONFIG, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    ASSERT_TRUE(dialog.Wait(5000));
    EXPECT_FALSE(dialog.ClosedByForce());
    EXPECT_FALSE(dialog.OwnerWasEnabled());
    EXPECT_TRUE(IsWindowEnabled(topLevel));
    const Texts texts = dialog.FoundTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("no guarantee"), std::string::npos) << texts[0];

    // The view goes on working.
    Type(view, "nullsoft");
    EXPECT_EQ(StatusBecomes(view, "Found: 1 items [0:11:06]"), "Found: 1 items [0:11:06]");
}

}  // namespace
