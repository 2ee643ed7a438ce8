// Test fixture: the real ml_kovra.dll loaded into the stand-in host, with
// helpers to open its view and read what the view shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "devhost/stand_in_host.h"
#include "host/host_item_record.h"

namespace testing_support {

// The DLL under test: KOVRA_PLUGIN_DLL names it.
std::string PluginDllPath();

// Asks `host` for the plug-in's view, as the host does when its tree item
// is opened; null when the plug-in makes none.
HWND CreateView(devhost::StandInHost& host);

// Pumps `host` until the view's status line is the usual one, which the
// first filter pass writes (a progress line does not count), and gives that
// line; the empty text on timeout.
std::string WaitForStatusLine(devhost::StandInHost& host, HWND view, DWORD timeout = 10000);

// A plug-in freshly loaded (so its static state starts anew) and initialised.
class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Quits and unloads the plug-in, then loads and initialises it again
    // with `options` (for a host that answers differently).
    void Restart(const devhost::HostOptions& options);

    devhost::StandInHost& Host() { return *host_; }
    INT_PTR TreeId() { return host_->Options().treeItemId; }
    INT_PTR Send(int message, INT_PTR param1, INT_PTR param2 = 0, INT_PTR param3 = 0) {
        return host_->Send(message, param1, param2, param3);
    }

    // Opens the view as the host does and sizes it to the library window.
    HWND OpenView();
    // Pumps until the status line is the usual one (the first filter pass).
    bool WaitForStatus(HWND view, DWORD timeout = 10000);
    // Opens the view and waits for its first filter pass.
    HWND OpenViewWithRows();

    std::string Status(HWND view) const;
    std::string SearchText(HWND view) const;
    HWND List(HWND view) const;
    int RowCount(HWND view) const;
    // Through the list control, which asks the view for the text.
    std::string Cell(HWND view, int row, int column) const;
    std::vector<std::string> Column(HWND view, int column) const;

    std::unique_ptr<devhost::StandInHost> host_;
};

// An item list the way a host would hand it over: records and their texts
// live as long as the object.
class HostItems {
  public:
    struct Item {
        std::string filename, title, album, artist, genre;
        int32_t year = 0, track = 0, length = 0;
    };

    explicit HostItems(std::vector<Item> items);
    HostItemRecordList* List() { return &list_; }

  private:
    std::vector<Item> items_;
    std::vector<HostItemRecord> records_;
    HostItemRecordList list_{};
};

}  // namespace testing_support
