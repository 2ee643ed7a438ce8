// Odd settings files: values far out of range or not numbers, an overlong
// search text, a file that is missing or cannot be written.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

using testing_support::HostItems;
using testing_support::PluginTest;

class HostileSettingsTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        settings_ = (folder_.Path() / "settings.ini").string();
        devhost::HostOptions options;
        options.settingsPath = settings_;
        Restart(options);
        HostItems items({{"a.mp3", "Alpha", "X", "The Band", "Rock", 1999, 1, 100},
                         {"b.mp3", "Beta", "X", "Another", "Pop", 2001, 2, 200}});
        Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), 0, reinterpret_cast<INT_PTR>(items.List()));
    }

    void Store(const char* key, const std::string& value) {
        WritePrivateProfileStringA("ml_kovra", key, value.c_str(), settings_.c_str());
    }

    std::string Stored(const char* key) {
        char value[1024] = {};
        GetPrivateProfileStringA("ml_kovra", key, "<missing>", value, sizeof value,
                                 settings_.c_str());
        return value;
    }

    int FindTyped(HWND view, const char* typed) {
        LVFINDINFOA find = {};
        find.flags = LVFI_PARTIAL | LVFI_WRAP;
        find.psz = typed;
        return static_cast<int>(
            SendMessageA(List(view), LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
    }

    void ClickColumn(HWND view, int column) {
        NMLISTVIEW notice = {};
        notice.hdr = {List(view), IDC_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        notice.iSubItem = column;
        SendMessageA(view, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&notice));
    }

    testing_support::TempDir folder_;
    std::string settings_;
};

struct SortSetting {
    const char* name;
    const char* column;
    const char* direction;
};

class StoredSortTest : public HostileSettingsTest,
                       public ::testing::WithParamInterface<SortSetting> {};

TEST_P(StoredSortTest, TheViewOpensAndShowsEveryRow) {
    Store("sortcol", GetParam().column);
    Store("sortdir", GetParam().direction);
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(RowCount(view), 2);
    EXPECT_EQ(Status(view), "2 items [0:05:00]");
    for (int column = 0; column < 8; ++column) {
        Cell(view, 0, column);  // every cell can be asked for
    }
    FindTyped(view, "b");
    // The order can still be chosen: Artist, ascending, in at most two clicks.
    ClickColumn(view, 0);
    if (Stored("sortdir") != "0") {
        ClickColumn(view, 0);
    }
    EXPECT_EQ(Stored("sortcol"), "0");
    EXPECT_EQ(Stored("sortdir"), "0");
    EXPECT_EQ(Column(view, 0), (std::vector<std::string>{"Another", "The Band"}));
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredSortTest,
    ::testing::Values(SortSetting{"Huge", "2147483647", "2147483647"},
                      SortSetting{"Negative", "-2147483648", "-1"},
                      SortSetting{"Overflowing", "99999999999999999999", "99999999999999999999"},
                      SortSetting{"NotNumbers", "Artist", "descending"},
                      SortSetting{"Empty", "", ""}, SortSetting{"JustPastTheColumns", "8", "0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileSettingsTest, AColumnOutOfRangeShowsRowsInNoParticularOrderAndFindsNothing) {
    Store("sortcol", "42");
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(RowCount(view), 2);
    EXPECT_EQ(FindTyped(view, "a"), -1);  // the sort column's text is empty
}

TEST_F(HostileSettingsTest, AnOverlongSearchTextIsCutTo255Characters) {
    Store("lastfilter", std::string(10000, 'a'));
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(SearchText(view).size(), 255u);
    EXPECT_EQ(Stored("lastfilter").size(), 255u);
    EXPECT_EQ(RowCount(view), 0);
    EXPECT_EQ(Status(view), "Found: 0 items [0:00:00]");
}

TEST_F(HostileSettingsTest, AMissingSettingsFolderGivesDefaults) {
    devhost::HostOptions options;
    options.settingsPath = (folder_.Path() / "no such folder" / "settings.ini").string();
    Restart(options);
    const HWND view = OpenViewWithRows();
    EXPECT_EQ(SearchText(view), "");
    ClickColumn(view, 1);  // the write fails quietly; the order holds in memory
    EXPECT_EQ(Cell(view, 0, 0), "Nullsoft Band");  // "Uhmm errors?" sorts first by title
}

TEST_F(HostileSettingsTest, AReadOnlySettingsFileKeepsTheOrderInMemory) {
    Store("sortcol", "1");
    Store("sortdir", "0");
    SetFileAttributesA(settings_.c_str(), FILE_ATTRIBUTE_READONLY);
    const HWND view = OpenViewWithRows();
    ClickColumn(view, 1);  // Title, descending, in memory only
    EXPECT_EQ(Cell(view, 0, 1), "Beta");
    SetFileAttributesA(settings_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
