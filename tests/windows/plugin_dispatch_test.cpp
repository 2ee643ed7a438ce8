// The plug-in as the host meets it: the descriptor, init and quit, and every
// message of the host's dispatch, through the stand-in host.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "devhost/modal_automation.h"
#include "host/host_api.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

using devhost::ModalAutomation;
using devhost::RecordedRequest;
using testing_support::HostItems;
using testing_support::PluginTest;

HostItems TwoItems() {
    return HostItems({{"C:\\a.mp3", "Alpha", "First", "Band", "Rock", 1999, 3, 125},
                      {"C:\\b.mp3", "Beta", "First", "Band", "Rock", 2000, 4, 61}});
}

class DispatchTest : public PluginTest {
  protected:
    std::vector<RecordedRequest> Library(LPARAM code) {
        return Host().RequestsWithCode(WM_LIBRARY_IPC, code);
    }

    // Rows reach the view only once its first filter pass has run.
    int ShownAfterPass(HWND view) {
        Host().Pump(50);
        return RowCount(view);
    }

    POINT Over(HWND window) {
        RECT area = {};
        GetWindowRect(window, &area);
        return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    }

    // A visible window of the host's beside the library, to drop onto.
    HWND HostPlaylist() {
        if (playlist_ == nullptr) {
            playlist_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "playlist", WS_POPUP | WS_VISIBLE,
                                        900, 60, 200, 200, nullptr, nullptr, nullptr, nullptr);
        }
        return playlist_;
    }

    void TearDown() override {
        if (playlist_ != nullptr) {
            DestroyWindow(playlist_);
        }
        PluginTest::TearDown();
    }

    HWND playlist_ = nullptr;
};

TEST_F(DispatchTest, DescriptorAndInitRequestsInOrder) {
    const PluginDescriptor* descriptor = Host().Descriptor();
    EXPECT_EQ(descriptor->version, 21);
    EXPECT_STREQ(descriptor->description, "ml_kovra v0.001");

    const auto& requests = Host().Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, Host().MainWindow());
    EXPECT_EQ(requests[0].message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(requests[0].code, HOSTIPC_GET_INI_FILE);
    EXPECT_EQ(requests[1].target, Host().LibraryWindow());
    EXPECT_EQ(requests[1].code, LIBIPC_ADD_TREE_ITEM);
    ASSERT_TRUE(requests[1].treeItem.has_value());
    EXPECT_EQ(requests[1].treeItem->word0, 10000);
    EXPECT_EQ(requests[1].treeItem->title, "Olympus m:robe MR-100");
    EXPECT_EQ(requests[1].treeItem->word2, 1);
}

TEST_F(DispatchTest, TreeMessagesForOtherItemsAreNotOurs) {
    HostItems items = TwoItems();
    const INT_PTR other = TreeId() + 1;
    for (int message = PLUGMSG_CREATE_VIEW; message <= PLUGMSG_TREE_DROP; ++message) {
        EXPECT_EQ(Send(message, other, 0, reinterpret_cast<INT_PTR>(items.List())), 0) << message;
    }
    EXPECT_EQ(Send(0x1FF, TreeId()), 0);  // ours, but not a message we answer
    EXPECT_EQ(Send(0x7777, TreeId()), 0);
    Host().ClearRequests();
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(RowCount(view), 1) << "only the sample row: nothing was imported";
}

TEST_F(DispatchTest, CreateViewAnswersTheViewWindow) {
    const HWND view = OpenView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), Host().LibraryWindow());
    EXPECT_EQ(GetDlgCtrlID(List(view)), IDC_LIST);
}

TEST_F(DispatchTest, TreeDragOverIsRefused) {
    POINT point = {10, 10};
    EXPECT_EQ(Send(PLUGMSG_TREE_DRAG_OVER, TreeId(), reinterpret_cast<INT_PTR>(&point)), -1);
}

TEST_F(DispatchTest, DropTargetTakesItemListsOnly) {
    HostItems items = TwoItems();
    const INT_PTR list = reinterpret_cast<INT_PTR>(items.List());
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 1, list), -1);
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, 0), 1);
    const HWND view = OpenViewWithRows();
    ASSERT_EQ(RowCount(view), 1);
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, list), 1);
    // The drop runs a filter pass at once: the rows are there without waiting.
    EXPECT_EQ(RowCount(view), 3);
    EXPECT_EQ(Status(view), "3 items [0:14:12]");
}

TEST_F(DispatchTest, ItemsTakenBeforeTheFirstViewKeepTheDeviceUnread) {
    HostItems items = TwoItems();
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(items.List())),
              1);
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Column(view, 1), (std::vector<std::string>{"Alpha", "Beta"}));  // no sample row
}

TEST_F(DispatchTest, SendToMenuEntryCarriesTheHandlersAddress) {
    EXPECT_EQ(Send(PLUGMSG_BUILD_SEND_TO, 1, 77), 0);
    EXPECT_TRUE(Library(LIBIPC_ADD_SEND_TO).empty());
    EXPECT_EQ(Send(PLUGMSG_BUILD_SEND_TO, 0, 77), 0);
    const auto added = Library(LIBIPC_ADD_SEND_TO);
    ASSERT_EQ(added.size(), 1u);
    ASSERT_TRUE(added[0].sendTo.has_value());
    EXPECT_EQ(added[0].sendTo->description, "ItemCacheEx");
    EXPECT_EQ(added[0].sendTo->context, 77);
    EXPECT_EQ(added[0].sendTo->userValue,
              reinterpret_cast<INT_PTR>(Host().Descriptor()->messageHandler));
}

TEST_F(DispatchTest, SendToSelectionTakesOnlyItsOwnEntry) {
    HostItems items = TwoItems();
    const INT_PTR list = reinterpret_cast<INT_PTR>(items.List());
    const INT_PTR own = reinterpret_cast<INT_PTR>(Host().Descriptor()->messageHandler);
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Send(PLUGMSG_SEND_TO_SELECT, 0, list, own + 4), 0);
    EXPECT_EQ(Send(PLUGMSG_SEND_TO_SELECT, 1, list, own), 0);
    EXPECT_EQ(Send(PLUGMSG_SEND_TO_SELECT, 0, 0, own), 0);
    EXPECT_EQ(RowCount(view), 1);
    EXPECT_EQ(Send(PLUGMSG_SEND_TO_SELECT, 0, list, own), 1);
    EXPECT_EQ(RowCount(view), 3);
}

TEST_F(DispatchTest, TreeDropElsewhereSendsEveryShownRow) {
    HostItems items = TwoItems();
    Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(items.List()));
    POINT point = Over(HostPlaylist());
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&point)), 1);
    const auto drops = Library(LIBIPC_DROP);
    ASSERT_EQ(drops.size(), 1u);
    ASSERT_TRUE(drops[0].drop.has_value());
    EXPECT_EQ(drops[0].drop->type, 0);
    EXPECT_EQ(drops[0].drop->x, point.x);
    EXPECT_EQ(drops[0].drop->y, point.y);
    EXPECT_EQ(drops[0].drop->flags, 0);
    EXPECT_EQ(drops[0].drop->reserved, 0);
    ASSERT_EQ(drops[0].items.size(), 2u);  // before any filter pass: the whole library
    EXPECT_EQ(drops[0].items[0].title, "Alpha");
    EXPECT_EQ(drops[0].items[1].filename, "C:\\b.mp3");
    EXPECT_EQ(drops[0].items[1].length, 61);
}

TEST_F(DispatchTest, TreeDropOfAnEmptyLibrarySendsNothing) {
    POINT point = Over(HostPlaylist());
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&point)), 1);
    EXPECT_TRUE(Library(LIBIPC_DROP).empty());
    EXPECT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), 0), -1);  // a host that sends no point
}

TEST_F(DispatchTest, TreeDropOnTheOpenViewIsRefused) {
    ShowWindow(Host().MainWindow(), SW_SHOW);
    const HWND view = OpenViewWithRows();
    Host().ClearRequests();
    for (HWND target : {view, List(view), GetDlgItem(view, IDC_SEARCH)}) {
        POINT point = Over(target);
        EXPECT_EQ(Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&point)), -1);
    }
    EXPECT_TRUE(Host().Requests().empty());
}

TEST_F(DispatchTest, TreeDropAfterAPassSendsTheShownRowsInTheirOrder) {
    HostItems items = TwoItems();
    Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(items.List()));
    const HWND view = OpenViewWithRows();
    // Sort by title, descending: two clicks on its header.
    for (int click = 0; click < 2; ++click) {
        NMLISTVIEW column = {};
        column.hdr = {List(view), IDC_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        column.iSubItem = 1;
        SendMessageA(view, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&column));
    }
    DestroyWindow(view);  // the rows of the last pass stay, even with the view closed
    POINT point = Over(HostPlaylist());
    Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(&point));
    const auto drops = Library(LIBIPC_DROP);
    ASSERT_EQ(drops.size(), 1u);
    ASSERT_EQ(drops[0].items.size(), 2u);
    EXPECT_EQ(drops[0].items[0].title, "Beta");
    EXPECT_EQ(drops[0].items[1].title, "Alpha");
}

TEST_F(DispatchTest, TreeClickOnTheItemItselfDoesNothing) {
    Host().ClearRequests();
    EXPECT_EQ(Send(PLUGMSG_TREE_CLICK, TreeId(), 1, reinterpret_cast<INT_PTR>(Host().MainWindow())),
              1);
    EXPECT_TRUE(Host().Requests().empty());
}

TEST_F(DispatchTest, ContextMenuDismissedDoesNothing) {
    auto menu = ModalAutomation::DismissMenu();
    EXPECT_EQ(Send(PLUGMSG_TREE_CLICK, TreeId(), 0, reinterpret_cast<INT_PTR>(Host().MainWindow())),
              1);
    ASSERT_TRUE(menu.Wait(5000));
    const auto items = menu.FoundMenuItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].id, static_cast<UINT>(ID_MENU_ABOUT));
    EXPECT_EQ(items[0].text, "About Ex..");
    EXPECT_EQ(items[1].id, static_cast<UINT>(ID_MENU_CONFIG));
    EXPECT_EQ(items[1].text, "Ex Configuration...");
}

struct MenuCommand {
    const char* name;
    int position;
    const char* caption;
    std::vector<std::string> texts;
};

class ContextMenuTest : public DispatchTest, public ::testing::WithParamInterface<MenuCommand> {};

TEST_P(ContextMenuTest, CommandOpensItsWindowOwnedByTheTree) {
    const MenuCommand& command = GetParam();
    const HWND owner = Host().MainWindow();
    auto menu = ModalAutomation::ChooseMenuItem(command.position);
    auto dialog = ModalAutomation::PressInDialog(command.caption, IDOK, owner);
    EXPECT_EQ(Send(PLUGMSG_TREE_CLICK, TreeId(), 0, reinterpret_cast<INT_PTR>(owner)), 1);
    ASSERT_TRUE(menu.Wait(5000));
    ASSERT_TRUE(dialog.Wait(5000));
    EXPECT_FALSE(dialog.ClosedByForce());
    EXPECT_FALSE(dialog.OwnerWasEnabled()) << "modal: the owner waits";
    const auto texts = dialog.FoundTexts();
    for (const std::string& text : command.texts) {
        EXPECT_NE(std::find_if(texts.begin(), texts.end(),
                               [&](const std::string& t) { return t.rfind(text, 0) == 0; }),
                  texts.end())
            << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ContextMenuTest,
    ::testing::Values(MenuCommand{"About", 0, "About ml_kovra!!!", {"ml_kovra!!!"}},
                      MenuCommand{"Configuration",
                                  1,
                                  "Olympus MR-100",
                                  {"This is an under development plugin, as such there is no "
                                   "guarantee that this plugin wont break stuff INCLUDING your "
                                   "mp3-player. Use at your own risk and the creator cannot be "
                                   "held responsible."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatchTest, QuitFreesTheRowsAndAnotherViewReadsAgain) {
    HostItems items = TwoItems();
    Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(items.List()));
    Host().Quit();
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(Column(view, 0), (std::vector<std::string>{"Nullsoft Band"}));
}

TEST(PluginLifecycle, RepeatedLoadInitQuitUnload) {
    for (int cycle = 0; cycle < 20; ++cycle) {
        devhost::StandInHost host;
        ASSERT_TRUE(host.Load(testing_support::PluginDllPath()));
        ASSERT_EQ(host.Init(), 0);
        const HWND view = testing_support::CreateView(host);
        ASSERT_NE(view, nullptr);
        host.Pump(cycle % 2 == 0 ? 0 : 300);  // every other cycle lets the view load
        DestroyWindow(view);
        host.Quit();
        host.Unload();
    }
}

TEST(PluginLifecycle, AHostWithoutSettingsFileStillWorks) {
    devhost::HostOptions options;
    options.answerSettingsPath = false;
    devhost::StandInHost host(options);
    ASSERT_TRUE(host.Load(testing_support::PluginDllPath()));
    ASSERT_EQ(host.Init(), 0);
    const HWND view = testing_support::CreateView(host);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(testing_support::WaitForStatusLine(host, view), "1 items [0:11:06]");
}

}  // namespace
