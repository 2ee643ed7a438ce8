// Paints the progress line into the view's status control during a read.
#include "view/read_progress_line.h"

#include "resources/resource.h"
#include "view/read_progress.h"

namespace {

// Only one read runs at a time, on the host's UI thread.
HWND g_readingView = nullptr;
ReadProgressPacer g_pacer;
// What the read is doing, the counts last heard, and whether the line shows them yet.
enum class Stage { Reading, Adding };
Stage g_stage = Stage::Reading;
int32_t g_done = 0;
int32_t g_all = 0;
bool g_behind = false;

void Paint() {
    const HWND status = GetDlgItem(g_readingView, IDC_STATUS);
    if (status == nullptr) {
        return;  // the view went away during the read
    }
    char text[kReadProgressTextSize];
    if (g_stage == Stage::Reading) {
        FormatReadProgress(text, sizeof text, g_done, g_all);
    } else {
        FormatAddingProgress(text, sizeof text, g_done, g_all);
    }
    SetWindowTextA(status, text);
    // The message loop waits for the read: paint now, not at its next turn.
    UpdateWindow(status);
    g_behind = false;
}

void Show(Stage stage, int32_t done, int32_t all) {
    if (g_readingView == nullptr) {
        return;
    }
    g_stage = stage;
    g_done = done;
    g_all = all;
    g_behind = true;
    if (g_pacer.Due(GetTickCount())) {
        Paint();
    }
}

}  // namespace

void BeginReadProgress(HWND view) {
    g_readingView = view;
    g_behind = false;
    g_pacer.Start(GetTickCount());
}

void ShowReadProgress(int32_t filesRead, int32_t filesNamed) {
    Show(Stage::Reading, filesRead, filesNamed);
}

void ShowAddingProgress(int32_t added, int32_t total) {
    Show(Stage::Adding, added, total);
}

void FlushReadProgress() {
    if (g_readingView != nullptr && g_pacer.Shown() && g_behind) {
        Paint();
    }
}

void EndReadProgress() {
    g_pacer.Stop();
    g_readingView = nullptr;
}
