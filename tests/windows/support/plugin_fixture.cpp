// The plug-in fixture: load, init, view helpers and host item lists.
#include "tests/windows/support/plugin_fixture.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "host/host_api.h"
#include "resources/resource.h"

namespace testing_support {

std::string PluginDllPath() {
    const char* path = std::getenv("KOVRA_PLUGIN_DLL");
    return path != nullptr ? path : "ml_kovra.dll";
}

HWND CreateView(devhost::StandInHost& host) {
    return reinterpret_cast<HWND>(host.Send(PLUGMSG_CREATE_VIEW, host.Options().treeItemId,
                                            reinterpret_cast<INT_PTR>(host.LibraryWindow()), 0));
}

std::string WaitForStatusLine(devhost::StandInHost& host, HWND view, DWORD timeout) {
    char status[512] = {};
    for (DWORD waited = 0; waited <= timeout; waited += 10) {
        GetDlgItemTextA(view, IDC_STATUS, status, sizeof status);
        // "N items [...]" or "Found: N items [...]"; a progress line is not it.
        if (std::strstr(status, "items [") != nullptr) {
            return status;
        }
        host.Pump(10);
    }
    return "";
}

void PluginTest::SetUp() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    Restart(devhost::HostOptions{});
}

void PluginTest::TearDown() {
    host_.reset();
}

void PluginTest::Restart(const devhost::HostOptions& options) {
    host_.reset();
    host_ = std::make_unique<devhost::StandInHost>(options);
    ASSERT_TRUE(host_->Load(PluginDllPath())) << host_->LoadError() << ": " << PluginDllPath();
    ASSERT_EQ(host_->Init(), 0);
}

HWND PluginTest::OpenView() {
    const HWND view = CreateView(*host_);
    if (view != nullptr) {
        RECT area = {};
        GetClientRect(host_->LibraryWindow(), &area);
        MoveWindow(view, 0, 0, area.right, area.bottom, TRUE);
        ShowWindow(view, SW_SHOW);
    }
    return view;
}

bool PluginTest::WaitForStatus(HWND view, DWORD timeout) {
    return !WaitForStatusLine(*host_, view, timeout).empty();
}

HWND PluginTest::OpenViewWithRows() {
    const HWND view = OpenView();
    EXPECT_NE(view, nullptr);
    EXPECT_TRUE(WaitForStatus(view));
    return view;
}

std::string PluginTest::Status(HWND view) const {
    char text[512] = {};
    GetDlgItemTextA(view, IDC_STATUS, text, sizeof text);
    return text;
}

std::string PluginTest::SearchText(HWND view) const {
    char text[512] = {};
    GetDlgItemTextA(view, IDC_SEARCH, text, sizeof text);
    return text;
}

HWND PluginTest::List(HWND view) const {
    return GetDlgItem(view, IDC_LIST);
}

int PluginTest::RowCount(HWND view) const {
    return static_cast<int>(SendMessageA(List(view), LVM_GETITEMCOUNT, 0, 0));
}

std::string PluginTest::Cell(HWND view, int row, int column) const {
    char text[300] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(view), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> PluginTest::Column(HWND view, int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(view); ++row) {
        texts.push_back(Cell(view, row, column));
    }
    return texts;
}

HostItems::HostItems(std::vector<Item> items) : items_(std::move(items)) {
    for (const Item& item : items_) {
        HostItemRecord record{};
        record.filename = item.filename.c_str();
        record.title = item.title.c_str();
        record.album = item.album.c_str();
        record.artist = item.artist.c_str();
        record.genre = item.genre.c_str();
        record.year = item.year;
        record.track = item.track;
        record.length = item.length;
        records_.push_back(record);
    }
    list_.records = records_.empty() ? nullptr : records_.data();
    list_.count = static_cast<int32_t>(records_.size());
    list_.capacity = list_.count;
}

}  // namespace testing_support
