// The library view's dialog procedure: one line per message, each calling a
// named handler; list notifications go to OnListNotify.
#include "view/view_dialog.h"

#include <commctrl.h>

#include "catalogue/critical_error_boxes_win32.h"
#include "catalogue/device_locator.h"
#include "host/host_boundary.h"
#include "host/host_requests.h"
#include "host/settings.h"
#include "library/catalogue_import.h"
#include "library/cell_text.h"
#include "library/columns.h"
#include "library/library_lists.h"
#include "resources/resource.h"
#include "view/disclaimer_dialog.h"
#include "view/drag_drop.h"
#include "view/filter_and_sort.h"
#include "view/read_progress_scope.h"
#include "view/static_objects.h"
#include "view/view_skin.h"
#include "view/view_state.h"

namespace {

constexpr UINT_PTR kInitialLoadTimer = 32;
constexpr UINT kInitialLoadDelay = 50;
constexpr UINT_PTR kApplySearchTimer = 500;
constexpr UINT kApplySearchDelay = 150;

// Texts of the stored search, formatted cells and typed keys; nothing survives a message.
constexpr int kTextBufferSize = 256;

HWND ListOf(HWND view) {
    return GetDlgItem(view, IDC_LIST);
}

// The opening, in the order the host's skinning relies on.
void OnInitDialog(ViewState& state, HWND view) {
    const HWND host = state.host->hostLibraryWindow;
    state.window = view;
    FetchSkinFunctions(host, state.skin);
    if (state.skin.resizeInit != nullptr) {
        state.skin.resizeInit(view, state.skin.resizeRules, kResizeRuleCount);
    }
    state.listBinding.SetLibraryWindow(host);
    state.listBinding.Attach(ListOf(view));
    for (const ColumnInfo& column : kColumns) {
        state.listBinding.InsertColumn(column.title, column.width);
    }
    ApplyListColours(state.listBinding.ListControl(), state.skin);
    ReadStoredSortOrder(state);
    state.skin.skinnedList = AskLibraryWindow(host, LIBIPC_SKIN_LISTVIEW, ListOf(view));
    SetTimer(view, kInitialLoadTimer, kInitialLoadDelay, nullptr);
}

void OnDestroy(ViewState& state) {
    state.window = nullptr;
    AskLibraryWindow(state.host->hostLibraryWindow, LIBIPC_UNSKIN_LISTVIEW,
                     static_cast<WPARAM>(state.skin.skinnedList));
}

void OnSize(ViewState& state, HWND view, WPARAM kind) {
    if (kind != SIZE_MINIMIZED && state.skin.resize != nullptr) {
        state.skin.resize(view, state.skin.resizeRules, kResizeRuleCount);
    }
}

// The host draws the borders of the search box and the list.
void OnPaint(const ViewState& state, HWND view) {
    if (state.skin.drawBorders != nullptr) {
        state.skin.drawBorders(view, kBorderControls, kBorderCount);
    }
}

void OnDisplayChange(ViewState& state) {
    ApplyListColours(state.listBinding.ListControl(), state.skin);
    state.listBinding.RefreshFont();
}

// Typing restarts the search timer: one filter pass per pause.
void OnCommand(const ViewState& state, HWND view, int control, int notification) {
    if (control == IDC_SEARCH && notification == EN_CHANGE) {
        KillTimer(view, kApplySearchTimer);
        SetTimer(view, kApplySearchTimer, kApplySearchDelay, nullptr);
    } else if (control == IDC_CONFIG) {
        ShowDisclaimer(state.host->moduleInstance, view);
    }
}

void OnApplySearchTimer(const ViewState& state, LibraryLists& lists, HWND view) {
    KillTimer(view, kApplySearchTimer);
    char text[kQueryBufferSize];
    ReadSearchBox(view, text, kStoredSearchLength);
    WriteSettingText(*state.settings, "lastfilter", text);
    RunFilterPass(state, lists, text);
}

// The device is read here rather than while opening, so the view shows at
// once; its status line tells how the read goes. It is read into an empty
// library, and again while the library holds only what a read that found no
// player left: a player attached since then is read now. Setting the stored
// search text arms the search timer, whose pass brings the rows to the list.
void OnInitialLoadTimer(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue,
                        HWND view) {
    KillTimer(view, kInitialLoadTimer);
    if (lists.library.Count() == 0 || lists.awaitingPlayer) {
        ReadProgressScope progress(view);
        // A drive that goes away during the read must not ask the user for a disk.
        const CriticalErrorBoxesOff quiet;
        ImportCatalogue(catalogue, lists, LocateDevice, &progress, *state.settings);
    }
    char text[kTextBufferSize];
    ReadSettingText(*state.settings, "lastfilter", text, sizeof text);
    SetDlgItemTextA(view, IDC_SEARCH, text);
}

void OnTimer(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue, HWND view,
             WPARAM timer) {
    if (timer == kApplySearchTimer) {
        OnApplySearchTimer(state, lists, view);
    } else if (timer == kInitialLoadTimer) {
        OnInitialLoadTimer(state, lists, catalogue, view);
    }
}

void OnGetCellText(const LibraryLists& lists, NMLVDISPINFOA& info) {
    LVITEMA& item = info.item;
    const LibraryItem* row = lists.result ? lists.result->Get(item.iItem) : nullptr;
    if (row == nullptr || (item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr ||
        item.cchTextMax <= 0) {
        return;
    }
    char buffer[kTextBufferSize];
    lstrcpynA(item.pszText, CellText(*row, item.iSubItem, buffer, sizeof buffer), item.cchTextMax);
}

// The list's type-ahead searches the sort column; the answer goes back as
// the dialog's message result.
INT_PTR AnswerFind(const ViewState& state, const LibraryLists& lists, HWND view, int start,
                   UINT flags, const char* typed) {
    int32_t found = -1;
    if (lists.result) {
        found = FindRowByKey(*lists.result, state.sort.column, start, flags, typed);
    }
    SetWindowLongPtrA(view, DWLP_MSGRESULT, found);
    return 1;
}

INT_PTR OnFindItem(const ViewState& state, const LibraryLists& lists, HWND view,
                   const NMLVFINDITEMA& find) {
    return AnswerFind(state, lists, view, find.iStart, find.lvfi.flags, find.lvfi.psz);
}

// Some list controls (wine's) ask even an ANSI dialog with a wide text;
// without an answer they would take row 0 for every search.
INT_PTR OnFindItemWide(const ViewState& state, const LibraryLists& lists, HWND view,
                       const NMLVFINDITEMW& find) {
    char typed[kTextBufferSize];
    typed[0] = 0;
    if (find.lvfi.psz != nullptr && WideCharToMultiByte(CP_ACP, 0, find.lvfi.psz, -1, typed,
                                                        sizeof typed, nullptr, nullptr) == 0) {
        typed[sizeof typed - 1] = 0;  // cut short: what fitted
    }
    return AnswerFind(state, lists, view, find.iStart, find.lvfi.flags, typed);
}

bool ShiftDown() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

INT_PTR OnListNotify(ViewState& state, LibraryLists& lists, HWND view, NMHDR* header) {
    if (header == nullptr || header->idFrom != IDC_LIST) {
        return 0;
    }
    switch (header->code) {
        case NM_DBLCLK:
            PlaySelection(state, lists, ShiftDown());
            return 0;
        case LVN_BEGINDRAG:
            BeginDrag(view);
            return 0;
        case LVN_ODFINDITEMA:
            return OnFindItem(state, lists, view, *reinterpret_cast<NMLVFINDITEMA*>(header));
        case LVN_ODFINDITEMW:
            return OnFindItemWide(state, lists, view, *reinterpret_cast<NMLVFINDITEMW*>(header));
        case LVN_GETDISPINFOA:
            OnGetCellText(lists, *reinterpret_cast<NMLVDISPINFOA*>(header));
            return 0;
        case LVN_COLUMNCLICK:
            OnColumnClick(state, lists, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            return 0;
        default:
            return 0;  // no context menu, no action on Enter
    }
}

void OnLibraryChildMessage(const ViewState& state, LibraryLists& lists, WPARAM wParam,
                           LPARAM lParam) {
    if (lParam == LIBCHILD_DROP_ITEM) {
        ViewDrop(state, lists, reinterpret_cast<HostDropRecord*>(wParam));
    }
}

INT_PTR Dispatch(ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue, HWND view,
                 UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(state, view);
            return 0;
        case WM_DESTROY:
            OnDestroy(state);
            return 0;
        case WM_SIZE:
            OnSize(state, view, wParam);
            return 0;
        case WM_PAINT:
            OnPaint(state, view);
            return 0;
        case WM_DISPLAYCHANGE:
            OnDisplayChange(state);
            return 0;
        case WM_COMMAND:
            OnCommand(state, view, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_TIMER:
            OnTimer(state, lists, catalogue, view, wParam);
            return 0;
        case WM_NOTIFY:
            return OnListNotify(state, lists, view, reinterpret_cast<NMHDR*>(lParam));
        case WM_MOUSEMOVE:
            DragMove(state, view, lParam);
            return 0;
        case WM_LBUTTONUP:
            DragRelease(state, lists, view, lParam);
            return 0;
        case WM_LIBRARY_CHILD_IPC:
            OnLibraryChildMessage(state, lists, wParam, lParam);
            return 0;
        default:
            return 0;
    }
}

// Every message goes to the host's skin pre-handler first (from the second
// view on, the previous view's pre-handler sees even WM_INITDIALOG). The
// window is forgotten when it goes even if the pre-handler took WM_DESTROY:
// passes and exports must never reach a dead view. The entry point names the
// static objects and hands them down.
INT_PTR CALLBACK ViewDialogProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    return AnswerHost<INT_PTR>(0, [&]() -> INT_PTR {
        ViewState& state = g_view;
        if (state.skin.preHandler != nullptr) {
            const INT_PTR handled = state.skin.preHandler(view, message, wParam, lParam);
            if (handled != 0) {
                if (message == WM_DESTROY) {
                    state.window = nullptr;
                }
                return handled;
            }
        }
        return Dispatch(state, g_lists, g_deviceCatalogue, view, message, wParam, lParam);
    });
}

}  // namespace

HWND CreateLibraryView(const PluginDescriptor& host, const SettingsFile& settings, HWND parent) {
    g_view.host = &host;
    g_view.settings = &settings;
    return CreateDialogParamA(host.moduleInstance, MAKEINTRESOURCEA(IDD_VIEW), parent,
                              ViewDialogProc, 0);
}
