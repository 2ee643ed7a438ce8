// kovra-devhost: the stand-in host as a program. Loads ml_kovra.dll, opens
// its library view in a visible window, says how long the rows took and how
// the status line kept the user informed, types a search and shows the rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "devhost/player_plug.h"
#include "devhost/private_bytes.h"
#include "devhost/stand_in_host.h"
#include "devhost/status_listener.h"
#include "devhost/window_capture.h"
#include "resources/resource.h"

namespace {

struct Options {
    std::string dllPath;
    std::string search;
    std::string screenshots;  // folder for BMP files; none when empty
    std::string settingsPath;
    std::string driveFolder;  // the folder the player's drive is mapped to; none when empty
    char letter = 'E';
    int rows = 10;
    int staySeconds = 0;
    bool memory = false;
};

constexpr int kTreeWidth = 200;
constexpr int kClientWidth = 1100;
constexpr int kClientHeight = 680;

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: kovra-devhost --dll PATH [--search TEXT] [--screenshots DIR]\n"
                 "                     [--settings FILE] [--rows N] [--stay SECONDS] [--memory]\n"
                 "                     [--pull-and-attach FOLDER [--letter L]]\n"
                 "  opens the plug-in's library view in a window, prints how long its rows\n"
                 "  took and the longest wait for a new status text, its status line and\n"
                 "  first rows, types TEXT into its search box and prints them again;\n"
                 "  --memory: then closes the view, quits and unloads the plug-in and prints\n"
                 "  the private bytes before the view, at the peak, after the read, after quit\n"
                 "  and after the unload;\n"
                 "  --pull-and-attach: then pulls the player, whose drive L (default E) is\n"
                 "  mapped to FOLDER, and attaches it again, with the system's news of each,\n"
                 "  and prints how long the view took to follow\n");
}

bool ParseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--memory") {
            options.memory = true;
            continue;
        }
        if (i + 1 >= argc) {
            return false;
        }
        const char* value = argv[++i];
        if (arg == "--dll")
            options.dllPath = value;
        else if (arg == "--search")
            options.search = value;
        else if (arg == "--screenshots")
            options.screenshots = value;
        else if (arg == "--settings")
            options.settingsPath = value;
        else if (arg == "--rows")
            options.rows = std::atoi(value);
        else if (arg == "--stay")
            options.staySeconds = std::atoi(value);
        else if (arg == "--pull-and-attach")
            options.driveFolder = value;
        else if (arg == "--letter")
            options.letter = value[0];
        else
            return false;
    }
    return !options.dllPath.empty();
}

// The host's own tree beside the library window, as a user would see it.
void LayOutHost(devhost::StandInHost& host) {
    const HWND main = host.MainWindow();
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(main, nullptr, 40, 30, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER);
    SetWindowTextA(main, "Media Library (ml_kovra stand-in host)");
    const HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                      WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, 0, 0,
                                      kTreeWidth, kClientHeight, main, nullptr, nullptr, nullptr);
    for (const char* item : {"Local Media", "Playlists", "Devices", "   Olympus m:robe MR-100"}) {
        SendMessageA(tree, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageA(tree, LB_SETCURSEL, 3, 0);
    devhost::SetTreePaneWidth(main, kTreeWidth);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
}

// `text` of the system's code page, as the list and the search box hold it, in
// UTF-8 for the output, which the terminal running wine reads as UTF-8.
std::string Utf8OfCodePage(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
}

std::string ItemText(HWND list, int row, int column) {
    char text[260] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The status line, then the first rows as the list control shows them.
void PrintView(HWND view, int rows) {
    char status[512] = {};
    GetDlgItemTextA(view, IDC_STATUS, status, sizeof status);
    std::printf("status: %s\n", status);
    const HWND list = GetDlgItem(view, IDC_LIST);
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int row = 0; row < count && row < rows; ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            line += (column ? "\t" : "") + ItemText(list, row, column);
        }
        std::printf("  %s\n", Utf8OfCodePage(line).c_str());
    }
    std::fflush(stdout);
}

bool IsUsualStatusLine(const std::string& text) {
    return text.find("items [") != std::string::npos;
}

// Pumps until the view's rows are there, then has them painted: the first
// filter pass has written the usual status line and given the list its rows.
// Answers that moment in the listener's milliseconds, or a negative number.
double WaitForRows(devhost::StandInHost& host, HWND view, const devhost::StatusListener& status) {
    const HWND list = GetDlgItem(view, IDC_LIST);
    for (int waited = 0; waited < 120000; waited += 5) {
        host.Pump(5);
        char text[512] = {};
        GetDlgItemTextA(view, IDC_STATUS, text, sizeof text);
        if (IsUsualStatusLine(text) && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
            UpdateWindow(host.MainWindow());
            return status.Now();
        }
    }
    return -1;
}

// The longest stretch in which the status line showed nothing new: from the
// view's opening, through every progress text, to the usual status line.
// `ending` is the text that ended that stretch.
double LongestStatusGap(const devhost::StatusListener& status, std::string& ending) {
    double previous = 0;
    double longest = 0;
    for (const devhost::StatusListener::Text& text : status.Texts()) {
        if (text.milliseconds - previous >= longest) {
            longest = text.milliseconds - previous;
            ending = text.text;
        }
        previous = text.milliseconds;
        if (IsUsualStatusLine(text.text)) {
            break;
        }
    }
    return longest;
}

// Clicks the Title header and then the Artist header, as a user would, each
// re-sort painted at once; the order ends as it began. Answers the mean
// milliseconds of one re-sort with the rows on screen.
double ReSortMilliseconds(HWND view, const devhost::StatusListener& clock) {
    const HWND list = GetDlgItem(view, IDC_LIST);
    const double start = clock.Now();
    for (int column : {1, 0}) {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = IDC_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(view, WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&click));
        UpdateWindow(list);
    }
    return (clock.Now() - start) / 2;
}

// When the last status text starting with `prefix` was set, or a negative
// number when there was none: the end of that stretch of the opening.
double LastTextAt(const devhost::StatusListener& status, const char* prefix) {
    double at = -1;
    for (const devhost::StatusListener::Text& text : status.Texts()) {
        if (text.text.rfind(prefix, 0) == 0) {
            at = text.milliseconds;
        }
    }
    return at;
}

// What a user waits for while the player is read and when re-sorting, in
// words and as one line for scripts.
void PrintReadFigures(const devhost::StatusListener& status, double rowsShown, double reSort) {
    std::string ending;
    const double gap = LongestStatusGap(status, ending);
    const size_t progress = status.ProgressTexts().size();
    const double readEnd = LastTextAt(status, devhost::kReadingTextPrefix);
    const double addedEnd = LastTextAt(status, devhost::kAddingTextPrefix);
    std::printf("rows on screen %.0f ms after the view opened\n", rowsShown);
    std::printf("the files were read by %.0f ms, the rows added by %.0f ms (-1: no text)\n",
                readEnd, addedEnd);
    std::printf(
        "status line: %u progress texts; longest wait for a new text %.0f ms, until \"%s\"\n",
        static_cast<unsigned>(progress), gap, ending.c_str());
    std::printf("a re-sort with the rows on screen: %.1f ms\n", reSort);
    std::printf(
        "figures: rows_ms=%.1f gap_ms=%.1f progress_texts=%u resort_ms=%.1f read_end_ms=%.1f "
        "added_end_ms=%.1f\n",
        rowsShown, gap, static_cast<unsigned>(progress), reSort, readEnd, addedEnd);
    std::fflush(stdout);
}

// Types like a user: one character at a time, quicker than the view's
// search pause, so only the last keystroke leads to a search.
void TypeSearch(devhost::StandInHost& host, HWND view, const std::string& text) {
    const HWND box = GetDlgItem(view, IDC_SEARCH);
    SetFocus(box);
    for (char c : text) {
        SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
        host.Pump(60);
    }
    host.Pump(500);
}

void Screenshot(const Options& options, HWND window, const char* name) {
    if (options.screenshots.empty()) {
        return;
    }
    const std::string path = options.screenshots + "\\" + name;
    std::printf(
        devhost::CaptureWindow(window, path) ? "screenshot: %s\n" : "screenshot failed: %s\n",
        path.c_str());
}

// Pumps until the view shows `rows` rows under its usual status line and
// answers that moment in the listener's milliseconds, or a negative number.
double WaitForRowCount(devhost::StandInHost& host, HWND view, const devhost::StatusListener& clock,
                       int rows) {
    const HWND list = GetDlgItem(view, IDC_LIST);
    for (int waited = 0; waited < 120000; waited += 2) {
        host.Pump(2);
        char text[512] = {};
        GetDlgItemTextA(view, IDC_STATUS, text, sizeof text);
        if (IsUsualStatusLine(text) && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == rows) {
            UpdateWindow(host.MainWindow());
            return clock.Now();
        }
    }
    return -1;
}

// When the first progress text after `since` was set, or `since` - 1 when
// none was (a read too short for one).
double FirstProgressAfter(const devhost::StatusListener& status, double since) {
    for (const devhost::StatusListener::Text& text : status.Texts()) {
        if (text.milliseconds >= since && devhost::IsProgressText(text.text)) {
            return text.milliseconds;
        }
    }
    return since - 1;
}

// Pulls the player out and attaches it again, each with the system's news,
// and says how long the view took to follow each time.
bool PullAndAttach(const Options& options, devhost::StandInHost& host, HWND view,
                   const devhost::StatusListener& clock) {
    const HWND list = GetDlgItem(view, IDC_LIST);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    devhost::PlayerSlot slot(options.letter, options.driveFolder);
    const std::string parked = options.driveFolder + ".pulled";
    double start = clock.Now();
    if (!slot.Pull(parked)) {
        std::fprintf(stderr, "kovra-devhost: cannot pull %s\n", options.driveFolder.c_str());
        return false;
    }
    const double left = WaitForRowCount(host, view, clock, 1) - start;
    std::printf("pulled: the player's rows left the view %.0f ms after the news\n", left);
    PrintView(view, options.rows);
    Screenshot(options, host.MainWindow(), "pulled.bmp");
    start = clock.Now();
    const bool plugged = slot.Plug(parked);
    const double back = plugged ? WaitForRowCount(host, view, clock, rows) - start : -1;
    const double reading = FirstProgressAfter(clock, start) - start;
    std::printf(
        "attached again: the read showed on the status line %.0f ms after the news,\n"
        "  %d rows on screen %.0f ms after the news\n",
        reading, rows, back);
    std::printf("figures: pulled_ms=%.1f attached_ms=%.1f attached_read_shown_ms=%.1f\n", left,
                back, reading);
    PrintView(view, options.rows);
    Screenshot(options, host.MainWindow(), "attached-again.bmp");
    return plugged;
}

// The private bytes at each stage of the plug-in's life in the host.
struct MemoryStages {
    size_t beforeView = 0;
    size_t peak = 0;
    size_t afterRead = 0;
    size_t afterQuit = 0;
    size_t afterUnload = 0;
};

// Closes the view, quits and unloads the plug-in, and prints every stage in KB.
void PrintMemoryStages(devhost::StandInHost& host, HWND view, MemoryStages stages) {
    DestroyWindow(view);
    host.Quit();
    stages.afterQuit = devhost::PrivateBytesNow();
    host.Unload();
    stages.afterUnload = devhost::PrivateBytesNow();
    std::printf(
        "figures: before_view_kb=%u peak_kb=%u after_read_kb=%u after_quit_kb=%u "
        "after_unload_kb=%u\n",
        static_cast<unsigned>(stages.beforeView / 1024), static_cast<unsigned>(stages.peak / 1024),
        static_cast<unsigned>(stages.afterRead / 1024),
        static_cast<unsigned>(stages.afterQuit / 1024),
        static_cast<unsigned>(stages.afterUnload / 1024));
    std::fflush(stdout);
}

// Sends the host's request for the plug-in's view into the library window;
// null when the plug-in made none.
HWND CreateView(devhost::StandInHost& host) {
    return reinterpret_cast<HWND>(host.Send(PLUGMSG_CREATE_VIEW, host.Options().treeItemId,
                                            reinterpret_cast<INT_PTR>(host.LibraryWindow()), 0));
}

// The read runs inside one timer message of the view: only a listener on the
// status line sees its progress texts, and takes the shot of the first.
devhost::StatusListener::OnText ShootFirstProgressText(const Options& options,
                                                       devhost::StandInHost& host, HWND view) {
    return [&options, &host, view, shot = false](const std::string& text) mutable {
        if (shot || !devhost::IsProgressText(text)) {
            return;
        }
        shot = true;
        UpdateWindow(GetDlgItem(view, IDC_STATUS));  // the view paints it just after this
        // Wine hands painted windows to the X server only while a thread
        // looks for messages; look for none, so that nothing is dispatched.
        MSG none;
        PeekMessageA(&none, nullptr, WM_APP + 0x3FFE, WM_APP + 0x3FFE, PM_NOREMOVE);
        Screenshot(options, host.MainWindow(), "progress.bmp");
    };
}

// Fills the library window with the view and shows it.
void ShowView(devhost::StandInHost& host, HWND view) {
    RECT library = {};
    GetClientRect(host.LibraryWindow(), &library);
    MoveWindow(view, 0, 0, library.right, library.bottom, TRUE);
    ShowWindow(view, SW_SHOW);
}

// The private bytes before the view and, while the player is read, their
// peak; both only when asked for.
class ReadMemory {
  public:
    explicit ReadMemory(bool wanted) {
        if (wanted) {
            stages_.beforeView = devhost::PrivateBytesNow();
            peak_ = std::make_unique<devhost::PrivateBytesPeak>();
        }
    }
    // The read is over: the bytes after it, and the highest seen.
    MemoryStages ReadDone() {
        if (peak_) {
            stages_.afterRead = devhost::PrivateBytesNow();
            stages_.peak = peak_->Stop();
        }
        return stages_;
    }

  private:
    MemoryStages stages_;
    std::unique_ptr<devhost::PrivateBytesPeak> peak_;
};

// What the user sees once the rows are there: the figures of the read, the
// first rows, then the rows of the typed search.
void ShowRows(const Options& options, devhost::StandInHost& host, HWND view,
              const devhost::StatusListener& status, double rowsShown) {
    Screenshot(options, host.MainWindow(), "view.bmp");
    PrintReadFigures(status, rowsShown, ReSortMilliseconds(view, status));
    PrintView(view, options.rows);
    if (!options.search.empty()) {
        std::printf("typing: %s\n", Utf8OfCodePage(options.search).c_str());
        TypeSearch(host, view, options.search);
        PrintView(view, options.rows);
        Screenshot(options, host.MainWindow(), "search.bmp");
    }
}

// Keeps the window up for `seconds`, or until the user closes it.
void Stay(devhost::StandInHost& host, int seconds) {
    for (int waited = 0; waited < seconds * 1000 && IsWindow(host.MainWindow()); waited += 100) {
        host.Pump(100);
    }
}

int Run(const Options& options) {
    devhost::HostOptions hostOptions;
    hostOptions.settingsPath = options.settingsPath;
    devhost::StandInHost host(hostOptions);
    if (!host.Load(options.dllPath)) {
        std::fprintf(stderr, "kovra-devhost: %s\n", host.LoadError().c_str());
        return 1;
    }
    LayOutHost(host);
    host.Init();
    ReadMemory memory(options.memory);
    const HWND view = CreateView(host);
    if (view == nullptr) {
        std::fprintf(stderr, "kovra-devhost: the plug-in made no view\n");
        return 1;
    }
    devhost::StatusListener status(view, ShootFirstProgressText(options, host, view));
    ShowView(host, view);
    const double rowsShown = WaitForRows(host, view, status);
    if (rowsShown < 0) {
        std::fprintf(stderr, "kovra-devhost: no rows reached the view\n");
        return 1;
    }
    const MemoryStages stages = memory.ReadDone();
    ShowRows(options, host, view, status, rowsShown);
    if (!options.driveFolder.empty() && !PullAndAttach(options, host, view, status)) {
        return 1;
    }
    Stay(host, options.staySeconds);
    if (options.memory) {
        PrintMemoryStages(host, view, stages);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        PrintUsage();
        return 2;
    }
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return Run(options);
}
