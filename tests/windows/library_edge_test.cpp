// The filter pass, re-sort and stored sort order against real controls: a
// window holding a search box, a status line and an owner-data list.
#include "library/library_view_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "plugin/plugin_state.h"
#include "plugin/settings.h"
#include "resources/resource.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::RowValues;

std::string Text(HWND window, int id) {
    char text[512] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

class LibraryViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        view_ = CreateWindowExA(0, "STATIC", "view", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
        CreateChild("EDIT", IDC_SEARCH, 0);
        CreateChild("STATIC", IDC_STATUS, 0);
        list_ = CreateChild(WC_LISTVIEWA, IDC_LIST, LVS_REPORT | LVS_OWNERDATA);
        g_listViewBinding.Attach(list_);
        settings_ = (folder_.Path() / "settings.ini").string();
        g_plugin.settingsPath = settings_.c_str();
        g_plugin.viewWindow = view_;
        g_sortState = SortState{};
        const RowValues rows[] = {{"The Beatles", "Help", nullptr, 3725},
                                  {"Abba", "Waterloo", nullptr, 0},
                                  {"Cream", "Beat", nullptr, 1}};
        for (const RowValues& row : rows) {
            AdoptRow(g_lists.library, testing_support::MakeRow(row));
        }
    }

    void TearDown() override {
        ClearLibrary(g_lists);
        g_plugin = PluginState{};
        DestroyWindow(view_);
    }

    HWND CreateChild(const char* windowClass, int id, DWORD style) {
        return CreateWindowExA(0, windowClass, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200,
                               view_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                               nullptr);
    }

    std::string Artist(int index) const { return g_lists.result->Get(index)->artist; }

    int ShownRows() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

    testing_support::TempDir folder_;
    std::string settings_;
    HWND view_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(LibraryViewTest, APassFiltersSortsAndWritesTheStatusLine) {
    RunFilterPass();
    ASSERT_NE(g_lists.result, nullptr);
    EXPECT_EQ(ShownRows(), 3);
    EXPECT_EQ(Artist(0), "Abba");
    EXPECT_EQ(Artist(1), "The Beatles");  // sorted under B
    EXPECT_EQ(Text(view_, IDC_STATUS), "3 items [1:02:06]");

    SetDlgItemTextA(view_, IDC_SEARCH, "beat");
    RunFilterPass();
    EXPECT_EQ(ShownRows(), 2);
    EXPECT_EQ(Text(view_, IDC_STATUS), "Found: 2 items [1:02:06]");
}

TEST_F(LibraryViewTest, WithoutAViewAPassChangesNothing) {
    RunFilterPass();
    const ItemList* before = g_lists.result.get();
    SetDlgItemTextA(view_, IDC_STATUS, "unchanged");
    g_plugin.viewWindow = nullptr;
    RunFilterPass();
    EXPECT_EQ(g_lists.result.get(), before);
    EXPECT_EQ(Text(view_, IDC_STATUS), "unchanged");
}

TEST_F(LibraryViewTest, ColumnClicksStoreTheOrderAndReSort) {
    RunFilterPass();
    OnColumnClick(1);               // Title, ascending
    EXPECT_EQ(Artist(0), "Cream");  // Beat
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortcol", -1, settings_.c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortdir", -1, settings_.c_str()), 0);
    OnColumnClick(1);              // Title, descending
    EXPECT_EQ(Artist(0), "Abba");  // Waterloo
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortdir", -1, settings_.c_str()), 1);
}

TEST_F(LibraryViewTest, AClickBeforeTheFirstPassOnlyStoresTheOrder) {
    OnColumnClick(2);
    EXPECT_EQ(g_lists.result, nullptr);
    EXPECT_EQ(g_sortState.column, 2);
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortcol", -1, settings_.c_str()), 2);
}

TEST_F(LibraryViewTest, StoredOrderIsReadAsItIs) {
    WritePrivateProfileStringA("ml_kovra", "sortdir", "5", settings_.c_str());
    WritePrivateProfileStringA("ml_kovra", "sortcol", "42", settings_.c_str());
    ReadStoredSortOrder();
    EXPECT_EQ(g_sortState.direction, 5);
    EXPECT_EQ(g_sortState.column, 42);
    RunFilterPass();  // every pair ties: nothing breaks
    EXPECT_EQ(ShownRows(), 3);
}

TEST_F(LibraryViewTest, MissingKeysKeepTheColumnAndStartAscending) {
    g_sortState = SortState{3, 1};
    ReadStoredSortOrder();
    EXPECT_EQ(g_sortState.column, 3);
    EXPECT_EQ(g_sortState.direction, 0);
}

TEST_F(LibraryViewTest, WithoutASettingsFileNothingIsWritten) {
    g_plugin.settingsPath = nullptr;
    OnColumnClick(1);
    EXPECT_EQ(ReadSettingInt("sortcol", -7), -7);
    EXPECT_EQ(GetFileAttributesA(settings_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
