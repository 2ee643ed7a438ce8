// The plug-in never writes to the player: a whole life of the view over a
// read-only image leaves every file and folder exactly as it was.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/windows/support/player_drive.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

using testing_support::HostItems;
using testing_support::PluginTest;

class ReadOnlyDeviceTest : public PluginTest {
  protected:
    void TearDown() override {
        PluginTest::TearDown();
        testing_support::SetDriveReadOnly(false);
    }

    void Notify(HWND view, UINT code, int item = -1, int column = 0) {
        NMLISTVIEW notice = {};
        notice.hdr = {List(view), IDC_LIST, code};
        notice.iItem = item;
        notice.iSubItem = column;
        SendMessageA(view, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&notice));
    }
};

TEST_F(ReadOnlyDeviceTest, AWholeLifeOfTheViewLeavesThePlayerUntouched) {
    testing_support::WritePlayer(60, 11);
    testing_support::SetDriveReadOnly(true);
    const std::string before = testing_support::DriveFingerprint();
    ASSERT_NE(before.find("music.mum"), std::string::npos);

    ShowWindow(Host().MainWindow(), SW_SHOW);
    const HWND view = OpenViewWithRows();
    ASSERT_EQ(RowCount(view), 61);
    SetDlgItemTextA(view, IDC_SEARCH, "the");  // search
    Host().Pump(300);
    Notify(view, LVN_COLUMNCLICK, -1, 3);  // sort by length
    Notify(view, LVN_COLUMNCLICK, -1, 3);
    LVITEMA selected = {};
    selected.stateMask = LVIS_SELECTED;
    selected.state = LVIS_SELECTED;
    SendMessageA(List(view), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
    Notify(view, NM_DBLCLK, 0);      // play
    Notify(view, LVN_BEGINDRAG, 0);  // drag out and drop on the host
    RECT main = {};
    GetWindowRect(Host().MainWindow(), &main);
    POINT outside = {main.right + 40, main.top + 40};
    ScreenToClient(view, &outside);
    SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(outside.x, outside.y));
    SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(outside.x, outside.y));
    HostItems items({{"C:\\dropped.mp3", "Dropped", "A", "B", "C", 2001, 2, 100}});
    HostDropRecord drop = {0, items.List(), 0, 0, 0, 0, 0};
    SendMessageA(view, WM_LIBRARY_CHILD_IPC, reinterpret_cast<WPARAM>(&drop), LIBCHILD_DROP_ITEM);
    EXPECT_EQ(drop.result, 1);
    DestroyWindow(view);
    Host().Quit();
    Host().Unload();

    EXPECT_FALSE(Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_PLAY_ITEMS).empty());
    EXPECT_EQ(testing_support::DriveFingerprint(), before);
}

}  // namespace
