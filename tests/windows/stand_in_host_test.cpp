// The stand-in host against a fake plug-in, and modal automation against menus
// and dialogs.
#include "devhost/stand_in_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devhost/modal_automation.h"
#include "devhost/skin_functions.h"
#include "tests/windows/fake_plugin/fake_plugin.h"
#include "tests/support/temp_dir.h"

namespace {

using devhost::HostOptions;
using devhost::ModalAutomation;
using devhost::RecordedRequest;
using devhost::SkinCall;
using devhost::StandInHost;
using fake_plugin::Observations;

// Named by the test's environment, else next to the test itself.
std::string FakePluginPath() {
    if (const char* named = std::getenv("KOVRA_FAKE_PLUGIN")) {
        return named;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / "kovra_fake_plugin.dll").string();
}

const Observations& Seen(const StandInHost& host) {
    auto exported = reinterpret_cast<fake_plugin::ObservationsExport>(reinterpret_cast<void (*)()>(
        GetProcAddress(host.Module(), fake_plugin::kObservationsExport)));
    return *exported();
}

RecordedRequest OnlyRequest(const StandInHost& host, LPARAM code) {
    std::vector<RecordedRequest> found = host.RequestsWithCode(WM_LIBRARY_IPC, code);
    EXPECT_EQ(found.size(), 1u) << "requests with code " << code;
    return found.empty() ? RecordedRequest{} : found.front();
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

class StandInHostTest : public ::testing::Test {
  protected:
    void Start(HostOptions options = {}) {
        host_.reset();  // one host at a time
        host_ = std::make_unique<StandInHost>(std::move(options));
        ASSERT_TRUE(host_->Load(FakePluginPath())) << host_->LoadError();
        ASSERT_EQ(host_->Init(), 0);
    }

    // The requests the message made, and nothing from before it.
    void Provoke(int message, INT_PTR param1 = 0) {
        host_->ClearRequests();
        host_->ClearSkinCalls();
        EXPECT_EQ(host_->Send(message, param1, 0, 0), 1);
    }

    std::unique_ptr<StandInHost> host_;
};

TEST_F(StandInHostTest, LoadingFillsInTheHostsPartOfTheDescriptor) {
    Start();
    const PluginDescriptor* descriptor = host_->Descriptor();
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->version, kPluginDescriptorVersion);
    EXPECT_EQ(descriptor->hostMainWindow, host_->MainWindow());
    EXPECT_EQ(descriptor->hostLibraryWindow, host_->LibraryWindow());
    EXPECT_EQ(descriptor->moduleInstance, host_->Module());

    EXPECT_EQ(ClassName(host_->MainWindow()), "KovraStandInHostMain");
    EXPECT_FALSE(IsWindowVisible(host_->MainWindow()));
    EXPECT_EQ(GetParent(host_->LibraryWindow()), host_->MainWindow());
    EXPECT_NE(GetWindowLongA(host_->LibraryWindow(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
    RECT area = {};
    GetClientRect(host_->LibraryWindow(), &area);
    EXPECT_EQ(area.right, 800);
    EXPECT_EQ(area.bottom, 600);
}

TEST(StandInHostLoadTest, RefusesWhatIsNotAPluginAndASecondLoad) {
    StandInHost host;
    EXPECT_FALSE(host.Load("C:\\no\\such\\plugin.dll"));
    EXPECT_NE(host.LoadError().find("cannot load"), std::string::npos) << host.LoadError();
    EXPECT_FALSE(host.Load("comctl32.dll"));
    EXPECT_NE(host.LoadError().find("no export"), std::string::npos) << host.LoadError();
    EXPECT_EQ(host.Descriptor(), nullptr);
    EXPECT_EQ(host.Init(), -1);
    EXPECT_EQ(host.Send(fake_plugin::kSendItems, 0, 0, 0), 0);

    ASSERT_TRUE(host.Load(FakePluginPath())) << host.LoadError();
    EXPECT_FALSE(host.Load(FakePluginPath()));
}

TEST_F(StandInHostTest, InitGetsTheSettingsPathAndTheTreeItemId) {
    Start();
    const std::vector<RecordedRequest>& requests = host_->Requests();
    ASSERT_EQ(requests.size(), 2u);

    const RecordedRequest& settings = requests[0];
    EXPECT_EQ(settings.target, host_->MainWindow());
    EXPECT_EQ(settings.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(settings.code, HOSTIPC_GET_INI_FILE);
    const std::string path = host_->Options().settingsPath;
    ASSERT_NE(Seen(*host_).settingsPath, nullptr);
    EXPECT_EQ(Seen(*host_).settingsPath, path);
    EXPECT_EQ(std::filesystem::path(path).extension(), ".ini");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(path).parent_path()));
    EXPECT_FALSE(std::filesystem::exists(path));

    const RecordedRequest& tree = requests[1];
    EXPECT_EQ(tree.target, host_->LibraryWindow());
    EXPECT_EQ(tree.code, LIBIPC_ADD_TREE_ITEM);
    ASSERT_TRUE(tree.treeItem);
    EXPECT_EQ(tree.treeItem->word0, 10000);
    EXPECT_EQ(tree.treeItem->title, "Fake device");
    EXPECT_EQ(tree.treeItem->word2, 1);
    EXPECT_EQ(tree.treeItem->itemId, 4242);
    EXPECT_EQ(tree.answer, 4242);
    EXPECT_EQ(Seen(*host_).answeredTreeItemId, 4242);
    EXPECT_EQ(Seen(*host_).writtenTreeItemId, 4242);
}

TEST_F(StandInHostTest, OptionsChangeTheSettingsAndTreeAnswers) {
    testing_support::TempDir folder;
    const std::string chosen = (folder.Path() / "chosen.ini").string();
    struct Case {
        const char* name;
        HostOptions options;
        bool pathExpected;
        INT_PTR treeItemId;
    };
    HostOptions withPath;
    withPath.settingsPath = chosen;
    HostOptions withoutPath;
    withoutPath.answerSettingsPath = false;
    HostOptions otherId;
    otherId.treeItemId = 77;
    const Case cases[] = {{"chosen path", withPath, true, 4242},
                          {"no path", withoutPath, false, 4242},
                          {"other id", otherId, true, 77}};
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Start(test.options);
        const Observations& seen = Seen(*host_);
        EXPECT_EQ(seen.settingsPath != nullptr, test.pathExpected);
        if (test.options.settingsPath == chosen) {
            EXPECT_EQ(std::string(seen.settingsPath), chosen);
        }
        EXPECT_EQ(seen.writtenTreeItemId, test.treeItemId);
        EXPECT_EQ(seen.answeredTreeItemId, test.treeItemId);
        host_.reset();
    }
}

TEST_F(StandInHostTest, AnsweredSettingsPathOutlivesAChangeOfOptions) {
    Start();
    const std::string first = host_->Options().settingsPath;
    const char* kept = Seen(*host_).settingsPath;
    host_->Options().settingsPath = "C:\\elsewhere\\other.ini";
    host_->Options().settingsPath.shrink_to_fit();
    ASSERT_EQ(host_->Init(), 0);
    EXPECT_EQ(std::string(kept), first);
    EXPECT_EQ(std::string(Seen(*host_).settingsPath), "C:\\elsewhere\\other.ini");
}

TEST_F(StandInHostTest, ItemsAreCopiedBeforeThePluginFreesThem) {
    Start();
    Provoke(fake_plugin::kSendItems);
    ASSERT_EQ(host_->Requests().size(), 3u);
    EXPECT_EQ(host_->Requests()[0].code, LIBIPC_DROP);
    EXPECT_EQ(host_->Requests()[1].code, LIBIPC_DRAG_OVER);
    EXPECT_EQ(host_->Requests()[2].code, LIBIPC_PLAY_ITEMS);

    const RecordedRequest drop = OnlyRequest(*host_, LIBIPC_DROP);
    ASSERT_TRUE(drop.drop);
    EXPECT_EQ(drop.drop->type, kHostTypeItemRecordList);
    EXPECT_TRUE(drop.drop->hasData);
    EXPECT_EQ(drop.drop->x, 100);
    EXPECT_EQ(drop.drop->y, 200);
    EXPECT_EQ(drop.drop->flags, 0);
    EXPECT_EQ(drop.itemCount, 2);
    ASSERT_EQ(drop.items.size(), 2u);
    const devhost::RecordedItem& first = drop.items[0];
    EXPECT_EQ(first.filename, "C:\\music\\one.mp3");
    EXPECT_EQ(first.title, "One");
    EXPECT_EQ(first.album, "First album");
    EXPECT_EQ(first.artist, "Artist A");
    EXPECT_EQ(first.genre, "Rock");
    EXPECT_EQ(first.unused4, 4);
    EXPECT_EQ(first.year, 1999);
    EXPECT_EQ(first.track, 3);
    EXPECT_EQ(first.length, 185);
    EXPECT_EQ(first.unused9, 9);
    const devhost::RecordedItem& second = drop.items[1];
    EXPECT_FALSE(second.title.has_value());  // null stays absent
    EXPECT_FALSE(second.genre.has_value());
    EXPECT_EQ(second.album, "");  // empty stays present

    const RecordedRequest play = OnlyRequest(*host_, LIBIPC_PLAY_ITEMS);
    ASSERT_TRUE(play.play);
    EXPECT_EQ(play.play->enqueue, 1);
    ASSERT_EQ(play.items.size(), 2u);
    EXPECT_EQ(play.items[1].artist, "Artist B");
}

TEST_F(StandInHostTest, DragOverIsRecordedAsSentAndAnsweredFromTheOptions) {
    for (int32_t answer : {1, 0, -1}) {
        SCOPED_TRACE(answer);
        HostOptions options;
        options.dragOverResult = answer;
        Start(options);
        Provoke(fake_plugin::kSendItems);
        const RecordedRequest dragOver = OnlyRequest(*host_, LIBIPC_DRAG_OVER);
        ASSERT_TRUE(dragOver.drop);
        EXPECT_EQ(dragOver.drop->result, fake_plugin::kDragResultSent);
        EXPECT_EQ(dragOver.drop->flags, 1);
        EXPECT_EQ(dragOver.items.size(), 2u);
        EXPECT_EQ(Seen(*host_).writtenDragResult, answer);
        host_.reset();
    }
}

TEST_F(StandInHostTest, HostileRecordsAreRecordedButNotFollowed) {
    Start();
    Provoke(fake_plugin::kSendHostile);
    const std::vector<RecordedRequest>& requests = host_->Requests();
    struct Expected {
        const char* what;
        LPARAM code;
        bool recordCopied;
        int32_t itemCount;
    };
    const Expected expected[] = {
        {"null drop record", LIBIPC_DROP, false, 0},
        {"negative count", LIBIPC_DROP, true, -5},
        {"count past the limit", LIBIPC_DROP, true, 100001},
        {"null record array", LIBIPC_DROP, true, 3},
        {"foreign payload", LIBIPC_DROP, true, 0},
        {"play without a list", LIBIPC_PLAY_ITEMS, true, 0},
        {"null tree item", LIBIPC_ADD_TREE_ITEM, false, 0},
        {"untitled send-to", LIBIPC_ADD_SEND_TO, true, 0},
    };
    ASSERT_EQ(requests.size(), std::size(expected));
    for (size_t index = 0; index < std::size(expected); ++index) {
        const Expected& want = expected[index];
        const RecordedRequest& got = requests[index];
        SCOPED_TRACE(want.what);
        EXPECT_EQ(got.code, want.code);
        EXPECT_EQ(got.drop.has_value() || got.play.has_value() || got.treeItem.has_value() ||
                      got.sendTo.has_value(),
                  want.recordCopied);
        EXPECT_EQ(got.itemCount, want.itemCount);
        EXPECT_TRUE(got.items.empty());
        EXPECT_EQ(got.answer, 0);
    }
    EXPECT_EQ(requests[4].drop->type, 5);
    EXPECT_FALSE(requests[5].play->hasData);
    EXPECT_FALSE(requests[7].sendTo->description.has_value());
}

TEST_F(StandInHostTest, SendToRecordIsCopied) {
    Start();
    Provoke(PLUGMSG_BUILD_SEND_TO, 77);
    const RecordedRequest sendTo = OnlyRequest(*host_, LIBIPC_ADD_SEND_TO);
    ASSERT_TRUE(sendTo.sendTo);
    EXPECT_EQ(sendTo.sendTo->description, "Fake destination");
    EXPECT_EQ(sendTo.sendTo->context, 77);
    EXPECT_EQ(sendTo.sendTo->userValue,
              reinterpret_cast<INT_PTR>(host_->Descriptor()->messageHandler));
}

TEST_F(StandInHostTest, SkinRequestsHandOutRecordingFunctionsAndAFont) {
    Start();
    Provoke(fake_plugin::kUseSkin);
    const Observations& seen = Seen(*host_);
    EXPECT_EQ(GetObjectType(seen.font), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(seen.font, host_->LastListFont());
    EXPECT_EQ(seen.unknownSelectorAnswer, 0);
    EXPECT_EQ(seen.skinnedList, 0x5150);
    EXPECT_EQ(OnlyRequest(*host_, LIBIPC_UNSKIN_LISTVIEW).wParam, 0x5150u);
    EXPECT_EQ(OnlyRequest(*host_, LIBIPC_SKIN_LISTVIEW).wParam, 0x1234u);
    EXPECT_EQ(seen.colours[0], 0x202020);
    EXPECT_EQ(seen.colours[1], 0xE0E0E0);
    EXPECT_EQ(seen.colours[2], 0x808080);
    EXPECT_EQ(seen.preHandlerAnswer, 0);

    const std::vector<SkinCall>& calls = host_->SkinCalls();
    struct Expected {
        const char* function;
        std::vector<intptr_t> arguments;
        int count;
    };
    const Expected expected[] = {
        {"color", {0}, 0},
        {"color", {1}, 0},
        {"color", {7}, 0},
        {"dialogMessage", {WM_INITDIALOG, 0x11, 0x22}, 0},  // the first one only
        {"drawBorders", {11, 12, 13}, 3},
        {"drawBorders", {}, 1000},  // not read past the array
        {"resizeInit", {fake_plugin::kResizedControl, 0x0F, 999, 0x03}, 2},
        {"resize", {fake_plugin::kResizedControl, 0x0F, 999, 0x03}, 2},
    };
    ASSERT_EQ(calls.size(), std::size(expected));
    for (size_t index = 0; index < std::size(expected); ++index) {
        SCOPED_TRACE(expected[index].function);
        EXPECT_EQ(calls[index].function, expected[index].function);
        EXPECT_EQ(calls[index].arguments, expected[index].arguments);
        EXPECT_EQ(calls[index].count, expected[index].count);
    }
    EXPECT_EQ(calls[4].window, seen.resizedWindow);

    const std::map<UINT, int> counted = {{WM_INITDIALOG, 2}, {WM_PAINT, 3}};
    EXPECT_EQ(host_->PreHandlerMessages(), counted);
    // The host keeps each control's starting rectangle in the rule's own words.
    const RECT& area = fake_plugin::kResizedControlArea;
    const int32_t firstRule[6] = {
        fake_plugin::kResizedControl, 0x0F, area.left, area.top, area.right, area.bottom};
    EXPECT_TRUE(std::equal(firstRule, firstRule + 6, seen.resizeWords[0]));
}

TEST_F(StandInHostTest, ClearingSkinCallsLogsTheNextInitDialogAgain) {
    Start();
    Provoke(fake_plugin::kUseSkin);
    Provoke(fake_plugin::kUseSkin);
    int logged = 0;
    for (const SkinCall& call : host_->SkinCalls()) {
        logged += call.function == "dialogMessage" ? 1 : 0;
    }
    EXPECT_EQ(logged, 1);
    EXPECT_EQ(host_->PreHandlerMessages().at(WM_INITDIALOG), 2);
    DeleteObject(Seen(*host_).font);
}

TEST_F(StandInHostTest, SkinOptionsChangeTheAnswers) {
    HostOptions noSkin;
    noSkin.answerSkinRequests = false;
    Start(noSkin);
    Provoke(fake_plugin::kUseSkin);
    EXPECT_EQ(Seen(*host_).font, nullptr);
    EXPECT_EQ(host_->LastListFont(), nullptr);
    EXPECT_EQ(Seen(*host_).skinnedList, 0);
    EXPECT_TRUE(host_->SkinCalls().empty());
    for (const RecordedRequest& request : host_->Requests()) {
        EXPECT_EQ(request.answer, 0) << "code " << request.code;
    }

    HostOptions handled;
    handled.preHandlerAnswer = 1;
    handled.skinnedListHandle = 0x99;
    Start(handled);
    Provoke(fake_plugin::kUseSkin);
    EXPECT_EQ(Seen(*host_).preHandlerAnswer, 1);
    EXPECT_EQ(Seen(*host_).skinnedList, 0x99);
    host_->Options().preHandlerAnswer = 0;  // read at each call, not at hand-out
    Provoke(fake_plugin::kUseSkin);
    EXPECT_EQ(Seen(*host_).preHandlerAnswer, 0);
    // The last message the fake plug-in offers is WM_PAINT.
    host_->Options().preHandlerAnswer = 1;
    for (const auto& [only, answer] : {std::pair<UINT, INT_PTR>{WM_DESTROY, 0}, {WM_PAINT, 1}}) {
        host_->Options().preHandlerAnswerOnlyTo = only;
        Provoke(fake_plugin::kUseSkin);
        EXPECT_EQ(Seen(*host_).preHandlerAnswer, answer) << "only to " << only;
    }
}

TEST_F(StandInHostTest, UnloadDestroysWindowsThePluginLeftBehind) {
    Start();
    Provoke(fake_plugin::kLeaveWindow);
    ASSERT_NE(GetWindow(host_->LibraryWindow(), GW_CHILD), nullptr);
    host_->Quit();
    host_->Unload();
    EXPECT_EQ(host_->LeftoverWindowsAtUnload(), 1);
    EXPECT_EQ(GetWindow(host_->LibraryWindow(), GW_CHILD), nullptr);
    EXPECT_EQ(host_->Descriptor(), nullptr);
    EXPECT_EQ(host_->Send(fake_plugin::kSendItems, 0, 0, 0), 0);
    host_->Pump(20);  // nothing left to run the plug-in's code
}

TEST(StandInHostLifetimeTest, GoingAwayQuitsAnInitialisedPluginOnce) {
    testing_support::TempDir folder;
    HostOptions options;
    options.settingsPath = (folder.Path() / "settings.ini").string();
    {
        StandInHost host(options);
        ASSERT_TRUE(host.Load(FakePluginPath())) << host.LoadError();
        ASSERT_EQ(host.Init(), 0);
    }
    EXPECT_EQ(GetPrivateProfileIntA("fake", "quitCount", 0, options.settingsPath.c_str()), 1);
    {
        StandInHost host(options);
        ASSERT_TRUE(host.Load(FakePluginPath())) << host.LoadError();
        ASSERT_EQ(host.Init(), 0);
        host.Quit();
    }
    EXPECT_EQ(GetPrivateProfileIntA("fake", "quitCount", 0, options.settingsPath.c_str()), 1);
}

TEST(StandInHostLifetimeTest, OwnSettingsFolderGoesWithTheHost) {
    std::filesystem::path folder;
    {
        StandInHost host;
        folder = std::filesystem::path(host.Options().settingsPath).parent_path();
        testing_support::WriteFile(host.Options().settingsPath, "[x]\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
}

int g_timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++g_timerTicks;
}

TEST(StandInHostPumpTest, RunsTimersAndPostedMessagesForTheGivenTime) {
    StandInHost host;
    g_timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountTick);
    const ULONGLONG start = GetTickCount64();
    host.Pump(200);
    const ULONGLONG took = GetTickCount64() - start;
    KillTimer(nullptr, timer);
    EXPECT_GE(g_timerTicks, 2);
    EXPECT_GE(took, 190u);
    EXPECT_LT(took, 1000u);

    PostMessageA(host.LibraryWindow(), WM_LIBRARY_IPC, 5, LIBIPC_UNSKIN_LISTVIEW);
    host.Pump(0);
    ASSERT_EQ(host.Requests().size(), 1u);
    EXPECT_EQ(host.Requests()[0].wParam, 5u);
}

// Modal automation ------------------------------------------------------

class ModalAutomationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Hidden: wine without a window manager takes two seconds to take a
        // visible top-level window down.
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    void TearDown() override { DestroyWindow(owner_); }

    HWND owner_ = nullptr;
};

TEST_F(ModalAutomationTest, AnswersAMessageBoxAndReadsIt) {
    for (int button : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(button);
        ModalAutomation automation = ModalAutomation::PressInDialog("Kovra box", button, owner_);
        const int answer = MessageBoxA(owner_, "Three tracks could not be read.", "Kovra box",
                                       MB_OKCANCEL | MB_ICONWARNING);
        EXPECT_EQ(answer, button);
        ASSERT_TRUE(automation.Wait(1000));
        EXPECT_EQ(automation.FoundCaption(), "Kovra box");
        EXPECT_EQ(automation.FoundClass(), "#32770");
        EXPECT_EQ(automation.FoundTexts(),
                  std::vector<std::string>{"Three tracks could not be read."});
        EXPECT_FALSE(automation.OwnerWasEnabled());
        EXPECT_FALSE(automation.ClosedByForce());
        EXPECT_TRUE(IsWindowEnabled(owner_));
    }
}

HMENU MakeMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 101, "Play");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 102, "Enqueue");
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 103, "Show details");
    return menu;
}

TEST_F(ModalAutomationTest, ChoosesOrDismissesPopupMenuEntries) {
    struct Case {
        const char* what;
        ModalAutomation (*start)();
        int command;
        bool forced;
    };
    const Case cases[] = {
        {"dismiss", [] { return ModalAutomation::DismissMenu(); }, 0, false},
        {"first", [] { return ModalAutomation::ChooseMenuItem(0); }, 101, false},
        {"past a separator and a grayed entry", [] { return ModalAutomation::ChooseMenuItem(3); },
         103, false},
        {"a separator", [] { return ModalAutomation::ChooseMenuItem(1); }, 0, true},
        {"past the end", [] { return ModalAutomation::ChooseMenuItem(4); }, 0, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        HMENU menu = MakeMenu();
        ModalAutomation automation = test.start();
        const int command =
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 20, 20, 0, owner_, nullptr);
        DestroyMenu(menu);
        EXPECT_EQ(command, test.command);
        ASSERT_TRUE(automation.Wait(1000));
        EXPECT_EQ(automation.FoundClass(), "#32768");
        EXPECT_EQ(automation.ClosedByForce(), test.forced);
    }
}

TEST_F(ModalAutomationTest, ReadsTheEntriesOfAMenu) {
    HMENU menu = MakeMenu();
    ModalAutomation automation = ModalAutomation::DismissMenu();
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 20, 20, 0, owner_, nullptr);
    DestroyMenu(menu);
    ASSERT_TRUE(automation.Wait(1000));
    const std::vector<devhost::FoundMenuItem> items = automation.FoundMenuItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "Play");
    EXPECT_EQ(items[0].id, 101u);
    EXPECT_TRUE(items[1].separator);
    EXPECT_TRUE(items[2].grayed);
    EXPECT_FALSE(items[2].checked);
    EXPECT_TRUE(items[3].checked);
    EXPECT_FALSE(items[3].grayed);
}

// A dialog template in memory: a caption, one text and two buttons.
class DialogTemplate {
  public:
    explicit DialogTemplate(const char* caption) {
        Align();
        DLGTEMPLATE head = {
            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 3, 0, 0, 200, 80};
        Append(&head, sizeof head);
        Word(0);  // no menu
        Word(0);  // the default class
        Text(caption);
        Word(8);
        Text("MS Shell Dlg");
        Item(100, 0x0082, "Pick one", 10, 10, 180, 12, SS_LEFT);
        Item(IDOK, 0x0080, "OK", 30, 50, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP);
        Item(kOther, 0x0080, "Other", 110, 50, 50, 14, BS_PUSHBUTTON | WS_TABSTOP);
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

    static constexpr int kOther = 1234;

  private:
    void Align() {
        while (words_.size() % 2 != 0) {
            words_.push_back(0);
        }
    }
    void Append(const void* data, size_t bytes) {
        const WORD* from = static_cast<const WORD*>(data);
        words_.insert(words_.end(), from, from + bytes / 2);
    }
    void Word(WORD word) { words_.push_back(word); }
    void Text(const char* text) {
        for (; *text != 0; ++text) {
            words_.push_back(static_cast<WORD>(*text));
        }
        words_.push_back(0);
    }
    void Item(int id, WORD atom, const char* text, short x, short y, short cx, short cy,
              DWORD style) {
        Align();
        DLGITEMTEMPLATE item = {WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy,
                                static_cast<WORD>(id)};
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);  // no creation data
    }

    std::vector<WORD> words_;  // DWORD-aligned items need a word-aligned start
};

INT_PTR CALLBACK EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

TEST_F(ModalAutomationTest, PressesAButtonOfAModalDialog) {
    DialogTemplate layout("Kovra dialog");
    ModalAutomation automation =
        ModalAutomation::PressInDialog("Kovra dialog", DialogTemplate::kOther, owner_);
    const INT_PTR result =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), owner_, EndOnCommand, 0);
    EXPECT_EQ(result, DialogTemplate::kOther);
    ASSERT_TRUE(automation.Wait(1000));
    EXPECT_FALSE(automation.OwnerWasEnabled());
    EXPECT_EQ(automation.FoundTexts(), std::vector<std::string>{"Pick one"});
    bool otherSeen = false;
    for (const devhost::FoundControl& control : automation.FoundControls()) {
        otherSeen |= control.id == DialogTemplate::kOther && control.text == "Other";
    }
    EXPECT_TRUE(otherSeen);
}

TEST_F(ModalAutomationTest, AMissingControlIsCancelledRatherThanLeftHanging) {
    // A message box ignores commands of controls it does not have.
    ModalAutomation box = ModalAutomation::PressInDialog("Kovra box", 4321);
    EXPECT_EQ(MessageBoxA(owner_, "text", "Kovra box", MB_OKCANCEL), IDCANCEL);
    ASSERT_TRUE(box.Wait(3000));
    EXPECT_TRUE(box.ClosedByForce());
}

TEST_F(ModalAutomationTest, TimesOutAndIgnoresWindowsThatWereThereBefore) {
    DialogTemplate layout("Already open");
    HWND modeless = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout.Get(), owner_,
                                               EndOnCommand, 0);
    ShowWindow(modeless, SW_SHOW);
    ModalAutomation automation = ModalAutomation::PressInDialog("Already open", IDOK, nullptr, 200);
    EXPECT_FALSE(automation.Wait(3000));
    EXPECT_FALSE(automation.Found());
    EXPECT_TRUE(IsWindow(modeless));
    DestroyWindow(modeless);
}

}  // namespace
