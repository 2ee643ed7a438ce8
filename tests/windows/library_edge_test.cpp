// The filter pass, re-sort and stored sort order against real controls: a
// window holding a search box, a status line and an owner-data list.
#include "view/filter_and_sort.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/settings.h"
#include "library/library_lists.h"
#include "library/read_progress_text.h"
#include "resources/resource.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"
#include "view/read_progress_scope.h"
#include "view/view_state.h"

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
        state_.listBinding.Attach(list_);
        settings_ = (folder_.Path() / "settings.ini").string();
        settingsFile_.path = settings_.c_str();
        state_.settings = &settingsFile_;
        state_.window = view_;
        const RowValues rows[] = {{"The Beatles", "Help", nullptr, 3725},
                                  {"Abba", "Waterloo", nullptr, 0},
                                  {"Cream", "Beat", nullptr, 1}};
        for (const RowValues& row : rows) {
            AdoptRow(lists_.library, testing_support::MakeRow(row));
        }
    }

    void TearDown() override { DestroyWindow(view_); }

    HWND CreateChild(const char* windowClass, int id, DWORD style) {
        return CreateWindowExA(0, windowClass, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200,
                               view_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                               nullptr);
    }

    std::string Artist(int index) const { return lists_.result->Get(index)->artist; }

    int ShownRows() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

    testing_support::TempDir folder_;
    std::string settings_;
    SettingsFile settingsFile_;
    ViewState state_;
    LibraryLists lists_;
    HWND view_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(LibraryViewTest, APassFiltersSortsAndWritesTheStatusLine) {
    RunFilterPass(state_, lists_);
    ASSERT_NE(lists_.result, nullptr);
    EXPECT_EQ(ShownRows(), 3);
    EXPECT_EQ(Artist(0), "Abba");
    EXPECT_EQ(Artist(1), "The Beatles");  // sorted under B
    EXPECT_EQ(Text(view_, IDC_STATUS), "3 items [1:02:06]");

    SetDlgItemTextA(view_, IDC_SEARCH, "beat");
    RunFilterPass(state_, lists_);
    EXPECT_EQ(ShownRows(), 2);
    EXPECT_EQ(Text(view_, IDC_STATUS), "Found: 2 items [1:02:06]");
}

TEST_F(LibraryViewTest, WithoutAViewAPassChangesNothing) {
    RunFilterPass(state_, lists_);
    const ItemList* before = lists_.result.get();
    SetDlgItemTextA(view_, IDC_STATUS, "unchanged");
    state_.window = nullptr;
    RunFilterPass(state_, lists_);
    EXPECT_EQ(lists_.result.get(), before);
    EXPECT_EQ(Text(view_, IDC_STATUS), "unchanged");
}

TEST_F(LibraryViewTest, ColumnClicksStoreTheOrderAndReSort) {
    RunFilterPass(state_, lists_);
    OnColumnClick(state_, lists_, 1);  // Title, ascending
    EXPECT_EQ(Artist(0), "Cream");     // Beat
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortcol", -1, settings_.c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortdir", -1, settings_.c_str()), 0);
    OnColumnClick(state_, lists_, 1);  // Title, descending
    EXPECT_EQ(Artist(0), "Abba");      // Waterloo
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortdir", -1, settings_.c_str()), 1);
}

TEST_F(LibraryViewTest, AClickBeforeTheFirstPassOnlyStoresTheOrder) {
    OnColumnClick(state_, lists_, 2);
    EXPECT_EQ(lists_.result, nullptr);
    EXPECT_EQ(state_.sort.column, 2);
    EXPECT_EQ(GetPrivateProfileIntA("ml_kovra", "sortcol", -1, settings_.c_str()), 2);
}

TEST_F(LibraryViewTest, StoredOrderIsReadAsItIs) {
    WritePrivateProfileStringA("ml_kovra", "sortdir", "5", settings_.c_str());
    WritePrivateProfileStringA("ml_kovra", "sortcol", "42", settings_.c_str());
    ReadStoredSortOrder(state_);
    EXPECT_EQ(state_.sort.direction, 5);
    EXPECT_EQ(state_.sort.column, 42);
    RunFilterPass(state_, lists_);  // every pair ties: nothing breaks
    EXPECT_EQ(ShownRows(), 3);
}

TEST_F(LibraryViewTest, MissingKeysKeepTheColumnAndStartAscending) {
    state_.sort = SortState{3, 1};
    ReadStoredSortOrder(state_);
    EXPECT_EQ(state_.sort.column, 3);
    EXPECT_EQ(state_.sort.direction, 0);
}

TEST_F(LibraryViewTest, WithoutASettingsFileNothingIsWritten) {
    state_.settings = &kNoSettingsFile;
    OnColumnClick(state_, lists_, 1);
    EXPECT_EQ(ReadSettingInt(kNoSettingsFile, "sortcol", -7), -7);
    EXPECT_EQ(GetFileAttributesA(settings_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// What the list control is told while drawing is switched off and on.
struct ListMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const ListMessage& other) const {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

std::vector<ListMessage> g_listMessages;
WNDPROC g_listProc = nullptr;

LRESULT CALLBACK RecordingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETREDRAW || message == LVM_SETITEMCOUNT || message == LVM_REDRAWITEMS) {
        g_listMessages.push_back({message, wParam, lParam});
    }
    return CallWindowProcA(g_listProc, window, message, wParam, lParam);
}

TEST_F(LibraryViewTest, ReSortTellsTheListWithDrawingOffThenPaintsItOnce) {
    ShowWindow(view_, SW_SHOWNA);
    RunFilterPass(state_, lists_);
    UpdateWindow(view_);
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingListProc)));
    g_listMessages.clear();
    OnColumnClick(state_, lists_, 1);
    SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
    const std::vector<ListMessage> expected = {
        {WM_SETREDRAW, FALSE, 0}, {LVM_SETITEMCOUNT, 0, 0}, {LVM_SETITEMCOUNT, 3, 0},
        {LVM_REDRAWITEMS, 0, 2},  {WM_SETREDRAW, TRUE, 0},
    };
    EXPECT_EQ(g_listMessages, expected);
    RECT pending = {};
    EXPECT_TRUE(GetUpdateRect(list_, &pending, FALSE)) << "the list awaits one repaint";
    RECT client = {};
    GetClientRect(list_, &client);
    EXPECT_TRUE(EqualRect(&pending, &client));
}

TEST_F(LibraryViewTest, ProgressLineIsPaintedAfterTheQuietStretchAndOnlyDuringTheRead) {
    ShowWindow(view_, SW_SHOWNA);
    UpdateWindow(view_);
    const HWND status = GetDlgItem(view_, IDC_STATUS);
    {
        ReadProgressScope read(view_);
        read.OnProgress(2, 2);
        read.OnFinished();
    }
    EXPECT_EQ(Text(view_, IDC_STATUS), "") << "a small player shows nothing, also at its end";
    {
        ReadProgressScope read(view_);
        read.OnProgress(1, 10);
        EXPECT_EQ(Text(view_, IDC_STATUS), "");
        Sleep(kReadProgressQuietMs + 20);
        read.OnProgress(3, 10);
        EXPECT_EQ(Text(view_, IDC_STATUS), "Reading the player... 3 of 10 catalogue files");
        EXPECT_FALSE(GetUpdateRect(status, nullptr, FALSE)) << "painted without a message loop";
        read.OnProgress(9, 10);
        EXPECT_EQ(Text(view_, IDC_STATUS), "Reading the player... 3 of 10 catalogue files");
        read.OnFinished();
        EXPECT_EQ(Text(view_, IDC_STATUS), "Reading the player... 9 of 10 catalogue files")
            << "the read ends showing how far it came";
        Sleep(kReadProgressIntervalMs + 20);
        read.OnRowsAdded(1, 4);
        EXPECT_EQ(Text(view_, IDC_STATUS), "Adding songs to the list... 1 of 4");
        read.OnRowsAdded(4, 4);
    }
    EXPECT_EQ(Text(view_, IDC_STATUS), "Adding songs to the list... 4 of 4")
        << "the scope's end shows the last counts";
}

}  // namespace
