// Tests of rows leaving and entering the real view: play, drag out, drop in,
// tree drop.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host_api.h"
#include "resources/resource.h"
#include "tests/windows/support/plugin_fixture.h"

namespace {

using devhost::RecordedItem;
using devhost::RecordedRequest;
using testing_support::HostItems;
using Item = HostItems::Item;

// Laid out for a screen of at least 1024 x 768 (scripts/test makes one).
// The host's main window, and two windows of the host's own beside it (a
// playlist, say): one up and to the left of the view, whose points have
// negative view coordinates, and one to the right.
constexpr RECT kMainFrame = {300, 250, 800, 650};
constexpr RECT kUpperLeftFrame = {20, 20, 220, 170};
constexpr RECT kRightFrame = {850, 300, 1050, 450};
constexpr POINT kOffScreen = {-3000, -3000};

// clang-format off
const Item kZappa = {"C:\\music\\peaches.mp3", "Peaches en Regalia", "Hot Rats", "Zappa",
                     "Jazz Rock", 1969, 2, 218};
const Item kBeatles = {"C:\\music\\help.mp3", "Help!", "Help! (Remastered)", "The Beatles",
                       "Pop", 1965, 1, 139};
const Item kAbba = {"C:\\music\\waterloo.mp3", "Waterloo", "Waterloo", "ABBA", "Pop",
                    1974, 1, 168};
const Item kCream = {"C:\\music\\sunshine.mp3", "Sunshine of Your Love", "Disraeli Gears",
                     "Cream", "Rock", 1967, 5, 250};
const Item kMiles = {"http://www.example.com/so what.mp3", "So What", "Kind of Blue",
                     "Miles Davis", "Jazz", 1959, 1, 562};
// clang-format on

// The view sorts by artist, a leading "The" ignored.
const std::vector<Item> kShownRows = {kAbba, kBeatles, kCream, kMiles, kZappa};

std::string TextOf(const std::optional<std::string>& text) {
    return text ? *text : "<absent>";
}

void ExpectRecord(const RecordedItem& got, const Item& want) {
    EXPECT_EQ(TextOf(got.filename), want.filename);
    EXPECT_EQ(TextOf(got.title), want.title);
    EXPECT_EQ(TextOf(got.album), want.album);
    EXPECT_EQ(TextOf(got.artist), want.artist);
    EXPECT_EQ(TextOf(got.genre), want.genre);
    EXPECT_EQ(got.year, want.year);
    EXPECT_EQ(got.track, want.track);
    EXPECT_EQ(got.length, want.length);
    EXPECT_EQ(got.unused4, 0);
    EXPECT_EQ(got.unused9, 0);
}

// The drop record a request carried: always type 0 with result and the
// spare word 0, at `point`, with or without data and with `flags`.
void ExpectDropRecord(const RecordedRequest& request, LPARAM code, bool hasData, POINT point,
                      int32_t flags) {
    EXPECT_EQ(request.code, code);
    ASSERT_TRUE(request.drop.has_value());
    EXPECT_EQ(request.drop->type, kHostTypeItemRecordList);
    EXPECT_EQ(request.drop->hasData, hasData);
    EXPECT_EQ(request.drop->result, 0);
    EXPECT_EQ(request.drop->x, point.x);
    EXPECT_EQ(request.drop->y, point.y);
    EXPECT_EQ(request.drop->flags, flags);
    EXPECT_EQ(request.drop->reserved, 0);
}

void ExpectRecords(const RecordedRequest& request, const std::vector<Item>& want) {
    ASSERT_EQ(request.itemCount, static_cast<int32_t>(want.size()));
    ASSERT_EQ(request.items.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        ExpectRecord(request.items[i], want[i]);
    }
}

std::vector<std::string> Titles(const RecordedRequest& request) {
    std::vector<std::string> titles;
    for (const RecordedItem& item : request.items) {
        titles.push_back(TextOf(item.title));
    }
    return titles;
}

std::vector<std::string> Titles(const std::vector<Item>& items) {
    std::vector<std::string> titles;
    for (const Item& item : items) {
        titles.push_back(item.title);
    }
    return titles;
}

POINT Center(const RECT& frame) {
    return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
}

std::string Describe(POINT point) {
    return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

// A plain top-level window that answers hit tests, so WindowFromPoint finds it.
HWND MakeHostWindow(const RECT& frame) {
    return CreateWindowExA(0, "STATIC", "host playlist",
                           WS_POPUP | WS_BORDER | WS_VISIBLE | SS_NOTIFY, frame.left, frame.top,
                           frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                           nullptr, nullptr);
}

// Holds Shift down through SendInput and lets it go again, also when a test
// fails.
class ShiftHeld {
  public:
    ShiftHeld() { Press(0); }
    ~ShiftHeld() { Press(KEYEVENTF_KEYUP); }
    ShiftHeld(const ShiftHeld&) = delete;
    ShiftHeld& operator=(const ShiftHeld&) = delete;

  private:
    static void Press(DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_SHIFT;
        input.ki.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }
};

bool ShiftIsDown() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

// Sees every request to the host's library window before the host does and
// notes who holds the mouse capture at that moment.
class CaptureAtRequests {
  public:
    explicit CaptureAtRequests(HWND library) : library_(library) {
        seen_.clear();
        original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            library, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CaptureAtRequests::Procedure)));
    }
    ~CaptureAtRequests() {
        SetWindowLongPtrA(library_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
    CaptureAtRequests(const CaptureAtRequests&) = delete;
    CaptureAtRequests& operator=(const CaptureAtRequests&) = delete;

    static const std::vector<std::pair<LPARAM, HWND>>& Seen() { return seen_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LIBRARY_IPC) {
            seen_.emplace_back(lParam, GetCapture());
        }
        return CallWindowProcA(original_, window, message, wParam, lParam);
    }

    HWND library_;
    static WNDPROC original_;
    static std::vector<std::pair<LPARAM, HWND>> seen_;
};

WNDPROC CaptureAtRequests::original_ = nullptr;
std::vector<std::pair<LPARAM, HWND>> CaptureAtRequests::seen_;

// Bytes in use in every heap of the process, the C runtime's among them.
size_t HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    size_t used = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                used += entry.cbData;
            }
        }
    }
    return used;
}

// Where a point lies, for the tables below.
enum class Place {
    kView,
    kList,
    kListHeader,
    kSearchBox,
    kNoWindow,
    kUpperLeftWindow,
    kRightWindow,
    kEmptyDesktop,
};

const char* NameOf(Place place) {
    switch (place) {
        case Place::kView:
            return "view";
        case Place::kList:
            return "list";
        case Place::kListHeader:
            return "list header";
        case Place::kSearchBox:
            return "search box";
        case Place::kNoWindow:
            return "no window";
        case Place::kUpperLeftWindow:
            return "host window up left";
        case Place::kRightWindow:
            return "host window right";
        case Place::kEmptyDesktop:
            return "empty desktop";
    }
    return "?";
}

const Place kOwnPlaces[] = {Place::kView, Place::kList, Place::kListHeader, Place::kSearchBox};

class DragDropTest : public testing_support::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        SetWindowPos(Host().MainWindow(), HWND_TOP, kMainFrame.left, kMainFrame.top,
                     kMainFrame.right - kMainFrame.left, kMainFrame.bottom - kMainFrame.top,
                     SWP_SHOWWINDOW);
        upperLeft_ = MakeHostWindow(kUpperLeftFrame);
        right_ = MakeHostWindow(kRightFrame);
        ASSERT_NE(upperLeft_, nullptr);
        ASSERT_NE(right_, nullptr);
    }

    void TearDown() override {
        ReleaseCapture();
        DestroyWindow(upperLeft_);
        DestroyWindow(right_);
        PluginTest::TearDown();
    }

    // The library gets its rows from the host before the view opens, so the
    // view never looks for a player: whatever drives the machine has, the
    // view shows just these rows.
    void OpenViewWith(std::vector<Item> rows) {
        HostItems items(std::move(rows));
        ASSERT_EQ(DropOnTree(items), 1);
        view_ = OpenViewWithRows();
        ASSERT_NE(view_, nullptr);
        ASSERT_EQ(RowCount(view_), items.List()->count);
        Host().ClearRequests();
    }

    void OpenViewWithItems() {
        ASSERT_NO_FATAL_FAILURE(OpenViewWith({kZappa, kBeatles, kMiles, kAbba, kCream}));
        ASSERT_EQ(Column(view_, 1), Titles(kShownRows));
    }

    INT_PTR DropOnTree(HostItems& items) {
        return Send(PLUGMSG_TREE_DROP_TARGET, TreeId(), kHostTypeItemRecordList,
                    reinterpret_cast<INT_PTR>(items.List()));
    }

    INT_PTR DropTreeItemAt(const POINT* point) {
        return Send(PLUGMSG_TREE_DROP, TreeId(), reinterpret_cast<INT_PTR>(point));
    }

    // The plays, drag queries and drops the plug-in asked for, in order.
    std::vector<RecordedRequest> Transfers() const {
        std::vector<RecordedRequest> transfers;
        for (const RecordedRequest& request : host_->Requests()) {
            if (request.message == WM_LIBRARY_IPC &&
                (request.code == LIBIPC_DRAG_OVER || request.code == LIBIPC_DROP ||
                 request.code == LIBIPC_PLAY_ITEMS)) {
                transfers.push_back(request);
            }
        }
        return transfers;
    }

    void SelectRows(const std::vector<int>& rows) {
        LVITEMA none{};
        none.stateMask = LVIS_SELECTED;
        SendMessageA(List(view_), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&none));
        for (int row : rows) {
            LVITEMA item{};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            SendMessageA(List(view_), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
        ASSERT_EQ(SendMessageA(List(view_), LVM_GETSELECTEDCOUNT, 0, 0),
                  static_cast<LRESULT>(rows.size()));
    }

    // A double click on the row that the list control itself turns into
    // NM_DBLCLK.
    void DoubleClickRow(int row) {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        ASSERT_TRUE(
            SendMessageA(List(view_), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)));
        SendMessageA(List(view_), WM_LBUTTONDBLCLK, MK_LBUTTON,
                     MAKELPARAM(bounds.left + 8, (bounds.top + bounds.bottom) / 2));
    }

    void NotifyDoubleClick() {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = List(view_);
        click.hdr.idFrom = IDC_LIST;
        click.hdr.code = NM_DBLCLK;
        click.iItem = 0;
        SendMessageA(view_, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
    }

    void BeginDrag() {
        NMLISTVIEW drag{};
        drag.hdr.hwndFrom = List(view_);
        drag.hdr.idFrom = IDC_LIST;
        drag.hdr.code = LVN_BEGINDRAG;
        drag.iItem = 0;
        SendMessageA(view_, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&drag));
    }

    // Mouse messages carry the screen point in the view's client coordinates.
    LPARAM ViewPoint(POINT screen) const {
        ScreenToClient(view_, &screen);
        return MAKELPARAM(screen.x, screen.y);
    }
    void MoveTo(POINT screen) { SendMessageA(view_, WM_MOUSEMOVE, 0, ViewPoint(screen)); }
    void ReleaseAt(POINT screen) { SendMessageA(view_, WM_LBUTTONUP, 0, ViewPoint(screen)); }

    // A screen point at which WindowFromPoint finds `window` itself.
    POINT PointOn(HWND window) const {
        RECT frame{};
        GetWindowRect(window, &frame);
        for (int y = frame.top; y < frame.bottom; y += 3) {
            for (int x = frame.left; x < frame.right; x += 3) {
                if (WindowFromPoint(POINT{x, y}) == window) {
                    return {x, y};
                }
            }
        }
        ADD_FAILURE() << "no point of the window is found on it";
        return Center(frame);
    }

    POINT PointAt(Place place) const {
        switch (place) {
            case Place::kView:
                return PointOn(view_);
            case Place::kList:
                return PointOn(List(view_));
            case Place::kListHeader:
                return PointOn(
                    reinterpret_cast<HWND>(SendMessageA(List(view_), LVM_GETHEADER, 0, 0)));
            case Place::kSearchBox:
                return PointOn(GetDlgItem(view_, IDC_SEARCH));
            case Place::kNoWindow:
                EXPECT_EQ(WindowFromPoint(kOffScreen), nullptr);
                return kOffScreen;
            case Place::kUpperLeftWindow:
                EXPECT_EQ(WindowFromPoint(Center(kUpperLeftFrame)), upperLeft_);
                return Center(kUpperLeftFrame);
            case Place::kRightWindow:
                EXPECT_EQ(WindowFromPoint(Center(kRightFrame)), right_);
                return Center(kRightFrame);
            case Place::kEmptyDesktop: {
                // The screen's bottom right corner, below and beside every
                // window here.
                const POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 30,
                                      GetSystemMetrics(SM_CYSCREEN) - 30};
                EXPECT_EQ(WindowFromPoint(corner), GetDesktopWindow());
                return corner;
            }
        }
        return {};
    }

    HWND view_ = nullptr;
    HWND upperLeft_ = nullptr;
    HWND right_ = nullptr;
};

// Play selection

TEST_F(DragDropTest, DoubleClickPlaysTheSelectedRowsInShownOrder) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    const struct {
        std::vector<int> selected;
        std::vector<Item> played;
    } cases[] = {
        {{3, 0}, {kAbba, kMiles}},
        {{4, 1}, {kBeatles, kZappa}},
        {{2}, {kCream}},
        {{4, 3, 2, 1, 0}, kShownRows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Titles(c.played)));
        ASSERT_NO_FATAL_FAILURE(SelectRows(c.selected));
        Host().ClearRequests();
        DoubleClickRow(c.selected.front());
        const std::vector<RecordedRequest> transfers = Transfers();
        ASSERT_EQ(transfers.size(), 1u);
        const RecordedRequest& play = transfers[0];
        EXPECT_EQ(play.target, Host().LibraryWindow());
        EXPECT_EQ(play.code, LIBIPC_PLAY_ITEMS);
        ASSERT_TRUE(play.play.has_value());
        EXPECT_EQ(play.play->type, kHostTypeItemRecordList);
        EXPECT_TRUE(play.play->hasData);
        EXPECT_EQ(play.play->enqueue, 0);
        ExpectRecords(play, c.played);
    }
}

TEST_F(DragDropTest, ShiftHeldDuringTheDoubleClickEnqueues) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({1}));
    ASSERT_FALSE(ShiftIsDown());
    DoubleClickRow(1);
    {
        ShiftHeld shift;
        ASSERT_TRUE(ShiftIsDown());
        DoubleClickRow(1);
    }
    Host().Pump(20);
    ASSERT_FALSE(ShiftIsDown());
    DoubleClickRow(1);
    const std::vector<RecordedRequest> plays =
        Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_PLAY_ITEMS);
    ASSERT_EQ(plays.size(), 3u);
    const int32_t expected[] = {0, 1, 0};
    for (size_t i = 0; i < plays.size(); ++i) {
        SCOPED_TRACE("double click " + std::to_string(i));
        ASSERT_TRUE(plays[i].play.has_value());
        EXPECT_EQ(plays[i].play->enqueue, expected[i]);
        EXPECT_EQ(Titles(plays[i]), Titles(std::vector<Item>{kBeatles}));
    }
}

TEST_F(DragDropTest, DoubleClickWithNothingSelectedPlaysNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({}));
    DoubleClickRow(2);
    NotifyDoubleClick();
    EXPECT_TRUE(Transfers().empty());
}

TEST_F(DragDropTest, DoubleClickBeforeTheFirstFilterPassPlaysNothing) {
    HostItems items({kZappa, kAbba});
    ASSERT_EQ(DropOnTree(items), 1);
    view_ = OpenView();
    ASSERT_NE(view_, nullptr);
    ASSERT_EQ(Status(view_), "") << "the first pass ran already";
    NotifyDoubleClick();
    EXPECT_TRUE(Transfers().empty());

    ASSERT_TRUE(WaitForStatus(view_));
    ASSERT_NO_FATAL_FAILURE(SelectRows({0}));
    NotifyDoubleClick();
    const std::vector<RecordedRequest> transfers = Transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(Titles(transfers[0]), Titles(std::vector<Item>{kAbba}));
}

// Dragging rows out of the list

TEST_F(DragDropTest, BeginDragTakesTheMouseCapture) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_EQ(GetCapture(), nullptr);
    BeginDrag();
    EXPECT_EQ(GetCapture(), view_);
    EXPECT_TRUE(Transfers().empty());
}

TEST_F(DragDropTest, EachMoveOutsideTheViewAsksTheHostOnce) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({0, 1}));
    for (Place place : {Place::kUpperLeftWindow, Place::kRightWindow, Place::kEmptyDesktop}) {
        SCOPED_TRACE(NameOf(place));
        BeginDrag();
        const POINT first = PointAt(place);
        const POINT points[] = {first, {first.x + 17, first.y - 9}, first};
        Host().ClearRequests();
        for (const POINT& point : points) {
            MoveTo(point);
        }
        const std::vector<RecordedRequest> transfers = Transfers();
        ASSERT_EQ(transfers.size(), 3u);
        for (size_t i = 0; i < transfers.size(); ++i) {
            SCOPED_TRACE("move to " + Describe(points[i]));
            ExpectDropRecord(transfers[i], LIBIPC_DRAG_OVER, false, points[i], 0);
        }
        EXPECT_EQ(GetCapture(), view_) << "moving does not end the drag";
        ReleaseCapture();
    }
}

TEST_F(DragDropTest, MovesOverTheViewOrNoWindowShowTheNoEntryCursorOnly) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({0}));
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR noEntry = LoadCursorA(nullptr, IDC_NO);
    BeginDrag();
    for (Place place :
         {Place::kView, Place::kList, Place::kListHeader, Place::kSearchBox, Place::kNoWindow}) {
        SCOPED_TRACE(NameOf(place));
        const POINT point = PointAt(place);
        SetCursor(arrow);
        Host().ClearRequests();
        MoveTo(point);
        EXPECT_TRUE(Transfers().empty());
        EXPECT_EQ(GetCursor(), noEntry);
        EXPECT_EQ(GetCapture(), view_);
    }
}

TEST_F(DragDropTest, ReleaseOverTheViewEndsTheDragQuietly) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({0, 2}));
    for (Place place : kOwnPlaces) {
        SCOPED_TRACE(NameOf(place));
        BeginDrag();
        const POINT point = PointAt(place);
        Host().ClearRequests();
        ReleaseAt(point);
        EXPECT_TRUE(Transfers().empty());
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(DragDropTest, ReleaseElsewhereAsksTheHostThenDropsTheSelectedRows) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({4, 0, 2}));
    for (Place place :
         {Place::kRightWindow, Place::kUpperLeftWindow, Place::kEmptyDesktop, Place::kNoWindow}) {
        SCOPED_TRACE(NameOf(place));
        BeginDrag();
        const POINT point = PointAt(place);
        Host().ClearRequests();
        ReleaseAt(point);
        EXPECT_EQ(GetCapture(), nullptr);
        const std::vector<RecordedRequest> transfers = Transfers();
        ASSERT_EQ(transfers.size(), 2u);

        const RecordedRequest& query = transfers[0];
        ExpectDropRecord(query, LIBIPC_DRAG_OVER, false, point, 1);

        const RecordedRequest& drop = transfers[1];
        EXPECT_EQ(drop.wParam, query.wParam) << "the drop reuses the query's record";
        ExpectDropRecord(drop, LIBIPC_DROP, true, point, 0);
        ExpectRecords(drop, {kAbba, kCream, kZappa});
    }
}

TEST_F(DragDropTest, ReleaseDropsOnlyWhenTheHostAccepts) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({3}));
    const struct {
        int32_t answer;
        bool dropped;
    } cases[] = {{1, true}, {7, true}, {0, false}, {-1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("host answers " + std::to_string(c.answer));
        Host().Options().dragOverResult = c.answer;
        BeginDrag();
        Host().ClearRequests();
        ReleaseAt(PointAt(Place::kRightWindow));
        EXPECT_EQ(GetCapture(), nullptr);
        const std::vector<RecordedRequest> transfers = Transfers();
        ASSERT_EQ(transfers.size(), c.dropped ? 2u : 1u);
        EXPECT_EQ(transfers[0].code, LIBIPC_DRAG_OVER);
        if (c.dropped) {
            EXPECT_EQ(transfers[1].code, LIBIPC_DROP);
            ExpectRecords(transfers[1], {kMiles});
        }
    }
}

TEST_F(DragDropTest, ReleaseWithNothingSelectedOnlyAsks) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({}));
    BeginDrag();
    ReleaseAt(PointAt(Place::kRightWindow));
    const std::vector<RecordedRequest> transfers = Transfers();
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].code, LIBIPC_DRAG_OVER);
    ASSERT_TRUE(transfers[0].drop.has_value());
    EXPECT_EQ(transfers[0].drop->flags, 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragDropTest, ReleaseGivesUpTheCaptureBeforeAskingTheHost) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({1}));
    BeginDrag();
    const POINT point = PointAt(Place::kRightWindow);
    {
        CaptureAtRequests spy(Host().LibraryWindow());
        ReleaseAt(point);
        const auto& seen = CaptureAtRequests::Seen();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].first, LIBIPC_DRAG_OVER);
        EXPECT_EQ(seen[0].second, nullptr);
        EXPECT_EQ(seen[1].first, LIBIPC_DROP);
        EXPECT_EQ(seen[1].second, nullptr);
    }
}

TEST_F(DragDropTest, MouseMessagesWithoutTheCaptureAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({0, 1}));
    const POINT elsewhere = PointAt(Place::kRightWindow);
    enum class Before { kNoDrag, kCaptureReleased, kCaptureTaken, kDropped };
    const struct {
        const char* name;
        Before before;
    } cases[] = {
        {"no drag begun", Before::kNoDrag},
        {"capture released", Before::kCaptureReleased},
        {"capture taken by another window", Before::kCaptureTaken},
        {"drag already dropped", Before::kDropped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND holder = nullptr;
        if (c.before != Before::kNoDrag) {
            BeginDrag();
        }
        if (c.before == Before::kCaptureReleased) {
            ReleaseCapture();
        } else if (c.before == Before::kCaptureTaken) {
            SetCapture(right_);
            holder = right_;
        } else if (c.before == Before::kDropped) {
            ReleaseAt(elsewhere);
        }
        ASSERT_EQ(GetCapture(), holder);
        Host().ClearRequests();
        MoveTo(elsewhere);
        ReleaseAt(elsewhere);
        EXPECT_TRUE(Transfers().empty());
        EXPECT_EQ(GetCapture(), holder);
        ReleaseCapture();
    }
}

TEST_F(DragDropTest, RecordsAreFreedAfterEveryTransfer) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({0, 1, 2, 3, 4}));
    const POINT point = PointAt(Place::kRightWindow);
    const auto transferAll = [&] {
        DoubleClickRow(0);
        BeginDrag();
        ReleaseAt(point);
        DropTreeItemAt(&point);
        ASSERT_EQ(Transfers().size(), 4u);
        Host().ClearRequests();
    };
    for (int i = 0; i < 5; ++i) {
        ASSERT_NO_FATAL_FAILURE(transferAll());
    }
    const size_t before = HeapBytesInUse();
    constexpr int kRounds = 100;
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_NO_FATAL_FAILURE(transferAll());
    }
    const size_t after = HeapBytesInUse();
    // Three record arrays a round, each of at least five records.
    const size_t leakedIfNotFreed = kRounds * 3 * 5 * sizeof(HostItemRecord);
    EXPECT_LT(after, before + leakedIfNotFreed / 4) << "before " << before << ", after " << after;
}

// Items the host drops on the view

TEST_F(DragDropTest, DropOnTheViewAnswersAndImportsByRecordType) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWith({kMiles}));
    HostItems items({kCream, kZappa});
    const struct {
        const char* name;
        bool noRecord;
        int32_t type;
        bool withItems;
        bool accepted;
        int rowsAdded;
    } cases[] = {
        {"items", false, kHostTypeItemRecordList, true, true, 2},
        {"no items", false, kHostTypeItemRecordList, false, true, 0},
        {"another type", false, 1, true, false, 0},
        {"a negative type", false, -1, true, false, 0},
        {"no record", true, 0, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int rowsBefore = RowCount(view_);
        HostDropRecord record = {c.type, c.withItems ? items.List() : nullptr, 77, 40, 50, 0, 0};
        const HostDropRecord sent = record;
        Host().ClearRequests();
        SendMessageA(view_, WM_LIBRARY_CHILD_IPC,
                     c.noRecord ? 0 : reinterpret_cast<WPARAM>(&record), LIBCHILD_DROP_ITEM);
        EXPECT_EQ(RowCount(view_), rowsBefore + c.rowsAdded);
        EXPECT_TRUE(Transfers().empty());
        if (c.accepted) {
            EXPECT_EQ(record.result, 1);
            record.result = sent.result;
        }
        EXPECT_EQ(std::memcmp(&record, &sent, sizeof record), 0) << "other fields changed";
    }
    // Another message to the view carrying a record changes nothing.
    HostDropRecord record = {kHostTypeItemRecordList, items.List(), 77, 0, 0, 0, 0};
    const int rowsBefore = RowCount(view_);
    SendMessageA(view_, WM_LIBRARY_CHILD_IPC, reinterpret_cast<WPARAM>(&record),
                 LIBCHILD_DROP_ITEM + 1);
    EXPECT_EQ(RowCount(view_), rowsBefore);
    EXPECT_EQ(record.result, 77);
}

TEST_F(DragDropTest, DroppedItemsBecomeRowsEveryTimeTheyAreDropped) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWith({kMiles}));
    ASSERT_EQ(Status(view_), "1 items [0:09:22]");
    HostItems items({kZappa, kCream});
    HostDropRecord record = {kHostTypeItemRecordList, items.List(), 0, 0, 0, 0, 0};

    SendMessageA(view_, WM_LIBRARY_CHILD_IPC, reinterpret_cast<WPARAM>(&record),
                 LIBCHILD_DROP_ITEM);
    EXPECT_EQ(Status(view_), "3 items [0:17:10]");
    EXPECT_EQ(Column(view_, 0), (std::vector<std::string>{"Cream", "Miles Davis", "Zappa"}));

    SendMessageA(view_, WM_LIBRARY_CHILD_IPC, reinterpret_cast<WPARAM>(&record),
                 LIBCHILD_DROP_ITEM);
    EXPECT_EQ(Status(view_), "5 items [0:24:58]");
    EXPECT_EQ(Column(view_, 1),
              (std::vector<std::string>{"Sunshine of Your Love", "Sunshine of Your Love", "So What",
                                        "Peaches en Regalia", "Peaches en Regalia"}));

    // Every field came across: the rows go back to the host as they came.
    const POINT point = PointAt(Place::kRightWindow);
    Host().ClearRequests();
    ASSERT_EQ(DropTreeItemAt(&point), 1);
    const std::vector<RecordedRequest> drops = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_DROP);
    ASSERT_EQ(drops.size(), 1u);
    ExpectRecords(drops[0], {kCream, kCream, kMiles, kZappa, kZappa});
}

// The tree item dropped somewhere while the view is open

TEST_F(DragDropTest, TreeItemDroppedOnTheViewIsRefused) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    for (Place place : kOwnPlaces) {
        SCOPED_TRACE(NameOf(place));
        const POINT point = PointAt(place);
        EXPECT_EQ(DropTreeItemAt(&point), -1);
    }
    EXPECT_EQ(DropTreeItemAt(nullptr), -1) << "no point";
    EXPECT_TRUE(Transfers().empty());
}

TEST_F(DragDropTest, TreeItemDroppedElsewhereDropsEveryShownRow) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    ASSERT_NO_FATAL_FAILURE(SelectRows({1}));  // the selection plays no part
    for (Place place : {Place::kRightWindow, Place::kUpperLeftWindow, Place::kEmptyDesktop}) {
        SCOPED_TRACE(NameOf(place));
        const POINT point = PointAt(place);
        Host().ClearRequests();
        EXPECT_EQ(DropTreeItemAt(&point), 1);
        const std::vector<RecordedRequest> transfers = Transfers();
        ASSERT_EQ(transfers.size(), 1u);
        const RecordedRequest& drop = transfers[0];
        ExpectDropRecord(drop, LIBIPC_DROP, true, point, 0);
        ExpectRecords(drop, kShownRows);
    }
}

TEST_F(DragDropTest, TreeItemDropTakesOnlyTheRowsOfTheLastSearch) {
    ASSERT_NO_FATAL_FAILURE(OpenViewWithItems());
    SetDlgItemTextA(view_, IDC_SEARCH, "pop");
    for (int waited = 0; waited < 5000 && Status(view_).rfind("Found:", 0) != 0; waited += 20) {
        Host().Pump(20);
    }
    ASSERT_EQ(Status(view_), "Found: 2 items [0:05:07]");
    const POINT point = PointAt(Place::kRightWindow);
    Host().ClearRequests();
    EXPECT_EQ(DropTreeItemAt(&point), 1);
    const std::vector<RecordedRequest> drops = Host().RequestsWithCode(WM_LIBRARY_IPC, LIBIPC_DROP);
    ASSERT_EQ(drops.size(), 1u);
    ExpectRecords(drops[0], {kAbba, kBeatles});
}

}  // namespace
